#include "tb28run/memory.h"

#include <cstdlib>
#include <cstring>
#include <unordered_set>

#include "collector.h"
#include "reset.h"
#include "state.h"
#include "testing_hooks.h"

namespace {

// Blocks handed out by MemAlloc, so that RTExit returns them and MemFree ignores strangers.
std::unordered_set<void*>& Blocks() {
  static std::unordered_set<void*> blocks;
  return blocks;
}

void FreeBlocks() {
  for (void* b : Blocks()) std::free(b);
  Blocks().clear();
}

const tb::ResetRegistration reset(FreeBlocks);

}  // namespace

std::size_t tb::LiveMemBlocks() { return Blocks().size(); }

TBRT std::int32_t MemInit(void) {
  if (tb::HookFails(TB_HOOK_MEMINIT)) return 1;
  tb::State().memoryUp = true;
  // Stress mode for a whole test run, where no command line reaches the runtime.
  if (const char* stress = std::getenv("TB28RUN_GC_STRESS"); stress && *stress && *stress != '0') tb::SetGcStress(true);
  return 0;
}

TBRT void* MemAlloc(std::uint32_t byteCount) {
  if (tb::HookFails(TB_HOOK_MEMALLOC)) return nullptr;
  if (!tb::State().memoryUp) return nullptr;
  void* block = std::calloc(1, byteCount ? byteCount : 1);
  if (block) Blocks().insert(block);
  return block;
}

TBRT void MemFree(void* block) {
  if (block && Blocks().erase(block)) std::free(block);
}

TBRT void MemCopy(void* destination, const void* source, std::uint32_t byteCount) {
  if (byteCount && destination != source) std::memmove(destination, source, byteCount);
}

TBRT void MemClear(void* block, std::uint32_t byteCount) {
  if (byteCount) std::memset(block, 0, byteCount);
}
