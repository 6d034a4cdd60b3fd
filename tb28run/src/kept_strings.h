// Strings the runtime gives out again and again (the flags' and NIL's text forms, type names,
// error texts, the version, the text of a small number), each made once and kept for the life of
// the process. A runtime string is never written once it is made, so one string serves every
// caller; a handled error that renders two dozen values then makes a handful of new strings
// instead of two dozen.
//
// A kept string lives outside the collected heap: the collector never finds it, so it is never
// freed, whoever holds it or stops holding it.
#pragma once

#include <cstdint>
#include <string_view>

#include "tb28run/values.h"

namespace tb {

// Where one kept string is held once it is made (null until then).
using KeptSlot = TbStr;

// The string in the slot, made from the text the first time. Null only when memory could not
// hold it: the caller then makes an ordinary string, which reports the failure its own way.
TbStr KeptNew(KeptSlot& slot, std::string_view text);
inline TbStr Kept(KeptSlot& slot, std::string_view text) { return slot ? slot : KeptNew(slot, text); }

// The empty string, or null when memory could not hold it.
TbStr KeptEmpty();

// The text of the whole numbers from 0 up to this bound (not included) is kept: the fields of an
// error and the counts a program shows are mostly such numbers.
constexpr std::uint32_t kKeptNumbers = 256;
// The kept text of n, or null for a number from kKeptNumbers on or when memory could not hold it.
TbStr KeptNumber(std::uint32_t n);

}  // namespace tb
