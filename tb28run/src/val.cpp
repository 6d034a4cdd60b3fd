// Val: the number at the start of a text.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

#include "heap.h"
#include "intl_settings.h"
#include "tb28run/numbers.h"

TBRT Usual Val(TbStr text) {
  const char* p = tb::Text(text);
  const char* end = p + tb::Length(text);
  while (p < end && (*p == ' ' || *p == '\t')) ++p;
  // The number is rebuilt in the form from_chars reads, whatever the separator in force.
  std::string number;
  if (p < end && (*p == '-' || *p == '+')) {
    if (*p == '-') number += '-';
    ++p;
  }
  std::size_t digitsBefore = 0, digitsAfter = 0;
  for (; p < end && *p >= '0' && *p <= '9'; ++p, ++digitsBefore) number += *p;
  bool separator = p < end && *p == tb::DecimalChar();
  if (separator)
    for (++p, number += '.'; p < end && *p >= '0' && *p <= '9'; ++p, ++digitsAfter) number += *p;
  if (digitsBefore + digitsAfter == 0) return IntValue(0);

  if (!separator) {
    std::int64_t whole = 0;
    auto [rest, error] = std::from_chars(number.data(), number.data() + number.size(), whole);
    if (error == std::errc() && whole >= INT32_MIN && whole <= INT32_MAX) return IntValue(std::int32_t(whole));
  }
  double value = 0;
  auto [rest, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error == std::errc::result_out_of_range) {
    // Too many digits before the separator for a double, or a fraction too small for one.
    bool large = number.find_first_of("123456789") < number.find('.');
    value = large ? (number[0] == '-' ? -HUGE_VAL : HUGE_VAL) : 0.0;
  }
  if (value == 0) value = 0;  // no negative zero from "-0.0"
  return tb::NewFloat(value, std::int32_t(digitsAfter));
}
