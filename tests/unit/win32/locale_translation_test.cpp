// GetLocaleInfoA's translation of nl_langinfo's answers, given as texts: formats no installed
// locale has, which a locale's files may still hold.
// The POSIX Windows layer exists only on POSIX hosts.
#ifndef _WIN32

#include <win32_locale_translation.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Answer(LCTYPE type, const win32::LangInfo& info) {
  char buffer[128];
  int n = win32::LocaleInfoFromLangInfo(type, info, "xx_XX.UTF-8", buffer, sizeof buffer);
  return n > 0 ? std::string(buffer, std::size_t(n) - 1) : "<failed>";
}

struct FormatCase {
  const char* format;
  const char* separator;
  const char* picture;  // the short date, for a date format
};

// A separator is a character the runtime writes between the fields and reads back: no control
// character, letter or digit. Nor does a control character reach the picture, and two fields of
// one letter never run together into a longer field.
TEST(LocaleTranslation, DateFormatsGiveASeparatorAndAWindowsPicture) {
  const FormatCase cases[] = {
      {"%d.%m.%Y", ".", "dd.MM.yyyy"},
      {"%d%n%m%t%Y", "/", "ddMMyyyy"},
      {"%d\x01%m\x7F%Y", "/", "ddMMyyyy"},
      {"%dx%mx%Y", "/", "dd'x'MM'x'yyyy"},
      {"%d0%m0%Y", "/", "dd0MM0yyyy"},
      {"%d%d.%m", "/", "dd dd.MM"},
      {"%Y%y", "/", "yyyy yy"},
      {"%a%d.%m.%Y", ".", "ddd dd.MM.yyyy"},
      {"%m%b", "/", "MM MMM"},
  };
  for (const FormatCase& c : cases) {
    win32::LangInfo info;
    info.dateFormat = c.format;
    EXPECT_EQ(Answer(LOCALE_SDATE, info), c.separator) << c.format;
    EXPECT_EQ(Answer(LOCALE_SSHORTDATE, info), c.picture) << c.format;
  }
}

TEST(LocaleTranslation, TimeFormatsGiveASeparator) {
  const FormatCase cases[] = {
      {"%H:%M:%S", ":", nullptr}, {"%H.%M", ".", nullptr},  {"%Hh%M", ":", nullptr},
      {"%H\x02%M", ":", nullptr}, {"%H%t%M", ":", nullptr}, {"%H5%M", ":", nullptr},
  };
  for (const FormatCase& c : cases) {
    win32::LangInfo info;
    info.timeFormat = c.format;
    EXPECT_EQ(Answer(LOCALE_STIME, info), c.separator) << c.format;
  }
}

}  // namespace

#endif  // _WIN32
