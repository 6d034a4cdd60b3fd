// Locale queries: placeholder until the POSIX-locale form lands (en-US answers).
#include <cstring>

#include "hooks.h"

extern "C" LCID WINAPI GetUserDefaultLCID(void) { return 0x0409; }

extern "C" int WINAPI GetLocaleInfoA(LCID, LCTYPE type, LPSTR data, int size) {
  const char* answer = nullptr;
  switch (type) {
    case LOCALE_SDECIMAL: answer = "."; break;
    case LOCALE_STHOUSAND: answer = ","; break;
    case LOCALE_IDIGITS: answer = "2"; break;
    case LOCALE_SDATE: answer = "/"; break;
    case LOCALE_STIME: answer = ":"; break;
    case LOCALE_SSHORTDATE: answer = "M/d/yyyy"; break;
    case LOCALE_IDATE: answer = "0"; break;
    case LOCALE_ITIME: answer = "0"; break;
    case LOCALE_S1159: answer = "AM"; break;
    case LOCALE_S2359: answer = "PM"; break;
    default: SetLastError(ERROR_INVALID_FLAGS); return 0;
  }
  int needed = static_cast<int>(std::strlen(answer)) + 1;
  if (size == 0) return needed;
  if (size < needed) { SetLastError(ERROR_INSUFFICIENT_BUFFER); return 0; }
  std::memcpy(data, answer, needed);
  return needed;
}
