// Calendar dates and Julian day numbers (the proleptic Gregorian calendar).
#pragma once

#include <cstdint>

namespace tb {

struct CivilDate {
  std::int32_t year, month, day;
};

constexpr std::int64_t DayNumber(std::int32_t year, std::int32_t month, std::int32_t day) {
  // Months count from March so that the leap day falls at the end of the counting year.
  std::int64_t a = (14 - month) / 12;
  std::int64_t y = std::int64_t(year) + 4800 - a;
  std::int64_t m = month + 12 * a - 3;
  return day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045;
}

CivilDate CivilOf(std::int64_t dayNumber);

// The days a date value may hold: 1 January of the year 1 to 31 December 9999.
constexpr std::int64_t kFirstDay = DayNumber(1, 1, 1);
constexpr std::int64_t kLastDay = DayNumber(9999, 12, 31);

inline bool IsCalendarDay(std::int64_t dayNumber) { return dayNumber >= kFirstDay && dayNumber <= kLastDay; }

}  // namespace tb
