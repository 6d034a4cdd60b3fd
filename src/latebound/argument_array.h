// What the late-bound helpers share: gathering their arguments, reading and writing the
// argument array, and turning names into symbols.
//
// Gathering reads the caller's activation (PCount, _GetFParam), so these pieces run inside the
// helper's own frame and open none themselves.
#pragma once

#include <cstdint>

#include "runtime/call.h"
#include "runtime/tb28run.h"

// Element `position` (from 1) of an argument array. The helpers only name positions their own
// array has, so the plain element access serves; the collection walk would only add its cost.
inline Usual ArgElement(TbArr array, std::uint32_t position) { return ArrayGet(array, position); }
inline void SetArgElement(TbArr array, std::uint32_t position, Usual value) { ArrayPut(array, position, value); }

// What PCount() answers inside the helper: the passed count of the frame it has just registered
// with this count word. Read from the word, it costs no call into the runtime.
inline std::uint32_t PassedCount(std::uint32_t countWord) { return PassedOf(countWord); }

// The object of a parameter, as _P2Object gives it: an object is taken at once, anything else
// goes to _P2Object and its error.
inline TbObj ObjectArgument(const Usual& value) {
  return value.type == T_OBJECT && value.value ? AsObj(value) : _P2Object(value);
}

// The array and the position a walk step takes, as _P2Array and _P2DW give them: the usual
// types at once, anything else through the runtime's conversion and its error.
inline TbArr ArrayArgument(const Usual& value) { return value.type == T_ARRAY ? AsArr(value) : _P2Array(value); }
inline std::uint32_t PositionArgument(const Usual& value) {
  return value.type == T_INT ? std::uint32_t(value.value) : _P2DW(value);
}

// The running helper's arguments from position `first` to `n` (its PCount()), in a new array
// kept in `holder`, a local slot of the helper. `args` are the helper's own argument slots, which
// _GetFParam reads: one ArrayInit gives the array that storing or appending each argument in
// turn would give, in one runtime call instead of two for every argument.
inline TbArr ArgumentsFrom(Usual& holder, const Usual* args, std::uint32_t first, std::uint32_t n) {
  TbArr array = n >= first ? ArrayInit(n - first + 1, args + (first - 1)) : ArrayCreate(0);
  holder = ArrayValue(array);
  return array;
}

// Every argument of the running helper, position i holding argument i.
inline TbArr GatherArguments(Usual& holder, const Usual* args, std::uint32_t n) {
  return ArgumentsFrom(holder, args, 1, n);
}

// Appends the running helper's arguments from position `first` to `n`, its PCount().
inline void AppendArguments(TbArr array, std::uint32_t first, std::uint32_t n) {
  for (std::uint32_t i = first; i <= n; ++i) AAdd(array, _GetFParam(i));
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
