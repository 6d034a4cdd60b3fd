// The international settings of the program: how the runtime writes and reads numbers, times
// and dates, taken from the user locale (#WINDOWS) or fixed (#KESTRAN, #BINARY).
#pragma once

#include <cstdint>

#include "runtime/tb28run.h"

// One optional parameter, the mode symbol. Returns the mode in force before the call as a symbol
// value; without an argument it only reports it. A symbol other than the three modes raises the
// "International" argument error through the caller's error block and changes nothing. A runtime
// error while a mode is applied ends the applying there: the settings made so far stay and the
// caller's error block never sees it.
Usual SetInternational(std::uint32_t countWord, Usual* args);
namespace declared {
inline constexpr std::uint16_t SetInternational = 1;
}
