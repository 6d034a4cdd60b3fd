// The exported setters of testing.h.
#include "collector.h"
#include "heap.h"
#include "state.h"
#include "testing_hooks.h"

TBRT void TbTestFailNthCall(TbHook hook, std::uint32_t n) {
  if (hook >= TB_HOOK_COUNT) return;
  tb::Hooks().failAt[hook] = n ? tb::Hooks().calls[hook] + n : 0;
}

TBRT std::uint32_t TbTestCallCount(TbHook hook) { return hook < TB_HOOK_COUNT ? tb::Hooks().calls[hook] : 0; }

TBRT void TbTestSetEventSink(TbEventSink sink) { tb::Hooks().sink = sink; }
TBRT void TbTestSetCollectPublics(std::int32_t answer) { tb::Hooks().collectPublics = answer; }
TBRT void TbTestSetRTCount(std::int64_t answer) { tb::Hooks().rtCount = answer; }

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

TBRT std::uint32_t TbTestLiveMemBlocks(void) { return std::uint32_t(tb::LiveMemBlocks()); }

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
