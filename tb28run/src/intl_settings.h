// The international settings: how the runtime writes and reads numbers, dates and times.
// One set per process; every family that formats or parses text reads it from here.
#pragma once

#include <cstdint>
#include <string>

namespace tb {

struct IntlSettings {
  std::int32_t mode = 0;           // 1 Windows, 2 binary, anything else Kestran
  std::uintptr_t dict = 0;         // the logical's value word as given (binary mode passes 2)
  bool amPm = false;               // a 12-hour clock with the AM/PM extensions
  bool century = false;            // "YY" in a date picture shows four digits
  std::uint32_t decimalSep = '.';  // character codes, as set
  std::uint32_t thousandSep = ',';
  std::uint32_t timeSep = ':';
  std::string amExt = " am";
  std::string pmExt = " pm";
  std::string dateFormat = "MM/DD/YY";
  std::int32_t decimals = 2;  // digits after the separator for floats that carry no count of their own
  std::int32_t epoch = 1900;
};

IntlSettings& Intl();

// The separator characters as text uses them. A decimal separator of code 0 would cut the
// number's text short, so it reads as "."; a time separator of code 0 means none at all.
char DecimalChar();
inline bool TimeSepChar(const IntlSettings& settings, char* out) {
  *out = char(settings.timeSep & 0xFF);
  return *out != '\0';
}

}  // namespace tb
