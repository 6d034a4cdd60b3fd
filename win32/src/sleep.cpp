// Sleep: the calling thread waits at least the given milliseconds; 0 only yields.
#include <windows.h>

#include <sched.h>

#include <cerrno>
#include <ctime>

extern "C" {

void WINAPI Sleep(DWORD milliseconds) {
  if (milliseconds == 0) {
    sched_yield();
    return;
  }
  timespec left{time_t(milliseconds / 1000), long(milliseconds % 1000) * 1000000L};
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

}  // extern "C"
