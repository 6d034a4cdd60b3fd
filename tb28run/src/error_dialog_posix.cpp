// The error dialog on a POSIX host: a desktop window when that form is chosen (see
// win32_desktop_dialog.h), else the terminal form. On the desktop the message stands in an area
// a user can scroll and copy from (to paste into a report), with the offered options as buttons,
// the leftmost the default; Escape and the close box choose nothing, as on Windows.
#if !defined(_WIN32)

#include <win32_desktop_dialog.h>

#include <new>
#include <optional>
#include <string>

#include "error_dialog.h"

namespace tb {

namespace {

std::optional<std::uint32_t> AskOnDesktop(const char* message, const char* caption,
                                          const std::vector<DialogOption>& options) {
  win32::DesktopDialog dialog;
  dialog.caption = caption;
  dialog.text = message;
  // The message ends in a line end of its own, which would leave an empty last line.
  while (!dialog.text.empty() && (dialog.text.back() == '\n' || dialog.text.back() == '\r')) dialog.text.pop_back();
  dialog.textArea = true;
  for (const DialogOption& option : options) dialog.buttons.push_back(std::string("_") + option.label);
  dialog.defaultIndex = 0;
  dialog.closeIndex = options.size() - 1;  // the third option, which is always there, answers `otherwise`
  std::optional<std::size_t> picked = win32::AskOnDesktop(dialog);
  if (!picked) return std::nullopt;
  return options[*picked].answer;
}

}  // namespace

std::uint32_t ShowErrorDialog(const char* message, const char* caption, const std::vector<DialogOption>& options,
                              std::uint32_t otherwise) {
  try {
    if (std::optional<std::uint32_t> answer = AskOnDesktop(message, caption, options)) return *answer;
    return ShowErrorDialogOnTerminal(message, caption, options, otherwise);
  } catch (const std::bad_alloc&) {
    return otherwise;  // the dialog could not be shown
  }
}

}  // namespace tb

#endif
