#include "arg_demand.h"

#include <cmath>

#include "error_road.h"
#include "heap.h"

namespace tb {

double NumberOf(const Usual& u) {
  switch (TypeOf(u)) {
    case T_INT: return double(AsInt(u));
    case T_DWORD: return double(AsDword(u));
    default: return FloatOf(u);
  }
}

bool DemandRaising(const char* operation, Usual& value, std::uint32_t wantedType, std::uint32_t argNum,
                   bool (*accepts)(const Usual&)) {
  while (!accepts(value)) {
    Answer a = RaiseTypeError(operation, value, wantedType, argNum);
    if (a.resolution == Resolution::Default) return false;
    if (a.resolution == Resolution::Substitute) value = a.value;
  }
  return true;
}

bool DemandWhole(const char* operation, Usual value, std::uint32_t argNum, std::int64_t low, std::int64_t high,
                 std::int64_t* out) {
  for (;;) {
    if (!DemandNumber(operation, value, argNum)) return false;
    double n = std::trunc(NumberOf(value));
    if (n >= double(low) && n <= double(high)) {
      *out = std::int64_t(n);
      return true;
    }
    Answer a = RaiseError(ArgumentReport(operation, "Argument out of range", value, T_INT, argNum));
    if (a.resolution != Resolution::Substitute) return false;
    value = a.value;
  }
}

}  // namespace tb
