// Test seam of the runtime's clock. Not for the program: only tests include this. Only the test
// build of the library exports it (see testing.h).
#pragma once

#include <cstdint>

#include "tb28run/api.h"

struct TbTestLocalTime {
  std::uint16_t year, month, day;
  std::uint16_t hour, minute, second;
};

// Makes Today and Time read this local time; null returns them to the real clock. The test
// reset returns them too.
TBRT void TbTestSetLocalTime(const TbTestLocalTime* time);
