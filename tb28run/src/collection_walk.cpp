#include "collection_walk.h"

#include "arg_demand.h"
#include "collector.h"
#include "tb28run/arrays.h"
#include "tb28run/objects.h"
#include "tb28run/symbols.h"
#include "tb28run/value_ops.h"

namespace tb {
namespace {

bool IsCollection(const Usual& u) { return HasType(u, T_ARRAY) || IsSomeObject(u); }

// The object gets the indexes from `from` on; a put passes the value before them.
Usual SendIndexed(Sym message, Usual object, const Usual* value, const std::vector<CollectionIndex>& indexes,
                  std::size_t from) {
  std::vector<Usual> args{object, SymbolValue(message)};
  if (value) args.push_back(*value);
  for (std::size_t i = from; i < indexes.size(); ++i) args.push_back(indexes[i].value);
  // The container came out of an array an error handler may change before the method runs.
  RootedSlots rooted(args.data(), args.size());
  return Send(CountWord(2, std::uint16_t(args.size())), args.data());
}

std::uint32_t HolderArgNum(std::uint32_t containerArgNum, const std::vector<CollectionIndex>& indexes,
                           std::size_t level) {
  return level == 0 ? containerArgNum : indexes[level - 1].argNum;
}

}  // namespace

Usual CollectionGet(const char* operation, Usual container, std::uint32_t containerArgNum,
                    const std::vector<CollectionIndex>& indexes) {
  for (std::size_t i = 0; i < indexes.size(); ++i) {
    if (!Demand(operation, container, T_ARRAY, HolderArgNum(containerArgNum, indexes, i), IsCollection))
      return NilValue();
    if (HasType(container, T_OBJECT)) return SendIndexed(SYM_COLLECTIONGET, container, nullptr, indexes, i);
    Usual position = indexes[i].value;
    if (!DemandNumber(operation, position, indexes[i].argNum)) return NilValue();
    container = ArrayGet(AsArr(container), _P2DW(position));
  }
  return container;
}

Usual CollectionPut(const char* operation, Usual container, std::uint32_t containerArgNum, Usual value,
                    const std::vector<CollectionIndex>& indexes) {
  for (std::size_t i = 0; i < indexes.size(); ++i) {
    if (!Demand(operation, container, T_ARRAY, HolderArgNum(containerArgNum, indexes, i), IsCollection))
      return NilValue();
    if (HasType(container, T_OBJECT)) return SendIndexed(SYM_COLLECTIONPUT, container, &value, indexes, i);
    Usual position = indexes[i].value;
    if (!DemandNumber(operation, position, indexes[i].argNum)) return NilValue();
    if (i + 1 == indexes.size()) return ArrayPut(AsArr(container), _P2DW(position), value);
    container = ArrayGet(AsArr(container), _P2DW(position));
  }
  return NilValue();  // no index: nothing to store into
}

}  // namespace tb
