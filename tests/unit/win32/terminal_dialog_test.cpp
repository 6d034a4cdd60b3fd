// The terminal dialog that MessageBoxA and the runtime's error dialog share: how wide texts are
// taken, which button is starred, and how a refused letter is quoted.
// The POSIX Windows layer exists only on POSIX hosts.
#ifndef _WIN32

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

}  // namespace

#endif  // _WIN32
