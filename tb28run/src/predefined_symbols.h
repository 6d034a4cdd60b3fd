// The runtime's own symbols, numbered 1 to 443.
#pragma once

#include <string>

#include "tb28run/symbols.h"

namespace tb {

// The name of predefined symbol n (1 <= n < 444).
std::string PredefinedSymbolName(Sym n);

}  // namespace tb
