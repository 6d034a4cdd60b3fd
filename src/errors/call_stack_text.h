// The call-stack text: one line per activation, innermost first, from a start level.
#pragma once

#include <cstdint>

#include "runtime/tb28run.h"

// A string value; never empty ("*EmptyCallStack*" and CR LF when there is no entry).
Usual CallStackText(std::uint32_t startLevel);
