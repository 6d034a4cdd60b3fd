// GetUserDefaultLCID and GetLocaleInfoA from the POSIX locale in force.
// The POSIX Windows layer and its test hooks exist only on POSIX hosts.
#ifndef _WIN32

#include <locale.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "win32_test_support.h"

namespace {

using win32_test::ScopedEnv;
using win32_test::Win32Test;

constexpr DWORD kSentinel = 0xDEADBEEF;

// The locale comes from LC_ALL, else the category variable, else LANG: each test sets them all.
class LocaleEnv {
 public:
  LocaleEnv(const char* all, const char* numeric = nullptr, const char* time = nullptr, const char* lang = nullptr)
      : all_("LC_ALL", all), numeric_("LC_NUMERIC", numeric), time_("LC_TIME", time), lang_("LANG", lang) {}

 private:
  ScopedEnv all_, numeric_, time_, lang_;
};

bool Installed(const char* name) {
  locale_t locale = newlocale(LC_ALL_MASK, name, static_cast<locale_t>(nullptr));
  if (locale == nullptr) return false;
  freelocale(locale);
  return true;
}

std::string Info(LCTYPE type) {
  char buffer[64];
  std::memset(buffer, 'X', sizeof buffer);
  int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer);
  if (n <= 0) return "<failed>";
  EXPECT_EQ(buffer[n - 1], '\0');
  EXPECT_EQ(static_cast<std::size_t>(n), std::strlen(buffer) + 1);
  return buffer;
}

struct Expected {
  LCTYPE type;
  const char* answer;
};

void ExpectAnswers(const char* locale, const std::vector<Expected>& answers) {
  for (const Expected& e : answers) EXPECT_EQ(Info(e.type), e.answer) << locale << " type 0x" << std::hex << e.type;
}

const std::vector<Expected> kEnglishUS = {{LOCALE_SDECIMAL, "."}, {LOCALE_STHOUSAND, ","},
                                          {LOCALE_IDIGITS, "2"},  {LOCALE_SDATE, "/"},
                                          {LOCALE_STIME, ":"},    {LOCALE_SSHORTDATE, "M/d/yyyy"},
                                          {LOCALE_IDATE, "0"},    {LOCALE_ITIME, "0"},
                                          {LOCALE_S1159, "AM"},   {LOCALE_S2359, "PM"}};

class LocaleInfo : public Win32Test {};

TEST_F(LocaleInfo, CAndPosixAnswerAsWindowsEnglishUS) {
  for (const char* name : {"C", "POSIX", "C.UTF-8"}) {
    LocaleEnv env(name);
    ExpectAnswers(name, kEnglishUS);
  }
}

TEST_F(LocaleInfo, NothingSetMeansC) {
  LocaleEnv env(nullptr);
  ExpectAnswers("(unset)", kEnglishUS);
}

TEST_F(LocaleInfo, UnknownLocaleNameStaysInC) {
  LocaleEnv env("xx_NOWHERE.UTF-8");
  ExpectAnswers("xx_NOWHERE", kEnglishUS);
}

TEST_F(LocaleInfo, GermanGermany) {
  if (!Installed("de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 is not installed (Debian package locales-all)";
  LocaleEnv env("de_DE.UTF-8");
  ExpectAnswers("de_DE", {{LOCALE_SDECIMAL, ","},
                          {LOCALE_STHOUSAND, "."},
                          {LOCALE_IDIGITS, "2"},
                          {LOCALE_SDATE, "."},
                          {LOCALE_STIME, ":"},
                          {LOCALE_SSHORTDATE, "dd.MM.yyyy"},
                          {LOCALE_IDATE, "1"},
                          {LOCALE_ITIME, "1"}});
}

TEST_F(LocaleInfo, EnglishUnitedStatesFromItsFormats) {
  if (!Installed("en_US.UTF-8")) GTEST_SKIP() << "en_US.UTF-8 is not installed";
  LocaleEnv env("en_US.UTF-8");
  ExpectAnswers("en_US", {{LOCALE_SDECIMAL, "."},
                          {LOCALE_STHOUSAND, ","},
                          {LOCALE_SDATE, "/"},
                          {LOCALE_SSHORTDATE, "MM/dd/yyyy"},
                          {LOCALE_IDATE, "0"},
                          {LOCALE_ITIME, "0"},  // T_FMT is %r
                          {LOCALE_S1159, "AM"},
                          {LOCALE_S2359, "PM"}});
}

TEST_F(LocaleInfo, YearFirstAndUnpaddedFields) {
  if (Installed("sv_SE.UTF-8")) {
    LocaleEnv env("sv_SE.UTF-8");
    ExpectAnswers("sv_SE", {{LOCALE_SSHORTDATE, "yyyy-MM-dd"}, {LOCALE_IDATE, "2"}, {LOCALE_SDATE, "-"}});
  }
  if (Installed("cs_CZ.UTF-8")) {
    LocaleEnv env("cs_CZ.UTF-8");
    ExpectAnswers("cs_CZ", {{LOCALE_SSHORTDATE, "d.M.yyyy"}, {LOCALE_IDATE, "1"}});
  }
  if (Installed("fr_FR.UTF-8")) {
    LocaleEnv env("fr_FR.UTF-8");
    ExpectAnswers("fr_FR", {{LOCALE_STHOUSAND, " "}});  // U+202F becomes a blank
  }
  if (!Installed("sv_SE.UTF-8") && !Installed("cs_CZ.UTF-8")) GTEST_SKIP() << "sv_SE and cs_CZ are not installed";
}

TEST_F(LocaleInfo, CategoriesComeFromTheirOwnVariables) {
  if (!Installed("de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
  {
    LocaleEnv env(nullptr, "de_DE.UTF-8", "C");
    EXPECT_EQ(Info(LOCALE_SDECIMAL), ",");
    EXPECT_EQ(Info(LOCALE_SSHORTDATE), "M/d/yyyy");
  }
  {
    LocaleEnv env(nullptr, "C", "de_DE.UTF-8");
    EXPECT_EQ(Info(LOCALE_SDECIMAL), ".");
    EXPECT_EQ(Info(LOCALE_SSHORTDATE), "dd.MM.yyyy");
  }
  {
    LocaleEnv env(nullptr, nullptr, nullptr, "de_DE.UTF-8");
    EXPECT_EQ(Info(LOCALE_SDECIMAL), ",");
    EXPECT_EQ(Info(LOCALE_IDATE), "1");
  }
  {
    LocaleEnv env("C", "de_DE.UTF-8", "de_DE.UTF-8", "de_DE.UTF-8");
    EXPECT_EQ(Info(LOCALE_SDECIMAL), ".");
  }
}

TEST_F(LocaleInfo, AnyLcidGetsTheLocaleInForce) {
  LocaleEnv env("C");
  char buffer[8];
  EXPECT_EQ(GetLocaleInfoA(0x0407, LOCALE_SDECIMAL, buffer, sizeof buffer), 2);
  EXPECT_STREQ(buffer, ".");
}

struct SeparatorCase {
  const char* locale;
  const char* date;
  const char* time;
};

// Between the fields of these locales' formats stands a unit marker (年, 년 …) or punctuation
// with a blank: the separators are those a Windows user of the locale sees.
TEST_F(LocaleInfo, SeparatorsWhereTheFormatsGiveNoSingleCharacter) {
  const SeparatorCase cases[] = {
      {"ja_JP.UTF-8", "/", ":"},
      {"ja_JP.eucjp", "/", ":"},
      {"ko_KR.UTF-8", "-", ":"},
      {"ko_KR.euckr", "-", ":"},
      {"zh_CN.UTF-8", "/", ":"},
      {"zh_CN.gb18030", "/", ":"},
      {"zh_TW.UTF-8", "/", ":"},
      {"zh_HK.UTF-8", "/", ":"},
      {"zh_SG.UTF-8", "/", ":"},
      {"fr_CH.UTF-8", ".", ":"},
      {"sl_SI.UTF-8", ".", ":"},
      {"eu_ES.UTF-8", "/", ":"},
      {"mt_MT.UTF-8", "/", ":"},
      {"bo_CN", "/", ":"},
      {"yue_HK", "/", ":"},
      // Formats with one character between their fields keep it.
      {"de_DE.UTF-8", ".", ":"},
      {"sv_SE.UTF-8", "-", ":"},
      {"nb_NO.UTF-8", ".", "."},
  };
  int tried = 0;
  for (const SeparatorCase& c : cases) {
    if (!Installed(c.locale)) continue;
    ++tried;
    LocaleEnv env(c.locale);
    ExpectAnswers(c.locale, {{LOCALE_SDATE, c.date}, {LOCALE_STIME, c.time}});
  }
  if (tried == 0) GTEST_SKIP() << "none of the locales is installed (Debian package locales-all)";
}

// Each separator is one ASCII character for every installed locale, so that the byte the
// runtime takes of it is a character of its own.
TEST_F(LocaleInfo, EveryInstalledLocaleHasOneAsciiCharacterAsSeparator) {
  FILE* list = popen("locale -a 2>/dev/null", "r");
  if (list == nullptr) GTEST_SKIP() << "locale -a cannot be run";
  std::vector<std::string> names;
  char line[256];
  while (std::fgets(line, sizeof line, list) != nullptr) {
    std::string name = line;
    while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
    if (!name.empty()) names.push_back(name);
  }
  pclose(list);
  if (names.size() < 2) GTEST_SKIP() << "no locale besides C is installed";
  for (const std::string& name : names) {
    LocaleEnv env(name.c_str());
    for (LCTYPE type : {LOCALE_SDATE, LOCALE_STIME}) {
      std::string answer = Info(type);
      EXPECT_TRUE(answer.size() == 1 && static_cast<unsigned char>(answer[0]) < 0x80)
          << name << " type 0x" << std::hex << type << ": \"" << answer << "\"";
    }
  }
}

class LocaleSizes : public Win32Test {
 protected:
  void SetUp() override {
    Win32Test::SetUp();
    std::memset(buffer, 'X', sizeof buffer);
    SetLastError(kSentinel);
  }
  LocaleEnv env{"C"};
  char buffer[64];
};

TEST_F(LocaleSizes, ResultCountsTheNul) {
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, buffer, 64), 9);
  EXPECT_STREQ(buffer, "M/d/yyyy");
  EXPECT_EQ(buffer[9], 'X');
  EXPECT_EQ(GetLastError(), kSentinel);
}

TEST_F(LocaleSizes, ExactFit) {
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, buffer, 9), 9);
  EXPECT_STREQ(buffer, "M/d/yyyy");
}

TEST_F(LocaleSizes, SizeZeroAsksForTheSize) {
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, buffer, 0), 9);
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_S1159, nullptr, 0), 3);
  EXPECT_EQ(buffer[0], 'X');
  EXPECT_EQ(GetLastError(), kSentinel);
}

TEST_F(LocaleSizes, TooSmallFailsAndLeavesTheBuffer) {
  for (int size : {1, 8}) {
    SetLastError(kSentinel);
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, buffer, size), 0) << size;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER)) << size;
    EXPECT_EQ(std::string(buffer, 9), "XXXXXXXXX") << size;
  }
}

TEST_F(LocaleSizes, UnknownTypeIsInvalidFlags) {
  for (LCTYPE type : {0x0u, 0x1234u, 0x0002u /* LOCALE_SLANGUAGE: not served here */,
                      static_cast<LCTYPE>(LOCALE_RETURN_NUMBER | LOCALE_IDIGITS)}) {
    SetLastError(kSentinel);
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, 64), 0) << type;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FLAGS)) << type;
    EXPECT_EQ(buffer[0], 'X');
  }
}

TEST_F(LocaleSizes, NoUserOverrideIsAccepted) {
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_NOUSEROVERRIDE | LOCALE_SDECIMAL, buffer, 64), 2);
  EXPECT_STREQ(buffer, ".");
}

TEST_F(LocaleSizes, NegativeSizeIsInvalid) {
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, -1), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(LocaleSizes, HookAnswersOneTypeAndFailsAnother) {
  Win32TestSetLocaleAnswer(LOCALE_SDECIMAL, ";");
  Win32TestSetLocaleAnswer(LOCALE_ITIME, nullptr);
  EXPECT_EQ(Info(LOCALE_SDECIMAL), ";");
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_ITIME, buffer, 64), 0);
  EXPECT_EQ(buffer[0], 'X');
  EXPECT_EQ(Info(LOCALE_STHOUSAND), ",");  // the others still come from the locale
  Win32TestSetLocaleAnswer(LOCALE_SSHORTDATE, "dd.MM.yyyy");
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, buffer, 5), 0);  // size rules apply
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  Win32TestClearLocaleAnswers();
  EXPECT_EQ(Info(LOCALE_SDECIMAL), ".");
  EXPECT_EQ(Info(LOCALE_ITIME), "0");
  Win32TestSetLocaleAnswer(LOCALE_SDECIMAL, "");
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 64), 1);
  Win32TestReset();
  EXPECT_EQ(Info(LOCALE_SDECIMAL), ".");
}

struct LcidCase {
  const char* locale;
  LCID lcid;
};

class UserDefaultLcid : public ::testing::TestWithParam<LcidCase> {};

TEST_P(UserDefaultLcid, FromTheLocaleName) {
  LocaleEnv env(GetParam().locale);
  EXPECT_EQ(GetUserDefaultLCID(), GetParam().lcid) << GetParam().locale;
}

INSTANTIATE_TEST_SUITE_P(Names, UserDefaultLcid,
                         ::testing::Values(LcidCase{"C", 0x0409}, LcidCase{"POSIX", 0x0409},
                                           LcidCase{"C.UTF-8", 0x0409}, LcidCase{"en_US.UTF-8", 0x0409},
                                           LcidCase{"en_US", 0x0409}, LcidCase{"de_DE.UTF-8", 0x0407},
                                           LcidCase{"de_DE@euro", 0x0407}, LcidCase{"fr_FR.UTF-8", 0x040C},
                                           LcidCase{"en_GB.UTF-8", 0x0809}, LcidCase{"it_IT.UTF-8", 0x0410},
                                           LcidCase{"ja_JP.UTF-8", 0x0411}, LcidCase{"xx_YY.UTF-8", 0x0400},
                                           LcidCase{"de", 0x0400}));

TEST(UserDefaultLcidSources, LangWhenNothingElse) {
  LocaleEnv env(nullptr, nullptr, nullptr, "fr_FR.UTF-8");
  EXPECT_EQ(GetUserDefaultLCID(), 0x040Cu);
  LocaleEnv none(nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(GetUserDefaultLCID(), 0x0409u);
}

}  // namespace

#endif  // _WIN32
