#include "error_recorder.h"
#include "runtime_fixture.h"
#include "tb28run/numbers.h"
#include "tb28run/value_ops.h"

namespace {

class ValueCompareTest : public RuntimeTest {
 protected:
  static Usual F(const char* text) { return Val(Psz2String(text)); }
  static Usual Day(std::uint32_t n) { return Usual{n, T_DATE}; }
};

int a;

TEST_F(ValueCompareTest, OperatorsOverComparablePairs) {
  Usual array = EmptyUsual(T_ARRAY);
  struct Case {
    const char* what;
    Usual x, y;
    bool eq, de, gt, ls;
  } cases[] = {
      {"3 vs 3", IntValue(3), IntValue(3), true, true, false, false},
      {"-2 vs 3, signed", IntValue(-2), IntValue(3), false, false, false, true},
      {"max vs min", IntValue(INT32_MAX), IntValue(INT32_MIN), false, false, true, false},
      {"1 vs 1.0", IntValue(1), F("1.0"), true, true, false, false},
      {"1.0 vs 1", F("1.00"), IntValue(1), true, true, false, false},
      {"2 vs 1.5", IntValue(2), F("1.5"), false, false, true, false},
      {"-1 vs 2^32-1", IntValue(-1), _DW2T(4294967295u), false, false, false, true},
      {"2^31 vs 2^31", _DW2T(2147483648u), F("2147483648.0"), true, true, false, false},
      {"abc vs abc", S("abc"), S("abc"), true, true, false, false},
      {"abc vs ab", S("abc"), S("ab"), false, false, true, false},
      {"ab vs abc", S("ab"), S("abc"), false, false, false, true},
      {"byte 200 vs a", S("\xc8"), S("a"), false, false, true, false},
      {"dates", Day(2451545), Day(2451546), false, false, false, true},
      {".T. vs .F.", LogicValue(true), LogicValue(false), false, false, true, false},
      {"logical words 2 and 1", Usual{2, T_LOGIC}, LogicValue(true), true, true, false, false},
      {"pointers", PtrValue(&a), PtrValue(&a), true, true, false, false},
      {"pointer kinds", PtrValue(&a), Usual{reinterpret_cast<std::uintptr_t>(&a), T_PTR_CALL}, true, true, false,
       false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(_PEQ(c.x, c.y) != 0, c.eq) << c.what;
    EXPECT_EQ(_PUE(c.x, c.y) != 0, !c.eq) << c.what;
    EXPECT_EQ(_PDE(c.x, c.y) != 0, c.de) << c.what;
    EXPECT_EQ(_PGT(c.x, c.y) != 0, c.gt) << c.what;
    EXPECT_EQ(_PLS(c.x, c.y) != 0, c.ls) << c.what;
  }
  // Values without an order are equal to themselves only.
  EXPECT_NE(_PEQ(array, array), 0);
  EXPECT_EQ(_PEQ(array, EmptyUsual(T_ARRAY)), 0);
  EXPECT_NE(_PEQ(SymbolValue(33), SymbolValue(33)), 0);
  EXPECT_EQ(_PEQ(SymbolValue(33), SymbolValue(34)), 0);
  EXPECT_NE(_PEQ(NilValue(), NilValue()), 0);
  EXPECT_EQ(_PEQ(NilValue(), IntValue(0)), 0);
  EXPECT_NE(_PUE(S(""), NilValue()), 0);
}

TEST_F(ValueCompareTest, PairsThatCannotBeComparedGoTheErrorRoad) {
  ErrorRecorder::Install();
  EXPECT_EQ(_PEQ(IntValue(1), S("1")), 0);
  EXPECT_NE(_PUE(IntValue(1), S("1")), 0);
  EXPECT_EQ(_PGT(S("b"), IntValue(1)), 0);
  EXPECT_EQ(_PLS(EmptyUsual(T_ARRAY), EmptyUsual(T_ARRAY)), 0);
  ASSERT_EQ(ErrorRecorder::Raised().size(), 4u);
  EXPECT_EQ(ErrorRecorder::Raised()[0].operation, "=");
  EXPECT_EQ(ErrorRecorder::Raised()[0].argNum, 2u);
  EXPECT_EQ(ErrorRecorder::Raised()[0].argTypeReq, T_INT);
  EXPECT_EQ(ErrorRecorder::Raised()[2].argTypeReq, T_STRING);
  EXPECT_EQ(ErrorRecorder::Raised()[3].argNum, 1u);  // an array has no order at all

  ErrorRecorder::Answer(IntValue(0));  // substitute the right operand
  EXPECT_NE(_PGT(IntValue(1), S("x")), 0);
  EXPECT_EQ(_PDE(IntValue(1), S("1")), 0);  // exact equality never raises
  EXPECT_EQ(ErrorRecorder::Raised().size(), 5u);
}

TEST_F(ValueCompareTest, MaxOfNumbersAndDates) {
  EXPECT_EQ(Str(NTrim(Max(IntValue(3), F("3.5")))), "3.5");
  EXPECT_EQ(AsInt(Max(IntValue(-3), IntValue(-7))), -3);
  Usual first = F("2.0");
  EXPECT_EQ(Max(first, IntValue(2)).value, first.value);  // equal: the first
  EXPECT_EQ(Max(Day(10), Day(2451545)).value, 2451545u);

  ErrorRecorder::Install();
  EXPECT_EQ(AsInt(Max(IntValue(4), Day(1))), 4);
  EXPECT_EQ(Str(Max(S("a"), IntValue(1))), "a");
  ASSERT_EQ(ErrorRecorder::Raised().size(), 2u);
  EXPECT_EQ(ErrorRecorder::Raised()[0].argNum, 2u);
  EXPECT_EQ(ErrorRecorder::Raised()[1].argNum, 1u);
}

TEST_F(ValueCompareTest, Addition) {
  EXPECT_EQ(Str(_PAD(S("ab"), S("cd"))), "abcd");
  Usual sum = _PAD(IntValue(2), IntValue(3));
  EXPECT_EQ(sum.type, T_INT);
  EXPECT_EQ(AsInt(sum), 5);
  Usual wide = _PAD(IntValue(INT32_MAX), IntValue(1));
  EXPECT_EQ(wide.type, T_FLOAT);
  EXPECT_EQ(Str(NTrim(wide)), "2147483648");
  Usual low = _PAD(IntValue(INT32_MIN), IntValue(-1));
  EXPECT_EQ(Str(NTrim(low)), "-2147483649");
  EXPECT_EQ(Str(NTrim(_PAD(F("1.5"), F("0.25")))), "1.75");  // the finer decimals
  EXPECT_EQ(Str(NTrim(_PAD(IntValue(1), F("0.5")))), "1.5");
  EXPECT_EQ(Str(NTrim(_PAD(_DW2T(4294967295u), IntValue(1)))), "4294967296");

  EXPECT_EQ(_PAD(Day(2451545), IntValue(31)).value, 2451576u);
  EXPECT_EQ(_PAD(IntValue(-1), Day(2451545)).value, 2451544u);
  EXPECT_EQ(_PAD(Day(0), IntValue(5)).value, 0u);

  ErrorRecorder::Install();
  EXPECT_EQ(_PAD(Day(5373484), IntValue(1)).value, 0u);  // past 31 December 9999
  EXPECT_EQ(ErrorRecorder::Raised().back().gencode, 4u);
  EXPECT_EQ(Str(_PAD(S("a"), IntValue(1))), "a");
  EXPECT_EQ(ErrorRecorder::Raised().back().argTypeReq, T_STRING);
  ErrorRecorder::Answer(S("b"));
  EXPECT_EQ(Str(_PAD(S("a"), IntValue(1))), "ab");
  EXPECT_EQ(ErrorRecorder::Raised().size(), 3u);
}

}  // namespace
