// Building arrays and changing their shape.
#include <cstring>

#include "arg_demand.h"
#include "array_bounds.h"
#include "heap.h"
#include "tb28run/arrays.h"

namespace {

bool IsSomeArray(const Usual& u) { return HasType(u, T_ARRAY) && AsArr(u); }

}  // namespace

TBRT Usual ArrayBuild(std::uint32_t countWord, Usual* args) { return ArrayValue(ArrayInit(PassedOf(countWord), args)); }

namespace {

__attribute__((noinline)) Usual AAddGrowing(TbArr array, Usual value) {
  Usual target = ArrayValue(array);
  if (!tb::Demand("AAdd", target, T_ARRAY, 1, IsSomeArray)) return NilValue();
  array = AsArr(target);
  if (!tb::ArrayResize(array, array->length + 1)) {
    tb::RaiseSpec report;
    report.gencode = tb::EG_MEM;
    report.operation = "AAdd";
    report.description = "No memory to grow the array";
    report.SetArgs({target, value});
    report.canDefault = true;
    tb::RaiseError(report);
    return NilValue();
  }
  array->items[array->length - 1] = value;
  return value;
}

}  // namespace

// Room left in the array's slots: stored at once (a late-bound call appends its arguments so).
TBRT Usual AAdd(TbArr array, Usual value) {
  if (!array || array->length >= array->capacity) return AAddGrowing(array, value);
  array->items[array->length++] = value;
  return value;
}

TBRT TbArr ADel(TbArr array, std::uint32_t position) {
  tb::Answer answer;
  if (!tb::WithinBounds({"ADel", false}, array, position, &answer)) return array;
  Usual* items = array->items;
  std::memmove(items + position - 1, items + position, sizeof(Usual) * (array->length - position));
  items[array->length - 1] = NilValue();
  return array;
}

TBRT TbArr AIns(TbArr array, std::uint32_t position) {
  tb::Answer answer;
  if (!tb::WithinBounds({"AIns", false}, array, position, &answer)) return array;
  Usual* items = array->items;
  std::memmove(items + position, items + position - 1, sizeof(Usual) * (array->length - position));
  items[position - 1] = NilValue();
  return array;
}
