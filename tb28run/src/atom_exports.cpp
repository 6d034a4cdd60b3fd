// The atom table: bringing up the symbols, sizing the table, and adding names to it.
#include "tb28run/bringup.h"

#include "state.h"
#include "symbols_table.h"
#include "testing_hooks.h"

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
