// Test seams of the POSIX Windows layer. Only tests include this. Only the test build of the
// layer exports them (defined under src/testing/); the shipped library has none.
#pragma once

#include <windows.h>

extern "C" {

// Answers MessageBoxA instead of the terminal; null restores the terminal.
using Win32MessageBoxHook = int (*)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
void Win32TestSetMessageBoxHook(Win32MessageBoxHook hook);

// GetModuleHandleA answers non-zero for this module name (case-insensitive) while pretended.
void Win32TestPretendModuleLoaded(LPCSTR moduleName, BOOL loaded);

// GetLocaleInfoA answers this text for the type (null: the query fails) instead of the locale.
void Win32TestSetLocaleAnswer(LCTYPE type, LPCSTR answer);
void Win32TestClearLocaleAnswers(void);

// Replaces the bytes of a registered resource (null bytes: the resource is missing).
void Win32TestSetResource(WORD type, WORD name, const void* bytes, DWORD size);

// GetCommandLineA answers this line (null: the process's own again).
void Win32TestSetCommandLine(LPCSTR commandLine);

// The command line GetCommandLineA builds from these arguments (quoted the Windows way). The text
// stays valid until the next call on the same thread.
LPCSTR Win32TestQuoteArguments(const char* const* arguments, int count);

// Forgets every hook above.
void Win32TestReset(void);

}  // extern "C"
