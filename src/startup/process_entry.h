// The process entry: brings the runtime up, runs the module and ends the process.
#pragma once

#include <cstdint>

#include "startup/module_record.h"

// Exit code of every start-up failure.
constexpr std::uint32_t STARTUP_FAILURE_EXIT_CODE = 0xFFFFFFFFu;
// Bring-up sizes handed to CreateAtomTable.
constexpr std::uint32_t ATOM_TABLE_MAX_NAMES = 16384;
// The ATOMTABLE resource.
constexpr unsigned ATOMTABLE_RESOURCE_TYPE = 0x5441;
constexpr unsigned ATOMTABLE_RESOURCE_NAME = 1;

// The copy of the command line handed to the runtime (NUL included); lives until the end.
extern char* CommandLineCopy;
// Non-zero once RTInit succeeded: the exit step then brings the runtime down.
extern std::uint32_t RuntimeUp;

[[noreturn]] void ProcessEntry();
// The entry for a given module record (the process's own is TheModuleRecord).
[[noreturn]] void ProcessEntryWith(const ModuleRecord& record);
// The exit step: RTExit when the runtime is up, then the end of the process.
[[noreturn]] void ProcessExit(std::uint32_t exitCode);

// Registers the names of an ATOMTABLE resource of `size` bytes. False when the signature differs,
// the table runs past its end, a name is not NUL-terminated, or the runtime refuses a name.
bool RegisterAtomTable(const unsigned char* bytes, std::uint32_t size);
