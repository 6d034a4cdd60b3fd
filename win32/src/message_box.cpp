// MessageBoxA: on the desktop when that form is chosen (win32_desktop_dialog.h), else in its
// terminal form (win32_terminal_dialog.h). Both show the caption ("Error" when null), the style's
// icon, and its buttons in Windows order with the style's default. On the terminal the icon is a
// marker before the text and the default button is starred; end of input before an answer means
// the box could not be shown: 0 is returned. A style outside the six button sets is shown as
// MB_OK, with one note on standard error.
#include <win32_desktop_dialog.h>
#include <win32_terminal_dialog.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "hooks.h"

namespace {

struct Button {
  // GTK's own mnemonic label where GTK has one (it translates those), "_" before the letter
  // that answers; on the terminal the label without the "_".
  const char* mnemonic;
  int id;
  std::string Label() const {
    std::string label = mnemonic;
    label.erase(label.find('_'), 1);
    return label;
  }
};

std::vector<Button> Buttons(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OK: return {{"_OK", IDOK}};
    case MB_OKCANCEL: return {{"_OK", IDOK}, {"_Cancel", IDCANCEL}};
    case MB_ABORTRETRYIGNORE: return {{"_Abort", IDABORT}, {"_Retry", IDRETRY}, {"_Ignore", IDIGNORE}};
    case MB_YESNOCANCEL: return {{"_Yes", IDYES}, {"_No", IDNO}, {"_Cancel", IDCANCEL}};
    case MB_YESNO: return {{"_Yes", IDYES}, {"_No", IDNO}};
    case MB_RETRYCANCEL: return {{"_Retry", IDRETRY}, {"_Cancel", IDCANCEL}};
    default: {
      static bool said = false;
      if (!said) {
        said = true;
        std::fprintf(stderr, "MessageBoxA: button style %#x is not supported here; showing OK\n",
                     static_cast<unsigned>(type & MB_TYPEMASK));
      }
      return {{"_OK", IDOK}};
    }
  }
}

// A default button that the set does not have falls back to the first, as on Windows.
std::size_t DefaultButton(UINT type, std::size_t count) {
  std::size_t index = 0;
  switch (type & MB_DEFMASK) {
    case MB_DEFBUTTON2: index = 1; break;
    case MB_DEFBUTTON3: index = 2; break;
    default: break;
  }
  return index < count ? index : 0;
}

// What Escape and the close box answer: Cancel, or the OK of a box that has nothing else. Any
// other box must be answered with one of its buttons.
std::optional<std::size_t> CloseButton(const std::vector<Button>& buttons) {
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    if (buttons[i].id == IDCANCEL) return i;
  }
  if (buttons.size() == 1) return 0;
  return std::nullopt;
}

win32::DesktopIcon Icon(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONINFORMATION: return win32::DesktopIcon::Information;
    case MB_ICONQUESTION: return win32::DesktopIcon::Question;
    case MB_ICONEXCLAMATION: return win32::DesktopIcon::Warning;
    case MB_ICONSTOP: return win32::DesktopIcon::Error;
    default: return win32::DesktopIcon::None;
  }
}

const char* IconMarker(UINT type) {
  switch (Icon(type)) {
    case win32::DesktopIcon::Information: return "(i)";
    case win32::DesktopIcon::Question: return "(?)";
    case win32::DesktopIcon::Warning: return "(!)";
    case win32::DesktopIcon::Error: return "(X)";
    case win32::DesktopIcon::None: break;
  }
  return nullptr;
}

// The text's rows, the first after the icon marker and the rest indented to line up with it.
std::vector<std::string> Body(const std::string& text, UINT type) {
  std::vector<std::string> body;
  const char* icon = IconMarker(type);
  std::string indent = icon != nullptr ? std::string(std::strlen(icon) + 1, ' ') : std::string();
  std::vector<std::string> lines = win32::SplitRows(text, win32::FinalLineEnd::OpensRow);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    body.push_back((i == 0 && icon != nullptr ? std::string(icon) + " " : indent) + lines[i]);
  }
  // A line of nothing but the icon marker would end in a blank.
  if (!body.empty() && icon != nullptr && lines[0].empty()) body[0] = icon;
  return body;
}

std::optional<std::size_t> AskOnDesktop(const std::string& text, const std::string& caption, UINT type,
                                        const std::vector<Button>& buttons) {
  win32::DesktopDialog dialog;
  dialog.caption = caption;
  dialog.text = text;
  dialog.icon = Icon(type);
  for (const Button& button : buttons) dialog.buttons.emplace_back(button.mnemonic);
  dialog.gtkLabels = true;
  dialog.defaultIndex = DefaultButton(type, buttons.size());
  dialog.closeIndex = CloseButton(buttons);
  return win32::AskOnDesktop(dialog);
}

std::optional<std::size_t> AskOnTerminal(const std::string& text, const std::string& caption, UINT type,
                                         const std::vector<Button>& buttons) {
  win32::TerminalDialog dialog;
  dialog.caption = caption;
  dialog.body = Body(text, type);
  for (const Button& button : buttons) dialog.buttons.push_back(button.Label());
  dialog.defaultIndex = DefaultButton(type, buttons.size());
  return win32::AskOnTerminal(dialog);
}

int Ask(const std::string& text, const std::string& caption, UINT type) {
  std::vector<Button> buttons = Buttons(type);
  std::optional<std::size_t> picked = AskOnDesktop(text, caption, type, buttons);
  if (!picked) picked = AskOnTerminal(text, caption, type, buttons);
  return picked ? buttons[*picked].id : 0;
}

}  // namespace

extern "C" int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) try {
  Win32MessageBoxHook hook = win32::Hooks().messageBox;
  if (hook != nullptr) return hook(owner, text, caption, type);
  return Ask(text != nullptr ? text : "", caption != nullptr ? caption : "Error", type);
} catch (const std::bad_alloc&) {
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return 0;  // the box could not be shown
}
