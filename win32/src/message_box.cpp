// MessageBoxA: placeholder until the terminal form lands (answers through the hook, else 0).
#include "hooks.h"

extern "C" int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  Win32MessageBoxHook hook;
  {
    std::lock_guard lock(win32::Hooks().mutex);
    hook = win32::Hooks().messageBox;
  }
  if (hook != nullptr) return hook(owner, text, caption, type);
  return 0;
}
