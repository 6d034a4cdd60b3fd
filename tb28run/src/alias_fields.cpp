#include "error_road.h"
#include "tb28run/fields.h"

namespace {

constexpr const char* kUnknownAlias = "Alias does not exist";

Usual RaiseUnknownAlias(const char* operation, Sym alias, Sym field, const Usual* value) {
  tb::RaiseSpec report;
  report.gencode = tb::EG_NOVAR;
  report.operation = operation;
  report.description = kUnknownAlias;
  if (value)
    report.SetArgs({SymbolValue(alias), SymbolValue(field), *value});
  else
    report.SetArgs({SymbolValue(alias), SymbolValue(field)});
  report.arg = SymbolValue(alias);
  report.argNum = 1;
  report.funcSym = field;
  report.canDefault = true;
  report.canSubstitute = true;
  return tb::RaiseError(report).SubstituteOr(NilValue());
}

}  // namespace

TBRT Usual FieldGetAlias(Sym alias, Sym field) { return RaiseUnknownAlias("FieldGetAlias", alias, field, nullptr); }

TBRT Usual FieldPutAlias(Sym alias, Sym field, Usual value) {
  return RaiseUnknownAlias("FieldPutAlias", alias, field, &value);
}
