// Bringing the runtime up and down.
#pragma once

#include <cstdint>

#include "tb28run/values.h"

// The program's exit step: runs its shutdown and ends the process with the code.
using ExitStep = void (*)(std::uint32_t exitCode);

TBRT std::int32_t AtomInit(void);
TBRT std::int32_t CreateAtomTable(std::uint32_t maxNameBytes, std::uint32_t maxNames);
// Registers a name; symbols are numbered consecutively from 444 in registration order.
// Registering a name again gives its existing number. 0 on failure.
TBRT Sym SysAddAtom(const char* name);

TBRT std::int32_t RTInit(ExitStep exitStep, std::uint32_t moduleKind, std::uint32_t functionCount,
                         const std::uint32_t* symbolList, char* commandLine, std::uint32_t startupInfoSize,
                         std::uint32_t reserved7, void* moduleHandle, const void* globalAreaTable,
                         std::uint32_t reserved10, std::uint32_t reserved11, std::uint32_t reserved12,
                         std::uint32_t reserved13, std::uint32_t stackSize, void* initialStackPointer);
// Takes note of the main function's result (the code the runtime reports, see ErrorLevel).
TBRT void __ConvertResult(std::uintptr_t value, std::uint32_t type);
// Releases everything the runtime holds. Returns to the caller, who ends the process.
TBRT void RTExit(void);
// The number of modules brought up with RTInit in this process.
TBRT std::uint32_t _GetRTCount(void);
// Non-zero when the command line handed to RTInit carries --tb28run:collect-publics as an
// argument of its own (the line split as Windows splits it).
TBRT std::int32_t __CollectPublics(void);

// The table the program hands to RTInit: symbols, then (function, declared parameters) pairs
// at the next position aligned for a pair.
struct FunctionPair {
  KestFn function;
  std::uint32_t params;
};
