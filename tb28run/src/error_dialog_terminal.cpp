// The error dialog on a terminal: the terminal dialog of the Windows layer (see
// win32_terminal_dialog.h), which MessageBoxA shows too.
//
//   +-------------------------------------------+
//   | ERROR                                     |   caption
//   +-------------------------------------------+
//   | Error Code:  1 [ ARGUMENT ERROR ]         |   the message, one row a line
//   |                                           |
//   | [*Default*]  [Retry]  [Quit]              |   the offered options, the leftmost starred
//   +-------------------------------------------+
//   Answer (D/R/Q, Enter = Default):
//
// The runtime's strings are bytes of no encoding it knows, so the message is measured a column a
// byte. The message ends in a line end of its own, which opens no empty row. An empty line picks
// the leftmost option; end of input picks nothing.
#if !defined(_WIN32)

#include <win32_terminal_dialog.h>

#include <string>

#include "error_dialog.h"

namespace tb {

std::uint32_t ShowErrorDialogOnTerminal(const char* message, const char* caption,
                                        const std::vector<DialogOption>& options, std::uint32_t otherwise) {
  win32::TerminalDialog dialog;
  dialog.caption = caption;
  dialog.body = win32::SplitRows(message, win32::FinalLineEnd::EndsText);
  for (const DialogOption& option : options) dialog.buttons.emplace_back(option.label);
  dialog.defaultIndex = 0;
  dialog.columns = win32::TextColumns::Bytes;
  dialog.refusal = "No option starts with \"";
  std::optional<std::size_t> picked = win32::AskOnTerminal(dialog);
  return picked ? options[*picked].answer : otherwise;
}

}  // namespace tb

#endif
