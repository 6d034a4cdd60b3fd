// Beep: the terminal bell, when standard output is a terminal; frequency and duration cannot
// be honoured there and are ignored.
#include <windows.h>

#include <unistd.h>

#include <cstdio>

extern "C" {

BOOL WINAPI Beep(DWORD /*frequency*/, DWORD /*duration*/) {
  if (isatty(STDOUT_FILENO)) {
    std::fflush(stdout);
    ssize_t written = write(STDOUT_FILENO, "\a", 1);
    (void)written;
  }
  return TRUE;
}

}  // extern "C"
