// A dialog drawn on standard output and answered by one line of standard input: the terminal form
// of MessageBoxA, and of the runtime's error dialog on POSIX hosts, so that a person answers both
// the same way.
//
//   +------------------------------+
//   | Fix the quorl database now ? |      caption
//   +------------------------------+
//   | (i) Confirm fix              |      the body, one row a line
//   |                              |
//   | [*Yes*]  [No]                |      the buttons, the default one starred
//   +------------------------------+
//   Answer (Y/N, Enter = Yes):
//
// The answer is read with read(2) a byte at a time, so that nothing past its line is taken from a
// pipe that later dialogs share, and only its first kAnswerLineLimit bytes are kept. The first
// non-blank character picks the button whose label starts with it (either case); an empty or
// blank line picks the default; anything else is refused with a note and the prompt comes again.
// When standard input is not a terminal, the line read is echoed after the prompt, so that a
// transcript reads as a terminal shows it.
//
// Texts may come from anywhere (an error's fields): their control characters are shown, never
// sent (ShownHarmlessly). A dialog whose output cannot be written (a closed pipe, a full disk)
// could not be shown, and picks nothing.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace win32 {

// The longest answer line kept; the rest of a longer line is dropped.
inline constexpr std::size_t kAnswerLineLimit = 4096;

// The text with its control characters made visible and harmless, so that no text can move the
// cursor, retitle the window or reach the clipboard: C0 controls and DEL in caret notation (ESC
// as ^[, a tab as ^I), a C1 control as \x9B, whether written in UTF-8 or as a byte of its own.
// Every other byte, and every well-formed UTF-8 sequence, stays as it is.
std::string ShownHarmlessly(std::string_view text);

// How wide a text shows: a column for each UTF-8 code point, or for each byte.
enum class TextColumns { CodePoints, Bytes };

// What a line end at the very end of a text does: open one more, empty row, or only end the
// last one.
enum class FinalLineEnd { OpensRow, EndsText };

// The text's rows, split at CR LF, LF or a lone CR.
std::vector<std::string> SplitRows(const std::string& text, FinalLineEnd finalLineEnd);

struct TerminalDialog {
  std::string caption;
  std::vector<std::string> body;  // the rows above the buttons
  // At least one, left to right; each label starts with the upper-case letter that picks it.
  std::vector<std::string> buttons;
  std::size_t defaultIndex = 0;  // one of the buttons: starred, and picked by an empty line
  TextColumns columns = TextColumns::CodePoints;
  // The refusing note up to the refused character, which follows in quotes.
  const char* refusal = "No button starts with \"";
};

// The box and the prompt as they are written (the caption and the body shown harmlessly).
std::string DrawTerminalDialog(const TerminalDialog& dialog);
std::string TerminalPrompt(const TerminalDialog& dialog);

// Draws the dialog and asks until a line picks a button: its index, or nothing when input ends
// first.
std::optional<std::size_t> AskOnTerminal(const TerminalDialog& dialog);

}  // namespace win32
