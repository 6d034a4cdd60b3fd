// Reads a message box as a user sees it: box_probe CAPTION prints one line per control of the
// top-level window titled CAPTION, "class<TAB>text", with "Static<TAB>(icon)" for an icon.
// Exit status 0 when the window was found, 2 when no such window exists, 1 on a usage error.
#include <windows.h>

#include <cstdio>

namespace {

BOOL CALLBACK PrintControl(HWND control, LPARAM) {
  char className[64] = {};
  char text[256] = {};
  GetClassNameA(control, className, sizeof className);
  GetWindowTextA(control, text, sizeof text);
  bool isIcon = lstrcmpiA(className, "Static") == 0 && (GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
  // Controls that are not visible are not part of what the user sees.
  if (IsWindowVisible(control)) std::printf("%s\t%s\n", className, isIcon ? "(icon)" : text);
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
