// The default error handler: the network shortcut, what the dialog offers, what each answer
// does, the call stack, wrapping, and the switches that silence it.
#include <cfenv>

#include "error_handling_fixture.h"
#include "errors/error_class.h"
#include "runtime/frame_guard.h"
#include "tb28run/dialog.h"

namespace {

using Fields = std::initializer_list<std::pair<Sym, Usual>>;

// A routine of the program that meets an error at line 12.
Usual Caller(Usual error) {
  static const FrameInfo kFrame{"CALLER", "errors/test.prg"};
  FrameGuard frame(kFrame);
  uiLineNum_RT = 12;
  return DefError(error);
}

class DefErrorTest : public ErrorHandlingTest {};

TEST_F(DefErrorTest, ASharingConflictThatCanDefaultPassesSilently) {
  struct Case {
    bool canDefault;
    std::int32_t gencode, oscode;
    bool shortcut;
  } cases[] = {
      {true, 21, 32, true},   {true, 21, 33, true},  {true, 21, 5, false},
      {false, 21, 32, false}, {true, 40, 32, false}, {true, 20, 33, false},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(LogPath());
    Dialogs().clear();
    Tones().clear();
    CallKest<declared::NetErr>(NetErr, LogicValue(false));
    Usual error = NewError({{SYM_CANDEFAULT, LogicValue(c.canDefault)},
                            {SYM_GENCODE, IntValue(c.gencode)},
                            {SYM_OSCODE, IntValue(c.oscode)}});
    Usual result = DefError(error);
    std::string what = std::to_string(c.gencode) + "/" + std::to_string(c.oscode);
    EXPECT_EQ(result.type, T_LOGIC) << what;
    EXPECT_EQ(result.value, 0u) << what;
    EXPECT_EQ(CallKest<declared::NetErr>(NetErr).value, c.shortcut ? 1u : 0u) << what;
    EXPECT_EQ(Dialogs().size(), c.shortcut ? 0u : 1u) << what;
    EXPECT_EQ(Tones().size(), c.shortcut ? 0u : 3u) << what;
    EXPECT_EQ(LogExists(), !c.shortcut) << what;
  }
}

TEST_F(DefErrorTest, TheDialogOffersWhatTheErrorAllows) {
  struct Case {
    bool canDefault, canRetry, canSubstitute;
    std::int32_t gencode;
    std::uint32_t first, second;
  } cases[] = {
      {true, true, true, 1, 1, 2},   {true, false, false, 1, 1, 0},  {false, false, true, 1, 1, 0},
      {false, true, false, 1, 0, 2}, {false, false, false, 1, 0, 0}, {true, true, false, 14, 1, 0},
  };
  for (const Case& c : cases) {
    Dialogs().clear();
    Usual error = NewError({{SYM_CANDEFAULT, LogicValue(c.canDefault)},
                            {SYM_CANRETRY, LogicValue(c.canRetry)},
                            {SYM_CANSUBSTITUTE, LogicValue(c.canSubstitute)},
                            {SYM_GENCODE, IntValue(c.gencode)}});
    DefError(error);
    ASSERT_EQ(Dialogs().size(), 1u);
    EXPECT_EQ(Dialogs()[0].first, c.first);
    EXPECT_EQ(Dialogs()[0].second, c.second);
    EXPECT_EQ(Dialogs()[0].third, ED_QUIT) << "no recovery point: quit";
  }
}

TEST_F(DefErrorTest, NoRetryIsOfferedForAMissingVariableAndTheLogSaysSo) {
  Usual error = NewError({{SYM_CANRETRY, LogicValue(true)}, {SYM_GENCODE, IntValue(14)}});
  DefError(error);
  EXPECT_EQ(Dialogs().at(0).second, 0u);
  EXPECT_EQ(Field(error, SYM_CANRETRY).value, 0u);
  EXPECT_NE(Log().find("\r\nCanRetry        :.F.\r\n"), std::string::npos) << Log();
}

TEST_F(DefErrorTest, EachAnswerGivesItsResult) {
  struct Case {
    bool canSubstitute;
    std::int32_t substituteType;
    std::uint32_t answer;
    Usual expected;
  } cases[] = {
      {true, T_STRING, ED_FIRST, S("")},
      {true, T_INT, ED_FIRST, IntValue(0)},
      {true, T_LOGIC, ED_FIRST, LogicValue(false)},
      {false, T_STRING, ED_FIRST, LogicValue(false)},
      {true, T_STRING, ED_RETRY, LogicValue(true)},
      {false, 0, ED_RETRY, LogicValue(true)},
  };
  for (const Case& c : cases) {
    Script().push_back(c.answer);
    Usual error = NewError({{SYM_CANDEFAULT, LogicValue(true)},
                            {SYM_CANRETRY, LogicValue(true)},
                            {SYM_CANSUBSTITUTE, LogicValue(c.canSubstitute)},
                            {SYM_SUBSTITUTETYPE, IntValue(c.substituteType)}});
    Usual result = DefError(error);
    EXPECT_EQ(result.type, c.expected.type) << c.substituteType << " / " << c.answer;
    EXPECT_TRUE(_PDE(result, c.expected)) << c.substituteType << " / " << c.answer;
  }
}

TEST_F(DefErrorTest, AWarningKeepsItsCaptionWhileAPointerSubstituteRaisesItsSeverity) {
  struct Case {
    std::int32_t severity, substituteType;
    const char* caption;
    const char* textStart;
    std::int32_t severityAfter;
  } cases[] = {
      {1, 18, "WARNING", "Error Code:  ", 3},
      {1, 7, "WARNING", "WARNING :  ", 1},
      {2, 18, "ERROR", "Error Code:  ", 3},
      {2, 0, "ERROR", "Error Code:  ", 2},
  };
  for (const Case& c : cases) {
    Dialogs().clear();
    Usual error = NewError({{SYM_SEVERITY, IntValue(c.severity)}, {SYM_SUBSTITUTETYPE, IntValue(c.substituteType)}});
    DefError(error);
    ASSERT_EQ(Dialogs().size(), 1u);
    EXPECT_EQ(Dialogs()[0].caption, c.caption);
    EXPECT_EQ(Dialogs()[0].message.rfind(c.textStart, 0), 0u) << Dialogs()[0].message;
    EXPECT_EQ(_P2DW(Field(error, SYM_SEVERITY)), std::uint32_t(c.severityAfter));
  }
}

TEST_F(DefErrorTest, TheThirdOptionBreaksToTheRecoveryPointWithTheError) {
  Usual error = NewError({{SYM_GENCODE, IntValue(5)}});
  Script().push_back(ED_BREAK);
  std::feraiseexcept(FE_DIVBYZERO);
  LabelPush();
  bool arrived = false;
  try {
    Caller(error);
  } catch (const TbBreak& jump) {
    arrived = true;
    EXPECT_EQ(jump.value.type, T_OBJECT);
    EXPECT_EQ(jump.value.value, error.value) << "the recovery point receives the Error itself";
  }
  LabelPop();
  EXPECT_TRUE(arrived);
  EXPECT_EQ(Dialogs().at(0).third, ED_BREAK);
  EXPECT_EQ(std::fetestexcept(FE_DIVBYZERO), 0) << "the floating-point state is reset first";
  EXPECT_EQ(GetDASPtr()->depth, 0u) << "every frame on the way was removed";
}

// The exit step of a quitting program: says whether the file opened before is still open.
FileHandle heldFile = F_ERROR;
[[noreturn]] void ReportingExit(std::uint32_t code) {
  std::fprintf(stderr, "file still open: %s\n", FClose(heldFile) ? "yes" : "no");
  std::fflush(stderr);
  ExitProcess(code);
}

class DefErrorQuitTest : public DefErrorTest {
 protected:
  void Quit(std::int32_t gencode) {
    heldFile = FCreate2(dir_.File("held.txt").c_str(), FC_ARCHIVE);
    static const std::uint32_t noSymbols[1] = {0};
    RTInit(&ReportingExit, 3, 0, noSymbols, const_cast<char*>(""), 68, 0, nullptr, nullptr, 1, 10, 1, 1, 1048576,
           nullptr);
    Script().push_back(ED_QUIT);
    DefError(NewError({{SYM_GENCODE, IntValue(gencode)}}));
  }
};

TEST_F(DefErrorQuitTest, QuittingEndsWithTheGenericCodeAfterClosingEveryFile) {
  EXPECT_EXIT(Quit(21), ::testing::ExitedWithCode(21), "file still open: no");
}

TEST_F(DefErrorQuitTest, ACodeTooWideForTheStatusStillReadsAsFailure) {
#if defined(_WIN32)
  EXPECT_EXIT(Quit(256), ::testing::ExitedWithCode(256), "file still open: no");
#else
  EXPECT_EXIT(Quit(256), ::testing::ExitedWithCode(255), "file still open: no");
#endif
}

TEST_F(DefErrorQuitTest, AnErrorWithoutAGenericCodeStillQuitsWithAFailure) {
  // An Error left unfilled (DefErrorGen's wrong-tag path, or any raiser) has GENCODE 0.
  EXPECT_EXIT(Quit(0), ::testing::ExitedWithCode(255), "file still open: no");
}

TEST_F(DefErrorTest, AnEmptyStackIsFilledFromTheCallerAndAFullOneKept) {
  Usual fresh = NewError({{SYM_STACK, S("")}});
  Caller(fresh);
  std::string stack = Str(Field(fresh, SYM_STACK));
  EXPECT_EQ(stack.rfind("CALLER (Line:12)\r\n", 0), 0u) << "from the handler's caller outward: " << stack;
  EXPECT_NE(Dialogs().at(0).message.find("\r\nCallStack:\r\n" + stack), std::string::npos);

  Usual kept = NewError({{SYM_STACK, S("KEPT (Line:1)\r\n")}});
  Caller(kept);
  EXPECT_EQ(Str(Field(kept, SYM_STACK)), "KEPT (Line:1)\r\n");
  const std::string& message = Dialogs().at(1).message;
  EXPECT_EQ(message.substr(message.size() - 27), "CallStack:\r\nKEPT (Line:1)\r\n");
}

TEST_F(DefErrorTest, AValueThatIsNoErrorIsWrappedAsAWrongObjectError) {
  Usual other = CallKest<declared::CreateInstance>(CreateInstance, SymbolValue(SYM_TBOBJECT));
  ASSERT_EQ(other.type, T_OBJECT);
  Usual result = DefError(other);
  EXPECT_EQ(result.type, T_LOGIC) << "the wrapper can default";
  ASSERT_EQ(Dialogs().size(), 1u);
  const std::string& message = Dialogs()[0].message;
  EXPECT_EQ(message.rfind("Error Code:  28 [ NOT AN ERROR OBJECT ]\r\n", 0), 0u) << message;
  EXPECT_NE(message.find("\r\nFunction: DEFERROR\r\n"), std::string::npos) << message;
  EXPECT_NE(message.find("\r\nArgument: {TBOBJECT}\r\n"), std::string::npos) << message;
  EXPECT_NE(message.find("\r\nArgument Number: 1\r\n"), std::string::npos) << message;
  EXPECT_EQ(Dialogs()[0].first, ED_FIRST);
  EXPECT_EQ(LastErrorRecord.gencode, 28u);
}

TEST_F(DefErrorTest, TheDefaultBlockHandsAValueThatIsNoObjectToTheHandlerWithItsText) {
  struct Case {
    Usual value;
    const char* text;
  };
  const Case cases[] = {
      {S("oops"), "oops"},       {IntValue(42), "42"}, {NilValue(), "NIL"}, {ArrayValue(ArrayCreate(2)), "{[2]}"},
      {LogicValue(true), ".T."},
  };
  Usual block = CallKest<declared::ErrorBlock>(ErrorBlock);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Dialogs().clear();
    std::filesystem::remove(LogPath());
    Usual result = CallKest<declared::Eval>(Eval, block, c.value);
    EXPECT_EQ(result.type, T_LOGIC) << "the wrapper's default";
    ASSERT_EQ(Dialogs().size(), 1u) << "no argument error of the block's own first";
    const std::string& message = Dialogs()[0].message;
    EXPECT_EQ(message.rfind("Error Code:  28 [ NOT AN ERROR OBJECT ]\r\n", 0), 0u) << message;
    EXPECT_NE(message.find(std::string("\r\nArgument: ") + c.text + "\r\n"), std::string::npos) << message;
    std::string log = Log();
    EXPECT_EQ(log.find("Operation       :_P2Object"), std::string::npos) << log;
    EXPECT_NE(log.find("DEFERROR"), std::string::npos) << log;
  }
}

TEST_F(DefErrorTest, TheDefaultBlockAndThrowReachTheHandler) {
  Script().push_back(ED_RETRY);
  Usual error = NewError({{SYM_CANRETRY, LogicValue(true)}});
  Usual block = CallKest<declared::ErrorBlock>(ErrorBlock);
  ASSERT_EQ(block.type, T_CODEBLOCK);
  EXPECT_EQ(block.value, reinterpret_cast<std::uintptr_t>(&DefaultErrorBlock));
  Usual result = CallKest<declared::Send>(Send, error, SymbolValue(SYM_THROW));
  EXPECT_EQ(result.type, T_LOGIC);
  EXPECT_EQ(result.value, 1u);
  EXPECT_EQ(Dialogs().size(), 1u);
}

TEST_F(DefErrorTest, LoggingAndBeepingCanBeSwitchedOff) {
  CallKest<declared::SetErrorLog>(SetErrorLog, LogicValue(false));
  CallKest<declared::SetBeep>(SetBeep, LogicValue(false));
  DefError(NewError({{SYM_GENCODE, IntValue(1)}}));
  EXPECT_EQ(Dialogs().size(), 1u) << "the dialog is shown all the same";
  EXPECT_TRUE(Tones().empty());
  EXPECT_FALSE(LogExists());
  EXPECT_TRUE(std::filesystem::is_empty(dir_.Path())) << "no file touched";

  CallKest<declared::SetBeep>(SetBeep, LogicValue(true));
  DefError(NewError({{SYM_GENCODE, IntValue(1)}}));
  std::vector<std::pair<std::uint32_t, std::uint32_t>> expected = {{440, 1}, {494, 1}, {523, 1}};
  EXPECT_EQ(Tones(), expected);
}

TEST_F(DefErrorTest, ARuntimeErrorTravelsAllTheWayToTheLogAndTheDialog) {
  Script().push_back(ED_FIRST);
  EXPECT_EQ(_P2DW(S("not a number")), 0u) << "the default: 0";
  ASSERT_EQ(Dialogs().size(), 1u);
  EXPECT_NE(Dialogs()[0].message.find("Operation: _P2DW\r\n"), std::string::npos) << Dialogs()[0].message;
  EXPECT_NE(Log().find("\r\nOperation       :_P2DW\r\n"), std::string::npos);
}

}  // namespace
