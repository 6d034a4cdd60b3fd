#include "tb28run/datetime.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>

#include "error_recorder.h"
#include "kest_call.h"
#include "runtime_fixture.h"
#include "tb28run/intl.h"
#include "tb28run/testing_clock.h"

namespace {

class DateTimeTest : public RuntimeTest {
 protected:
  static void Picture(const char* picture) { SetDateFrmt(Psz2String(picture)); }
  static void Century(bool on) { KestCall(SetCentury, 1, {LogicValue(on)}); }
  static void Clock(std::uint16_t h, std::uint16_t m, std::uint16_t s) {
    TbTestLocalTime t{2024, 2, 29, h, m, s};
    TbTestSetLocalTime(&t);
  }
  static Usual Day(std::uint32_t n) { return Usual{n, T_DATE}; }
};

// Julian day numbers known independently of this code.
constexpr std::uint32_t kJan1st2000 = 2451545;
constexpr std::uint32_t kJan1st1970 = 2440588;
constexpr std::uint32_t kGregorianStart = 2299161;  // 15 October 1582

TEST_F(DateTimeTest, DToCInEachPicture) {
  struct Case {
    const char* picture;
    bool century;
    std::uint32_t day;
    const char* text;
  } cases[] = {
      {"MM/DD/YY", false, kJan1st2000, "01/01/00"},
      {"MM/DD/YY", true, kJan1st2000, "01/01/2000"},
      {"DD.MM.YYYY", false, kJan1st1970, "01.01.1970"},
      {"YYYY-MM-DD", false, kGregorianStart, "1582-10-15"},
      {"YY/MM/DD", false, kGregorianStart, "82/10/15"},
      {"mm/dd/yy", false, kJan1st1970, "01/01/70"},
      {"D.M.YYYY", false, kGregorianStart, "15.10.1582"},
      {"DD MM", false, kJan1st2000 + 59, "29 02"},
      {"YYYYMMDD", true, kJan1st2000 + 365, "20001231"},
      {"", false, kJan1st2000, ""},
      {"MM/DD/YY", false, 0, "  /  /  "},
      {"MM/DD/YY", true, 0, "  /  /    "},
      {"DD.MM.YYYY", false, 0, "  .  .    "},
      {"MM/DD/YY", false, 1000, "  /  /  "},
      {"D/M/Y", false, kGregorianStart, "15/10/82"},
      {"D/M/Y", true, kGregorianStart, "15/10/1582"},
      {"D/M/Y", false, 0, " / /  "},
      {"D/M/Y", true, 0, " / /    "},
      {"DDD MMM YYY", false, kJan1st2000, "001 001 2000"},
      {"DDD MMM YYY", false, 0, "            "},
      {"yYyY dD", false, kJan1st1970, "1970 01"},
      {"\xE9"
       "DD",
       false, kJan1st2000,
       "\xE9"
       "01"},
      // Pictures longer than the runtime's own room on the stack.
      {"--------------------------------------------------DD.MM.YYYY", false, kJan1st2000,
       "--------------------------------------------------01.01.2000"},
      {"--------------------------------------------------DD.MM.YYYY", false, 0,
       "--------------------------------------------------  .  .    "},
      {"YYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYY Y Y Y Y Y Y Y Y Y Y Y Y Y Y Y Y Y Y Y Y Y Y Y Y Y Y Y Y Y Y Y Y Y",
       true, kJan1st2000,
       "2000 2000 2000 2000 2000 2000 2000 2000 2000 2000 2000 2000 2000 2000 2000 2000 2000 2000 2000 2000 "
       "2000 2000 2000 2000 2000 2000 2000 2000 2000 2000 2000 2000 2000 2000"},
  };
  for (const Case& c : cases) {
    Picture(c.picture);
    Century(c.century);
    EXPECT_EQ(Str(DToC(Day(c.day))), c.text) << c.picture << " " << c.day;
  }
}

// DToC keeps its last text: each step changes one thing it was made from, or nothing.
TEST_F(DateTimeTest, DToCFollowsEachChangeOfPictureCenturyAndDay) {
  struct Step {
    const char* picture;
    bool century;
    std::uint32_t day;
    const char* text;
  } steps[] = {
      {"MM/DD/YY", false, kJan1st2000, "01/01/00"},
      {"MM/DD/YY", false, kJan1st2000, "01/01/00"},
      {"MM/DD/YY", true, kJan1st2000, "01/01/2000"},
      {"MM/DD/YY", false, kJan1st2000, "01/01/00"},
      {"DD/MM/YY", false, kJan1st2000 + 31, "01/02/00"},
      {"MM/DD/YY", false, kJan1st2000 + 31, "02/01/00"},
      {"MM/DD/YY", false, kJan1st2000 + 32, "02/02/00"},
      {"MM/DD/YY", false, 0, "  /  /  "},
      {"MM-DD-YY", false, 0, "  -  -  "},
      {"MM-DD-YY", false, kJan1st1970, "01-01-70"},
      {"MM-DD-YYY", false, kJan1st1970, "01-01-1970"},
      {"MM-DD-YY", false, kJan1st1970, "01-01-70"},
      {"--------------------------------------------------DD", false, kJan1st1970,
       "--------------------------------------------------01"},
      {"MM-DD-YY", false, kJan1st1970, "01-01-70"},
      {"", false, kJan1st1970, ""},
      {"MM-DD-YY", false, kJan1st1970, "01-01-70"},
  };
  for (const Step& step : steps) {
    Picture(step.picture);
    Century(step.century);
    EXPECT_EQ(Str(DToC(Day(step.day))), step.text) << step.picture << " " << step.century << " " << step.day;
  }
}

TEST_F(DateTimeTest, TodayIsTheLocalDate) {
  TbTestLocalTime t{2000, 1, 1, 23, 59, 59};
  TbTestSetLocalTime(&t);
  EXPECT_EQ(Today().type, T_DATE);
  EXPECT_EQ(Today().value, kJan1st2000);
  t = {2024, 2, 29, 0, 0, 0};
  TbTestSetLocalTime(&t);
  Picture("YYYY-MM-DD");
  EXPECT_EQ(Str(DToC(Today())), "2024-02-29");
  t = {9999, 12, 31, 0, 0, 0};
  TbTestSetLocalTime(&t);
  EXPECT_EQ(Str(DToC(Today())), "9999-12-31");
}

TEST_F(DateTimeTest, DToCOfANonDate) {
  ErrorRecorder::Install();
  EXPECT_EQ(Str(DToC(IntValue(5))), "  /  /  ");
  ErrorRecorder::Answer(Day(kJan1st2000));
  EXPECT_EQ(Str(DToC(S("x"))), "01/01/00");
  ASSERT_EQ(ErrorRecorder::Raised().size(), 2u);
  EXPECT_EQ(ErrorRecorder::Raised()[0].argTypeReq, T_DATE);
}

TEST_F(DateTimeTest, TimeOnBothClocks) {
  struct Case {
    std::uint16_t h, m, s;
    bool amPm;
    const char* text;
  } cases[] = {
      {9, 5, 0, false, "09:05:00"},    {23, 59, 59, false, "23:59:59"},   {0, 0, 0, false, "00:00:00"},
      {9, 5, 0, true, "09:05:00 am"},  {0, 1, 2, true, "12:01:02 am"},    {12, 0, 0, true, "12:00:00 pm"},
      {13, 7, 9, true, "01:07:09 pm"}, {23, 59, 59, true, "11:59:59 pm"},
  };
  for (const Case& c : cases) {
    Clock(c.h, c.m, c.s);
    KestCall(SetAmPm, 1, {LogicValue(c.amPm)});
    EXPECT_EQ(Str(Time()), c.text);
  }
}

TEST_F(DateTimeTest, TimeWithOtherSeparatorsAndExtensions) {
  Clock(14, 30, 5);
  KestCall(SetAmPm, 1, {LogicValue(true)});
  SetTimeSep('.');
  SetAMExt(Psz2String(" vorm."));
  SetPMExt(Psz2String(" nachm."));
  EXPECT_EQ(Str(Time()), "02.30.05 nachm.");
  const std::string longer = " in the afternoon, by the clock on the wall of the old town hall";  // past a short buffer
  SetPMExt(Psz2String(longer.c_str()));
  EXPECT_EQ(Str(Time()), "02.30.05" + longer);
  SetPMExt(nullptr);
  SetTimeSep(0);
  EXPECT_EQ(Str(Time()), "023005");
  SetTimeSep(256 + ':');
  KestCall(SetAmPm, 1, {LogicValue(false)});
  EXPECT_EQ(Str(Time()), "14:30:05");
}

#if !defined(_WIN32)
// Every answer is the one localtime_r gives for the host clock's second, also after the second
// turns and after a test time is lifted.
TEST_F(DateTimeTest, TimeAndTodayFollowTheHostClockAcrossSeconds) {
  KestCall(SetAmPm, 1, {LogicValue(false)});
  Clock(3, 4, 5);
  EXPECT_EQ(Str(Time()), "03:04:05");
  TbTestSetLocalTime(nullptr);
  int secondsSeen = 0;
  std::time_t previous = 0;
  for (auto start = std::chrono::steady_clock::now();
       secondsSeen < 2 && std::chrono::steady_clock::now() - start < std::chrono::seconds(5);) {
    std::time_t before = std::time(nullptr);
    std::string time = Str(Time());
    Usual today = Today();
    if (std::time(nullptr) != before) continue;  // the second turned while asking
    std::tm parts{};
    localtime_r(&before, &parts);
    char expected[40];
    std::snprintf(expected, sizeof expected, "%02d:%02d:%02d", parts.tm_hour, parts.tm_min,
                  parts.tm_sec > 59 ? 59 : parts.tm_sec);
    ASSERT_EQ(time, expected);
    std::tm day{};
    day.tm_year = parts.tm_year, day.tm_mon = parts.tm_mon, day.tm_mday = parts.tm_mday;
    day.tm_hour = 12;
    // Days since 1 January 1970 (UTC noon of the local date), plus that day's Julian number.
    ASSERT_EQ(today.value, std::uint32_t(kJan1st1970 + timegm(&day) / 86400));
    if (before != previous) ++secondsSeen, previous = before;
  }
  EXPECT_EQ(secondsSeen, 2);
  Clock(23, 0, 1);
  EXPECT_EQ(Str(Time()), "23:00:01");
}
#endif

TEST_F(DateTimeTest, Version) { EXPECT_EQ(Str(Version()), "TB28RUN 2.8.0"); }

}  // namespace
