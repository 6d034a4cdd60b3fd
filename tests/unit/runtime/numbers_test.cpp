#include "tb28run/numbers.h"
#include "error_recorder.h"
#include "kest_call.h"
#include "runtime_fixture.h"
#include "tb28run/intl.h"
#include "tb28run/value_ops.h"

namespace {

class NumbersTest : public RuntimeTest {
 protected:
  static Usual F(const char* text) { return Val(Psz2String(text)); }  // a float with the text's decimals
  // A float without decimals of its own: it shows the SetDecimal setting.
  static Usual Plain(const char* text) { return _PAD(EmptyUsual(T_FLOAT), F(text)); }
  static void Set(KestFn setter, Usual value) { KestCall(setter, 1, {value}); }
};

TEST_F(NumbersTest, NTrimShowsEachNumbersOwnDecimals) {
  struct Case {
    Usual number;
    const char* text;
  } cases[] = {
      {IntValue(0), "0"},
      {IntValue(-42), "-42"},
      {IntValue(INT32_MIN), "-2147483648"},
      {F("1.50"), "1.50"},
      {F("2.5"), "2.5"},
      {Plain("1.5"), "1.50"},
      {Plain("1.005"), "1.01"},
      {Plain("-1.005"), "-1.01"},
      {Plain("-0.001"), "0.00"},
      {Plain("2.675"), "2.68"},
      {_DW2T(2147483648u), "2147483648"},
      {_DW2T(4294967295u), "4294967295"},
      {_DW2T(7), "7"},
      {F("1e3"), "1"},
  };
  for (const Case& c : cases) EXPECT_EQ(Str(NTrim(c.number)), c.text) << c.text;
}

TEST_F(NumbersTest, StrWithoutWidthIsTheNaturalText) {
  EXPECT_EQ(Str(KestCall(__Str, 3, {IntValue(12)})), "12");
  EXPECT_EQ(Str(KestCall(__Str, 3, {F("3.125")})), "3.125");
  EXPECT_EQ(Str(KestCall(__Str, 3, {Plain("3.125")})), "3.13");
  EXPECT_EQ(Str(KestCall(__Str, 3, {_DW2T(3000000000u)})), "3000000000");
  EXPECT_EQ(Str(KestCall(__Str, 3, {F("3.125"), NilValue(), IntValue(1)})), "3.1");
  EXPECT_EQ(Str(KestCall(__Str, 1, {IntValue(5)})), "5");  // a caller declaring a single slot
}

TEST_F(NumbersTest, StrAndStrZeroInAWidth) {
  struct Case {
    Usual number;
    std::int32_t width, decimals;  // decimals -1: not passed
    const char* str;
    const char* strZero;
  } cases[] = {
      {IntValue(7), 3, 0, "  7", "007"},
      {IntValue(7), 3, -1, "  7", "007"},
      {IntValue(-5), 4, -1, "  -5", "-005"},
      {IntValue(1234), 3, -1, "***", "***"},
      {IntValue(7), 6, 2, "  7.00", "007.00"},
      {F("3.14159"), 8, -1, "       3", "00000003"},
      {F("3.14159"), 8, 3, "   3.142", "0003.142"},
      {F("-0.5"), 4, 0, "  -1", "-001"},
      {F("99.99"), 4, 1, "****", "****"},
      {F("99.99"), 5, 1, "100.0", "100.0"},
      {IntValue(5), 0, -1, "5", "0000000005"},
      {_DW2T(4294967295u), 10, -1, "4294967295", "4294967295"},
  };
  for (const Case& c : cases) {
    auto call = [&](KestFn fn) {
      return c.decimals < 0 ? KestCall(fn, 3, {c.number, IntValue(c.width)})
                            : KestCall(fn, 3, {c.number, IntValue(c.width), IntValue(c.decimals)});
    };
    EXPECT_EQ(Str(call(__Str)), c.str) << c.str;
    EXPECT_EQ(Str(call(StrZero)), c.strZero) << c.strZero;
  }
  EXPECT_EQ(Str(KestCall(StrZero, 3, {IntValue(42)})), "0000000042");
  EXPECT_EQ(Str(KestCall(StrZero, 3, {F("4.25")})), "0000000004.25");
}

TEST_F(NumbersTest, TheSettingsShapeFloats) {
  Usual plain = Plain("2.5"), own = F("2.5"), negative = F("-1.25");  // read while "." is in force
  Set(SetDecimal, IntValue(4));
  Set(SetDecimalSep, IntValue(','));
  EXPECT_EQ(Str(NTrim(plain)), "2,5000");
  EXPECT_EQ(Str(NTrim(own)), "2,5");  // its own decimals win over the setting
  EXPECT_EQ(Str(NTrim(IntValue(3))), "3");
  EXPECT_EQ(Str(KestCall(__Str, 3, {negative, IntValue(7), IntValue(1)})), "   -1,3");

  // Val reads the separator in force, and only it.
  EXPECT_EQ(Str(NTrim(Val(Psz2String("1,25")))), "1,25");
  Usual dotted = Val(Psz2String("1.25"));
  EXPECT_EQ(dotted.type, T_INT);
  EXPECT_EQ(AsInt(dotted), 1);
  Set(SetDecimalSep, IntValue(0));  // no separator character: a point again
  EXPECT_EQ(Str(NTrim(F("1.5"))), "1.5");
}

TEST_F(NumbersTest, ValReadsTheLeadingNumber) {
  struct Case {
    const char* text;
    std::uint32_t type;
    const char* asText;  // NTrim of the result
  } cases[] = {
      {"42", T_INT, "42"},
      {"  -17xyz", T_INT, "-17"},
      {"+8", T_INT, "8"},
      {"", T_INT, "0"},
      {"abc", T_INT, "0"},
      {"-", T_INT, "0"},
      {"1.50", T_FLOAT, "1.50"},
      {".5", T_FLOAT, "0.5"},
      {"-0.0", T_FLOAT, "0.0"},
      {"5.", T_FLOAT, "5"},
      {"2147483647", T_INT, "2147483647"},
      {"2147483648", T_FLOAT, "2147483648"},
      {"-2147483648", T_INT, "-2147483648"},
      {"1 2", T_INT, "1"},
  };
  for (const Case& c : cases) {
    Usual v = Val(Psz2String(c.text));
    EXPECT_EQ(v.type, c.type) << c.text;
    EXPECT_EQ(Str(NTrim(v)), c.asText) << c.text;
  }
  EXPECT_EQ(Str(NTrim(Val(Psz2String(std::string(400, '9').c_str())))), "**********");
}

TEST_F(NumbersTest, ANonNumberGoesTheErrorRoad) {
  ErrorRecorder::Install();
  EXPECT_EQ(Str(NTrim(S("12"))), "");
  ErrorRecorder::Answer(IntValue(12));
  EXPECT_EQ(Str(KestCall(StrZero, 3, {S("12"), IntValue(4)})), "0012");
  EXPECT_EQ(Str(KestCall(__Str, 3, {IntValue(1), S("4")})), "");
  ASSERT_EQ(ErrorRecorder::Raised().size(), 3u);
  EXPECT_EQ(ErrorRecorder::Raised()[0].operation, "NTrim");
  EXPECT_EQ(ErrorRecorder::Raised()[1].operation, "StrZero");
  EXPECT_EQ(ErrorRecorder::Raised()[2].argNum, 2u);
}

}  // namespace
