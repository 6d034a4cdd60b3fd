// A number taken as a code: the exit code (ErrorLevel, the main function's result), an error code.
#pragma once

#include <cmath>
#include <cstdint>

namespace tb {

// The whole part as a 32-bit word, as an unsigned code of 2^31 or more arrives as a float:
// 4294967295.0 and -1.0 give the same word. A number with no whole part a word can carry (NaN,
// an infinity, beyond 2^53 where a double holds no units any more) gives 0, never an undefined
// conversion.
inline std::uint32_t CodeWordOf(double number) {
  double n = std::trunc(number);
  if (!std::isfinite(n) || std::fabs(n) >= 9.0e15) return 0;
  return std::uint32_t(std::int64_t(n));
}

}  // namespace tb
