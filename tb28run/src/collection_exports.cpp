// The collection functions reachable by symbol. The array pair takes the first index last; the
// instance-variable pair takes the indexes in order.
#include "arg_demand.h"
#include "collection_walk.h"
#include "error_road.h"
#include "tb28run/arrays.h"
#include "tb28run/objects.h"
#include "tb28run/symbols.h"
#include "tb28run/value_ops.h"

namespace {

using tb::ArgAt;
using tb::CollectionIndex;

// Slots first..last (0-based, inclusive) in order, each with its 1-based argument number.
void AppendIndexes(std::vector<CollectionIndex>& out, const Usual* args, std::uint32_t first, std::uint32_t last) {
  for (std::uint32_t i = first; i <= last; ++i) out.push_back({args[i], i + 1});
}

// (…, index 2 … index k, index 1) from slot `firstSlot` on, in natural order.
std::vector<CollectionIndex> FirstIndexLast(std::uint32_t countWord, const Usual* args, std::uint32_t firstSlot) {
  std::vector<CollectionIndex> indexes;
  std::uint32_t passed = PassedOf(countWord);
  if (passed <= firstSlot) return indexes;
  indexes.push_back({args[passed - 1], passed});
  if (passed >= firstSlot + 2) AppendIndexes(indexes, args, firstSlot, passed - 2);
  return indexes;
}

std::vector<CollectionIndex> InOrder(std::uint32_t countWord, const Usual* args, std::uint32_t firstSlot) {
  std::vector<CollectionIndex> indexes;
  std::uint32_t passed = PassedOf(countWord);
  if (passed > firstSlot) AppendIndexes(indexes, args, firstSlot, passed - 1);
  return indexes;
}

bool IsObject(const Usual& u) { return IsSomeObject(u); }
bool IsName(const Usual& u) { return HasType(u, T_SYMBOL) || HasType(u, T_STRING); }

// The object and variable of an instance-variable collection call; false when the error block
// settled for the default.
bool TakeHolder(const char* operation, std::uint32_t countWord, const Usual* args, TbObj* object, Sym* ivar) {
  Usual o = ArgAt(countWord, args, 0);
  Usual name = ArgAt(countWord, args, 1);
  if (!tb::Demand(operation, o, T_OBJECT, 1, IsObject)) return false;
  if (!tb::Demand(operation, name, T_SYMBOL, 2, IsName)) return false;
  *object = AsObj(o);
  *ivar = HasType(name, T_SYMBOL) ? AsSym(name) : String2Symbol(AsStr(name));
  return true;
}

}  // namespace

TBRT Usual _ArrayGetCollection(std::uint32_t countWord, Usual* args) {
  return tb::CollectionGet("_ArrayGetCollection", ArgAt(countWord, args, 0), 1, FirstIndexLast(countWord, args, 1));
}

TBRT Usual _ArrayPutCollection(std::uint32_t countWord, Usual* args) {
  std::vector<CollectionIndex> indexes = FirstIndexLast(countWord, args, 2);
  if (indexes.empty()) {
    tb::RaiseSpec report;
    report.gencode = tb::EG_ARG;
    report.operation = "_ArrayPutCollection";
    report.description = "No index to store at";
    report.SetArgs({ArgAt(countWord, args, 0), ArgAt(countWord, args, 1)});
    report.argNum = 3;
    report.canDefault = true;
    tb::RaiseError(report);
    return NilValue();
  }
  return tb::CollectionPut("_ArrayPutCollection", ArgAt(countWord, args, 0), 1, ArgAt(countWord, args, 1), indexes);
}

TBRT Usual _IVarGetCollection(std::uint32_t countWord, Usual* args) {
  const char* operation = "_IVarGetCollection";
  TbObj object;
  Sym ivar;
  if (!TakeHolder(operation, countWord, args, &object, &ivar)) return NilValue();
  Usual holder = IVarGet(object, ivar);
  // A variable the object lacks is IVarGet's own error; the block's answer stands for the result.
  if (!IVarGetInfo(object, ivar)) return holder;
  return tb::CollectionGet(operation, holder, 2, InOrder(countWord, args, 2));
}

TBRT Usual _IVarPutCollection(std::uint32_t countWord, Usual* args) {
  const char* operation = "_IVarPutCollection";
  TbObj object;
  Sym ivar;
  if (!TakeHolder(operation, countWord, args, &object, &ivar)) return NilValue();
  Usual value = ArgAt(countWord, args, 2);
  std::vector<CollectionIndex> indexes = InOrder(countWord, args, 3);
  if (indexes.empty()) return IVarPut(object, ivar, value);
  Usual holder = IVarGet(object, ivar);
  if (!IVarGetInfo(object, ivar)) return NilValue();  // no variable to store into
  return tb::CollectionPut(operation, holder, 2, value, indexes);
}
