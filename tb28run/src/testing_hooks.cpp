#include "testing_hooks.h"

namespace tb {

TestHooks& Hooks() {
  static TestHooks hooks;
  return hooks;
}

bool HookFails(TbHook hook) {
  TestHooks& h = Hooks();
  std::uint32_t n = ++h.calls[hook];
  return h.failAt[hook] != 0 && n == h.failAt[hook];
}

void Emit(const char* event) {
  if (Hooks().sink) Hooks().sink(event);
}

std::int32_t CollectPublicsOverride() { return Hooks().collectPublics; }
std::int64_t RTCountOverride() { return Hooks().rtCount; }

void ResetHooks() {
  Hooks() = TestHooks{};
  heapFaults = FaultRun{};
  fileFaults = FileFaults{};
}

FaultRun heapFaults;
FileFaults fileFaults;

void SetFaultRun(FaultRun& run, std::uint32_t nth, std::uint32_t count) {
  run = FaultRun{nth, count ? count : UINT32_MAX, 0};
}

bool StepFaultRun(FaultRun& run) {
  if (run.countdown > 1) {
    --run.countdown;
    return false;
  }
  ++run.injected;
  if (run.left != UINT32_MAX && --run.left == 0) run.countdown = 0;
  return true;
}

}  // namespace tb
