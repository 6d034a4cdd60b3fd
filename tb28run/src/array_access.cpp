// Reading and writing array elements by position.
#include "arg_demand.h"
#include "array_bounds.h"
#include "heap.h"
#include "tb28run/arrays.h"

namespace {

bool IsArrayValue(const Usual& u) { return u.type == T_ARRAY; }

}  // namespace

TBRT Usual ArrayGet(TbArr array, std::uint32_t position) {
  tb::Answer answer;
  if (tb::WithinBounds({"ArrayGet", true}, array, position, &answer)) return array->items[position - 1];
  return answer.resolution == tb::Resolution::Substitute ? answer.value : NilValue();
}

TBRT Usual ArrayPut(TbArr array, std::uint32_t position, Usual value) {
  tb::Answer answer;
  if (!tb::WithinBounds({"ArrayPut", false}, array, position, &answer)) return NilValue();
  array->items[position - 1] = value;
  return value;
}

TBRT TbArr _P2Array(Usual value) {
  if (!tb::Demand("_P2Array", value, T_ARRAY, 1, IsArrayValue)) return nullptr;
  return AsArr(value);
}
