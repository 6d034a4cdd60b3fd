// Dynamic values: types, emptiness, comparison, addition and conversion to plain C types.
// (IsNil is declared with the objects.)
#pragma once

#include <cstdint>

#include "tb28run/values.h"

// The type code; a pointer handed as a call argument (139) reports as a pointer (18).
TBRT std::uint32_t UsualType(Usual value);
// The empty value of a type: "" string, 0 integer, 0.0 float, .F., an empty array, a null
// pointer, symbol 0, the empty date; NIL for every other type.
TBRT Usual EmptyUsual(std::uint32_t type);
// Non-zero for NIL, 0, 0.0, a string of blanks only (space, tab, CR, LF) or none, .F., an array
// without elements, symbol 0, a null pointer, object or code block, and the empty date.
TBRT std::int32_t Empty(Usual value);
TBRT std::int32_t IsNumeric(Usual value);
TBRT std::int32_t IsPtr(Usual value);
TBRT std::int32_t IsString(Usual value);
TBRT std::int32_t IsSymbol(Usual value);
TBRT std::int32_t IsArray(Usual value);
// "NIL", "LONGINT", "DATE", "FLOAT", "ARRAY", "OBJECT", "STRING", "LOGIC", "CODEBLOCK",
// "SYMBOL", "DWORD", "PTR" (18 and 139), "USUAL"; any other code "UNKNOWN(n)".
TBRT TbStr TypeString(std::uint32_t typeCode);

// Comparisons. Integers and floats compare by value with one another; strings byte for byte
// (unsigned), exactly, a shorter string before any it begins; dates by day, logicals .F.
// before .T., pointers by address. Symbols, arrays, objects and code blocks are equal only to
// themselves and have no order. NIL equals NIL alone.
// _PEQ, _PUE, _PGT and _PLS raise an argument error for two values that cannot be compared (the
// default answer: not equal, and neither greater nor less); _PDE never raises: values of kinds
// that cannot be compared are simply not exactly equal.
TBRT std::int32_t _PEQ(Usual a, Usual b);
TBRT std::int32_t _PDE(Usual a, Usual b);
TBRT std::int32_t _PUE(Usual a, Usual b);
TBRT std::int32_t _PGT(Usual a, Usual b);
TBRT std::int32_t _PLS(Usual a, Usual b);
// The larger of two numbers or the later of two dates (the first when they are equal). Any
// other pair raises an argument error; its default is the first value.
TBRT Usual Max(Usual a, Usual b);
// Strings concatenate; numbers add (integers that overflow 32 bits give a float); a date and
// a number give the date that many whole days later (the empty date stays empty). Other pairs raise an argument error
// whose default is the first value; a date outside the years 1 to 9999 raises a numeric overflow whose default is the
// empty date.
TBRT Usual _PAD(Usual a, Usual b);

// An unsigned 32-bit number as a value: an integer below 2^31, a float without decimals above.
TBRT Usual _DW2T(std::uint32_t value);
// Conversions; a value of the wrong type raises an argument error whose default is 0, .F.,
// "", symbol 0 or the null pointer.
// A number to 32 bits unsigned: fractions are cut off and the whole part is taken modulo 2^32
// (so -1 gives 4294967295); NaN and infinities give 0.
TBRT std::uint32_t _P2DW(Usual value);
TBRT std::int32_t _P2Logic(Usual value);  // 0 or 1
TBRT TbStr _P2String(Usual value);
TBRT Sym _P2Symbol(Usual value);
TBRT void* _P2Ptr(Usual value);  // type 18 or 139
