// A runtime operation failing inside a routine of the program, all the way to the error block.
#include <functional>
#include <string>
#include <vector>

#include "error_recorder.h"
#include "errors/error_class.h"
#include "program_fixture.h"
#include "runtime/call.h"
#include "runtime/frame_guard.h"

namespace {

std::vector<RaisedError>& seen = ErrorRecorder::Raised();
Sym classToDeclare = 0;  // declared by the block before it answers

// A routine of the program standing at line 17 when the operation fails.
TbObj RoutineConverting(Usual value) {
  static const FrameInfo kFrame{"ROUTINE", "road.prg"};
  FrameGuard frame(kFrame);
  uiLineNum_RT = 17;
  return _P2Object(value);
}

Usual RoutineCreating(Sym cls) {
  static const FrameInfo kFrame{"CREATOR", "road.prg"};
  FrameGuard frame(kFrame);
  uiLineNum_RT = 3;
  return CallKest<declared::CreateInstance>(CreateInstance, SymbolValue(cls));
}

class ErrorRoadTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    ASSERT_EQ(ModuleInit(), 0);
    classToDeclare = 0;
    CallKest<declared::ErrorFunc>(ErrorFunc, PtrValue(reinterpret_cast<const void*>(&DefErrorGen)));
    ErrorRecorder::InstallOnErrors();
    ErrorRecorder::OnRaised() = [] {
      if (classToDeclare) DeclareClass(classToDeclare, 0, sizeof(InstanceHeader), nullptr, 0, 0, 0);
      classToDeclare = 0;
    };
  }
};

TEST_F(ErrorRoadTest, TheBlockReceivesAnErrorFromTheRecordNamingTheRoutine) {
  EXPECT_EQ(RoutineConverting(IntValue(5)), nullptr) << "FALSE takes the default: no object";
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].gencode, 1u);
  EXPECT_EQ(seen[0].operation, "_P2Object");
  EXPECT_EQ(seen[0].subsystem, "TB28RUN");
  EXPECT_EQ(seen[0].argNum, 1u);
  EXPECT_NE(seen[0].stack.find("ROUTINE (Line:17)\r\n"), std::string::npos) << seen[0].stack;
}

TEST_F(ErrorRoadTest, AValueSubstitutes) {
  Usual other = CallKest<declared::CreateInstance>(CreateInstance, SymbolValue(SYM_TBOBJECT));
  ErrorRecorder::Answer(other);
  EXPECT_EQ(RoutineConverting(S("no object")), AsObj(other));
  EXPECT_EQ(seen.size(), 1u);
}

TEST_F(ErrorRoadTest, ASubstituteOfTheWrongTypeTakesTheDefaultInsteadOfAskingAgain) {
  ErrorRecorder::Answer(S("still no object"));
  EXPECT_EQ(RoutineConverting(IntValue(5)), nullptr);
  EXPECT_EQ(seen.size(), 1u);
  ErrorRecorder::Answer(Usual{0, T_OBJECT});  // the empty object, as a handler's substitute for an object
  EXPECT_EQ(RoutineConverting(IntValue(5)), nullptr);
  EXPECT_EQ(seen.size(), 2u);
}

TEST_F(ErrorRoadTest, TrueRetriesAndTheRetryCanSucceed) {
  Sym later = SysAddAtom("LATER");
  classToDeclare = later;  // the block declares the missing class, then asks for a retry
  ErrorRecorder::Answer(LogicValue(true));
  Usual object = RoutineCreating(later);
  EXPECT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].gencode, 19u);
  ASSERT_EQ(object.type, T_OBJECT);
  EXPECT_TRUE(IsInstanceOf(object, later));
}

TEST_F(ErrorRoadTest, RetryIsAskedAgainUntilTheBlockGivesUp) {
  ErrorRecorder::Answer(LogicValue(true));
  ErrorRecorder::Answer(LogicValue(true));
  Usual object = RoutineCreating(SysAddAtom("NEVER"));
  EXPECT_EQ(seen.size(), 3u);
  EXPECT_EQ(object.value, 0u);
}

// An error function that hands every record on to the program's own.
Usual ForwardingGen(std::uint32_t countWord, Usual* args) { return DefErrorGen(countWord, args); }

// ErrorFunc given something that is no function, and the code block's Eval on an object that
// holds no block, take the error block's answer as every other operation does: TRUE asks again,
// and ErrorFunc installs a function the block gives in its place.
TEST_F(ErrorRoadTest, ErrorFuncAndEvalOfAnObjectWithoutABlockHeedTheAnswer) {
  struct Case {
    const char* operation;
    std::function<Usual()> call;
    std::uint32_t answerType;  // ErrorFunc answers the function in place, Eval the default
  };
  // A CodeBlock made without a block to run.
  Usual empty = CallKest<declared::CreateInstance>(CreateInstance, SymbolValue(SYM_CODEBLOCK));
  ASSERT_EQ(empty.type, T_OBJECT);
  const Case cases[] = {
      {"ErrorFunc", [] { return CallKest<declared::ErrorFunc>(ErrorFunc, S("no function")); }, T_PTR},
      {"Eval", [&] { return CBRTEval(empty, CountWord(0, 0), nullptr); }, T_NIL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.operation);
    seen.clear();
    ErrorRecorder::Answer(LogicValue(true));
    ErrorRecorder::Answer(LogicValue(false));
    EXPECT_EQ(c.call().type, c.answerType);
    EXPECT_EQ(seen.size(), 2u) << "TRUE asked again";
    for (const RaisedError& e : seen) EXPECT_EQ(e.operation, c.operation);
  }
  EXPECT_EQ(AsPtr(ErrorFunc(CountWord(1, 0), nullptr)), reinterpret_cast<const void*>(&DefErrorGen))
      << "the function stays";
  ErrorRecorder::Answer(PtrValue(reinterpret_cast<const void*>(&ForwardingGen)));
  CallKest<declared::ErrorFunc>(ErrorFunc, S("no function"));
  EXPECT_EQ(AsPtr(ErrorFunc(CountWord(1, 0), nullptr)), reinterpret_cast<const void*>(&ForwardingGen))
      << "the substitute is the function now";
}

// Errors that offer no retry: TRUE from the block takes the default, and the block is asked once
// however often it would answer TRUE (it answers so many times, then FALSE, so that a road that
// retried anyway ends and shows as asking again).
TEST_F(ErrorRoadTest, TrueToAnErrorOfferingNoRetryIsTheDefaultAskedOnce) {
  const Sym alias = SysAddAtom("NOAREA"), field = SysAddAtom("NOFIELD");
  const auto isNil = [](Usual u) { return u.type == T_NIL; };
  struct Case {
    const char* what;
    std::function<Usual()> raise;
    std::function<bool(Usual)> isDefault;
  };
  const Case cases[] = {
      {"a string longer than a string can be", [] { return StringValue(Space(0xFFFFFFFFu)); },
       [](Usual u) { return u.type == T_STRING && SLen(AsStr(u)) == 0; }},
      {"a date past the year 9999",
       [] {
         return _PAD(Usual{5373484, T_DATE}, IntValue(1));
       },
       [](Usual u) { return u.type == T_DATE && u.value == 0; }},
      {"a message without a name", [] { return CallKest<2>(Send, IntValue(1)); }, isNil},
      {"an undefined function", [] { return _CallKestFunc(SysAddAtom("NOTAFUNCTION"), nullptr); }, isNil},
      {"an alias that does not exist", [=] { return FieldGetAlias(alias, field); }, isNil},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ErrorRecorder::InstallOnErrors();
    for (int i = 0; i < 50; ++i) ErrorRecorder::Answer(LogicValue(true));
    Usual result = c.raise();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_FALSE(seen[0].canRetry);
    EXPECT_TRUE(c.isDefault(result));
  }
}

Usual FailingBlock(std::uint32_t, Usual*) {
  _P2Object(IntValue(1));  // an error while the error is being handled, again and again
  return LogicValue(false);
}
const CodeBlock kFailingBlock{1, &FailingBlock};

TEST_F(ErrorRoadTest, NestedErrorsPastTheLimitEndTheProgram) {
  EXPECT_EXIT(
      {
        CallKest<declared::ErrorBlock>(ErrorBlock, CodeBlockValue(&kFailingBlock));
        RoutineConverting(IntValue(2));
      },
      ::testing::ExitedWithCode(70), "errors kept arising while an error was being handled");
}

TEST_F(ErrorRoadTest, AnErrorWithoutABlockEndsTheProgramWithAMessage) {
  EXPECT_EXIT(
      {
        CallKest<declared::ErrorBlock>(ErrorBlock, NilValue());
        RoutineConverting(IntValue(2));
      },
      ::testing::ExitedWithCode(70), "no error block handles it");
}

}  // namespace
