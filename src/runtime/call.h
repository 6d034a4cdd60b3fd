// Calls with dynamic arguments: the count word and the slot array are built here, never by hand.
#pragma once

#include <array>
#include <cstddef>

#include "tb28run/declared.h"
#include "tb28run/values.h"

// Calls a function reachable by symbol, or a runtime export taking dynamic arguments, that
// declares `Declared` parameters (its `declared::` count), with the arguments given. Every
// declared slot is present; those not passed hold NIL.
template <std::uint16_t Declared, class... Args>
Usual CallKest(KestFn function, const Args&... args) {
  constexpr std::size_t passed = sizeof...(Args);
  constexpr std::size_t slots = passed > Declared ? passed : Declared;
  std::array<Usual, (slots ? slots : 1)> a{static_cast<Usual>(args)...};
  for (std::size_t i = passed; i < a.size(); ++i) a[i] = NilValue();
  return function(CountWord(Declared, std::uint16_t(passed)), a.data());
}
