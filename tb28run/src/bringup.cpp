// Bringing the runtime up for a module and down again, the floating-point state, and what a
// program asks of the runtime it was brought up with.
#include "tb28run/bringup.h"

#include <win32_command_line.h>

#include <cfenv>
#include <cstring>
#include <string_view>

#if defined(_WIN32)
#include <float.h>
#endif

#include "collector.h"
#include "heap.h"
#include "state.h"
#include "symbols_table.h"
#include "tb28run/process.h"
#include "testing_hooks.h"

namespace {

constexpr std::string_view kCollectPublicsOption = "--tb28run:collect-publics";
constexpr std::string_view kGcStressOption = "--tb28run:gc-stress";

}  // namespace

// The module kind, handle, global area, stack size and stack pointer are part of the call every
// program makes; this runtime keeps one module and its own stacks, so it needs none of them.
TBRT std::int32_t RTInit(ExitStep exitStep, std::uint32_t /*moduleKind*/, std::uint32_t functionCount,
                         const std::uint32_t* symbolList, char* commandLine, std::uint32_t /*startupInfoSize*/,
                         std::uint32_t /*reserved7*/, void* /*moduleHandle*/, const void* /*globalAreaTable*/,
                         std::uint32_t /*reserved10*/, std::uint32_t /*reserved11*/, std::uint32_t /*reserved12*/,
                         std::uint32_t /*reserved13*/, std::uint32_t /*stackSize*/, void* /*initialStackPointer*/) {
  tb::Emit("RTInit");
  if (tb::HookFails(TB_HOOK_RTINIT)) return 1;
  tb::RuntimeState& s = tb::State();
  if (!s.atomTableUp || !exitStep || (functionCount && !symbolList)) return 2;
  tb::ModuleTables& m = s.module;
  m.exitStep = exitStep;
  // The pairs follow the last symbol number at the next position a pair may stand.
  auto pairsAt = reinterpret_cast<std::uintptr_t>(symbolList + functionCount);
  pairsAt = (pairsAt + alignof(FunctionPair) - 1) & ~std::uintptr_t(alignof(FunctionPair) - 1);
  const FunctionPair* pairs = functionCount ? reinterpret_cast<const FunctionPair*>(pairsAt) : nullptr;
  m.bySymbol.clear();
  m.byDenseSymbol.clear();
  for (std::uint32_t i = 0; i < functionCount; ++i) {
    Sym symbol = symbolList[i];
    m.bySymbol.emplace(symbol, &pairs[i]);  // a symbol listed twice keeps its first row
    if (symbol >= tb::ModuleTables::kDenseSymbols) continue;
    if (symbol >= m.byDenseSymbol.size()) m.byDenseSymbol.resize(symbol + 1, nullptr);
    if (!m.byDenseSymbol[symbol]) m.byDenseSymbol[symbol] = &pairs[i];
  }
  // An option is an argument of its own, split as Windows splits a command line, never a part
  // of another argument that happens to spell it.
  const std::string_view line = commandLine ? commandLine : "";
  s.collectPublics = win32::HasArgument(line, kCollectPublicsOption);
  if (win32::HasArgument(line, kGcStressOption)) tb::SetGcStress(true);
  ++s.rtCount;
  return 0;
}

TBRT void RTExit(void) {
  tb::Emit("RTExit");
  tb::ResetState();
}

TBRT std::uint32_t _GetRTCount(void) {
  std::int64_t forced = tb::RTCountOverride();
  return forced >= 0 ? std::uint32_t(forced) : tb::State().rtCount;
}

TBRT std::int32_t __CollectPublics(void) {
  std::int32_t forced = tb::CollectPublicsOverride();
  if (forced >= 0) return forced;
  return tb::State().collectPublics ? 1 : 0;
}

TBRT void MathInit(void) {
#if defined(_WIN32)
  _fpreset();
#endif
  std::fesetenv(FE_DFL_ENV);
  // Not every host's default environment clears the SSE flags; these two leave nothing to chance.
  std::feclearexcept(FE_ALL_EXCEPT);
  std::fesetround(FE_TONEAREST);
}
