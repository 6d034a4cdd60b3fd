// Arrays of dynamic values, 1-based.
#pragma once

#include <cstdint>

#include "tb28run/values.h"

// A new array of `length` NIL elements.
TBRT TbArr ArrayCreate(std::uint32_t length);
// A new array holding copies of `count` values.
TBRT TbArr ArrayInit(std::uint32_t count, const Usual* values);
