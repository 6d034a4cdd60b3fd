// Taking arguments of dynamic type: reading a slot the caller may not have, and insisting on a
// type through the error road until the value fits or the error block settles for the default.
#pragma once

#include <cstdint>

#include "tb28run/values.h"

namespace tb {

// The argument in slot i (0-based), NIL when the caller's slots stop short of it.
inline Usual ArgAt(std::uint32_t countWord, const Usual* args, std::uint32_t i) {
  return (args && i < SlotsOf(countWord)) ? args[i] : NilValue();
}

inline bool IsNumber(const Usual& u) { return HasType(u, T_INT) || HasType(u, T_FLOAT) || HasType(u, T_DWORD); }
double NumberOf(const Usual& u);  // for a value IsNumber accepts

// Raises the type error until accepts(value) holds: a retry tests again, a substitute replaces
// the value. False when the error block chose the default.
bool DemandRaising(const char* operation, Usual& value, std::uint32_t wantedType, std::uint32_t argNum,
                   bool (*accepts)(const Usual&));
// The same, with the usual case, a value that fits at once, decided inline: every conversion of
// an argument passes here.
inline bool Demand(const char* operation, Usual& value, std::uint32_t wantedType, std::uint32_t argNum,
                   bool (*accepts)(const Usual&)) {
  return accepts(value) || DemandRaising(operation, value, wantedType, argNum, accepts);
}

inline bool DemandNumber(const char* operation, Usual& value, std::uint32_t argNum) {
  return Demand(operation, value, T_INT, argNum, IsNumber);
}

// The export of an on/off setting: answers the setting as it was and, given a logical, sets it.
// NIL (or no argument) only asks. Another value raises the type error; its default, like a
// substitute that is no logical, leaves the setting as it is.
Usual SwitchSetting(const char* operation, bool& setting, std::uint32_t countWord, Usual* args);

// A whole number within [low, high] (fractions are cut off). A number outside raises an
// argument error that offers the default and a substitute. False on the default.
bool DemandWhole(const char* operation, Usual value, std::uint32_t argNum, std::int64_t low, std::int64_t high,
                 std::int64_t* out);

}  // namespace tb
