#include "error_recorder.h"
#include "runtime_fixture.h"
#include "tb28run/numbers.h"
#include "tb28run/value_ops.h"

namespace {

class ValueConvertTest : public RuntimeTest {};

int target;

TEST_F(ValueConvertTest, UnsignedNumbersTravelAsIntegersOrWholeFloats) {
  const std::uint32_t values[] = {0, 1, 2147483647u, 2147483648u, 3221225477u, 4294967295u};
  for (std::uint32_t v : values) {
    Usual u = _DW2T(v);
    EXPECT_EQ(u.type, v < 2147483648u ? T_INT : T_FLOAT) << v;
    EXPECT_EQ(_P2DW(u), v) << v;  // and back
  }
}

TEST_F(ValueConvertTest, NumbersToUnsigned) {
  struct Case {
    const char* text;
    std::uint32_t dw;
  } cases[] = {{"-1", 4294967295u}, {"7.9", 7},          {"-7.9", 4294967289u},
               {"4294967296", 0},   {"4294967297.5", 1}, {"-2147483648", 2147483648u}};
  for (const Case& c : cases) EXPECT_EQ(_P2DW(Val(Psz2String(c.text))), c.dw) << c.text;
  EXPECT_EQ(_P2DW(Val(Psz2String(std::string(400, '9').c_str()))), 0u);  // infinite
}

TEST_F(ValueConvertTest, RightTypesPassThrough) {
  EXPECT_EQ(_P2Logic(LogicValue(true)), 1);
  EXPECT_EQ(_P2Logic(Usual{2, T_LOGIC}), 1);
  EXPECT_EQ(_P2Logic(LogicValue(false)), 0);
  TbStr text = Psz2String("abc");
  EXPECT_EQ(_P2String(StringValue(text)), text);
  EXPECT_EQ(_P2Symbol(SymbolValue(479)), 479u);
  EXPECT_EQ(_P2Ptr(PtrValue(&target)), &target);
  EXPECT_EQ(_P2Ptr(Usual{reinterpret_cast<std::uintptr_t>(&target), T_PTR_CALL}), &target);
}

TEST_F(ValueConvertTest, WrongTypesGoTheErrorRoad) {
  ErrorRecorder::Install();
  EXPECT_EQ(_P2DW(S("5")), 0u);
  EXPECT_EQ(_P2Logic(IntValue(1)), 0);
  EXPECT_EQ(Str(_P2String(IntValue(1))), "");
  EXPECT_EQ(_P2Symbol(S("WINDOWS")), 0u);
  EXPECT_EQ(_P2Ptr(IntValue(1)), nullptr);
  const std::uint32_t wanted[] = {T_INT, T_LOGIC, T_STRING, T_SYMBOL, T_PTR};
  ASSERT_EQ(ErrorRecorder::Raised().size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) {
    const RaisedError& e = ErrorRecorder::Raised()[i];
    EXPECT_EQ(e.gencode, 1u);
    EXPECT_EQ(e.argTypeReq, wanted[i]) << e.operation;
    EXPECT_EQ(e.argNum, 1u);
    EXPECT_TRUE(e.canDefault && e.canRetry && e.canSubstitute) << e.operation;
  }
  EXPECT_EQ(ErrorRecorder::Raised()[0].argType, T_STRING);

  ErrorRecorder::Answer(LogicValue(true));  // retry: tested again, then the default
  ErrorRecorder::Answer(SymbolValue(482));  // then a substitute
  EXPECT_EQ(_P2Symbol(S("KESTRAN")), 482u);
  EXPECT_EQ(ErrorRecorder::Raised().size(), 7u);
}

}  // namespace
