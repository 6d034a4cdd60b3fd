// The program as the benchmarks run it: the runtime up with the program's symbols, function table,
// classes and init procedures, and nothing that waits for a person (the error dialog answers its
// first option, tones are silent).
#pragma once

#include <cstdint>

#include "runtime/tb28run.h"

namespace bench {

// Brings the program up once for the whole benchmark program; false when a step failed.
bool BringProgramUp();

// The whole main of a benchmark program: brings the program up, runs `prepare`, then the
// benchmarks named on the command line. 1 when the program could not be brought up.
int RunBenchmarks(int argc, char** argv, bool (*prepare)());

// Keeps a value alive for the rest of the run (slots of a frame at the bottom of the stack).
Usual Keep(Usual value);

// A string value from C text.
Usual Text(const char* text);

}  // namespace bench
