// Numbers as text: rounding, the decimal separator in force, widths and their overflow.
#pragma once

#include <cstdint>
#include <string>

#include "tb28run/values.h"

namespace tb {

// More digits than this after the separator are never written; wider fields are cut to this.
constexpr std::int32_t kMaxDecimals = 64;
constexpr std::uint32_t kMaxNumberWidth = 0xFFFF;
// Widths taken when a caller asks for a padded number without giving one.
constexpr std::uint32_t kDefaultWholeWidth = 10;

// v rounded half away from zero to the given decimals, with the decimal separator in force.
// A minus sign only when the rounded value is not zero. Infinities and NaN give "".
std::string NumberText(double v, std::int32_t decimals);

// The decimals a number shows of its own accord: none for integers, a float's own count, or
// the decimals setting for a float that carries none.
std::int32_t NaturalDecimals(const Usual& number);

// The number's text without padding. A number that has no digits (infinite, NaN) shows as
// asterisks of the default width, as it would in a field too narrow for it.
std::string NaturalText(const Usual& number);
// The same text as a runtime string. Integers, the most common case, are written straight from
// their digits, without a detour through a double and a string to copy.
TbStr NaturalString(const char* operation, const Usual& number);

// The text right-aligned in the width: blanks before it, or zeros between the sign and the
// digits. Text that does not fit, or is empty, gives asterisks of the width.
std::string FitWidth(const std::string& text, std::uint32_t width, bool zeros);

}  // namespace tb
