#include "clock.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <ctime>
#endif

#include "reset.h"
#include "testing_hooks.h"

namespace tb {
namespace {

bool fixed = false;
TbTestLocalTime fixedTime{};

const ResetRegistration reset([] { fixed = false; });

#if !defined(_WIN32)
TbTestLocalTime Convert(std::time_t now) {
  std::tm parts{};
  localtime_r(&now, &parts);
  // A leap second reads as the last ordinary one.
  return TbTestLocalTime{std::uint16_t(parts.tm_year + 1900), std::uint16_t(parts.tm_mon + 1),
                         std::uint16_t(parts.tm_mday),        std::uint16_t(parts.tm_hour),
                         std::uint16_t(parts.tm_min),         std::uint16_t(parts.tm_sec > 59 ? 59 : parts.tm_sec)};
}
#endif

}  // namespace

TbTestLocalTime LocalNow() {
  if (fixed) return fixedTime;
#if defined(_WIN32)
  SYSTEMTIME st;
  GetLocalTime(&st);
  return TbTestLocalTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
#else
  return Convert(std::time(nullptr));
#endif
}

void FixLocalTime(const TbTestLocalTime* time) {
  fixed = time != nullptr;
  if (time) fixedTime = *time;
}

}  // namespace tb
