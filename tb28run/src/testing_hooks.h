// The runtime's side of the test seams.
#pragma once

#include "tb28run/testing.h"

namespace tb {

// Counts a call of the export and tells whether it must fail.
bool HookFails(TbHook hook);
void Emit(const char* event);
std::int32_t CollectPublicsOverride();  // -1: none
std::int64_t RTCountOverride();         // -1: none
void ResetHooks();

}  // namespace tb
