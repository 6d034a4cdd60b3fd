// The settings that shape the call-stack text. Module initialisation gives them their values.
#pragma once

#include <cstdint>

extern std::uint32_t CallStackMaxEntries;  // at most this many entries (0 counts as 1)
extern std::uint32_t CallStackStopCount;   // stop after this many ":EXEC"/":DISPATCH" entries; 0 never
extern std::uint32_t CallStackNumbered;    // logic: entries begin with their number
extern std::uint32_t CallStackWithFile;    // logic: entries carry the source file
