#include "array_bounds.h"

#include "heap.h"

namespace tb {

bool WithinBounds(const BoundFault& fault, TbArr array, std::uint32_t position, Answer* answer) {
  auto length = [&] { return array ? array->length : 0; };
  auto report = [&] {
    RaiseSpec report;
    report.gencode = EG_BOUND;
    report.operation = fault.operation;
    report.description = "Array index out of range";
    report.SetArgs({ArrayValue(array), DwordValue(position)});
    report.argNum = 2;
    report.arg = DwordValue(position);
    report.maxSize = length();
    report.canDefault = true;
    report.canRetry = true;
    report.canSubstitute = fault.canSubstitute;
    return report;
  };
  Insisted bound = Insist([&] { return position >= 1 && position <= length(); }, report);
  *answer = bound.answer;
  return bound.holds;
}

}  // namespace tb
