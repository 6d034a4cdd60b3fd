#include <cstring>
#include <string>

#include "error_recorder.h"
#include "kest_call.h"
#include "runtime_fixture.h"
#include "tb28run/numbers.h"
#include "tb28run/testing.h"
#include "tb28run/value_ops.h"

namespace {

class StringsTest : public RuntimeTest {};

TEST_F(StringsTest, LeftAndRightStopAtTheString) {
  struct Case {
    const char* text;
    std::uint32_t n;
    const char* left;
    const char* right;
  } cases[] = {{"hello", 0, "", ""},           {"hello", 2, "he", "lo"}, {"hello", 5, "hello", "hello"},
               {"hello", 9, "hello", "hello"}, {"", 3, "", ""},          {"hello", UINT32_MAX, "hello", "hello"}};
  for (const Case& c : cases) {
    EXPECT_EQ(Str(Left(Psz2String(c.text), c.n)), c.left) << c.text << " " << c.n;
    EXPECT_EQ(Str(Right(Psz2String(c.text), c.n)), c.right) << c.text << " " << c.n;
  }
  EXPECT_EQ(Str(Left(nullptr, 3)), "");
}

TEST_F(StringsTest, SubStrCountsFromOne) {
  struct Case {
    Usual start;
    Usual count;  // NIL: not passed
    const char* expected;
  } cases[] = {
      {IntValue(1), IntValue(3), "abc"}, {IntValue(3), NilValue(), "cdef"},
      {IntValue(6), IntValue(9), "f"},   {IntValue(7), NilValue(), ""},
      {IntValue(0), IntValue(2), "ab"},  {IntValue(-2), NilValue(), "ef"},
      {IntValue(-9), IntValue(2), "ab"}, {IntValue(2), IntValue(0), ""},
      {IntValue(2), IntValue(-1), ""},   {Val(Psz2String("2.9")), Val(Psz2String("2.9")), "bc"},
  };
  for (const Case& c : cases) {
    Usual r = c.count.type == T_NIL ? KestCall(SubStr, 3, {S("abcdef"), c.start})
                                    : KestCall(SubStr, 3, {S("abcdef"), c.start, c.count});
    EXPECT_EQ(Str(r), c.expected) << AsPsz(c.start) << " " << AsPsz(c.count);
  }
  // Fewer slots than declared parameters: the count is not read past the slots.
  EXPECT_EQ(Str(KestCall(SubStr, 2, {S("abcdef"), IntValue(5)})), "ef");
}

TEST_F(StringsTest, SubStrOfAWrongTypeGoesTheErrorRoad) {
  ErrorRecorder::Install();
  EXPECT_EQ(Str(KestCall(SubStr, 3, {IntValue(5), IntValue(1)})), "");
  ErrorRecorder::Answer(S("xyz"));
  EXPECT_EQ(Str(KestCall(SubStr, 3, {IntValue(5), IntValue(2)})), "yz");
  ASSERT_EQ(ErrorRecorder::Raised().size(), 2u);
  EXPECT_EQ(ErrorRecorder::Raised()[0].operation, "SubStr");
  EXPECT_EQ(ErrorRecorder::Raised()[0].argTypeReq, T_STRING);
  EXPECT_EQ(Str(KestCall(SubStr, 3, {S("abc"), S("1")})), "");
  EXPECT_EQ(ErrorRecorder::Raised().back().argNum, 2u);
}

TEST_F(StringsTest, UpperChangesOnlyLetters) {
  EXPECT_EQ(Str(Upper(Psz2String("Argument error 7 \xe4z"))), "ARGUMENT ERROR 7 \xe4Z");
  const char withNul[] = {'a', '\0', 'b'};
  EXPECT_EQ(Str(Upper(Mem2String(withNul, 3))), std::string("A\0B", 3));
}

// Slices of strings their callers hold nowhere, a collection before every allocation: the slice
// is made after the bytes it takes have been read, whether they are copied on the stack or not.
TEST_F(StringsTest, SlicesOfStringsHeldNowhereSurviveACollection) {
  const std::string longText = std::string(300, 'x') + "tail";
  TbTestSetStackScan(0);
  TbTestSetGcStress(1);
  EXPECT_EQ(Str(Left(Psz2String("hello world"), 5)), "hello");
  EXPECT_EQ(Str(Right(Psz2String("hello world"), 5)), "world");
  EXPECT_EQ(Str(Upper(Psz2String("hello world"))), "HELLO WORLD");
  EXPECT_EQ(Str(Left(Psz2String(longText.c_str()), 302)), longText.substr(0, 302));
  EXPECT_EQ(Str(Right(Psz2String(longText.c_str()), 302)), longText.substr(2));
  EXPECT_EQ(Str(Upper(Psz2String(longText.c_str()))), std::string(300, 'X') + "TAIL");
  TbTestSetGcStress(0);
  TbTestSetStackScan(1);
}

TEST_F(StringsTest, ComparingAndSearching) {
  EXPECT_NE(_CPSE(Psz2String("abc"), Psz2String("abc")), 0);
  EXPECT_EQ(_CPSE(Psz2String("abc"), Psz2String("abcd")), 0);
  EXPECT_EQ(_CPSE(Psz2String("abc"), Mem2String("abc\0", 4)), 0);
  EXPECT_NE(_CPSE(nullptr, Psz2String("")), 0);
  EXPECT_NE(_CPPSZ("x", "x"), 0);
  EXPECT_EQ(_CPPSZ("x", "X"), 0);
  EXPECT_NE(_CPPSZ(nullptr, ""), 0);

  struct Case {
    const char* needle;
    const char* haystack;
    std::uint32_t at;
  } cases[] = {{"c", "abcabc", 3}, {"abc", "abcabc", 1}, {"ca", "abcabc", 3}, {"x", "abc", 0},
               {"", "abc", 0},     {"abcd", "abc", 0},   {"a", "", 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(At(Psz2String(c.needle), Psz2String(c.haystack)), c.at) << c.needle << " in " << c.haystack;
    EXPECT_EQ(_INSTR(Psz2String(c.needle), Psz2String(c.haystack)) != 0, c.at != 0) << c.needle;
  }
  EXPECT_EQ(At(Psz2String("b"), Mem2String("a\0b", 3)), 3u);  // found past a NUL byte
}

TEST_F(StringsTest, MakingStrings) {
  EXPECT_EQ(Str(_CCS(Psz2String("ab"), Psz2String("cd"))), "abcd");
  EXPECT_EQ(Str(_CCS(nullptr, Psz2String("cd"))), "cd");
  EXPECT_EQ(Str(Space(3)), "   ");
  EXPECT_EQ(Str(Space(0)), "");
  EXPECT_EQ(Str(Chr(65)), "A");
  EXPECT_EQ(Str(Chr(256 + 66)), "B");
  EXPECT_EQ(Str(Chr(0)), std::string(1, '\0'));
  EXPECT_EQ(Str(Mem2String("abcdef", 3)), "abc");
  EXPECT_EQ(Str(Mem2String(nullptr, 3)), "");

  char* buffer = StringAlloc(5);
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer[5], '\0');
  std::memcpy(buffer, "hello", 5);
  EXPECT_STREQ(buffer, "hello");
  MemFree(buffer);
  EXPECT_EQ(StringAlloc(UINT32_MAX), nullptr);
}

TEST_F(StringsTest, HexWritesExactlyItsDigits) {
  struct Case {
    std::uint32_t value;
    const char* digits;
  } cases[] = {{0, "00000000"},
               {255, "000000FF"},
               {0xC0000005u, "C0000005"},
               {0xFFFFFFFFu, "FFFFFFFF"},
               {0x89ABCDEFu, "89ABCDEF"}};
  for (const Case& c : cases) {
    char place[] = "<........>";
    _Hex(c.value, place + 1);
    EXPECT_EQ(std::string(place), "<" + std::string(c.digits) + ">");
  }
  const std::pair<std::uint8_t, const char*> bytes[] = {{0, "00"}, {0x41, "41"}, {0xAF, "AF"}, {0xFF, "FF"}};
  for (const auto& [value, digits] : bytes) {
    char place[] = "[..]";
    _HexByte(value, place + 1);
    EXPECT_EQ(std::string(place), "[" + std::string(digits) + "]");
  }
}

}  // namespace
