// The test seams of win32_testing.h that only set or clear shared hook state.
#include "hooks.h"

namespace win32 {

// Never destroyed: a static destructor elsewhere may still show a box or ask the locale.
HookState& Hooks() {
  static HookState& state = *new HookState;
  return state;
}

std::string AsciiLower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

}  // namespace win32

using win32::Hooks;

extern "C" {

void Win32TestSetMessageBoxHook(Win32MessageBoxHook hook) {
  std::lock_guard lock(Hooks().mutex);
  Hooks().messageBox = hook;
}

void Win32TestPretendModuleLoaded(LPCSTR moduleName, BOOL loaded) {
  if (moduleName == nullptr) return;
  std::lock_guard lock(Hooks().mutex);
  if (loaded) {
    Hooks().pretendModules.insert(win32::AsciiLower(moduleName));
  } else {
    Hooks().pretendModules.erase(win32::AsciiLower(moduleName));
  }
  Hooks().pretendChanges.fetch_add(1, std::memory_order_release);
}

void Win32TestSetLocaleAnswer(LCTYPE type, LPCSTR answer) {
  std::lock_guard lock(Hooks().mutex);
  if (answer == nullptr) {
    Hooks().localeAnswers[type] = std::nullopt;
  } else {
    Hooks().localeAnswers[type] = std::string(answer);
  }
}

void Win32TestClearLocaleAnswers(void) {
  std::lock_guard lock(Hooks().mutex);
  Hooks().localeAnswers.clear();
}

void Win32TestSetCommandLine(LPCSTR commandLine) {
  std::lock_guard lock(Hooks().mutex);
  if (commandLine == nullptr) {
    Hooks().commandLine.reset();
  } else {
    Hooks().commandLine = std::string(commandLine);
  }
}

void Win32TestReset(void) {
  {
    std::lock_guard lock(Hooks().mutex);
    Hooks().messageBox = nullptr;
    Hooks().pretendModules.clear();
    Hooks().pretendChanges.fetch_add(1, std::memory_order_release);
    Hooks().localeAnswers.clear();
    Hooks().commandLine.reset();
  }
  win32::ResetResourceOverrides();
}

}  // extern "C"
