#include "array_bounds.h"

#include "heap.h"

namespace tb {

bool WithinBounds(const BoundFault& fault, TbArr array, std::uint32_t position, Answer* answer) {
  for (;;) {
    std::uint32_t length = array ? array->length : 0;
    if (position >= 1 && position <= length) return true;
    RaiseSpec spec;
    spec.gencode = EG_BOUND;
    spec.operation = fault.operation;
    spec.description = "Array index out of range";
    spec.SetArgs({ArrayValue(array), DwordValue(position)});
    spec.argNum = 2;
    spec.arg = DwordValue(position);
    spec.maxSize = length;
    spec.canDefault = true;
    spec.canRetry = true;
    spec.canSubstitute = fault.canSubstitute;
    *answer = RaiseError(spec);
    if (answer->resolution != Resolution::Retry) return false;
  }
}

}  // namespace tb
