// The Error class's methods, the error function DefErrorGen and the last raw error record.
#pragma once

#include "runtime/tb28run.h"

// Constructor: one optional argument, the call-stack start level.
Usual ErrorInit(Usual self, std::uint32_t countWord, Usual* args);
// Evaluates the current error block with the error; answers what the block answers.
Usual ErrorThrow(Usual self, std::uint32_t countWord, Usual* args);

// Puts the record's fields into the error's variables, in the record's order; `args`, when given,
// stands for the record's argument block.
void FillFromRecord(TbObj error, const ErrorStructure& rec, const Usual* args);

// The runtime's error function: an Error object from a raw error record (a pointer value).
Usual DefErrorGen(std::uint32_t countWord, Usual* args);
namespace declared {
inline constexpr std::uint16_t DefErrorGen = 1;
}

// The last record DefErrorGen accepted, or the record built to wrap a value that is no Error.
// Its text pointers are the raiser's and go stale when the error returns: they are kept as they
// came, not cleared, because nothing reads them after that (the Error object holds copies of the
// texts) and the numbers beside them stay a faithful picture of the last error for a debugger.
extern ErrorStructure LastErrorRecord;
void ClearLastErrorRecord();
