// The terminal dialog that MessageBoxA and the runtime's error dialog share: how wide texts are
// taken, which button is starred, and how a refused letter is quoted.
// The POSIX Windows layer exists only on POSIX hosts.
#ifndef _WIN32

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include <win32_terminal_dialog.h>

#include "win32_test_support.h"

namespace {

using win32::TerminalDialog;
using win32::TextColumns;
using win32_test::ChildResult;
using win32_test::RunInChild;

constexpr int kNothingPicked = 99;

TerminalDialog Sizes(TextColumns columns) {
  TerminalDialog dialog;
  dialog.caption = "Ma\xC3\x9F";  // "Maß": 3 code points, 4 bytes
  dialog.body = {
      "Gr\xC3\xB6\xC3\x9F"
      "e: 12 m"};  // "Größe: 12 m": 11 code points, 13 bytes
  dialog.buttons = {"OK"};
  dialog.columns = columns;
  return dialog;
}

ChildResult Ask(const TerminalDialog& dialog, const std::string& input) {
  return RunInChild(input, [&] {
    std::optional<std::size_t> picked = win32::AskOnTerminal(dialog);
    return picked ? static_cast<int>(*picked) : kNothingPicked;
  });
}

TEST(TerminalDialog, RowsSplitAtEveryKindOfLineEnd) {
  using Rows = std::vector<std::string>;
  EXPECT_EQ(win32::SplitRows("a\r\nb\nc\rd", win32::FinalLineEnd::OpensRow), (Rows{"a", "b", "c", "d"}));
  EXPECT_EQ(win32::SplitRows("a\r\nb\nc\rd", win32::FinalLineEnd::EndsText), (Rows{"a", "b", "c", "d"}));
  EXPECT_EQ(win32::SplitRows("", win32::FinalLineEnd::EndsText), (Rows{""}));
  EXPECT_EQ(win32::SplitRows("\n\n", win32::FinalLineEnd::EndsText), (Rows{"", ""}));
}

TEST(TerminalDialog, AFinalLineEndOpensARowOnlyWhenAsked) {
  using Rows = std::vector<std::string>;
  EXPECT_EQ(win32::SplitRows("a\r\n", win32::FinalLineEnd::OpensRow), (Rows{"a", ""}));
  EXPECT_EQ(win32::SplitRows("a\r\n", win32::FinalLineEnd::EndsText), (Rows{"a"}));
  EXPECT_EQ(win32::SplitRows("a\r", win32::FinalLineEnd::OpensRow), (Rows{"a", ""}));
  EXPECT_EQ(win32::SplitRows("a\r", win32::FinalLineEnd::EndsText), (Rows{"a"}));
}

TEST(TerminalDialog, CodePointsTakeOneColumnEach) {
  EXPECT_EQ(win32::DrawTerminalDialog(Sizes(TextColumns::CodePoints)),
            "+-------------+\n"
            "| Ma\xC3\x9F         |\n"
            "+-------------+\n"
            "| Gr\xC3\xB6\xC3\x9F"
            "e: 12 m |\n"
            "|             |\n"
            "| [*OK*]      |\n"
            "+-------------+\n");
}

TEST(TerminalDialog, BytesTakeOneColumnEach) {
  EXPECT_EQ(win32::DrawTerminalDialog(Sizes(TextColumns::Bytes)),
            "+---------------+\n"
            "| Ma\xC3\x9F          |\n"
            "+---------------+\n"
            "| Gr\xC3\xB6\xC3\x9F"
            "e: 12 m |\n"
            "|               |\n"
            "| [*OK*]        |\n"
            "+---------------+\n");
}

TEST(TerminalDialog, TheDefaultIsStarredAndNamedInThePrompt) {
  TerminalDialog dialog;
  dialog.buttons = {"Yes", "No", "Cancel"};
  dialog.defaultIndex = 2;
  EXPECT_NE(win32::DrawTerminalDialog(dialog).find("| [Yes]  [No]  [*Cancel*] |\n"), std::string::npos);
  EXPECT_EQ(win32::TerminalPrompt(dialog), "Answer (Y/N/C, Enter = Cancel): ");
}

TEST(TerminalDialog, AnswersAreIndexesAndEndOfInputPicksNothing) {
  TerminalDialog dialog;
  dialog.buttons = {"Abort", "Retry", "Ignore"};
  dialog.defaultIndex = 1;
  EXPECT_EQ(Ask(dialog, "i\n").exitCode, 2);
  EXPECT_EQ(Ask(dialog, " a\n").exitCode, 0);
  EXPECT_EQ(Ask(dialog, "\n").exitCode, 1);
  ChildResult ended = Ask(dialog, "");
  EXPECT_EQ(ended.exitCode, kNothingPicked);
  const std::string lastLine = "+\nAnswer (A/R/I, Enter = Retry): \n";
  ASSERT_GE(ended.output.size(), lastLine.size());
  EXPECT_EQ(ended.output.substr(ended.output.size() - lastLine.size()), lastLine) << "the prompt line is ended";
}

TEST(TerminalDialog, ARefusedLetterIsQuotedAfterTheRefusalWords) {
  TerminalDialog dialog;
  dialog.buttons = {"Yes", "No"};
  dialog.refusal = "Nothing begins with \"";
  ChildResult result = Ask(dialog, "\xC3\xA9t\xC3\xA9\nn\n");  // "été", then "n"
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.output.find("Nothing begins with \"\xC3\xA9\".\n"), std::string::npos) << result.output;
}

TEST(TerminalDialog, CountingBytesARefusedLetterIsOneByte) {
  TerminalDialog dialog;
  dialog.buttons = {"Yes", "No"};
  dialog.columns = TextColumns::Bytes;
  ChildResult result = Ask(dialog, "\xE9t\xE9\nn\n");  // "été" in a one-byte character set
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.output.find("No button starts with \"\xE9\".\n"), std::string::npos) << result.output;
}

struct ShownCase {
  std::string text;
  std::string shown;
};

TEST(TerminalDialog, ControlCharactersAreShownNotSent) {
  const ShownCase cases[] = {
      {"\x1B[2J\x1B]0;title\x07", "^[[2J^[]0;title^G"},
      {std::string("a\0b", 3), "a^@b"},
      {"tab\there", "tab^Ihere"},
      {"\x7F\x1F", "^?^_"},
      {"csi \xC2\x9B"
       "31m",
       "csi \\x9B31m"},  // U+009B in UTF-8
      {"csi \x9B"
       "31m",
       "csi \\x9B31m"},  // the same as a byte of its own
      {"\x85\x80", "\\x85\\x80"},
  };
  for (const ShownCase& c : cases) EXPECT_EQ(win32::ShownHarmlessly(c.text), c.shown) << c.shown;
}

TEST(TerminalDialog, PrintableTextStaysAsItIs) {
  // UTF-8 whose continuation bytes lie in the C1 range, Latin-1 letters, a lead byte alone.
  for (const char* text :
       {"Gr\xC3\xB6\xC3\x9F"
        "e",
        "\xE2\x80\x9Cquoted\xE2\x80\x9D", "\xF0\x9F\x98\x80", "\xE9t\xE9", "\xC3(", "\xA0\xFF", "plain ASCII ~"}) {
    EXPECT_EQ(win32::ShownHarmlessly(text), text);
  }
}

TEST(TerminalDialog, AnEchoedAnswerIsShownHarmlessly) {
  TerminalDialog dialog;
  dialog.buttons = {"Yes", "No"};
  ChildResult result = Ask(dialog, "\x1B[2J\r\nn\r\n");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.output.find('\x1B'), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("): ^[[2J\nNo button starts with \"^[\".\n"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("): n\n"), std::string::npos) << "a CR LF line end is echoed as a line end";
}

// A line far longer than an answer: only its start is kept (and echoed), and the lines after it
// are still there for this dialog and the next.
TEST(TerminalDialog, ALongLineIsCutAndTheNextAnswersStayUnread) {
  TerminalDialog dialog;
  dialog.buttons = {"Yes", "No"};
  const std::string longLine(256 * 1024, 'x');
  ChildResult result = RunInChild(longLine + "\nn\ny\n", [&] {
    std::optional<std::size_t> first = win32::AskOnTerminal(dialog);
    std::optional<std::size_t> second = win32::AskOnTerminal(dialog);
    return (first == std::size_t{1} ? 1 : 0) | (second == std::size_t{0} ? 2 : 0);
  });
  EXPECT_EQ(result.exitCode, 3);
  const std::string kept(win32::kAnswerLineLimit, 'x');
  EXPECT_NE(result.output.find("): " + kept + "\nNo button starts with \"x\".\n"), std::string::npos);
  EXPECT_LT(result.output.size(), 4 * win32::kAnswerLineLimit) << "the echo is of the kept start only";
}

TEST(TerminalDialog, OutputNobodyReadsMeansTheDialogCouldNotBeShown) {
  TerminalDialog dialog;
  dialog.buttons = {"Yes", "No"};
  int status = win32_test::StatusWithClosedOutput("n\n", [&] {
    std::optional<std::size_t> picked = win32::AskOnTerminal(dialog);
    return picked ? static_cast<int>(*picked) : kNothingPicked;
  });
  ASSERT_FALSE(WIFSIGNALED(status)) << "ended by signal " << WTERMSIG(status);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), kNothingPicked);
}

// After the dialog SIGPIPE is neither blocked nor pending, so that a write of the program's own
// to the same pipe ends it as it always would.
TEST(TerminalDialog, SigpipeIsHeldBackOnlyWhileTheDialogWrites) {
  TerminalDialog dialog;
  dialog.buttons = {"OK"};
  int status = win32_test::StatusWithClosedOutput("\n", [&] {
    if (win32::AskOnTerminal(dialog)) return 1;
    sigset_t set;
    if (pthread_sigmask(SIG_BLOCK, nullptr, &set) != 0 || sigismember(&set, SIGPIPE)) return 2;
    if (sigpending(&set) != 0 || sigismember(&set, SIGPIPE)) return 3;
    ssize_t written = write(STDOUT_FILENO, "x", 1);
    return written < 0 ? 4 : 5;
  });
  ASSERT_TRUE(WIFSIGNALED(status)) << "exited with " << WEXITSTATUS(status);
  EXPECT_EQ(WTERMSIG(status), SIGPIPE);
}

}  // namespace

#endif  // _WIN32
