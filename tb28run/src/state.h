// What the runtime keeps between calls. One process, one thread, one runtime: the runtime is
// single-threaded by design, so none of its state (here or in the families' own files) is guarded
// against other threads, and none needs to be.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "tb28run/bringup.h"
#include "tb28run/frames.h"

namespace tb {

struct ModuleTables {
  ExitStep exitStep = nullptr;
  std::unordered_map<Sym, const FunctionPair*> bySymbol;
  // The same rows indexed by symbol, for the symbols below kDenseSymbols (all a program names):
  // a late-bound call looks its function up every time.
  static constexpr Sym kDenseSymbols = 1u << 16;
  std::vector<const FunctionPair*> byDenseSymbol;
};

struct RuntimeState {
  bool memoryUp = false;
  bool atomsUp = false;
  bool atomTableUp = false;
  std::uint32_t rtCount = 0;  // modules brought up with RTInit
  bool collectPublics = false;
  ModuleTables module;
  ActivationStack das{1, 0, nullptr};
  std::int32_t errorLevel = 0;
};

// The one state, reached inline: nearly every export asks for it.
extern RuntimeState theState;
inline RuntimeState& State() { return theState; }

// Forgets everything: used by RTExit and by the test reset.
void ResetState();

// The function registered under a symbol in the program's table, or null. Every symbol a
// program names is in the dense index, looked up inline: a late-bound call asks every time.
const FunctionPair* FindSparseProgramFunction(Sym symbol);
inline const FunctionPair* FindProgramFunction(Sym symbol) {
  const ModuleTables& m = State().module;
  if (symbol < m.byDenseSymbol.size()) return m.byDenseSymbol[symbol];
  return FindSparseProgramFunction(symbol);
}

}  // namespace tb
