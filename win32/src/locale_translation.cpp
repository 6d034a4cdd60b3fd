// The translation of nl_langinfo's answers into GetLocaleInfoA's (win32_locale_translation.h):
//
//   LOCALE_SDECIMAL   RADIXCHAR
//   LOCALE_STHOUSAND  THOUSEP; a non-ASCII space (no-break, narrow, thin) becomes a blank
//   LOCALE_IDIGITS    "2" (POSIX has no fraction-digit count for plain numbers)
//   LOCALE_SDATE      the text between the first two fields of D_FMT, when it is one printable
//                     ASCII character, no letter or digit (else see WindowsSeparator)
//   LOCALE_SSHORTDATE D_FMT as a Windows picture: %m MM, %d dd, %-m M, %-d d, %e d, %y yy,
//                     %Y yyyy, %b MMM, %B MMMM, %D MM/dd/yy, %F yyyy-MM-dd; literal letters quoted,
//                     control characters left out
//   LOCALE_IDATE      the order of D_FMT's fields: 0 month-day-year, 1 day-month-year, 2 year first
//   LOCALE_ITIME      T_FMT: "0" (12-hour) when it uses %I, %l or %r, else "1"
//   LOCALE_STIME      the same of T_FMT
//   LOCALE_S1159/2359 AM_STR / PM_STR (empty for many 24-hour locales, as the locale says)
#include <win32_locale_translation.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

// One piece of a strftime format: a field (conversion character, '-' flag) or literal text.
struct Piece {
  char conversion = 0;  // 0: literal
  bool unpadded = false;
  std::string literal;
};

std::vector<Piece> ParseFormat(const std::string& format) {
  std::vector<Piece> pieces;
  auto literal = [&](const std::string& text) {
    if (pieces.empty() || pieces.back().conversion != 0) pieces.emplace_back();
    pieces.back().literal += text;
  };
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') {
      literal(std::string(1, format[i]));
      continue;
    }
    bool unpadded = false;
    ++i;
    while (i < format.size() && std::strchr("-_0^#", format[i]) != nullptr) unpadded |= format[i++] == '-';
    while (i < format.size() && format[i] >= '0' && format[i] <= '9') ++i;
    if (i < format.size() && (format[i] == 'E' || format[i] == 'O')) ++i;
    if (i >= format.size()) break;
    char c = format[i];
    // Composite conversions stand for their expansion.
    const char* expansion = nullptr;
    switch (c) {
      case '%': literal("%"); continue;
      case 'n': literal("\n"); continue;
      case 't': literal("\t"); continue;
      case 'D': expansion = "%m/%d/%y"; break;
      case 'F': expansion = "%Y-%m-%d"; break;
      case 'T': expansion = "%H:%M:%S"; break;
      case 'R': expansion = "%H:%M"; break;
      case 'r': expansion = "%I:%M:%S %p"; break;
      default: break;
    }
    if (expansion != nullptr) {
      for (Piece& piece : ParseFormat(expansion)) {
        if (piece.conversion == 0) {
          literal(piece.literal);
        } else {
          pieces.push_back(piece);
        }
      }
      continue;
    }
    Piece piece;
    piece.conversion = c;
    piece.unpadded = unpadded;
    pieces.push_back(piece);
  }
  return pieces;
}

enum class DatePart { None, Day, Month, Year };

DatePart DatePartOf(char conversion) {
  switch (conversion) {
    case 'd':
    case 'e': return DatePart::Day;
    case 'm':
    case 'b':
    case 'B':
    case 'h': return DatePart::Month;
    case 'y':
    case 'Y':
    case 'C':
    case 'g':
    case 'G': return DatePart::Year;
    default: return DatePart::None;
  }
}

// The hour, minute and second fields. A time separator stands between them: an AM/PM marker
// before the hour ("%p %I時%M分" of zh_HK) is none of them.
bool IsTimeField(char conversion) { return std::strchr("HIklMS", conversion) != nullptr; }

// The literal text between the first two fields that pass the test; empty when there is none.
template <typename Test>
std::string TextAfterFirstField(const std::vector<Piece>& pieces, Test isField) {
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (pieces[i].conversion == 0 || !isField(pieces[i].conversion)) continue;
    std::string separator;
    for (std::size_t j = i + 1; j < pieces.size(); ++j) {
      if (pieces[j].conversion == 0) {
        separator += pieces[j].literal;
      } else if (isField(pieces[j].conversion)) {
        return separator;
      }
    }
    break;
  }
  return std::string();
}

// The separators Windows uses for locales whose formats give none that Windows could carry.
struct KnownSeparators {
  const char* name;  // language_TERRITORY
  const char* date;
  const char* time;
};

constexpr KnownSeparators kKnownSeparators[] = {
    {"ja_JP", "/", ":"}, {"ko_KR", "-", ":"}, {"zh_CN", "/", ":"},
    {"zh_TW", "/", ":"}, {"zh_HK", "/", ":"}, {"zh_SG", "/", ":"},
};

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A character the runtime can write between the fields of a date or a time and read back: one
// printable ASCII character, no letter (a picture would read it as a field) and no digit.
bool IsWindowsSeparator(const std::string& text) {
  if (text.size() != 1) return false;
  char c = text[0];
  return c >= ' ' && c <= '~' && !IsAsciiLetter(c) && !(c >= '0' && c <= '9');
}

// A Windows separator is one such character, which the runtime takes byte for byte. The text
// between two fields of a POSIX format often is not one: a unit marker ("年" in %Y年%m月, "시 " in
// %H시 %M분, "h" in %Hh%M), or punctuation with a blank (". " in %d. %m. %Y). Punctuation with
// blanks gives its punctuation; anything else the separator Windows uses for the locale, or the
// fallback.
std::string WindowsSeparator(const std::string& between, LCTYPE type, const std::string& localeName) {
  if (IsWindowsSeparator(between)) return between;
  std::string trimmed;
  for (char c : between) {
    if (c != ' ') trimmed += c;
  }
  if (IsWindowsSeparator(trimmed)) return trimmed;
  std::string name = win32::LanguageTerritory(localeName);
  for (const KnownSeparators& known : kKnownSeparators) {
    if (name == known.name) return type == LOCALE_SDATE ? known.date : known.time;
  }
  return type == LOCALE_SDATE ? "/" : ":";
}

std::string DateOrder(const std::vector<Piece>& pieces) {
  std::vector<DatePart> order;
  for (const Piece& piece : pieces) {
    DatePart part = DatePartOf(piece.conversion);
    if (piece.conversion != 0 && part != DatePart::None) order.push_back(part);
  }
  if (order.empty()) return "0";
  if (order.front() == DatePart::Year) return "2";
  for (DatePart part : order) {
    if (part == DatePart::Day) return "1";
    if (part == DatePart::Month) return "0";
  }
  return "0";
}

// Literal text in a Windows picture: ASCII letters and quotes go inside single quotes. Control
// characters are left out: no date shows them.
std::string PictureLiteral(const std::string& text) {
  std::string shown;
  bool needsQuotes = false;
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) continue;
    needsQuotes |= IsAsciiLetter(c) || c == '\'';
    shown += c;
  }
  if (!needsQuotes) return shown;
  std::string quoted = "'";
  for (char c : shown) quoted += c == '\'' ? std::string("''") : std::string(1, c);
  return quoted + "'";
}

std::string ShortDatePicture(const std::vector<Piece>& pieces) {
  std::string picture;
  auto field = [&](const char* letters) {
    // Two fields of one letter side by side would read as one longer field: a blank parts them.
    if (!picture.empty() && picture.back() == letters[0]) picture += ' ';
    picture += letters;
  };
  for (const Piece& piece : pieces) {
    switch (piece.conversion) {
      case 0: picture += PictureLiteral(piece.literal); break;
      case 'd': field(piece.unpadded ? "d" : "dd"); break;
      case 'e': field("d"); break;
      case 'm': field(piece.unpadded ? "M" : "MM"); break;
      case 'b':
      case 'h': field("MMM"); break;
      case 'B': field("MMMM"); break;
      case 'a': field("ddd"); break;
      case 'A': field("dddd"); break;
      case 'y': field("yy"); break;
      case 'Y': field("yyyy"); break;
      default: break;  // nothing in a Windows short date stands for it
    }
  }
  return picture;
}

// A thousands separator that is a non-ASCII space (U+00A0, U+2007, U+2009, U+202F in UTF-8)
// becomes a blank, which the single-byte settings built from it can carry.
std::string AsciiSeparator(const std::string& separator) {
  for (const char* space : {"\xC2\xA0", "\xE2\x80\x87", "\xE2\x80\x89", "\xE2\x80\xAF"}) {
    if (separator == space) return " ";
  }
  return separator;
}

std::optional<std::string> Translated(LCTYPE type, const win32::LangInfo& info, const std::string& localeName) {
  switch (type) {
    case LOCALE_SDECIMAL: return info.radix;
    case LOCALE_STHOUSAND: return AsciiSeparator(info.thousands);
    case LOCALE_IDIGITS: return "2";
    case LOCALE_SDATE:
      return WindowsSeparator(
          TextAfterFirstField(ParseFormat(info.dateFormat), [](char c) { return DatePartOf(c) != DatePart::None; }),
          type, localeName);
    case LOCALE_SSHORTDATE: return ShortDatePicture(ParseFormat(info.dateFormat));
    case LOCALE_IDATE: return DateOrder(ParseFormat(info.dateFormat));
    case LOCALE_STIME:
      return WindowsSeparator(TextAfterFirstField(ParseFormat(info.timeFormat), IsTimeField), type, localeName);
    case LOCALE_ITIME: {
      for (const Piece& piece : ParseFormat(info.timeFormat)) {
        if (piece.conversion == 'I' || piece.conversion == 'l') return "0";
      }
      return "1";
    }
    case LOCALE_S1159: return info.am;
    case LOCALE_S2359: return info.pm;
    default: return std::nullopt;
  }
}

}  // namespace

namespace win32 {

std::string LanguageTerritory(const std::string& name) { return name.substr(0, name.find_first_of(".@")); }

int LocaleInfoFromLangInfo(LCTYPE type, const LangInfo& info, const std::string& localeName, LPSTR data, int size) {
  std::optional<std::string> answer = Translated(type, info, localeName);
  if (!answer) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  return CopyLocaleAnswer(*answer, data, size);
}

int CopyLocaleAnswer(const std::string& answer, LPSTR data, int size) {
  int needed = static_cast<int>(answer.size()) + 1;
  if (size < 0 || (size > 0 && data == nullptr)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (size == 0) return needed;
  if (size < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(data, answer.c_str(), static_cast<std::size_t>(needed));
  return needed;
}

}  // namespace win32
