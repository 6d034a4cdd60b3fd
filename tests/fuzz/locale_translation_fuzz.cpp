// GetLocaleInfoA's answers for arbitrary nl_langinfo answers (and locale names), through the
// translation GetLocaleInfoA itself calls for every locale that is not C. Every answer must obey
// the buffer rules (the count includes the NUL and never exceeds the buffer; a buffer too small
// gives 0 with ERROR_INSUFFICIENT_BUFFER and stays untouched, and so does every byte past the
// answer), the separators must be one character a date or time can be written and read with, the
// orders and clocks one of their digits, and the short date a Windows picture: its letters only
// picture letters in runs Windows knows, everything else a separator or quoted literal text.
#include <fuzzer/FuzzedDataProvider.h>
#include <win32_locale_translation.h>
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>
#include <optional>
#include <string>

#include "fuzz_session.h"

namespace {

constexpr LCTYPE kTypes[] = {LOCALE_SDECIMAL,   LOCALE_STHOUSAND, LOCALE_IDIGITS, LOCALE_SDATE, LOCALE_STIME,
                             LOCALE_SSHORTDATE, LOCALE_IDATE,     LOCALE_ITIME,   LOCALE_S1159, LOCALE_S2359};

// Names whose separators are known, and others.
constexpr const char* kNames[] = {"de_DE.UTF-8", "ja_JP.UTF-8",      "ko_KR.UTF-8", "zh_HK.UTF-8@x",
                                  "zh_CN",       "en_US.ISO-8859-1", "fr_CA",       ""};

// Answers real locales give, which the fuzzer would take long to spell.
constexpr const char* kTypical[] = {
    // D_FMT
    "%d.%m.%Y", "%m/%d/%y", "%Y-%m-%d", "%d/%m/%Y", "%d. %m. %Y", "%y. %m. %d.", "%e.%-m.%Y", "%D", "%F",  //
    "%Y\xE5\xB9\xB4%m\xE6\x9C\x88%d\xE6\x97\xA5", "%Ey\xE5\xB9\xB4%m\xE6\x9C\x88%d\xE6\x97\xA5",           //
    // T_FMT
    "%H:%M:%S", "%I:%M:%S %p", "%T", "%r", "%Hh%M", "%k.%M.%S",                                       //
    "%p %I\xE6\x99\x82%M\xE5\x88\x86%S\xE7\xA7\x92", "%H\xEC\x8B\x9C %M\xEB\xB6\x84 %S\xEC\xB4\x88",  //
    // RADIXCHAR, THOUSEP, AM_STR, PM_STR
    ".", ",", "\xC2\xA0", "\xE2\x80\xAF", "\xD9\xAB", "AM", "PM", "vorm.", ""};

// Like nl_langinfo's: a C string.
std::string Item(FuzzedDataProvider& in) {
  std::string text = in.ConsumeBool() ? kTypical[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kTypical) - 1)]
                                      : in.ConsumeRandomLengthString();
  return text.substr(0, text.find('\0'));
}

constexpr char kUntouched = '\x5A';

std::unique_ptr<char[]> Sentinels(std::size_t size) {
  auto buffer = std::make_unique<char[]>(size);
  std::memset(buffer.get(), kUntouched, size);
  return buffer;
}

bool Untouched(const char* buffer, std::size_t from, std::size_t to) {
  for (std::size_t i = from; i < to; ++i) {
    if (buffer[i] != kUntouched) return false;
  }
  return true;
}

void Fails(int result, DWORD error, const char* what) {
  if (result != 0 || GetLastError() != error) {
    std::fprintf(stderr, "answered %d, last error %u, %u expected\n", result, unsigned(GetLastError()),
                 unsigned(error));
    fuzz::Finding(what);
  }
}

// The answer, checked against every kind of buffer; none when the type is not answered.
std::optional<std::string> Answer(LCTYPE type, const win32::LangInfo& info, const std::string& name,
                                  FuzzedDataProvider& in) {
  SetLastError(0);
  int needed = win32::LocaleInfoFromLangInfo(type, info, name, nullptr, 0);
  if (needed == 0) {
    Fails(needed, ERROR_INVALID_FLAGS, "an answer failed with the wrong error");
    return std::nullopt;
  }
  if (needed < 0) fuzz::Finding("a negative count");

  auto exact = Sentinels(std::size_t(needed));
  if (win32::LocaleInfoFromLangInfo(type, info, name, exact.get(), needed) != needed) {
    fuzz::Finding("the count asked for is not the count written");
  }
  if (exact[std::size_t(needed) - 1] != '\0' || std::strlen(exact.get()) != std::size_t(needed) - 1) {
    fuzz::Finding("the answer is not NUL-terminated at its count");
  }
  std::string answer(exact.get(), std::size_t(needed) - 1);

  if (needed > 1) {
    auto small = std::size_t(in.ConsumeIntegralInRange(1, needed - 1));
    auto tooSmall = Sentinels(small);
    SetLastError(0);
    Fails(win32::LocaleInfoFromLangInfo(type, info, name, tooSmall.get(), int(small)), ERROR_INSUFFICIENT_BUFFER,
          "a buffer too small did not fail with ERROR_INSUFFICIENT_BUFFER");
    if (!Untouched(tooSmall.get(), 0, small)) fuzz::Finding("a buffer too small was written");
  }
  auto larger = std::size_t(needed) + in.ConsumeIntegralInRange<std::size_t>(1, 64);
  auto roomy = Sentinels(larger);
  if (win32::LocaleInfoFromLangInfo(type, info, name, roomy.get(), int(larger)) != needed ||
      std::string(roomy.get()) != answer || !Untouched(roomy.get(), std::size_t(needed), larger)) {
    fuzz::Finding("a larger buffer got another answer, or bytes past it");
  }
  SetLastError(0);
  Fails(win32::LocaleInfoFromLangInfo(type, info, name, nullptr, needed), ERROR_INVALID_PARAMETER,
        "a size without a buffer did not fail with ERROR_INVALID_PARAMETER");
  SetLastError(0);
  Fails(win32::LocaleInfoFromLangInfo(type, info, name, roomy.get(), -1), ERROR_INVALID_PARAMETER,
        "a negative size did not fail with ERROR_INVALID_PARAMETER");
  return answer;
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }

// A separator the runtime takes byte for byte and writes between the fields: one printable ASCII
// character that is no letter (which a picture would read as a field) and no digit.
bool IsSeparator(const std::string& text) {
  return text.size() == 1 && static_cast<unsigned char>(text[0]) < 0x80 && !IsControl(text[0]) && !IsLetter(text[0]) &&
         !IsDigit(text[0]);
}

// Outside quotes: runs of d (1-4), M (1-4), y (1, 2, 4 or 5) and g (1-2), and separators; inside
// quotes, anything printable ('' a quote).
void CheckPicture(const std::string& picture) {
  auto finding = [&](const char* what) {
    std::fprintf(stderr, "picture [%s]\n", picture.c_str());
    fuzz::Finding(what);
  };
  for (std::size_t i = 0; i < picture.size();) {
    char c = picture[i];
    if (IsControl(c)) finding("a control character in the short-date picture");
    if (c == '\'') {
      std::size_t close = i + 1;
      for (; close < picture.size(); ++close) {
        if (picture[close] != '\'') continue;
        if (close + 1 < picture.size() && picture[close + 1] == '\'') {
          ++close;
          continue;
        }
        break;
      }
      if (close >= picture.size()) finding("a quote in the short-date picture is never closed");
      for (std::size_t k = i + 1; k < close; ++k) {
        if (IsControl(picture[k])) finding("a control character in the short-date picture");
      }
      i = close + 1;
      continue;
    }
    if (!IsLetter(c)) {
      ++i;
      continue;
    }
    std::size_t run = 1;
    while (i + run < picture.size() && picture[i + run] == c) ++run;
    bool known = ((c == 'd' || c == 'M') && run <= 4) || (c == 'y' && run != 3 && run <= 5) || (c == 'g' && run <= 2);
    if (!known) finding("the short-date picture holds a letter run that is no picture field");
    i += run;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  std::string name =
      in.ConsumeBool() ? kNames[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kNames) - 1)] : Item(in);
  win32::LangInfo info;
  info.radix = Item(in);
  info.thousands = Item(in);
  info.dateFormat = Item(in);
  info.timeFormat = Item(in);
  info.am = Item(in);
  info.pm = Item(in);

  for (LCTYPE type : kTypes) {
    std::optional<std::string> answer = Answer(type, info, name, in);
    if (!answer) fuzz::Finding("a locale setting went unanswered");
    const std::string& a = *answer;
    switch (type) {
      case LOCALE_SDATE:
      case LOCALE_STIME:
        if (!IsSeparator(a)) {
          std::fprintf(stderr, "separator [%s]\n", a.c_str());
          fuzz::Finding("a date or time separator is not one printable ASCII non-alphanumeric character");
        }
        break;
      case LOCALE_IDATE:
        if (a != "0" && a != "1" && a != "2") fuzz::Finding("the date order is not 0, 1 or 2");
        break;
      case LOCALE_ITIME:
        if (a != "0" && a != "1") fuzz::Finding("the clock is not 0 or 1");
        break;
      case LOCALE_IDIGITS:
        if (a != "2") fuzz::Finding("the fraction digits are not 2");
        break;
      case LOCALE_SSHORTDATE: CheckPicture(a); break;
      default: break;
    }
  }
  // Any other type, flags and all: answered by the rules, or refused with ERROR_INVALID_FLAGS.
  Answer(in.ConsumeIntegral<LCTYPE>(), info, name, in);
  return 0;
}
