// The desktop form of MessageBoxA and of the runtime's error dialog on POSIX hosts: a real window
// drawn by the desktop plugin (GTK 3), which the host layer loads only when the desktop form is
// chosen. Otherwise, and whenever the plugin, GTK or the display cannot be had, the terminal form
// (win32_terminal_dialog.h) runs instead.
//
// The choice, made for each dialog: QUORLFIX_DIALOGS=terminal or =desktop forces a form. Unset
// (or empty, or "auto"), the desktop form runs when a display is named (WAYLAND_DISPLAY or
// DISPLAY) and standard input is a terminal, /dev/null or closed, as a launcher or a file manager
// leaves it; a pipe, a file or anything else there means answers are being fed in, and the
// terminal form reads them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace win32 {

enum class DialogForm { Terminal, Desktop };

// What standard input is, as far as the choice of form cares.
enum class StandardInput { Terminal, Null, Closed, FedAnswers };

StandardInput ClassifyStandardInput(int fd);

// `setting` is QUORLFIX_DIALOGS (null when unset); a value that is not known chooses as unset.
DialogForm ChooseDialogForm(const char* setting, bool displayNamed, StandardInput input);
bool IsKnownDialogSetting(const char* setting);

enum class DesktopIcon { None, Information, Question, Warning, Error };

struct DesktopDialog {
  std::string caption;  // the program's bytes, of no known encoding
  std::string text;
  DesktopIcon icon = DesktopIcon::None;
  bool textArea = false;  // the text in a scrollable area a user can select and copy from
  // Left to right, "_" before the letter that answers. With gtkLabels they are GTK's own
  // ("_Yes", "_Cancel" …) and are shown in the user's language where GTK has them translated.
  std::vector<std::string> buttons;
  bool gtkLabels = false;
  std::size_t defaultIndex = 0;           // Enter
  std::optional<std::size_t> closeIndex;  // Escape and the close box; none: neither answers
};

// The index of the button chosen on the desktop, or nothing when the desktop form is not chosen
// or cannot be shown: then the caller shows the terminal form.
std::optional<std::size_t> AskOnDesktop(const DesktopDialog& dialog);

// How a line end shows in a desktop text: it ends the line, or it becomes a blank (a title bar
// has one line).
enum class DesktopLines { Kept, Joined };

// The program's bytes as UTF-8 for the desktop: valid UTF-8 stays as it is, every other byte is
// read as Windows-1252 (Latin-1 with the printable characters Windows puts at 0x80 to 0x9F).
// Line ends (CR LF, LF, a lone CR) become "\n" or a blank; a tab stays in a text and is a blank
// in a title; every other control character shows as its visible symbol (U+2400 and on, U+2421
// for DEL), and a C1 control or a byte Windows-1252 leaves undefined as U+FFFD.
std::string DesktopText(std::string_view bytes, DesktopLines lines);

}  // namespace win32
