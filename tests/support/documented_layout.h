// The fixed layouts as documented for i386, and where their fields lie on the target the tests
// run on. A 16- or 32-bit word keeps its size; an address (pointer or reference) widens to the
// target's pointer; a dynamic value is an address word and a 32-bit type code, padded to the
// address alignment. Each field takes the next offset its alignment allows, in the documented
// order, so on i386 the documented offsets come out unchanged. Tests compare the code with these
// layouts, never with the code's own structures, so that a field moved or swapped in a structure
// shows on every target.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

enum class Holds { Word16, Word32, Address, DynamicValue };

struct DocumentedField {
  const char* name;
  std::uint32_t i386Offset;
  Holds holds;
};

struct FieldShape {
  std::size_t size;
  std::size_t align;
};

inline FieldShape ShapeOf(Holds holds, std::size_t addressBytes) {
  switch (holds) {
    case Holds::Word16: return {2, 2};
    case Holds::Word32: return {4, 4};
    case Holds::Address: return {addressBytes, addressBytes};
    case Holds::DynamicValue:
      return {(addressBytes + 4 + addressBytes - 1) / addressBytes * addressBytes, addressBytes};
  }
  return {0, 1};
}

struct Layout {
  std::vector<std::size_t> offsets;  // one a field, in the documented order
  std::size_t size;                  // rounded up to the largest alignment, as an array element would be
};

inline Layout LayOut(const std::vector<DocumentedField>& fields, std::size_t addressBytes = sizeof(void*)) {
  Layout layout{{}, 0};
  std::size_t at = 0, widest = 1;
  for (const DocumentedField& f : fields) {
    FieldShape shape = ShapeOf(f.holds, addressBytes);
    at = (at + shape.align - 1) / shape.align * shape.align;
    layout.offsets.push_back(at);
    at += shape.size;
    if (shape.align > widest) widest = shape.align;
  }
  layout.size = (at + widest - 1) / widest * widest;
  return layout;
}

// The table of functions reachable by symbol: the symbol numbers, then directly the pairs of a
// function address and its parameter count, row i of the pairs belonging to symbol i.
inline std::vector<DocumentedField> DocumentedFunctionTable(std::uint32_t rows) {
  std::vector<DocumentedField> fields;
  for (std::uint32_t i = 0; i < rows; ++i) fields.push_back({"symbol", 4 * i, Holds::Word32});
  for (std::uint32_t i = 0; i < rows; ++i) {
    fields.push_back({"function", 4 * rows + 8 * i, Holds::Address});
    fields.push_back({"parameters", 4 * rows + 8 * i + 4, Holds::Word32});
  }
  return fields;
}

// A dynamic value written into raw bytes where the documented layout puts it.
inline void PutDynamicValue(unsigned char* at, std::uintptr_t value, std::uint32_t type) {
  std::memcpy(at, &value, sizeof value);
  std::memcpy(at + sizeof(void*), &type, sizeof type);
}

template <typename T>
T ReadAt(const void* base, std::size_t offset) {
  T value;
  std::memcpy(&value, static_cast<const unsigned char*>(base) + offset, sizeof value);
  return value;
}

template <typename T>
void WriteAt(void* base, std::size_t offset, T value) {
  std::memcpy(static_cast<unsigned char*>(base) + offset, &value, sizeof value);
}
