// Calls with dynamic arguments: the count word and the slot array are built here, never by hand.
#pragma once

#include <array>
#include <cstddef>

#include "tb28run/values.h"

// Calls a function reachable by symbol, or a runtime export taking dynamic arguments, that
// declares `Declared` parameters, with the arguments given. Every declared slot is present;
// those not passed hold NIL.
template <std::uint16_t Declared, class... Args>
Usual CallKest(KestFn function, const Args&... args) {
  constexpr std::size_t passed = sizeof...(Args);
  constexpr std::size_t slots = passed > Declared ? passed : Declared;
  std::array<Usual, (slots ? slots : 1)> a{static_cast<Usual>(args)...};
  for (std::size_t i = passed; i < a.size(); ++i) a[i] = NilValue();
  return function(CountWord(Declared, std::uint16_t(passed)), a.data());
}

// The declared parameters of the runtime exports the program calls with dynamic arguments.
namespace declared {
constexpr std::uint16_t ErrorBlock = 1;
constexpr std::uint16_t ErrorFunc = 1;
constexpr std::uint16_t Eval = 1;
constexpr std::uint16_t CreateInstance = 1;
constexpr std::uint16_t Send = 2;
constexpr std::uint16_t SendSelf = 2;
constexpr std::uint16_t ProcQuery = 1;  // ProcName, ProcLine, ProcFile
constexpr std::uint16_t FPutS = 3;
constexpr std::uint16_t FError = 1;
constexpr std::uint16_t Switch = 1;  // SetBeep, SetErrorLog, NetErr
constexpr std::uint16_t ErrorLevel = 1;
}  // namespace declared
