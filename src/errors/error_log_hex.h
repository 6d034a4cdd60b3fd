// Hexadecimal renderings of values for the error log.
#pragma once

#include "runtime/tb28run.h"

// A number or other value as 8 hexadecimal digits of the word it carries (16 for a float that
// shows decimals or lies outside 32 bits: its IEEE double, low word first; 16 also for a value
// carrying an address on a 64-bit host, most significant first); a string as ErrorLogHexBytes.
Usual ErrorLogHex(Usual value);
// Every byte as two digits and a blank ("AB" gives "41 42 "); "" for the empty string.
Usual ErrorLogHexBytes(Usual text);
