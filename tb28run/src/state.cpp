#include "state.h"

#include <vector>

#include "heap.h"
#include "reset.h"
#include "symbols_table.h"

namespace tb {
namespace {

std::vector<void (*)()>& ResetList() {
  static std::vector<void (*)()> list;
  return list;
}

}  // namespace

ResetRegistration::ResetRegistration(void (*reset)()) { ResetList().push_back(reset); }

RuntimeState theState;

void ResetState() {
  for (auto reset : ResetList()) reset();
  FreeAll();
  SymbolsClear();
  State() = RuntimeState{};
  uiLineNum_RT = 0;
}

const FunctionPair* FindSparseProgramFunction(Sym symbol) {
  const ModuleTables& m = State().module;
  if (symbol < ModuleTables::kDenseSymbols) return nullptr;
  const auto& bySymbol = m.bySymbol;
  auto it = bySymbol.find(symbol);
  return it == bySymbol.end() ? nullptr : it->second;
}

}  // namespace tb
