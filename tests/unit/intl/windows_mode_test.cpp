// #WINDOWS over locale answers given through the host layer's test hook.
#if !defined(_WIN32)
#include <win32_testing.h>

#include <map>

#include "intl_fixture.h"

namespace {

constexpr LCTYPE kQueries[] = {LOCALE_SDECIMAL, LOCALE_STHOUSAND, LOCALE_STIME, LOCALE_ITIME,      LOCALE_S1159,
                               LOCALE_S2359,    LOCALE_IDATE,     LOCALE_SDATE, LOCALE_SSHORTDATE, LOCALE_IDIGITS};

class WindowsModeTest : public IntlTest {
 protected:
  void SetUp() override {
    IntlTest::SetUp();
    FailEveryQuery();
  }
  static void FailEveryQuery() {
    for (LCTYPE type : kQueries) Win32TestSetLocaleAnswer(type, nullptr);
  }
  static void Answer(const std::map<LCTYPE, const char*>& answers) {
    for (const auto& [type, text] : answers) Win32TestSetLocaleAnswer(type, text);
  }
  // The state every fixed-mode call leaves, with an epoch of its own, so that each case starts
  // away from what it expects.
  static void StartFromKestran() {
    SetIntl(SymbolValue(SYM_KESTRAN));
    Set(SetEpoch, IntValue(1950));
  }
};

// What every query failing gives: the fallback of each setting.
IntlSnapshot Fallbacks() {
  return IntlSnapshot{1,          1,         '.', ',', true, true, 2, 1910, "09:07:08 am", "09:07:08 pm", "03/05/2024",
                      "03/05/24", " 1234.00"};
}

TEST_F(WindowsModeTest, EachLocaleGivesItsSettings) {
  struct Case {
    const char* name;
    std::map<LCTYPE, const char*> answers;
    IntlSnapshot expected;
  };
  std::vector<Case> cases;
  cases.push_back({"every query fails", {}, Fallbacks()});
  {
    Case c{"an empty AM designator leaves the blank", {{LOCALE_S1159, ""}, {LOCALE_S2359, "PM"}}, Fallbacks()};
    c.expected.morning = "09:07:08 ";
    c.expected.evening = "09:07:08 PM";
    cases.push_back(c);
  }
  {
    Case c{"a two-digit short date keeps YY although the century is on",
           {{LOCALE_IDATE, "1"}, {LOCALE_SDATE, "/"}, {LOCALE_SSHORTDATE, "dd/MM/yy"}},
           Fallbacks()};
    c.expected.date = "05/03/2024";
    c.expected.picture = "05/03/24";
    cases.push_back(c);
  }
  {
    Case c{"order 2, a hyphen and a four-digit year",
           {{LOCALE_IDATE, "2"}, {LOCALE_SDATE, "-"}, {LOCALE_SSHORTDATE, "yyyy-MM-dd"}},
           Fallbacks()};
    c.expected.date = c.expected.picture = "2024-03-05";
    cases.push_back(c);
  }
  {
    Case c{"a German locale",
           {{LOCALE_SDECIMAL, ","},
            {LOCALE_STHOUSAND, "."},
            {LOCALE_STIME, ":"},
            {LOCALE_ITIME, "1"},
            {LOCALE_S1159, ""},
            {LOCALE_S2359, ""},
            {LOCALE_IDATE, "1"},
            {LOCALE_SDATE, "."},
            {LOCALE_SSHORTDATE, "dd.MM.yyyy"},
            {LOCALE_IDIGITS, "2"}},
           Fallbacks()};
    c.expected.decimalSep = ',';
    c.expected.thousandSep = '.';
    c.expected.amPm = false;
    c.expected.morning = "09:07:08";
    c.expected.evening = "21:07:08";
    c.expected.date = c.expected.picture = "05.03.2024";
    c.expected.number = " 1234,00";
    cases.push_back(c);
  }
  {
    // Answers are read by their first byte or as numbers; the short date is compared upper-cased.
    Case c{"first bytes, numbers and letter case",
           {{LOCALE_SDECIMAL, ";;"},
            {LOCALE_STIME, "h"},
            {LOCALE_ITIME, "01"},
            {LOCALE_IDATE, " 2"},
            {LOCALE_SDATE, "./"},
            {LOCALE_SSHORTDATE, "YyyY/m/d"},
            {LOCALE_IDIGITS, "3"}},
           Fallbacks()};
    c.expected.decimalSep = ';';
    c.expected.amPm = false;
    c.expected.morning = "09h07h08";
    c.expected.evening = "21h07h08";
    c.expected.date = c.expected.picture = "2024.03.05";
    c.expected.decimals = 3;
    c.expected.number = " 1234;00";
    cases.push_back(c);
  }
  {
    Case c{"an order the runtime does not know reads month first",
           {{LOCALE_IDATE, "7"}, {LOCALE_SSHORTDATE, "yyyy"}},
           Fallbacks()};
    c.expected.date = c.expected.picture = "03/05/2024";
    cases.push_back(c);
  }

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FailEveryQuery();
    Answer(c.answers);
    StartFromKestran();
    std::uint32_t blocks = TbTestLiveMemBlocks();
    EXPECT_TRUE(IsSymbol(SetIntl(SymbolValue(SYM_WINDOWS)), SYM_KESTRAN));
    EXPECT_EQ(Snapshot(), c.expected);
    EXPECT_EQ(TbTestLiveMemBlocks(), blocks) << "the work buffer is freed";
    EXPECT_TRUE(Received().empty());
  }
}

TEST_F(WindowsModeTest, WithoutAWorkBufferEveryQueryTakesItsFallback) {
  Answer({{LOCALE_SDECIMAL, ","}, {LOCALE_ITIME, "1"}, {LOCALE_IDATE, "2"}, {LOCALE_IDIGITS, "4"}});
  StartFromKestran();
  std::uint32_t blocks = TbTestLiveMemBlocks();
  std::uint32_t allocations = TbTestCallCount(TB_HOOK_MEMALLOC);
  TbTestFailNthCall(TB_HOOK_MEMALLOC, 1);
  SetIntl(SymbolValue(SYM_WINDOWS));
  EXPECT_EQ(TbTestCallCount(TB_HOOK_MEMALLOC), allocations + 1);
  EXPECT_EQ(Snapshot(), Fallbacks());
  EXPECT_EQ(TbTestLiveMemBlocks(), blocks);
  EXPECT_TRUE(Received().empty());
}

}  // namespace
#endif
