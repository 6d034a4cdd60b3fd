// The international settings: decimal, thousand and time separators, the clock, the date
// picture, decimals, century and epoch. Each setter returns the previous value; called with
// no argument (or NIL) the dynamic ones only report it.
#pragma once

#include <cstdint>

#include "tb28run/values.h"

// The mode number: 1 Windows, 2 binary, anything else Kestran. A number sets it as given; a
// logical sets 1 for true and 0 for false, except that a logical whose value word is 2 sets 2.
// Returns the previous mode as an integer.
TBRT Usual _SetIntl(std::uint32_t countWord, Usual* args);
// Logicals; the previous one comes back. _SetDict keeps the value word it is given (the binary
// mode passes 2), the others keep true or false.
TBRT Usual _SetDict(std::uint32_t countWord, Usual* args);
TBRT Usual SetAmPm(std::uint32_t countWord, Usual* args);
TBRT Usual SetCentury(std::uint32_t countWord, Usual* args);
// Character codes 0 to 255, as integers. A decimal separator of 0 writes and reads as ".".
TBRT Usual SetDecimalSep(std::uint32_t countWord, Usual* args);
TBRT Usual SetThousandSep(std::uint32_t countWord, Usual* args);
// Decimals 0 to 64 for floats that carry none; the epoch a year 0 to 9999.
TBRT Usual SetDecimal(std::uint32_t countWord, Usual* args);
TBRT Usual SetEpoch(std::uint32_t countWord, Usual* args);
TBRT void SetTimeSep(std::uint32_t code);  // the code modulo 256; 0 for no separator
TBRT void SetAMExt(TbStr text);            // null reads as ""
TBRT void SetPMExt(TbStr text);
TBRT void SetDateFrmt(TbStr picture);
