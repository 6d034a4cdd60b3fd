// The switches SetBeep, SetErrorLog and NetErr, and the exit code ErrorLevel: query, set,
// the previous value, reachable by symbol.
#include "tb28run/switches.h"
#include "error_recorder.h"
#include "kest_call.h"
#include "runtime_fixture.h"
#include "tb28run/arrays.h"
#include "tb28run/files.h"
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
