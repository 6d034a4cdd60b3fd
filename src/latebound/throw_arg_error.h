// The argument error of the late-bound helpers.
#pragma once

#include <cstdint>

#include "runtime/tb28run.h"

// The message texts and operation names the helpers report with.
namespace argerror {
inline constexpr const char* kTooFew = "Arg error, To few arguments";
inline constexpr const char* kTooMany = "Arg error, To manny arguments";
inline constexpr const char* kInvalidClass = "Arg error, Invalid class";
inline constexpr const char* kInvalidSymbol = "Arg error, Invalid symbol";
inline constexpr const char* kNameNotSymbol = "Arg error, !IsSymbol(aArgs[2])";
}  // namespace argerror

// Builds a "PCEVal" Error (argument number, description, operation, argument array or the null
// array, function symbol) and sends it THROW, which hands it to the current error block. Returns
// once the block has returned; its answer changes nothing, since the error offers neither a
// retry, a default nor a substitute.
void ThrowArgError(std::uint32_t argNum, const char* description, const char* operation, TbArr args, Sym funcSym);
