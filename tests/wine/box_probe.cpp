// Reads a message box or dialog as a user sees it: box_probe CAPTION prints one line per visible
// control of the top-level window titled CAPTION, in the window's order, "class<TAB>text", with
// "Static<TAB>(icon)" for an icon. In a text, CR, LF, TAB and backslash are written \r, \n, \t
// and \\, so that each control stays on one line.
// Exit status 0 when the window was found, 2 when no such window exists, 1 on a usage error.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

// Bound on the wait for a text field of another process to answer.
constexpr UINT kAnswerMilliseconds = 5000;

// An edit control keeps its text to itself: only WM_GETTEXT, which Windows carries across
// processes, reads it. The other controls' texts are the window texts.
std::string TextOf(HWND control, bool isEdit) {
  if (!isEdit) {
    char text[256] = {};
    GetWindowTextA(control, text, sizeof text);
    return text;
  }
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerMilliseconds, &length))
    return "(no answer)";
  std::string text(length + 1, '\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                           kAnswerMilliseconds, &copied))
    return "(no answer)";
  text.resize(copied < length ? copied : length);
  return text;
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\\': out += "\\\\"; break;
      default: out += c;
    }
  }
  return out;
}

BOOL CALLBACK PrintControl(HWND control, LPARAM) {
  char className[64] = {};
  GetClassNameA(control, className, sizeof className);
  bool isIcon = lstrcmpiA(className, "Static") == 0 && (GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
  bool isEdit = lstrcmpiA(className, "Edit") == 0;
  // Controls that are not visible are not part of what the user sees.
  if (IsWindowVisible(control))
    std::printf("%s\t%s\n", className, isIcon ? "(icon)" : Escaped(TextOf(control, isEdit)).c_str());
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: box_probe CAPTION\n");
    return 1;
  }
  HWND box = FindWindowA(nullptr, argv[1]);
  if (!box) return 2;
  EnumChildWindows(box, &PrintControl, 0);
  return 0;
}
