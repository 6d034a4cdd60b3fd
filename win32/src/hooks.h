// Test-hook state shared by the files of the POSIX Windows layer. Every hook lives here so that
// Win32TestReset (testing/hooks.cpp) forgets them all in one place. The layer serves a single-threaded
// program: nothing here guards against threads.
#pragma once

#include <win32_testing.h>
#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>

namespace win32 {

struct HookState {
  Win32MessageBoxHook messageBox = nullptr;
  std::set<std::string> pretendModules;                        // lower-cased names
  std::uint64_t pretendChanges = 0;                            // counts changes of pretendModules
  std::map<LCTYPE, std::optional<std::string>> localeAnswers;  // nullopt: the query fails
  std::optional<std::string> commandLine;
};

HookState& Hooks();

// Owned by resources.cpp: replaces the bytes of a resource (null: the resource is missing), and
// restores the registered bytes of every resource.
void OverrideResource(WORD type, WORD name, const void* bytes, DWORD size);
void ResetResourceOverrides();

// ASCII lower case, the way module names compare on Windows.
std::string AsciiLower(std::string text);

}  // namespace win32
