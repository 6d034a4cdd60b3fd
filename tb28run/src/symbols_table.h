// The symbol table: numbers to names and names to numbers, both in constant time.
#pragma once

#include <cstdint>
#include <string_view>

#include "tb28run/values.h"

namespace tb {

void SymbolsInit();
void SymbolsClear();
bool SymbolsReady();
void SymbolLimits(std::uint32_t maxNameBytes, std::uint32_t maxNames);
// The number of an exact name, registering it when new; 0 when a limit is reached.
Sym InternExact(std::string_view name);
// The number of an exact name, or 0 when it has none.
Sym LookupExact(std::string_view name);
std::string_view NameOf(Sym symbol);  // "" for an unknown number
std::uint32_t SymbolCount();          // highest number in use

}  // namespace tb
