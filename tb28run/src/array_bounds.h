// The bound check every positional array operation shares.
#pragma once

#include <cstdint>

#include "error_road.h"
#include "tb28run/values.h"

namespace tb {

struct BoundFault {
  const char* operation;
  bool canSubstitute;  // the error block may answer a value in place of the result
};

// True once the position lies within 1..length of the array (the null array has no elements).
// Otherwise raises the bound error until a retry finds the position in range (the error block
// may have grown the array) or the block settles: false then, with *answer holding its answer.
bool WithinBounds(const BoundFault& fault, TbArr array, std::uint32_t position, Answer* answer);

}  // namespace tb
