// The argument error SetInternational raises for a mode it does not know.
#pragma once

#include <cstdint>

#include "runtime/tb28run.h"

// One parameter, the rejected mode symbol. Evaluates the current error block with an Error of
// the subsystem "International", generic code 30, that can default, whose ARG is the symbol's
// text. The block's answer is not used; returns NIL.
Usual InternationalArgError(std::uint32_t countWord, Usual* args);
