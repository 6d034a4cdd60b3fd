// Reading and writing array elements by position.
#include "arg_demand.h"
#include "array_bounds.h"
#include "heap.h"
#include "tb28run/arrays.h"

namespace {

bool IsArrayValue(const Usual& u) { return HasType(u, T_ARRAY); }

}  // namespace

// The bound error lies apart, so that an access in range returns at once.
namespace {

__attribute__((noinline)) Usual ArrayGetRaising(TbArr array, std::uint32_t position) {
  tb::Answer answer;
  if (tb::WithinBounds({"ArrayGet", true}, array, position, &answer)) return array->items[position - 1];
  return answer.SubstituteOr(NilValue());
}

__attribute__((noinline)) Usual ArrayPutRaising(TbArr array, std::uint32_t position, Usual value) {
  tb::Answer answer;
  if (!tb::WithinBounds({"ArrayPut", false}, array, position, &answer)) return NilValue();
  array->items[position - 1] = value;
  return value;
}

bool InRange(TbArr array, std::uint32_t position) { return array && position >= 1 && position <= array->length; }

}  // namespace

TBRT Usual ArrayGet(TbArr array, std::uint32_t position) {
  return InRange(array, position) ? array->items[position - 1] : ArrayGetRaising(array, position);
}

TBRT Usual ArrayPut(TbArr array, std::uint32_t position, Usual value) {
  if (!InRange(array, position)) return ArrayPutRaising(array, position, value);
  array->items[position - 1] = value;
  return value;
}

namespace {

// Apart, so that the quick case never writes its argument to memory.
__attribute__((noinline)) TbArr ArrayRaising(Usual value) {
  if (!tb::DemandRaising("_P2Array", value, T_ARRAY, 1, IsArrayValue)) return nullptr;
  return AsArr(value);
}

}  // namespace

TBRT TbArr _P2Array(Usual value) { return IsArrayValue(value) ? AsArr(value) : ArrayRaising(value); }
