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
// pipe that later dialogs share. The first non-blank character picks the button whose label
// starts with it (either case); an empty or blank line picks the default; anything else is
// refused with a note and the prompt comes again. When standard input is not a terminal, the
// line read is echoed after the prompt, so that a transcript reads as a terminal shows it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace win32 {

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

// The box and the prompt as they are written.
std::string DrawTerminalDialog(const TerminalDialog& dialog);
std::string TerminalPrompt(const TerminalDialog& dialog);

// Draws the dialog and asks until a line picks a button: its index, or nothing when input ends
// first.
std::optional<std::size_t> AskOnTerminal(const TerminalDialog& dialog);

}  // namespace win32
