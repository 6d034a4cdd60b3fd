// Late-bound calls: a symbol and an array of arguments.

#include "call_slots.h"
#include "classes.h"
#include "error_road.h"
#include "heap.h"
#include "runtime_exports.h"
#include "state.h"
#include "tb28run/arrays.h"

namespace {

// The report of a call by this symbol that cannot be made; argNum names the argument at fault.
tb::RaiseSpec CallReport(Sym symbol, std::uint32_t gencode, const char* description, std::uint32_t argNum) {
  tb::RaiseSpec report;
  report.gencode = gencode;
  report.operation = "_CallKestFunc";
  report.description = description;
  report.SetArgs({SymbolValue(symbol)});
  report.argNum = argNum;
  report.funcSym = symbol;
  report.callFuncSym = symbol;
  report.canDefault = true;
  return report;
}

Usual Undefined(Sym symbol) {
  tb::RaiseSpec report = CallReport(symbol, tb::EG_NOFUNC, "Undefined function", 1);
  report.canSubstitute = true;
  return tb::RaiseError(report).SubstituteOr(NilValue());
}

// A count word holds at most 65535 passed arguments.
Usual TooManyArguments(Sym symbol) {
  tb::RaiseSpec report = CallReport(symbol, tb::EG_LIMIT, "Too many arguments for one call", 2);
  report.maxSize = 0xFFFF;
  tb::RaiseError(report);
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
