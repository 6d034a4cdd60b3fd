// The table through which the runtime calls the program's functions (and its own) by symbol.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/tb28run.h"

constexpr std::uint32_t FUNCTION_COUNT = 41;

struct FunctionTableLayout {
  std::uint32_t symbols[FUNCTION_COUNT];
  FunctionPair pairs[FUNCTION_COUNT];
};

extern const FunctionTableLayout FunctionTable;

#if defined(__i386__)
static_assert(offsetof(FunctionTableLayout, pairs) == 4 * FUNCTION_COUNT, "pairs follow the symbols directly");
static_assert(sizeof(FunctionPair) == 8 && sizeof(FunctionTableLayout) == 12 * FUNCTION_COUNT);
#endif
