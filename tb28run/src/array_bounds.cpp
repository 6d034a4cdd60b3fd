#include "array_bounds.h"

#include "heap.h"

namespace tb {

bool WithinBounds(const BoundFault& fault, TbArr array, std::uint32_t position, Answer* answer) {
  for (;;) {
    std::uint32_t length = array ? array->length : 0;
    if (position >= 1 && position <= length) return true;
    RaiseSpec report;
    report.gencode = EG_BOUND;
    report.operation = fault.operation;
    report.description = "Array index out of range";
    report.SetArgs({ArrayValue(array), DwordValue(position)});
    report.argNum = 2;
    report.arg = DwordValue(position);
    report.maxSize = length;
    report.canDefault = true;
    report.canRetry = true;
    report.canSubstitute = fault.canSubstitute;
    *answer = RaiseError(report);
    if (answer->resolution != Resolution::Retry) return false;
  }
}

}  // namespace tb
