// MessageBoxA in its terminal form.
//
// The box is drawn on standard output:
//
//   +------------------------------+
//   | Fix the quorl database now ? |      caption (title bar); "Error" when null
//   +------------------------------+
//   | (i) Confirm fix              |      icon marker and text, one row per text line
//   |                              |
//   | [*Yes*]  [No]                |      buttons in Windows order, the default one starred
//   +------------------------------+
//   Answer (Y/N, Enter = Yes):
//
// and the answer is one line of standard input, read with read(2) a byte at a time so that
// nothing past the line is taken from a pipe that later boxes share. The first non-blank
// character picks the button whose label starts with it (case-insensitive); an empty or blank
// line picks the default button; anything else is refused with a note and the prompt comes
// again. End of input before an answer means the box could not be shown: 0 is returned.
// When standard input is not a terminal, the line read is echoed after the prompt.
// A style outside the six button sets is shown as MB_OK, with one note on standard error.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
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

// Lines split at "\r\n", "\n" or a lone "\r".
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  return lines;
}

// Columns a UTF-8 text takes: one a code point.
std::size_t Width(const std::string& text) {
  std::size_t width = 0;
  for (unsigned char c : text) {
    if ((c & 0xC0) != 0x80) ++width;
  }
  return width;
}

std::string Draw(const std::string& text, const std::string& caption, UINT type, const std::vector<Button>& buttons,
                 std::size_t defaultIndex) {
  std::vector<std::string> body;
  const char* icon = IconMarker(type);
  std::string indent = icon != nullptr ? std::string(Width(icon) + 1, ' ') : std::string();
  std::vector<std::string> lines = SplitLines(text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    body.push_back((i == 0 && icon != nullptr ? std::string(icon) + " " : indent) + lines[i]);
  }
  // A line of nothing but the icon marker would end in a blank.
  if (!body.empty() && icon != nullptr && lines[0].empty()) body[0] = icon;
  body.emplace_back();
  std::string row;
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    if (i > 0) row += "  ";
    row += i == defaultIndex ? std::string("[*") + buttons[i].label + "*]" : std::string("[") + buttons[i].label + "]";
  }
  body.push_back(row);

  std::size_t width = Width(caption);
  for (const std::string& line : body) width = std::max(width, Width(line));
  std::string frame = "+" + std::string(width + 2, '-') + "+\n";
  auto boxed = [&](const std::string& line) { return "| " + line + std::string(width - Width(line), ' ') + " |\n"; };

  std::string out = frame + boxed(caption) + frame;
  for (const std::string& line : body) out += boxed(line);
  out += frame;
  return out;
}

std::string Prompt(const std::vector<Button>& buttons, std::size_t defaultIndex) {
  std::string letters;
  for (const Button& button : buttons) {
    if (!letters.empty()) letters += '/';
    letters += button.label[0];
  }
  return "Answer (" + letters + ", Enter = " + buttons[defaultIndex].label + "): ";
}

void Write(const std::string& text) {
  std::fputs(text.c_str(), stdout);
  std::fflush(stdout);
}

// One line of standard input without its end; false at end of input before any byte.
bool ReadLine(std::string& line) {
  line.clear();
  bool any = false;
  for (;;) {
    char c;
    ssize_t n = read(STDIN_FILENO, &c, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return any;
    any = true;
    if (c == '\n') return true;
    line += c;
  }
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

int AskTerminal(const std::string& text, const std::string& caption, UINT type) {
  std::vector<Button> buttons = Buttons(type);
  std::size_t defaultIndex = DefaultButton(type, buttons.size());
  Write(Draw(text, caption, type, buttons, defaultIndex));
  std::string prompt = Prompt(buttons, defaultIndex);
  for (;;) {
    Write(prompt);
    std::string line;
    if (!ReadLine(line)) {
      Write("\n");
      return 0;
    }
    // A terminal echoes the answer; input from elsewhere is echoed here, so that a transcript
    // reads the same.
    if (!isatty(STDIN_FILENO)) Write(line + "\n");
    std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) return buttons[defaultIndex].id;
    char letter = AsciiUpper(line[first]);
    for (const Button& button : buttons) {
      if (button.label[0] == letter) return button.id;
    }
    std::size_t end = first + 1;
    while (end < line.size() && (static_cast<unsigned char>(line[end]) & 0xC0) == 0x80) ++end;
    Write("No button starts with \"" + line.substr(first, end - first) + "\".\n");
  }
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
