#include <cstring>

#include "error_road.h"
#include "heap.h"
#include "tb28run/arrays.h"

namespace {

// An array memory cannot hold is a memory error, never a null array passed on in silence; its
// default is the null array.
TbArr MadeArray(const char* operation, std::uint32_t length, const Usual* values) {
  TbArr array = nullptr;
  tb::Insist([&] { return (array = tb::NewArray(length, values)) != nullptr; },
             [&] { return tb::MemoryReport(operation, "No memory for the array"); });
  return array;
}

}  // namespace

TBRT TbArr ArrayCreate(std::uint32_t length) { return MadeArray("ArrayCreate", length, nullptr); }

TBRT TbArr ArrayInit(std::uint32_t count, const Usual* values) { return MadeArray("ArrayInit", count, values); }

TBRT std::uint32_t ALen(TbArr array) { return array ? array->length : 0; }
