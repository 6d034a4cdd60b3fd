// Test-hook state shared by the files of the POSIX Windows layer. Every hook lives here so that
// Win32TestReset (testing/hooks.cpp) forgets them all in one place. Guarded by one mutex: the program
// is single-threaded, tests may not be.
#pragma once

#include <win32_testing.h>
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>

namespace win32 {

struct HookState {
  std::mutex mutex;
  Win32MessageBoxHook messageBox = nullptr;
  std::set<std::string> pretendModules;                        // lower-cased names
  std::atomic<std::uint64_t> pretendChanges{0};                // counts changes of pretendModules
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
