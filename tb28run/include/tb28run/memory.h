// Memory the program asks of the runtime; it stays the program's until MemFree or RTExit.
#pragma once

#include <cstdint>

#include "tb28run/api.h"

TBRT std::int32_t MemInit(void);               // 0 on success
TBRT void* MemAlloc(std::uint32_t byteCount);  // zero-filled; null on failure
TBRT void MemFree(void* block);
TBRT void MemCopy(void* destination, const void* source, std::uint32_t byteCount);
TBRT void MemClear(void* block, std::uint32_t byteCount);
