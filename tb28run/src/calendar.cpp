#include "calendar.h"

namespace tb {

CivilDate CivilOf(std::int64_t dayNumber) {
  std::int64_t a = dayNumber + 32044;
  std::int64_t b = (4 * a + 3) / 146097;
  std::int64_t c = a - 146097 * b / 4;
  std::int64_t d = (4 * c + 3) / 1461;
  std::int64_t e = c - 1461 * d / 4;
  std::int64_t m = (5 * e + 2) / 153;
  CivilDate date;
  date.day = std::int32_t(e - (153 * m + 2) / 5 + 1);
  date.month = std::int32_t(m + 3 - 12 * (m / 10));
  date.year = std::int32_t(100 * b + d - 4800 + m / 10);
  return date;
}

}  // namespace tb
