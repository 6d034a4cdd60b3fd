// The nine late-bound helpers. The runtime reaches them by symbol only, through the function
// table; each checks its arguments, raises an argument error of its own when they do not fit
// (and then answers NIL), and otherwise forwards to one runtime operation.
#pragma once

#include <cstdint>

#include "runtime/tb28run.h"

// No declared parameters: every argument is gathered into an array first.
Usual PcArrGetCollection(std::uint32_t countWord, Usual* args);  // container, index 1 … index k
Usual PcArrPutCollection(std::uint32_t countWord, Usual* args);  // container, index 1 … index k, value
Usual PcIvaGetCollection(std::uint32_t countWord, Usual* args);  // object, name, index 1 … index k
Usual PcIvaPutCollection(std::uint32_t countWord, Usual* args);  // object, name, index 1 … index k, value

Usual PcCreateInstance(std::uint32_t countWord, Usual* args);  // class, construction arguments …
Usual PcIVarGet(std::uint32_t countWord, Usual* args);         // object, name
Usual PcIVarPut(std::uint32_t countWord, Usual* args);         // object, name, value
Usual PcSend(std::uint32_t countWord, Usual* args);            // object, method, message arguments …
Usual PcSymbol(std::uint32_t countWord, Usual* args);          // value

// Their declared parameters, which their function-table rows give the runtime.
namespace declared {
inline constexpr std::uint16_t PcArrGetCollection = 0;
inline constexpr std::uint16_t PcArrPutCollection = 0;
inline constexpr std::uint16_t PcIvaGetCollection = 0;
inline constexpr std::uint16_t PcIvaPutCollection = 0;
inline constexpr std::uint16_t PcCreateInstance = 1;
inline constexpr std::uint16_t PcIVarGet = 2;
inline constexpr std::uint16_t PcIVarPut = 3;
inline constexpr std::uint16_t PcSend = 2;
inline constexpr std::uint16_t PcSymbol = 1;
}  // namespace declared
