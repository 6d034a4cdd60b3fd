// The runtime's side of the test seams: the state that the exported setters (src/testing/, linked
// only into the test build of the library) change. The shipped library has no setters, so there
// every seam keeps its reset value.
#pragma once

#include <cstddef>

#include "tb28run/testing.h"
#include "tb28run/testing_clock.h"
#include "tb28run/testing_dialog.h"

namespace tb {

struct TestHooks {
  std::uint32_t failAt[TB_HOOK_COUNT] = {};
  std::uint32_t calls[TB_HOOK_COUNT] = {};
  TbEventSink sink = nullptr;
  std::int32_t collectPublics = -1;
  std::int64_t rtCount = -1;
};
TestHooks& Hooks();

// Counts a call of the export and tells whether it must fail.
bool HookFails(TbHook hook);
void Emit(const char* event);
std::int32_t CollectPublicsOverride();  // -1: none
std::int64_t RTCountOverride();         // -1: none
void ResetHooks();

// Each owned by the family that consults it, which forgets it at the reset.
TbErrorDialogHook& ErrorDialogHook();            // error_dialog.cpp
TbToneSink& ToneSink();                          // tone.cpp
TbInternalErrorSink& InternalErrorSink();        // process_end.cpp
void FixLocalTime(const TbTestLocalTime* time);  // clock.cpp; null: the real clock
std::size_t LiveMemBlocks();                     // memory.cpp

}  // namespace tb
