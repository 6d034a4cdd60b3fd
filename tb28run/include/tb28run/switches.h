// Runtime switches: each is queried without an argument (or with NIL), set with a logical, and
// answers its previous value. A value of another type raises an argument error.
#pragma once

#include <cstdint>

#include "tb28run/values.h"

// Whether handled errors are sounded (on at start).
TBRT Usual SetBeep(std::uint32_t countWord, Usual* args);
// Whether handled errors are written to the error log (on at start).
TBRT Usual SetErrorLog(std::uint32_t countWord, Usual* args);
// The network-error flag: set when an operation met a file held by another (off at start).
TBRT Usual NetErr(std::uint32_t countWord, Usual* args);
