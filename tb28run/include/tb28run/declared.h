// The declared parameters of the runtime's exports that take dynamic arguments: a call fills this
// many slots, NIL where no argument was passed. The runtime's export tables, the program's
// function table and the program's calls all read them here.
#pragma once

#include <cstdint>

namespace declared {
inline constexpr std::uint16_t ArrayBuild = 0;
inline constexpr std::uint16_t CreateInstance = 1;
inline constexpr std::uint16_t ErrorBlock = 1;
inline constexpr std::uint16_t ErrorFunc = 1;
inline constexpr std::uint16_t ErrorLevel = 1;
inline constexpr std::uint16_t Eval = 1;
inline constexpr std::uint16_t FError = 1;
inline constexpr std::uint16_t FPutS = 3;
inline constexpr std::uint16_t NetErr = 1;
inline constexpr std::uint16_t ProcFile = 1;
inline constexpr std::uint16_t ProcLine = 1;
inline constexpr std::uint16_t ProcName = 1;
inline constexpr std::uint16_t Send = 2;
inline constexpr std::uint16_t SetAmPm = 1;
inline constexpr std::uint16_t SetBeep = 1;
inline constexpr std::uint16_t SetCentury = 1;
inline constexpr std::uint16_t SetDecimal = 1;
inline constexpr std::uint16_t SetDecimalSep = 1;
inline constexpr std::uint16_t SetEpoch = 1;
inline constexpr std::uint16_t SetErrorLog = 1;
inline constexpr std::uint16_t SetThousandSep = 1;
inline constexpr std::uint16_t StrZero = 3;
inline constexpr std::uint16_t SubStr = 3;
inline constexpr std::uint16_t _ArrayGetCollection = 2;
inline constexpr std::uint16_t _ArrayPutCollection = 3;
inline constexpr std::uint16_t _IVarGetCollection = 2;
inline constexpr std::uint16_t _IVarPutCollection = 3;
inline constexpr std::uint16_t _SendSelf = 2;
inline constexpr std::uint16_t _SetDict = 1;
inline constexpr std::uint16_t _SetIntl = 1;
inline constexpr std::uint16_t __Str = 3;
}  // namespace declared
