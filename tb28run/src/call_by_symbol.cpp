// Late-bound calls: a symbol and an array of arguments.

#include "classes.h"
#include "error_road.h"
#include "heap.h"
#include "runtime_exports.h"
#include "state.h"
#include "tb28run/arrays.h"

namespace {

Usual Undefined(Sym symbol) {
  tb::RaiseSpec spec;
  spec.gencode = tb::EG_NOFUNC;
  spec.operation = "_CallKestFunc";
  spec.description = "Undefined function";
  spec.SetArgs({SymbolValue(symbol)});
  spec.argNum = 1;
  spec.funcSym = symbol;
  spec.callFuncSym = symbol;
  spec.canDefault = true;
  spec.canSubstitute = true;
  tb::Answer a = tb::RaiseError(spec);
  return a.resolution == tb::Resolution::Substitute ? a.value : NilValue();
}

// A count word holds at most 65535 passed arguments.
Usual TooManyArguments(Sym symbol) {
  tb::RaiseSpec spec;
  spec.gencode = tb::EG_LIMIT;
  spec.operation = "_CallKestFunc";
  spec.description = "Too many arguments for one call";
  spec.SetArgs({SymbolValue(symbol)});
  spec.argNum = 2;
  spec.maxSize = 0xFFFF;
  spec.funcSym = symbol;
  spec.callFuncSym = symbol;
  spec.canDefault = true;
  tb::RaiseError(spec);
  return NilValue();
}

}  // namespace

TBRT Usual _CallKestFunc(Sym symbol, TbArr args) {
  // The callee may change the array (or be handed it again): CallFunction gives it slots of its
  // own, copied from the elements before the call.
  std::uint32_t passed = args ? args->length : 0;
  if (passed > 0xFFFF) return TooManyArguments(symbol);
  const Usual* values = args ? args->items : nullptr;
  if (const FunctionPair* p = tb::FindProgramFunction(symbol); p && p->function)
    return tb::CallFunction(p->function, p->params, values, passed);
  if (const tb::RuntimeExport* e = tb::FindRuntimeExport(symbol))
    return tb::CallFunction(e->function, e->params, values, passed);
  return Undefined(symbol);
}

TBRT Usual _NCARG(const Usual* slot) { return slot ? *slot : NilValue(); }
