// What an Error holds survives a collection through the class's reference map alone.
#include <memory>

#include "errors/error_system_init.h"
#include "program_fixture.h"
#include "runtime/call.h"
#include "tb28run/arrays.h"
#include "value_keeper.h"

namespace {

class ErrorCollectionTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    ASSERT_EQ(ModuleInit(), 0);
  }
};

__attribute__((noinline)) Usual Text(const char* text) { return StringValue(Psz2String(text)); }

TEST_F(ErrorCollectionTest, EveryReferenceRunOfTheErrorClassKeepsItsValue) {
  // The error lives in a frame slot on the C++ heap; with the stack scan off for the collections
  // only the frame and then the error's reference map can keep what it holds.
  FrameInfo info{"HOLDER", "error_collection_test.cpp"};
  std::unique_ptr<Usual[]> locals(new Usual[1]{});
  std::unique_ptr<Frame> frame(new Frame{});
  frame->info = &info;
  frame->locals = locals.get();
  frame->localCount = 1;
  INCKidStackPtr(frame.get());
  locals[0] = CallKest<declared::CreateInstance>(CreateInstance, SymbolValue(SYM_ERROR), IntValue(0));
  TbObj e = AsObj(locals[0]);
  const Sym strings[] = {SYM_SUBSYSTEM,   SYM_OPERATION, SYM_DESCRIPTION, SYM_FILENAME,
                         SYM_SUBCODETEXT, SYM_ARG,       SYM_STACK};
  for (Sym s : strings) IVarPut(e, s, Text(Symbol2String(s)));
  IVarPut(e, SYM_CARGO, Text("cargo, a dynamic value"));
  TbArr args = ArrayCreate(1);
  IVarPut(e, SYM_ARGS, ArrayValue(args));
  ArrayPut(args, 1, Text("inside ARGS"));
  Usual other = CallKest<declared::CreateInstance>(CreateInstance, SymbolValue(SYM_TBOBJECT));
  IVarPut(e, SYM_METHODSELF, other);
  args = nullptr;
  other = NilValue();

  TbTestSetStackScan(0);
  TbTestCollect();
  TbTestCollect();
  TbTestSetStackScan(1);
  for (Sym s : strings) {
    Usual v = IVarGet(e, s);
    ASSERT_TRUE(TbTestIsLive(AsPtr(v))) << Symbol2String(s);
    EXPECT_EQ(Str(v), Symbol2String(s));
  }
  Usual cargo = IVarGet(e, SYM_CARGO);
  ASSERT_TRUE(TbTestIsLive(AsPtr(cargo)));
  EXPECT_EQ(Str(cargo), "cargo, a dynamic value");
  Usual kept = IVarGet(e, SYM_ARGS);
  ASSERT_TRUE(TbTestIsLive(AsPtr(kept)));
  EXPECT_EQ(Str(ArrayGet(AsArr(kept), 1)), "inside ARGS");
  EXPECT_TRUE(TbTestIsLive(AsPtr(IVarGet(e, SYM_METHODSELF))));
  DECKidStackPtr(frame.get());
}

// What the error block found as the third element of ARGS: the text inside the array that
// was refused, or what went wrong.
std::string thirdArgument;
std::string TextInside(Usual array) {
  if (array.type != T_ARRAY || !TbTestIsLive(AsPtr(array))) return "<array freed>";
  if (ALen(AsArr(array)) != 1) return "<not the array sent>";
  return LiveText(ArrayGet(AsArr(array), 1));
}
Usual RecordThirdArgument(std::uint32_t, Usual* args) {
  Usual list = IVarGet(AsObj(args[0]), SYM_ARGS);
  thirdArgument = list.type == T_ARRAY && ALen(AsArr(list)) == 3 ? TextInside(ArrayGet(AsArr(list), 3)) : "<no ARGS>";
  return LogicValue(false);
}
const CodeBlock kRecordThirdArgument{1, &RecordThirdArgument};

// A new array holding a new string; nothing else holds either.
__attribute__((noinline)) Usual NewArrayOfText(const char* text) {
  Usual inside = Text(text);
  return ArrayValue(ArrayInit(1, &inside));
}

TEST_F(ErrorCollectionTest, TheArgumentsOfARuntimeErrorReachItsObjectAlive) {
  // The refused value (an array, stored where a number goes) is held by nothing but the
  // runtime's raw record while DefErrorGen builds the object, which allocates on the way: the
  // constructor's call stack, the strings of every field.
  RegisterErrorGen();
  Usual block = CodeBlockValue(&kRecordThirdArgument);
  ErrorBlock(CountWord(1, 1), &block);
  ValueKeeper keeper;
  Usual error = keeper.Keep(CallKest<declared::CreateInstance>(CreateInstance, SymbolValue(SYM_ERROR), IntValue(0)));
  thirdArgument.clear();
  Usual refused = NewArrayOfText("inside the refused value");  // made while the stack scan sees it
  TbTestSetStackScan(0);
  TbTestSetGcStress(1);
  IVarPut(AsObj(error), SYM_GENCODE, refused);
  TbTestSetGcStress(0);
  TbTestSetStackScan(1);
  EXPECT_EQ(thirdArgument, "inside the refused value");
}

}  // namespace
