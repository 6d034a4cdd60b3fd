// Process start and end: SetHandleCount, GetStartupInfoA, ExitProcess.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" {

// Windows NT ignores the request and answers the number asked for.
UINT WINAPI SetHandleCount(UINT number) { return number; }

// A process started from a terminal has no start-up information: every field is zero except
// the size field, which stays as the caller set it.
void WINAPI GetStartupInfoA(LPSTARTUPINFOA info) {
  if (info == nullptr) return;
  DWORD cb = info->cb;
  std::memset(info, 0, sizeof *info);
  info->cb = cb;
}

// A POSIX exit status is 8 bits wide. Codes 0..255 pass as they are; any other code becomes
// 255, so that no non-zero code reads as success (Wine maps (UINT)-1 to 255 the same way).
[[noreturn]] void WINAPI ExitProcess(UINT exitCode) {
  int status = exitCode <= 255 ? static_cast<int>(exitCode) : 255;
  std::fflush(nullptr);
  std::exit(status);
}

}  // extern "C"
