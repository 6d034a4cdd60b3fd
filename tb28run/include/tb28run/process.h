// The program's end and the state that outlives single operations: the exit code, quitting,
// internal faults and the floating-point state.
#pragma once

#include <cstdint>

#include "tb28run/values.h"

// The exit code the program ends with (0 at start; the main function's result sets it too).
// With a number, sets it and answers the previous one. On POSIX hosts the status a parent sees
// is 8 bits wide: any code above 255 ends the process with 255.
TBRT Usual ErrorLevel(std::uint32_t countWord, Usual* args);
// Ends the program: runs the exit step handed to RTInit with the ErrorLevel code. Returns only
// when no exit step was handed over.
TBRT void _Quit(void);
// The runtime's report of an internal fault: one line on standard error; then it returns.
TBRT void _IError(std::uint32_t code, std::uint32_t detail, const char* text);
// Resets the floating-point state: exception flags cleared, rounding to nearest, the default
// exception masks and precision.
TBRT void MathInit(void);
