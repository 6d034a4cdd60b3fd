// The runtime's heap of collector-owned values: strings, arrays, boxed floats and instances.
//
// Every block starts with a GcHeader. Small blocks live in chunks of one size each, so that the
// collector finds the block any address points into without a sorted index of every block, and
// sweeps them in address order; instances and large blocks are also linked into lists. RTExit
// (and the collector) can reach every block the runtime ever handed out.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>

#include "tb28run/values.h"

namespace tb {

enum class Kind : std::uint8_t { String, Array, Float, Instance, Free };

struct alignas(16) GcHeader {
  GcHeader* next;
  std::uint32_t bytes;  // the block's size, header included
  Kind kind;
  std::uint8_t mark;
};

}  // namespace tb

struct TbString {
  tb::GcHeader gc;
  std::uint32_t length;
  char text[1];  // length bytes and a NUL
};

struct TbArray {
  tb::GcHeader gc;
  std::uint32_t length;
  std::uint32_t capacity;
  // The inline slots while they suffice, which spares most arrays an allocation of their own;
  // past them allocated apart, so that the array can grow in place.
  Usual* items;
  static constexpr std::uint32_t kInlineItems = 4;
  Usual inlineItems[kInlineItems];
};

struct TbFloat {
  tb::GcHeader gc;
  double value;
  std::int32_t decimals;  // digits after the decimal separator in text; -1: the setting in force
};

namespace tb {

// Allocation. All return null only when memory is exhausted.
TbStr NewString(const char* bytes, std::uint32_t length);
TbStr NewStringFilled(std::uint32_t length, char fill);  // length copies of fill, then NUL
// length NILs, or the length values given.
TbArr NewArray(std::uint32_t length, const Usual* values = nullptr);
bool ArrayResize(TbArr array, std::uint32_t length);  // new slots NIL
Usual NewFloat(double value, std::int32_t decimals = -1);
TbObj NewInstance(std::uint32_t instanceBytes);  // zero-filled

GcHeader* HeaderOf(TbObj object);
std::uint32_t InstanceBytes(TbObj object);

// Copies n values, each as one 16-byte move (assigned, a value goes over as its two fields with
// the padding skipped, which takes twice the instructions on the short lists a call passes).
inline void CopyValues(Usual* to, const Usual* from, std::uint32_t n) {
  for (std::uint32_t i = 0; i < n; ++i) std::memcpy(static_cast<void*>(to + i), from + i, sizeof(Usual));
}

inline const char* Text(TbStr s) { return s ? s->text : ""; }
inline std::uint32_t Length(TbStr s) { return s ? s->length : 0; }
inline double FloatOf(Usual u) {
  TB_ASSERT(HasType(u, T_FLOAT));
  return reinterpret_cast<TbFloat*>(WordOf(u))->value;
}
inline std::int32_t FloatDecimals(Usual u) {
  TB_ASSERT(HasType(u, T_FLOAT));
  return reinterpret_cast<TbFloat*>(WordOf(u))->decimals;
}

// Unsigned 32-bit numbers travel as integers below 2^31 and as floats (no decimals) from 2^31 on.
Usual DwordValue(std::uint32_t value);

// Frees every block; used by RTExit.
void FreeAll();

// For the collector: every block in turn, the bytes a block's own memory spans (from its
// header), and the sweep, which frees the unmarked blocks and clears the mark of the others.
void ForEachBlock(const std::function<void(GcHeader*)>& visit);
template <class Visit>
void ForEachInstance(Visit visit);
GcHeader* FirstInstance();
std::size_t BlockExtent(const GcHeader* h);
// The block whose own memory holds the address, or null (a free slot holds no block).
GcHeader* BlockContaining(std::uintptr_t address);
std::uint64_t Sweep();
std::uint64_t BytesSinceCollection();
// The collector's threshold: an allocation asks it whether to collect only once the bytes
// allocated since the last collection reach this (0: before every allocation).
void SetCollectAt(std::uint64_t bytes);
// After a sweep: gives back the empty chunks beyond what allocating that many bytes may need.
// Allocates nothing (it runs inside a collection).
void TrimChunks(std::uint64_t allocationsAhead);

constexpr std::uint8_t MARK_LIVE = 1;
constexpr std::uint8_t MARK_FINALIZED = 2;  // its finaliser has run; it is not offered again

struct HeapStats {
  std::uint64_t liveBlocks;
  std::uint64_t liveBytes;
  std::uint64_t allocatedBlocks;  // since the start
  std::uint64_t chunkBytes;       // held for the chunks of small blocks
};
HeapStats Stats();

template <class Visit>
void ForEachInstance(Visit visit) {
  for (GcHeader* h = FirstInstance(); h; h = h->next) visit(h);
}

}  // namespace tb
