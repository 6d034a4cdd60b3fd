// MessageBoxA: the test hook, and the terminal form driven through pipes in a child process.
// The POSIX Windows layer and its test hooks exist only on POSIX hosts.
#ifndef _WIN32

#include <sys/wait.h>

#include <string>

#include "win32_test_support.h"

namespace {

using win32_test::ChildResult;
using win32_test::RunInChild;
using win32_test::Win32Test;

ChildResult Box(UINT type, const std::string& input, const char* text = "Text", const char* caption = "Caption") {
  return RunInChild(input, [&] { return MessageBoxA(nullptr, text, caption, type); });
}

struct AnswerCase {
  const char* name;
  UINT type;
  std::string input;
  int expected;
};

void PrintTo(const AnswerCase& c, std::ostream* os) { *os << c.name; }

class TerminalAnswers : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(TerminalAnswers, PickTheButton) {
  const AnswerCase& c = GetParam();
  ChildResult result = Box(c.type, c.input);
  EXPECT_EQ(result.exitCode, c.expected) << result.output;
}

INSTANTIATE_TEST_SUITE_P(
    ButtonSets, TerminalAnswers,
    ::testing::Values(
        AnswerCase{"OkLetter", MB_OK, "o\n", IDOK}, AnswerCase{"OkUpper", MB_OK, "O\n", IDOK},
        AnswerCase{"OkEnter", MB_OK, "\n", IDOK},
        AnswerCase{"OkDefault2FallsBackToFirst", MB_OK | MB_DEFBUTTON2, "\n", IDOK},
        AnswerCase{"OkUnknownThenOk", MB_OK, "x\no\n", IDOK}, AnswerCase{"OkEndOfInput", MB_OK, "", 0},
        AnswerCase{"OkCancelCancel", MB_OKCANCEL, "c\n", IDCANCEL},
        AnswerCase{"OkCancelWord", MB_OKCANCEL, "  ok\n", IDOK}, AnswerCase{"OkCancelEnter", MB_OKCANCEL, "\n", IDOK},
        AnswerCase{"OkCancelEnterDefault2", MB_OKCANCEL | MB_DEFBUTTON2, "\n", IDCANCEL},
        AnswerCase{"AbortRetryIgnoreA", MB_ABORTRETRYIGNORE, "a\n", IDABORT},
        AnswerCase{"AbortRetryIgnoreR", MB_ABORTRETRYIGNORE, "R\n", IDRETRY},
        AnswerCase{"AbortRetryIgnoreI", MB_ABORTRETRYIGNORE, "ignore\n", IDIGNORE},
        AnswerCase{"AbortRetryIgnoreEnter", MB_ABORTRETRYIGNORE, "\n", IDABORT},
        AnswerCase{"AbortRetryIgnoreEnterDefault2", MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, "\n", IDRETRY},
        AnswerCase{"AbortRetryIgnoreEnterDefault3", MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, "\n", IDIGNORE},
        AnswerCase{"AbortRetryIgnoreUnknownThenI", MB_ABORTRETRYIGNORE, "y\ni\n", IDIGNORE},
        AnswerCase{"YesNoCancelY", MB_YESNOCANCEL, "y\n", IDYES},
        AnswerCase{"YesNoCancelN", MB_YESNOCANCEL, "N\n", IDNO},
        AnswerCase{"YesNoCancelC", MB_YESNOCANCEL, "c\n", IDCANCEL},
        AnswerCase{"YesNoCancelEnterDefault3", MB_YESNOCANCEL | MB_DEFBUTTON3, "\n", IDCANCEL},
        AnswerCase{"YesNoCancelEndOfInput", MB_YESNOCANCEL, "", 0}, AnswerCase{"YesNoYes", MB_YESNO, "Y\n", IDYES},
        AnswerCase{"YesNoNoWord", MB_YESNO, "no\n", IDNO}, AnswerCase{"YesNoEnter", MB_YESNO, "\n", IDYES},
        AnswerCase{"YesNoBlankLineIsEnter", MB_YESNO | MB_DEFBUTTON2, "   \n", IDNO},
        AnswerCase{"YesNoEnterDefault2", MB_YESNO | MB_DEFBUTTON2, "\n", IDNO},
        AnswerCase{"YesNoUnknownThenNo", MB_YESNO, "q\nn\n", IDNO},
        AnswerCase{"YesNoUnknownThenEnd", MB_YESNO, "q\n", 0},
        AnswerCase{"YesNoDigitIsUnknown", MB_YESNO, "1\ny\n", IDYES}, AnswerCase{"YesNoCrLf", MB_YESNO, "n\r\n", IDNO},
        AnswerCase{"YesNoLastLineWithoutNewline", MB_YESNO, "n", IDNO}, AnswerCase{"YesNoEndOfInput", MB_YESNO, "", 0},
        AnswerCase{"RetryCancelR", MB_RETRYCANCEL, "r\n", IDRETRY},
        AnswerCase{"RetryCancelC", MB_RETRYCANCEL, "C\n", IDCANCEL},
        AnswerCase{"RetryCancelEnter", MB_RETRYCANCEL, "\n", IDRETRY},
        AnswerCase{"RetryCancelEnterDefault2", MB_RETRYCANCEL | MB_DEFBUTTON2, "\n", IDCANCEL}),
    [](const ::testing::TestParamInfo<AnswerCase>& info) { return std::string(info.param.name); });

TEST(TerminalMessageBox, DrawsTheStartQuestionExactly) {
  ChildResult result = Box(MB_YESNO | MB_ICONINFORMATION, "y\n", "Confirm fix", "Fix the quorl database now ?");
  EXPECT_EQ(result.exitCode, IDYES);
  EXPECT_EQ(result.output,
            "+------------------------------+\n"
            "| Fix the quorl database now ? |\n"
            "+------------------------------+\n"
            "| (i) Confirm fix              |\n"
            "|                              |\n"
            "| [*Yes*]  [No]                |\n"
            "+------------------------------+\n"
            "Answer (Y/N, Enter = Yes): y\n");
}

TEST(TerminalMessageBox, DrawsMultiLineTextWiderThanTheCaption) {
  ChildResult result = Box(MB_ABORTRETRYIGNORE | MB_ICONSTOP | MB_DEFBUTTON2, "\n",
                           "Error BASE/1003\r\nVariable does not exist: QUORL\nline three", "Error");
  EXPECT_EQ(result.exitCode, IDRETRY);
  EXPECT_EQ(result.output,
            "+------------------------------------+\n"
            "| Error                              |\n"
            "+------------------------------------+\n"
            "| (X) Error BASE/1003                |\n"
            "|     Variable does not exist: QUORL |\n"
            "|     line three                     |\n"
            "|                                    |\n"
            "| [Abort]  [*Retry*]  [Ignore]       |\n"
            "+------------------------------------+\n"
            "Answer (A/R/I, Enter = Retry): \n");
}

TEST(TerminalMessageBox, DrawsWithoutIconAndNullStrings) {
  ChildResult result = RunInChild("\n", [] { return MessageBoxA(nullptr, nullptr, nullptr, MB_OKCANCEL); });
  EXPECT_EQ(result.exitCode, IDOK);
  EXPECT_EQ(result.output,
            "+------------------+\n"
            "| Error            |\n"
            "+------------------+\n"
            "|                  |\n"
            "|                  |\n"
            "| [*OK*]  [Cancel] |\n"
            "+------------------+\n"
            "Answer (O/C, Enter = OK): \n");
}

TEST(TerminalMessageBox, IconMarkers) {
  struct {
    UINT icon;
    const char* marker;
  } const cases[] = {{MB_ICONINFORMATION, "| (i) Text"},
                     {MB_ICONQUESTION, "| (?) Text"},
                     {MB_ICONEXCLAMATION, "| (!) Text"},
                     {MB_ICONSTOP, "| (X) Text"},
                     {0, "| Text "}};
  for (const auto& c : cases) {
    ChildResult result = Box(MB_OK | c.icon, "\n");
    EXPECT_NE(result.output.find(c.marker), std::string::npos) << c.icon << "\n" << result.output;
  }
}

TEST(TerminalMessageBox, ButtonRowsInWindowsOrder) {
  struct {
    UINT type;
    const char* row;
    const char* prompt;
  } const cases[] = {
      {MB_OK, "[*OK*]", "Answer (O, Enter = OK): "},
      {MB_OKCANCEL, "[*OK*]  [Cancel]", "Answer (O/C, Enter = OK): "},
      {MB_ABORTRETRYIGNORE, "[*Abort*]  [Retry]  [Ignore]", "Answer (A/R/I, Enter = Abort): "},
      {MB_YESNOCANCEL | MB_DEFBUTTON3, "[Yes]  [No]  [*Cancel*]", "Answer (Y/N/C, Enter = Cancel): "},
      {MB_YESNO | MB_DEFBUTTON2, "[Yes]  [*No*]", "Answer (Y/N, Enter = No): "},
      {MB_RETRYCANCEL, "[*Retry*]  [Cancel]", "Answer (R/C, Enter = Retry): "},
  };
  for (const auto& c : cases) {
    ChildResult result = Box(c.type, "\n");
    EXPECT_NE(result.output.find(std::string("| ") + c.row + " "), std::string::npos) << result.output;
    EXPECT_NE(result.output.find(c.prompt), std::string::npos) << result.output;
  }
}

TEST(TerminalMessageBox, UnknownLetterIsRefusedAndAskedAgain) {
  ChildResult result = Box(MB_YESNO, "x\nn\n");
  EXPECT_EQ(result.exitCode, IDNO);
  const std::string prompt = "Answer (Y/N, Enter = Yes): ";
  EXPECT_NE(result.output.find(prompt + "x\nNo button starts with \"x\".\n" + prompt + "n\n"), std::string::npos)
      << result.output;
}

TEST(TerminalMessageBox, EndOfInputEndsThePromptLine) {
  ChildResult result = Box(MB_YESNO, "");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.output.substr(result.output.size() - 28), "Answer (Y/N, Enter = Yes): \n");
}

TEST(TerminalMessageBox, ReadsOnlyItsOwnLineFromASharedPipe) {
  ChildResult result = RunInChild("y\n\nn\n", [] {
    int first = MessageBoxA(nullptr, "1", "first", MB_YESNO);
    int second = MessageBoxA(nullptr, "2", "second", MB_YESNO | MB_DEFBUTTON2);
    int third = MessageBoxA(nullptr, "3", "third", MB_YESNO);
    int fourth = MessageBoxA(nullptr, "4", "fourth", MB_YESNO);
    // One bit a box that answered as expected.
    return (first == IDYES) | (second == IDNO) << 1 | (third == IDNO) << 2 | (fourth == 0) << 3;
  });
  EXPECT_EQ(result.exitCode, 0xF) << result.output;
}

TEST(TerminalMessageBox, TheStartDialogueYesThenOk) {
  ChildResult result = RunInChild("y\n\n", [] {
    if (MessageBoxA(nullptr, "Confirm fix", "Fix the quorl database now ?", 68) != IDYES) return 10;
    return MessageBoxA(nullptr, "Error", "Quorl not found ?", 64);
  });
  EXPECT_EQ(result.exitCode, IDOK);
  EXPECT_NE(result.output.find("| Quorl not found ? |\n"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("| (i) Error         |\n"), std::string::npos) << result.output;
}

TEST(TerminalMessageBox, ABoxThatCannotBeDrawnCouldNotBeShown) {
  int status = win32_test::StatusWithClosedOutput(
      "y\n", [] { return MessageBoxA(nullptr, "Confirm fix", "Fix the quorl database now ?", 68); });
  ASSERT_FALSE(WIFSIGNALED(status)) << "ended by signal " << WTERMSIG(status);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(TerminalMessageBox, ControlCharactersInTheTextsAreShownNotSent) {
  ChildResult result = Box(MB_OK | MB_ICONSTOP, "\n", "line one\x1B[8m\r\nline\ttwo\x07", "Cap\x1B]2;x\x07tion");
  EXPECT_EQ(result.exitCode, IDOK);
  EXPECT_EQ(result.output,
            "+-------------------+\n"
            "| Cap^[]2;x^Gtion   |\n"
            "+-------------------+\n"
            "| (X) line one^[[8m |\n"
            "|     line^Itwo^G   |\n"
            "|                   |\n"
            "| [*OK*]            |\n"
            "+-------------------+\n"
            "Answer (O, Enter = OK): \n");
}

struct HookCall {
  HWND owner;
  std::string text;
  std::string caption;
  UINT type;
  int calls = 0;
};
HookCall lastHookCall;

int RecordingHook(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  lastHookCall = {owner, text, caption, type, lastHookCall.calls + 1};
  return IDNO;
}

class MessageBoxHook : public Win32Test {};

TEST_F(MessageBoxHook, AnswersInsteadOfTheTerminal) {
  lastHookCall = {};
  Win32TestSetMessageBoxHook(RecordingHook);
  EXPECT_EQ(MessageBoxA(nullptr, "Confirm fix", "Fix the quorl database now ?", MB_YESNO | MB_ICONINFORMATION), IDNO);
  EXPECT_EQ(lastHookCall.calls, 1);
  EXPECT_EQ(lastHookCall.owner, nullptr);
  EXPECT_EQ(lastHookCall.text, "Confirm fix");
  EXPECT_EQ(lastHookCall.caption, "Fix the quorl database now ?");
  EXPECT_EQ(lastHookCall.type, static_cast<UINT>(MB_YESNO | MB_ICONINFORMATION));
}

TEST_F(MessageBoxHook, DrawsNothingAndReadsNothing) {
  ChildResult result = RunInChild("y\n", [] {
    Win32TestSetMessageBoxHook([](HWND, LPCSTR, LPCSTR, UINT) { return IDCANCEL; });
    int hooked = MessageBoxA(nullptr, "t", "c", MB_YESNO);
    Win32TestSetMessageBoxHook(nullptr);
    int terminal = MessageBoxA(nullptr, "t", "c", MB_YESNO);  // the line is still there
    return hooked * 10 + terminal;
  });
  EXPECT_EQ(result.exitCode, IDCANCEL * 10 + IDYES);
  EXPECT_EQ(result.output.find("+-"), 0u);  // only the terminal box was drawn
  EXPECT_EQ(result.output.find("| c |"), result.output.rfind("| c |"));
}

TEST_F(MessageBoxHook, ResetRestoresTheTerminal) {
  ChildResult result = RunInChild("", [] {
    Win32TestSetMessageBoxHook([](HWND, LPCSTR, LPCSTR, UINT) { return IDOK; });
    Win32TestReset();
    return MessageBoxA(nullptr, "t", "c", MB_OK);
  });
  EXPECT_EQ(result.exitCode, 0);  // end of input: the box could not be shown
  EXPECT_NE(result.output.find("[*OK*]"), std::string::npos);
}

}  // namespace

#endif  // _WIN32
