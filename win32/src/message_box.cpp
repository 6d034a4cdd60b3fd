// MessageBoxA in its terminal form (win32_terminal_dialog.h): the caption ("Error" when null)
// in the title row, an icon marker before the text, the buttons in Windows order with the
// style's default starred. End of input before an answer means the box could not be shown: 0 is
// returned. A style outside the six button sets is shown as MB_OK, with one note on standard
// error.
#include <win32_terminal_dialog.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "hooks.h"

namespace {

struct Button {
  const char* label;
  int id;
};

std::vector<Button> Buttons(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OK: return {{"OK", IDOK}};
    case MB_OKCANCEL: return {{"OK", IDOK}, {"Cancel", IDCANCEL}};
    case MB_ABORTRETRYIGNORE: return {{"Abort", IDABORT}, {"Retry", IDRETRY}, {"Ignore", IDIGNORE}};
    case MB_YESNOCANCEL: return {{"Yes", IDYES}, {"No", IDNO}, {"Cancel", IDCANCEL}};
    case MB_YESNO: return {{"Yes", IDYES}, {"No", IDNO}};
    case MB_RETRYCANCEL: return {{"Retry", IDRETRY}, {"Cancel", IDCANCEL}};
    default: {
      static bool said = false;
      if (!said) {
        said = true;
        std::fprintf(stderr, "MessageBoxA: button style %#x is not supported here; showing OK\n",
                     static_cast<unsigned>(type & MB_TYPEMASK));
      }
      return {{"OK", IDOK}};
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

const char* IconMarker(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONINFORMATION: return "(i)";
    case MB_ICONQUESTION: return "(?)";
    case MB_ICONEXCLAMATION: return "(!)";
    case MB_ICONSTOP: return "(X)";
    default: return nullptr;
  }
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

int AskTerminal(const std::string& text, const std::string& caption, UINT type) {
  std::vector<Button> buttons = Buttons(type);
  win32::TerminalDialog dialog;
  dialog.caption = caption;
  dialog.body = Body(text, type);
  for (const Button& button : buttons) dialog.buttons.emplace_back(button.label);
  dialog.defaultIndex = DefaultButton(type, buttons.size());
  std::optional<std::size_t> picked = win32::AskOnTerminal(dialog);
  return picked ? buttons[*picked].id : 0;
}

}  // namespace

extern "C" int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  Win32MessageBoxHook hook;
  {
    std::lock_guard lock(win32::Hooks().mutex);
    hook = win32::Hooks().messageBox;
  }
  if (hook != nullptr) return hook(owner, text, caption, type);
  return AskTerminal(text != nullptr ? text : "", caption != nullptr ? caption : "Error", type);
}
