// The exported setters of win32_testing.h.
#include <win32_command_line.h>

#include "hooks.h"

using win32::Hooks;

extern "C" {

void Win32TestSetMessageBoxHook(Win32MessageBoxHook hook) { Hooks().messageBox = hook; }

void Win32TestPretendModuleLoaded(LPCSTR moduleName, BOOL loaded) {
  if (moduleName == nullptr) return;
  if (loaded) {
    Hooks().pretendModules.insert(win32::AsciiLower(moduleName));
  } else {
    Hooks().pretendModules.erase(win32::AsciiLower(moduleName));
  }
  ++Hooks().pretendChanges;
}

void Win32TestSetLocaleAnswer(LCTYPE type, LPCSTR answer) {
  if (answer == nullptr) {
    Hooks().localeAnswers[type] = std::nullopt;
  } else {
    Hooks().localeAnswers[type] = std::string(answer);
  }
}

void Win32TestClearLocaleAnswers(void) { Hooks().localeAnswers.clear(); }

void Win32TestSetCommandLine(LPCSTR commandLine) {
  if (commandLine == nullptr) {
    Hooks().commandLine.reset();
  } else {
    Hooks().commandLine = std::string(commandLine);
  }
}

void Win32TestReset(void) {
  {
    Hooks().messageBox = nullptr;
    Hooks().pretendModules.clear();
    ++Hooks().pretendChanges;
    Hooks().localeAnswers.clear();
    Hooks().commandLine.reset();
  }
  win32::ResetResourceOverrides();
}

LPCSTR Win32TestQuoteArguments(const char* const* arguments, int count) {
  thread_local std::string line;
  std::vector<std::string> list;
  for (int i = 0; i < count; ++i) list.emplace_back(arguments[i]);
  line = win32::JoinCommandLine(list);
  return line.c_str();
}

void Win32TestSetResource(WORD type, WORD name, const void* bytes, DWORD size) {
  win32::OverrideResource(type, name, bytes, size);
}

}  // extern "C"
