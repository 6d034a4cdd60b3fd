// Strings: collector-owned, 8-bit, NUL-terminated, length-counted.
#pragma once

#include <cstdint>

#include "tb28run/values.h"

// The longest string the runtime makes, in bytes: a longer result is a string-overflow error.
constexpr std::uint32_t TB_MAX_STRING = 0x7FFF0000u;

// A new string from a C string (null gives the empty string).
TBRT TbStr Psz2String(const char* text);
// The NUL-terminated text of a string value; NIL gives "".
TBRT const char* Cast2Psz(Usual value);
// The NUL-terminated text of a string (null gives "").
TBRT const char* String2Psz(TbStr text);
TBRT std::uint32_t SLen(TbStr text);

// Positions are 1-based, lengths in bytes. Every string result is a new string.
TBRT TbStr Left(TbStr text, std::uint32_t count);
TBRT TbStr Right(TbStr text, std::uint32_t count);
// String, start, count (optional: to the end). A start of 0 reads as 1, a negative start counts
// from the end (-1 is the last byte); a start past the end or a negative count gives "".
TBRT Usual SubStr(std::uint32_t countWord, Usual* args);
TBRT TbStr Upper(TbStr text);                            // a to z; other bytes unchanged
TBRT std::int32_t _CPSE(TbStr a, TbStr b);               // non-zero when equal in length and every byte
TBRT std::int32_t _CPPSZ(const char* a, const char* b);  // the same for C strings; null reads as ""
TBRT TbStr _CCS(TbStr a, TbStr b);
// Where needle first stands in haystack; 0 when it does not, or when needle is empty.
TBRT std::uint32_t At(TbStr needle, TbStr haystack);
TBRT std::uint32_t _INSTR(TbStr needle, TbStr haystack);  // 1 when At finds it, else 0
TBRT TbStr Space(std::uint32_t count);
TBRT TbStr Chr(std::uint32_t code);  // the byte code modulo 256
// A zero-filled work buffer of count + 1 bytes from MemAlloc (release with MemFree); null when
// memory is short.
TBRT char* StringAlloc(std::uint32_t count);
TBRT TbStr Mem2String(const void* bytes, std::uint32_t count);  // null bytes give ""
// Exactly 8 (or 2) upper-case hexadecimal digits at place, most significant first; nothing else.
TBRT void _Hex(std::uint32_t value, char* place);
TBRT void _HexByte(std::uint8_t value, char* place);

// The text form of any value. Strings as they are; numbers as __Str without a width; logicals
// ".T."/".F."; NIL "NIL"; dates as DToC; symbols by name ("" when the number has none);
// pointers "0x" and 2 digits a byte of an address (8 on 32-bit hosts, 16 on 64-bit ones);
// arrays "{[n]}" with their length; objects "{CLASSNAME}"; code blocks "{CODEBLOCK}"; any other
// type code "{UNKNOWN(n)}".
TBRT TbStr AsString(Usual value);
// AsString's text; the string belongs to the collector.
TBRT const char* AsPsz(Usual value);
