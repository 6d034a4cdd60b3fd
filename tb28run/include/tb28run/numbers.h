// Numbers to text and back, with the decimal separator and decimals in force.
#pragma once

#include <cstdint>

#include "tb28run/values.h"

// Numbers round half away from zero. A float shows its own count of decimals, or the
// SetDecimal setting when it carries none; integers show none.

// A number's text without blanks.
TBRT TbStr NTrim(Usual number);
// Number, width, decimals. Without a width: the number's own text. With a width: right-aligned
// in it, and no decimals unless asked for; asterisks of the width when it does not fit.
TBRT Usual __Str(std::uint32_t countWord, Usual* args);
// Number, width, decimals: as __Str with zeros in place of the blanks ("-005"). Without a width
// a field of 10 places, or 11 plus the decimals for a number that shows decimals.
TBRT Usual StrZero(std::uint32_t countWord, Usual* args);
// The number at the start of the text (leading blanks skipped, an optional sign, digits, the
// decimal separator in force and more digits); 0 when there is none. An integer when the text
// has no separator and the number fits 32 bits, else a float with the decimals the text shows.
TBRT Usual Val(TbStr text);
