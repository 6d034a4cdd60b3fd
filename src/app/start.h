#pragma once

#include "runtime/tb28run.h"

// The main function: asks whether to fix the quorl database and answers that Quorl is missing.
Usual Start(std::uint32_t countWord, Usual* args);
namespace declared {
inline constexpr std::uint16_t Start = 0;
}
