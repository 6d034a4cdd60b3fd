// Calling a runtime export of the dynamic-argument kind the way the program does: a count word
// and every declared slot, NIL where nothing was passed.
#pragma once

#include <initializer_list>
#include <vector>

#include "tb28run/values.h"

inline Usual KestCall(KestFn fn, std::uint16_t declared, std::initializer_list<Usual> passed) {
  std::uint32_t countWord = CountWord(declared, std::uint16_t(passed.size()));
  std::vector<Usual> slots(passed);
  slots.resize(SlotsOf(countWord), NilValue());
  return fn(countWord, slots.empty() ? nullptr : slots.data());
}
