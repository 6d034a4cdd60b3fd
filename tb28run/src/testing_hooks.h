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
TbInternalErrorSink& InternalErrorSink();        // internal_error.cpp
void FixLocalTime(const TbTestLocalTime* time);  // clock.cpp; null: the real clock
std::size_t LiveMemBlocks();                     // memory.cpp

// A run of injected failures (see TbTestFailAllocations): `countdown` is 0 while none is set,
// so that the path of an event tests that one word and goes on.
struct FaultRun {
  std::uint32_t countdown = 0;  // events until the first failure, that one included
  std::uint32_t left = 0;       // failures still to come once they began; UINT32_MAX: no end
  std::uint32_t injected = 0;
};
void SetFaultRun(FaultRun& run, std::uint32_t nth, std::uint32_t count);
// Counts an event of a run that is set; true when it must fail.
bool StepFaultRun(FaultRun& run);

extern FaultRun heapFaults;
inline bool HeapAllocationFails() { return heapFaults.countdown != 0 && StepFaultRun(heapFaults); }

struct FileFaults {
  FaultRun run;
  TbFileFault fault{};
};
extern FileFaults fileFaults;
// Whether this operation of the runtime's file layer must fail; *error then holds the host's
// error number and *shortWrite whether a write puts out half its bytes instead.
inline bool FileOpFails(TbFileOp op, int* error, bool* shortWrite = nullptr) {
  if (fileFaults.run.countdown == 0 || !(fileFaults.fault.ops & op) || !StepFaultRun(fileFaults.run)) return false;
  *error = fileFaults.fault.error;
  if (shortWrite) *shortWrite = fileFaults.fault.shortWrite != 0;
  return true;
}

}  // namespace tb
