#include "tb28run/bringup.h"

#include <win32_command_line.h>

#include <cstring>
#include <string_view>

#include "code_word.h"
#include "collector.h"
#include "heap.h"
#include "state.h"
#include "symbols_table.h"
#include "testing_hooks.h"

namespace {

constexpr std::string_view kCollectPublicsOption = "--tb28run:collect-publics";
constexpr std::string_view kGcStressOption = "--tb28run:gc-stress";

}  // namespace

TBRT std::int32_t AtomInit(void) {
  if (tb::HookFails(TB_HOOK_ATOMINIT)) return 1;
  if (!tb::State().memoryUp) return 2;
  tb::SymbolsInit();
  tb::State().atomsUp = true;
  return 0;
}

TBRT std::int32_t CreateAtomTable(std::uint32_t maxNameBytes, std::uint32_t maxNames) {
  if (tb::HookFails(TB_HOOK_CREATEATOMTABLE)) return 1;
  if (!tb::State().atomsUp) return 2;
  tb::SymbolLimits(maxNameBytes, maxNames);
  tb::State().atomTableUp = true;
  return 0;
}

TBRT Sym SysAddAtom(const char* name) {
  if (tb::HookFails(TB_HOOK_SYSADDATOM)) return 0;
  if (!tb::State().atomTableUp || !name) return 0;
  return tb::InternExact(name);
}

TBRT std::int32_t RTInit(ExitStep exitStep, std::uint32_t moduleKind, std::uint32_t functionCount,
                         const std::uint32_t* symbolList, char* commandLine, std::uint32_t /*startupInfoSize*/,
                         std::uint32_t /*reserved7*/, void* moduleHandle, const void* globalAreaTable,
                         std::uint32_t /*reserved10*/, std::uint32_t /*reserved11*/, std::uint32_t /*reserved12*/,
                         std::uint32_t /*reserved13*/, std::uint32_t stackSize, void* initialStackPointer) {
  tb::Emit("RTInit");
  if (tb::HookFails(TB_HOOK_RTINIT)) return 1;
  tb::RuntimeState& s = tb::State();
  if (!s.atomTableUp || !exitStep || (functionCount && !symbolList)) return 2;
  tb::ModuleTables& m = s.module;
  m.exitStep = exitStep;
  m.moduleKind = moduleKind;
  m.functionCount = functionCount;
  m.symbols = symbolList;
  // The pairs follow the last symbol number at the next position a pair may stand.
  auto pairsAt = reinterpret_cast<std::uintptr_t>(symbolList + functionCount);
  pairsAt = (pairsAt + alignof(FunctionPair) - 1) & ~std::uintptr_t(alignof(FunctionPair) - 1);
  m.pairs = functionCount ? reinterpret_cast<const FunctionPair*>(pairsAt) : nullptr;
  m.bySymbol.clear();
  m.byDenseSymbol.clear();
  for (std::uint32_t i = 0; i < functionCount; ++i) {
    Sym symbol = symbolList[i];
    m.bySymbol.emplace(symbol, &m.pairs[i]);  // a symbol listed twice keeps its first row
    if (symbol >= tb::ModuleTables::kDenseSymbols) continue;
    if (symbol >= m.byDenseSymbol.size()) m.byDenseSymbol.resize(symbol + 1, nullptr);
    if (!m.byDenseSymbol[symbol]) m.byDenseSymbol[symbol] = &m.pairs[i];
  }
  m.commandLine = commandLine ? commandLine : "";
  m.moduleHandle = moduleHandle;
  m.globalAreaTable = globalAreaTable;
  m.stackSize = stackSize;
  m.initialStackPointer = initialStackPointer;
  // An option is an argument of its own, split as Windows splits a command line, never a part
  // of another argument that happens to spell it.
  s.collectPublics = win32::HasArgument(m.commandLine, kCollectPublicsOption);
  if (win32::HasArgument(m.commandLine, kGcStressOption)) tb::SetGcStress(true);
  ++s.rtCount;
  return 0;
}

TBRT void __ConvertResult(std::uintptr_t value, std::uint32_t type) {
  tb::Emit("__ConvertResult");
  tb::RuntimeState& s = tb::State();
  switch (type) {
    case T_INT:
    case T_DWORD: s.errorLevel = std::int32_t(std::uint32_t(value)); break;
    case T_LOGIC: s.errorLevel = value ? 1 : 0; break;
    case T_FLOAT: s.errorLevel = std::int32_t(tb::CodeWordOf(reinterpret_cast<const TbFloat*>(value)->value)); break;
    default: break;  // other results leave the reported code alone
  }
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
