// The switches SetBeep, SetErrorLog and NetErr, and the exit code ErrorLevel: query, set,
// the previous value, reachable by symbol.
#include "tb28run/switches.h"

#include <string>

#include "error_recorder.h"
#include "kest_call.h"
#include "runtime_fixture.h"
#include "tb28run/arrays.h"
#include "tb28run/bringup.h"
#include "tb28run/files.h"
#include "tb28run/intl.h"
#include "tb28run/numbers.h"
#include "tb28run/process.h"
#include "tb28run/value_ops.h"
#include "test_function_table.h"

namespace {

class SwitchesTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    ASSERT_EQ(RTInitWithTable(table_), 0);
    ErrorRecorder::Install();
  }
  TestFunctionTable<1> table_{{FIRST_PROGRAM_SYMBOL}, {{nullptr, 0}}};
};

struct Switch {
  const char* name;
  KestFn fn;
  Sym symbol;
  bool initially;
};
const Switch kSwitches[] = {
    {"SetBeep", &SetBeep, SYM_SETBEEP, true},
    {"SetErrorLog", &SetErrorLog, SYM_SETERRORLOG, true},
    {"NetErr", &NetErr, SYM_NETERR, false},
};

TEST_F(SwitchesTest, EachAnswersItsPreviousValue) {
  for (const Switch& s : kSwitches) {
    EXPECT_EQ(KestCall(s.fn, 1, {}).value, s.initially) << s.name;
    EXPECT_EQ(KestCall(s.fn, 1, {LogicValue(!s.initially)}).value, s.initially) << s.name;
    EXPECT_EQ(KestCall(s.fn, 1, {NilValue()}).value, !s.initially) << s.name << ": NIL only asks";
    EXPECT_EQ(KestCall(s.fn, 1, {LogicValue(s.initially)}).value, !s.initially) << s.name;
    EXPECT_EQ(KestCall(s.fn, 1, {}).type, T_LOGIC) << s.name;
  }
  EXPECT_TRUE(ErrorRecorder::Raised().empty());
}

TEST_F(SwitchesTest, AValueOfAnotherTypeIsAnArgumentErrorAndChangesNothing) {
  for (const Switch& s : kSwitches) {
    ErrorRecorder::Raised().clear();
    EXPECT_EQ(KestCall(s.fn, 1, {IntValue(0)}).value, s.initially) << s.name;
    ASSERT_EQ(ErrorRecorder::Raised().size(), 1u) << s.name;
    EXPECT_EQ(ErrorRecorder::Raised()[0].operation, s.name);
    EXPECT_EQ(KestCall(s.fn, 1, {}).value, s.initially) << s.name;
  }
}

// NIL only asks, whether passed or answered by the error block for a value of another type: the
// switch stays as it was, and the error is not raised again.
TEST_F(SwitchesTest, ANilTheErrorBlockAnswersLeavesTheSwitch) {
  struct Setting {
    const char* name;
    KestFn fn;
  };
  const Setting settings[] = {
      {"SetBeep", &SetBeep}, {"NetErr", &NetErr}, {"SetAmPm", &SetAmPm}, {"SetCentury", &SetCentury}};
  for (const Setting& s : settings) {
    bool before = KestCall(s.fn, 1, {}).value != 0;
    ErrorRecorder::Install();
    ErrorRecorder::Answer(NilValue());
    ErrorRecorder::Answer(LogicValue(true));  // were it asked again: a retry, then the default
    EXPECT_EQ(KestCall(s.fn, 1, {IntValue(1)}).value != 0, before) << s.name;
    EXPECT_EQ(ErrorRecorder::Raised().size(), 1u) << s.name;
    EXPECT_EQ(KestCall(s.fn, 1, {}).value != 0, before) << s.name;
  }
}

TEST_F(SwitchesTest, TheResetTurnsThemBackOn) {
  for (const Switch& s : kSwitches) KestCall(s.fn, 1, {LogicValue(!s.initially)});
  TbTestReset();
  for (const Switch& s : kSwitches) EXPECT_EQ(KestCall(s.fn, 1, {}).value, s.initially) << s.name;
}

TEST_F(SwitchesTest, ErrorLevelKeepsTheCodeAsA32BitWord) {
  EXPECT_EQ(AsInt(KestCall(ErrorLevel, 1, {})), 0);
  EXPECT_EQ(AsInt(KestCall(ErrorLevel, 1, {IntValue(256)})), 0);
  EXPECT_EQ(AsInt(KestCall(ErrorLevel, 1, {_DW2T(0x80000001u)})), 256);
  EXPECT_EQ(std::uint32_t(AsInt(KestCall(ErrorLevel, 1, {}))), 0x80000001u) << "an unsigned code arrives as a float";
  KestCall(ErrorLevel, 1, {S("x")});
  EXPECT_EQ(ErrorRecorder::Raised().size(), 1u);
  EXPECT_EQ(std::uint32_t(AsInt(KestCall(ErrorLevel, 1, {}))), 0x80000001u);
}

// The main function's result sets the code as ErrorLevel would: a float's whole part as a 32-bit
// word, and 0 for a float that has none a word can carry.
TEST_F(SwitchesTest, TheMainFunctionsFloatResultSetsTheCodeAsErrorLevelDoes) {
  const std::string digits(400, '9');  // past the largest double: Val answers an infinity
  const Usual infinity = Val(Psz2String(digits.c_str()));
  const Usual negativeInfinity = Val(Psz2String(("-" + digits).c_str()));
  struct Case {
    const char* what;
    Usual number;
    std::int32_t code;
  } cases[] = {
      {"2.9", Val(Psz2String("2.9")), 2},
      {"-2.9", Val(Psz2String("-2.9")), -2},
      {"2^32 - 1", Val(Psz2String("4294967295.0")), -1},
      {"2^31", _DW2T(0x80000000u), std::int32_t(0x80000000u)},
      {"1e300", Val(Psz2String(("1" + std::string(300, '0') + ".0").c_str())), 0},
      {"infinity", infinity, 0},
      {"-infinity", negativeInfinity, 0},
      {"NaN", _PAD(infinity, negativeInfinity), 0},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(c.number.type, T_FLOAT) << c.what;
    KestCall(ErrorLevel, 1, {IntValue(77)});
    __ConvertResult(c.number.value, c.number.type);
    EXPECT_EQ(AsInt(KestCall(ErrorLevel, 1, {})), c.code) << c.what;
    KestCall(ErrorLevel, 1, {c.number});
    EXPECT_EQ(AsInt(KestCall(ErrorLevel, 1, {})), c.code) << "ErrorLevel, " << c.what;
  }
  __ConvertResult(std::uintptr_t(std::uint32_t(-5)), T_INT);
  EXPECT_EQ(AsInt(KestCall(ErrorLevel, 1, {})), -5);
  __ConvertResult(1, T_LOGIC);
  EXPECT_EQ(AsInt(KestCall(ErrorLevel, 1, {})), 1);
}

TEST_F(SwitchesTest, EachIsReachableBySymbol) {
  TbArr none = ArrayCreate(0);
  EXPECT_EQ(_CallKestFunc(SYM_SETBEEP, none).value, 1u);
  EXPECT_EQ(_CallKestFunc(SYM_SETERRORLOG, none).value, 1u);
  EXPECT_EQ(_CallKestFunc(SYM_NETERR, none).value, 0u);
  Usual five = IntValue(5);
  _CallKestFunc(SYM_ERRORLEVEL, ArrayInit(1, &five));
  EXPECT_EQ(AsInt(KestCall(ErrorLevel, 1, {})), 5);
  KestCall(FError, 1, {IntValue(32)});
  EXPECT_EQ(AsInt(_CallKestFunc(SYM_FERROR, none)), 32);
}

}  // namespace
