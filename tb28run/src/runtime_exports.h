// The runtime's own functions that late-bound calls reach by symbol, next to the program's table.
#pragma once

#include <cstdint>

#include "tb28run/values.h"

namespace tb {

struct RuntimeExport {
  KestFn function;
  std::uint32_t params;  // declared parameters
};

// The runtime's function reachable under the symbol, or null.
const RuntimeExport* FindRuntimeExport(Sym symbol);

}  // namespace tb
