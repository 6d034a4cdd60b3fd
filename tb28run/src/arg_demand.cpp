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
  auto report = [&] { return TypeReport(operation, value, wantedType, argNum); };
  return Insist([&] { return accepts(value); }, report, Into(value)).holds;
}

bool DemandWhole(const char* operation, Usual value, std::uint32_t argNum, std::int64_t low, std::int64_t high,
                 std::int64_t* out) {
  bool isNumber = true;
  double n = 0;
  auto settled = [&] {
    isNumber = DemandNumber(operation, value, argNum);
    n = isNumber ? std::trunc(NumberOf(value)) : 0;
    return !isNumber || (n >= double(low) && n <= double(high));  // the type error's default ends it too
  };
  auto report = [&] { return ArgumentReport(operation, "Argument out of range", value, T_INT, argNum); };
  if (!Insist(settled, report, Into(value)).holds || !isNumber) return false;
  *out = std::int64_t(n);
  return true;
}

Usual SwitchSetting(const char* operation, bool& setting, std::uint32_t countWord, Usual* args) {
  bool previous = setting;
  Usual wanted = ArgAt(countWord, args, 0);
  auto isLogicOrNil = [](const Usual& u) { return HasType(u, T_LOGIC) || IsNilValue(u); };
  if (Demand(operation, wanted, T_LOGIC, 1, isLogicOrNil) && HasType(wanted, T_LOGIC)) setting = AsLogic(wanted);
  return LogicValue(previous);
}

}  // namespace tb
