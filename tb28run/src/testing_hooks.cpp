#include "testing_hooks.h"

#include "collector.h"
#include "heap.h"
#include "state.h"

namespace tb {
namespace {

struct Hooks {
  std::uint32_t failAt[TB_HOOK_COUNT] = {};
  std::uint32_t calls[TB_HOOK_COUNT] = {};
  TbEventSink sink = nullptr;
  std::int32_t collectPublics = -1;
  std::int64_t rtCount = -1;
};

Hooks& H() {
  static Hooks hooks;
  return hooks;
}

}  // namespace

bool HookFails(TbHook hook) {
  Hooks& h = H();
  std::uint32_t n = ++h.calls[hook];
  return h.failAt[hook] != 0 && n == h.failAt[hook];
}

void Emit(const char* event) {
  if (H().sink) H().sink(event);
}

std::int32_t CollectPublicsOverride() { return H().collectPublics; }
std::int64_t RTCountOverride() { return H().rtCount; }

void ResetHooks() {
  H() = Hooks{};
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

TBRT void TbTestFailNthCall(TbHook hook, std::uint32_t n) {
  if (hook >= TB_HOOK_COUNT) return;
  tb::H().failAt[hook] = n ? tb::H().calls[hook] + n : 0;
}

TBRT std::uint32_t TbTestCallCount(TbHook hook) { return hook < TB_HOOK_COUNT ? tb::H().calls[hook] : 0; }

TBRT void TbTestSetEventSink(TbEventSink sink) { tb::H().sink = sink; }
TBRT void TbTestSetCollectPublics(std::int32_t answer) { tb::H().collectPublics = answer; }
TBRT void TbTestSetRTCount(std::int64_t answer) { tb::H().rtCount = answer; }

TBRT void TbTestFailAllocations(std::uint32_t nth, std::uint32_t count) { tb::SetFaultRun(tb::heapFaults, nth, count); }
TBRT std::uint32_t TbTestFailedAllocations(void) { return tb::heapFaults.injected; }

TBRT void TbTestFailFileOps(const TbFileFault* fault) {
  tb::fileFaults.fault = fault ? *fault : TbFileFault{};
  tb::SetFaultRun(tb::fileFaults.run, fault && fault->ops ? fault->nth : 0, fault ? fault->count : 0);
}
TBRT std::uint32_t TbTestFailedFileOps(void) { return tb::fileFaults.run.injected; }

TBRT void TbTestReset(void) {
  tb::ResetState();
  tb::ResetHooks();
}

TBRT TbHeapStats TbTestHeapStats(void) {
  tb::HeapStats s = tb::Stats();
  return TbHeapStats{s.liveBlocks, s.liveBytes, s.allocatedBlocks, s.chunkBytes};
}

TBRT void TbTestCollect(void) { tb::Collect(); }
TBRT void TbTestSetGcStress(std::int32_t on) { tb::SetGcStress(on != 0); }
TBRT std::uint64_t TbTestCollections(void) { return tb::GcStats().collections; }
TBRT void TbTestSetStackScan(std::int32_t on) { tb::SetStackScan(on != 0); }

TBRT std::int32_t TbTestIsLive(const void* block) {
  bool live = false;
  tb::ForEachBlock([&](tb::GcHeader* h) {
    auto start = reinterpret_cast<const char*>(h);
    auto at = static_cast<const char*>(block);
    if (at >= start && at < start + tb::BlockExtent(h)) live = true;
  });
  return live ? 1 : 0;
}

TBRT const void* TbTestBlockContaining(const void* address) {
  return tb::BlockContaining(reinterpret_cast<std::uintptr_t>(address));
}
