// What the late-bound helpers share: gathering their arguments, reading and writing the
// argument array, and turning names into symbols.
//
// Gathering reads the caller's activation (PCount, _GetFParam), so these pieces run inside the
// helper's own frame and open none themselves.
#pragma once

#include <cstdint>

#include "runtime/call.h"
#include "runtime/tb28run.h"

namespace declared {
constexpr std::uint16_t ArrayBuild = 0;
}  // namespace declared

// Element `position` (from 1) of an argument array. The helpers only name positions their own
// array has, so the plain element access serves; the collection walk would only add its cost.
inline Usual ArgElement(TbArr array, std::uint32_t position) { return ArrayGet(array, position); }
inline void SetArgElement(TbArr array, std::uint32_t position, Usual value) { ArrayPut(array, position, value); }

// Every argument of the running helper, position i holding argument i. The array goes into
// `holder` (a local slot of the helper) before it is filled.
inline TbArr GatherArguments(Usual& holder) {
  std::uint32_t n = PCount();
  TbArr array = ArrayCreate(n);
  holder = ArrayValue(array);
  for (std::uint32_t i = 1; i <= n; ++i) SetArgElement(array, i, _GetFParam(i));
  return array;
}

// Appends the running helper's arguments from position `first` on.
inline void AppendArguments(TbArr array, std::uint32_t first) {
  for (std::uint32_t i = first, n = PCount(); i <= n; ++i) AAdd(array, _GetFParam(i));
}

// The symbol a name parameter stands for: a symbol as it is, a string by its name, anything
// else the empty symbol. The type is read from the value itself, as a compiler's inline test
// would: these helpers run on every late-bound call, and three runtime calls to learn one type
// were most of a short one.
inline Sym NameSymbol(const Usual* slot) {
  Usual name = slot ? *slot : NilValue();
  if (name.type == T_SYMBOL) return Sym(name.value);
  if (name.type == T_STRING) return String2Symbol(AsStr(name));
  return 0;
}

// A string at the position is replaced by its symbol; any other value stays.
inline void NameToSymbolAt(TbArr array, std::uint32_t position) {
  Usual name = ArgElement(array, position);
  if (IsString(name)) SetArgElement(array, position, SymbolValue(String2Symbol(_P2String(name))));
}
