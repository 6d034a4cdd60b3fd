// The module's link-time tables, handed to the runtime at start-up.
#pragma once

#include <cstdint>

#include "runtime/tb28run.h"

using InitHookFn = std::int32_t (*)();

struct ModuleRecord {
  const std::uint32_t* SymbolList;
  std::uint32_t ModuleKind;
  InitHookFn InitHook;  // may be empty
  KestFn MainFunction;
  std::uint32_t FunctionCount;
  const void* GlobalAreaTable;
  std::uint32_t StackSize;
  std::uint32_t AtomTableSize;
};

// The module global area: the marker "DATA", then seven 32-bit slots kept for the runtime.
struct ModuleGlobalArea {
  char marker[4];
  std::uint32_t slots[7];
};

struct GlobalAreaEntry {
  void* address;
  std::uint32_t slotCount;
};

struct GlobalAreaTableLayout {
  std::uint32_t count;
  GlobalAreaEntry entries[1];
};

extern ModuleGlobalArea ModuleGlobals;
extern const GlobalAreaTableLayout GlobalAreaTable;
extern const ModuleRecord TheModuleRecord;

#if defined(__i386__)
static_assert(sizeof(ModuleGlobalArea) == 32);
static_assert(sizeof(GlobalAreaTableLayout) == 12);
#endif
