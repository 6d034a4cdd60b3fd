// GetUserDefaultLCID and GetLocaleInfoA, answered from the POSIX locale in force.
//
// The locale in force for a category is named by LC_ALL, else by the category's variable
// (LC_NUMERIC for the number settings, LC_TIME for the date and time settings), else by LANG,
// else it is "C". It is read from the environment at every call, as the Windows user locale is
// a setting of the user rather than of the program. The C and POSIX locales (C.UTF-8 too, and a
// name that newlocale does not know, since a program would stay in C then) answer exactly what
// Windows answers for en-US. Any other locale is asked through nl_langinfo_l and its answers are
// translated into Windows terms:
//
//   LOCALE_SDECIMAL   RADIXCHAR
//   LOCALE_STHOUSAND  THOUSEP; a non-ASCII space (no-break, narrow, thin) becomes a blank
//   LOCALE_IDIGITS    "2" (POSIX has no fraction-digit count for plain numbers)
//   LOCALE_SDATE      the text between the first two fields of D_FMT, when it is one ASCII
//                     character (else see WindowsSeparator)
//   LOCALE_SSHORTDATE D_FMT as a Windows picture: %m MM, %d dd, %-m M, %-d d, %e d, %y yy,
//                     %Y yyyy, %b MMM, %B MMMM, %D MM/dd/yy, %F yyyy-MM-dd; literal letters quoted
//   LOCALE_IDATE      the order of D_FMT's fields: 0 month-day-year, 1 day-month-year, 2 year first
//   LOCALE_ITIME      T_FMT: "0" (12-hour) when it uses %I, %l or %r, else "1"
//   LOCALE_STIME      the same of T_FMT
//   LOCALE_S1159/2359 AM_STR / PM_STR (empty for many 24-hour locales, as the locale says)
//
// The LCID argument is not consulted: the answer is always that of the locale in force.
// Size rules (one helper, CopyAnswer): the result counts the characters written including the
// NUL; size 0 asks for that count; a buffer too small returns 0 with ERROR_INSUFFICIENT_BUFFER
// and is left untouched (Windows may write part of the answer; untouched is our choice).
#include <langinfo.h>
#include <locale.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "hooks.h"

namespace {

std::string LocaleName(const char* categoryVariable) {
  for (const char* variable : {"LC_ALL", categoryVariable, "LANG"}) {
    if (variable == nullptr) continue;
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return value;
  }
  return "C";
}

bool IsCLocale(const std::string& name) { return name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0; }

// A POSIX locale for one category, or none when the name is C-like or unknown.
class PosixLocale {
 public:
  PosixLocale(int mask, const char* categoryVariable) {
    std::string name = LocaleName(categoryVariable);
    if (!IsCLocale(name)) locale_ = newlocale(mask, name.c_str(), static_cast<locale_t>(nullptr));
  }
  ~PosixLocale() {
    if (locale_ != nullptr) freelocale(locale_);
  }
  PosixLocale(const PosixLocale&) = delete;
  PosixLocale& operator=(const PosixLocale&) = delete;

  bool IsC() const { return locale_ == nullptr; }
  std::string Item(nl_item item) const { return nl_langinfo_l(item, locale_); }

 private:
  locale_t locale_ = nullptr;
};

// What Windows answers for en-US.
std::optional<std::string> EnglishUS(LCTYPE type) {
  switch (type) {
    case LOCALE_SDECIMAL: return ".";
    case LOCALE_STHOUSAND: return ",";
    case LOCALE_IDIGITS: return "2";
    case LOCALE_SDATE: return "/";
    case LOCALE_STIME: return ":";
    case LOCALE_SSHORTDATE: return "M/d/yyyy";
    case LOCALE_IDATE: return "0";
    case LOCALE_ITIME: return "0";
    case LOCALE_S1159: return "AM";
    case LOCALE_S2359: return "PM";
    default: return std::nullopt;
  }
}

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

// "de_DE" of "de_DE.UTF-8@euro".
std::string LanguageTerritory(const std::string& name) { return name.substr(0, name.find_first_of(".@")); }

bool IsSingleAscii(const std::string& text) { return text.size() == 1 && static_cast<unsigned char>(text[0]) < 0x80; }

// A Windows separator is one ASCII character, which the runtime takes byte for byte. The text
// between two fields of a POSIX format often is not one: a unit marker ("年" in %Y年%m月, "시 " in
// %H시 %M분), or punctuation with a blank (". " in %d. %m. %Y). Punctuation with blanks gives its
// punctuation; anything else the separator Windows uses for the locale, or the fallback.
std::string WindowsSeparator(const std::string& between, LCTYPE type, const std::string& localeName) {
  if (IsSingleAscii(between)) return between;
  std::string trimmed;
  for (char c : between) {
    if (c != ' ') trimmed += c;
  }
  if (IsSingleAscii(trimmed)) return trimmed;
  std::string name = LanguageTerritory(localeName);
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

// Literal text in a Windows picture: ASCII letters and quotes go inside single quotes.
std::string PictureLiteral(const std::string& text) {
  bool needsQuotes = false;
  for (char c : text) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '\'') needsQuotes = true;
  }
  if (!needsQuotes) return text;
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("''") : std::string(1, c);
  return quoted + "'";
}

std::string ShortDatePicture(const std::vector<Piece>& pieces) {
  std::string picture;
  for (const Piece& piece : pieces) {
    switch (piece.conversion) {
      case 0: picture += PictureLiteral(piece.literal); break;
      case 'd': picture += piece.unpadded ? "d" : "dd"; break;
      case 'e': picture += "d"; break;
      case 'm': picture += piece.unpadded ? "M" : "MM"; break;
      case 'b':
      case 'h': picture += "MMM"; break;
      case 'B': picture += "MMMM"; break;
      case 'a': picture += "ddd"; break;
      case 'A': picture += "dddd"; break;
      case 'y': picture += "yy"; break;
      case 'Y': picture += "yyyy"; break;
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

std::optional<std::string> LocaleAnswer(LCTYPE type) {
  switch (type) {
    case LOCALE_SDECIMAL:
    case LOCALE_STHOUSAND:
    case LOCALE_IDIGITS: {
      PosixLocale locale(LC_NUMERIC_MASK, "LC_NUMERIC");
      if (locale.IsC()) return EnglishUS(type);
      if (type == LOCALE_SDECIMAL) return locale.Item(RADIXCHAR);
      if (type == LOCALE_STHOUSAND) return AsciiSeparator(locale.Item(THOUSEP));
      return "2";
    }
    case LOCALE_SDATE:
    case LOCALE_STIME:
    case LOCALE_SSHORTDATE:
    case LOCALE_IDATE:
    case LOCALE_ITIME:
    case LOCALE_S1159:
    case LOCALE_S2359: {
      PosixLocale locale(LC_TIME_MASK, "LC_TIME");
      if (locale.IsC()) return EnglishUS(type);
      std::vector<Piece> date = ParseFormat(locale.Item(D_FMT));
      std::vector<Piece> time = ParseFormat(locale.Item(T_FMT));
      switch (type) {
        case LOCALE_SDATE:
          return WindowsSeparator(TextAfterFirstField(date, [](char c) { return DatePartOf(c) != DatePart::None; }),
                                  type, LocaleName("LC_TIME"));
        case LOCALE_SSHORTDATE: return ShortDatePicture(date);
        case LOCALE_IDATE: return DateOrder(date);
        case LOCALE_STIME: return WindowsSeparator(TextAfterFirstField(time, IsTimeField), type, LocaleName("LC_TIME"));
        case LOCALE_ITIME: {
          for (const Piece& piece : time) {
            if (piece.conversion == 'I' || piece.conversion == 'l') return "0";
          }
          return "1";
        }
        case LOCALE_S1159: return locale.Item(AM_STR);
        default: return locale.Item(PM_STR);
      }
    }
    default: return std::nullopt;
  }
}

// The size and return rules that every locale query shares.
int CopyAnswer(const std::string& answer, LPSTR data, int size) {
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

struct KnownLocale {
  const char* name;  // language_TERRITORY
  LCID lcid;
};

constexpr KnownLocale kKnownLocales[] = {
    {"en_US", 0x0409}, {"en_GB", 0x0809}, {"en_AU", 0x0C09}, {"en_CA", 0x1009}, {"en_IE", 0x1809}, {"de_DE", 0x0407},
    {"de_CH", 0x0807}, {"de_AT", 0x0C07}, {"fr_FR", 0x040C}, {"fr_BE", 0x080C}, {"fr_CA", 0x0C0C}, {"fr_CH", 0x100C},
    {"it_IT", 0x0410}, {"it_CH", 0x0810}, {"es_ES", 0x0C0A}, {"es_MX", 0x080A}, {"nl_NL", 0x0413}, {"nl_BE", 0x0813},
    {"pt_BR", 0x0416}, {"pt_PT", 0x0816}, {"da_DK", 0x0406}, {"sv_SE", 0x041D}, {"nb_NO", 0x0414}, {"fi_FI", 0x040B},
    {"pl_PL", 0x0415}, {"cs_CZ", 0x0405}, {"hu_HU", 0x040E}, {"el_GR", 0x0408}, {"tr_TR", 0x041F}, {"ru_RU", 0x0419},
    {"ja_JP", 0x0411}, {"ko_KR", 0x0412}, {"zh_CN", 0x0804}, {"zh_TW", 0x0404},
};

}  // namespace

extern "C" {

// 0x0409 for C, POSIX and en_US; the LCID of a few common language_TERRITORY pairs; otherwise
// LOCALE_USER_DEFAULT. The locale is that of LC_ALL, else LC_NUMERIC, else LC_TIME, else LANG.
LCID WINAPI GetUserDefaultLCID(void) {
  std::string name = "C";
  for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LC_TIME", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') {
      name = value;
      break;
    }
  }
  if (IsCLocale(name)) return 0x0409;
  name = LanguageTerritory(name);
  for (const KnownLocale& known : kKnownLocales) {
    if (name == known.name) return known.lcid;
  }
  return LOCALE_USER_DEFAULT;
}

int WINAPI GetLocaleInfoA(LCID /*locale*/, LCTYPE type, LPSTR data, int size) {
  if ((type & LOCALE_RETURN_NUMBER) != 0) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  type &= ~static_cast<LCTYPE>(LOCALE_NOUSEROVERRIDE | LOCALE_USE_CP_ACP);
  std::optional<std::string> answer;
  bool hooked = false;
  {
    auto& hooks = win32::Hooks();
    std::lock_guard lock(hooks.mutex);
    auto it = hooks.localeAnswers.find(type);
    if (it != hooks.localeAnswers.end()) {
      hooked = true;
      answer = it->second;
    }
  }
  if (hooked && !answer) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (!hooked) answer = LocaleAnswer(type);
  if (!answer) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  return CopyAnswer(*answer, data, size);
}

}  // extern "C"
