// The call-stack text: one line per activation, innermost first, from a start level.
#pragma once

#include <cstdint>

#include "runtime/tb28run.h"

// The settings that shape the text. Module initialisation gives them their values.
extern std::uint32_t CallStackMaxEntries;  // at most this many entries (0 counts as 1)
extern std::uint32_t CallStackStopCount;   // stop after this many ":EXEC"/":DISPATCH" entries; 0 never
extern std::uint32_t CallStackNumbered;    // logic: entries begin with their number
extern std::uint32_t CallStackWithFile;    // logic: entries carry the source file

// A string value; never empty ("*EmptyCallStack*" and CR LF when there is no entry).
Usual CallStackText(std::uint32_t startLevel);
