#include <cstring>

#include "heap.h"
#include "tb28run/arrays.h"

TBRT TbArr ArrayCreate(std::uint32_t length) { return tb::NewArray(length); }

TBRT TbArr ArrayInit(std::uint32_t count, const Usual* values) { return tb::NewArray(count, values); }

TBRT std::uint32_t ALen(TbArr array) { return array ? array->length : 0; }
