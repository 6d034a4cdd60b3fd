#include "heap.h"

#include <cstdlib>
#include <new>

#include "collector.h"

namespace tb {
namespace {

GcHeader* allBlocks = nullptr;
HeapStats stats{};
std::uint64_t bytesSinceCollection = 0;

// Blocks stay below 2 GiB, so that no size computation can wrap on a 32-bit target.
constexpr std::size_t kMaxBlock = 0x7FFFFF00u;

// Small blocks the collector frees are kept, by size, for the next allocations of that size: a
// late-bound call makes and drops an argument array each time, and the C heap is slow at that.
// Not under AddressSanitizer, which must see every block freed to catch a use after it.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPooling = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kPooling = false;
#else
constexpr bool kPooling = true;
#endif
#else
constexpr bool kPooling = true;
#endif
constexpr std::size_t kGranule = 16;             // pooled sizes are multiples of it
constexpr std::size_t kPooledMax = 256;          // larger blocks go back to the C heap
constexpr std::size_t kPoolBytesMax = 1u << 20;  // kept at most, all sizes together

struct FreeBlock {
  FreeBlock* next;
};
FreeBlock* pools[kPooledMax / kGranule] = {};
std::size_t pooledBytes = 0;

// What a block of `bytes` takes from the C heap: pooled sizes rounded up, so that any block of
// the pool serves any request of its size.
std::size_t Footprint(std::size_t bytes) {
  return kPooling && bytes <= kPooledMax ? (bytes + kGranule - 1) / kGranule * kGranule : bytes;
}
FreeBlock*& PoolOf(std::size_t footprint) { return pools[footprint / kGranule - 1]; }

GcHeader* Allocate(Kind kind, std::size_t bytes) {
  if (bytes > kMaxBlock) return nullptr;
  MaybeCollect(bytes);
  std::size_t footprint = Footprint(bytes);
  GcHeader* h = nullptr;
  if (kPooling && footprint <= kPooledMax && PoolOf(footprint)) {
    FreeBlock*& pool = PoolOf(footprint);
    h = reinterpret_cast<GcHeader*>(pool);
    pool = pool->next;
    pooledBytes -= footprint;
    std::memset(static_cast<void*>(h), 0, footprint);
  } else {
    h = static_cast<GcHeader*>(std::calloc(1, footprint));
  }
  if (!h) return nullptr;
  h->bytes = std::uint32_t(bytes);
  h->kind = kind;
  h->next = allBlocks;
  allBlocks = h;
  ++stats.liveBlocks;
  ++stats.allocatedBlocks;
  stats.liveBytes += bytes;
  bytesSinceCollection += bytes;
  return h;
}

void Release(GcHeader* h) {
  if (h->kind == Kind::Array) {
    auto* a = reinterpret_cast<TbArray*>(h);
    if (a->items != a->inlineItems) std::free(a->items);
  }
  --stats.liveBlocks;
  stats.liveBytes -= h->bytes;
  // An array's count includes the elements allocated apart; its block is the array alone.
  std::size_t footprint = Footprint(h->kind == Kind::Array ? sizeof(TbArray) : h->bytes);
  if (kPooling && footprint <= kPooledMax && pooledBytes + footprint <= kPoolBytesMax) {
    auto* block = reinterpret_cast<FreeBlock*>(h);
    block->next = PoolOf(footprint);
    PoolOf(footprint) = block;
    pooledBytes += footprint;
    return;
  }
  std::free(h);
}

void EmptyPools() {
  for (FreeBlock*& pool : pools) {
    while (pool) {
      FreeBlock* next = pool->next;
      std::free(pool);
      pool = next;
    }
  }
  pooledBytes = 0;
}

}  // namespace

TbStr NewString(const char* bytes, std::uint32_t length) {
  if (length > kMaxBlock) return nullptr;
  auto* s = reinterpret_cast<TbStr>(Allocate(Kind::String, offsetof(TbString, text) + length + 1));
  if (!s) return nullptr;
  s->length = length;
  if (length) std::memcpy(s->text, bytes, length);
  s->text[length] = '\0';
  return s;
}

TbStr NewStringFilled(std::uint32_t length, char fill) {
  if (length > kMaxBlock) return nullptr;
  auto* s = reinterpret_cast<TbStr>(Allocate(Kind::String, offsetof(TbString, text) + length + 1));
  if (!s) return nullptr;
  s->length = length;
  std::memset(s->text, fill, length);
  s->text[length] = '\0';
  return s;
}

TbArr NewArray(std::uint32_t length) {
  auto* a = reinterpret_cast<TbArr>(Allocate(Kind::Array, sizeof(TbArray)));
  if (!a) return nullptr;
  a->items = a->inlineItems;
  a->capacity = TbArray::kInlineItems;
  if (!ArrayResize(a, length)) return nullptr;
  return a;
}

bool ArrayResize(TbArr a, std::uint32_t length) {
  if (length > a->capacity) {
    std::uint32_t capacity = a->capacity;
    if (length > kMaxBlock / sizeof(Usual)) return false;
    while (capacity < length) capacity = capacity > kMaxBlock / sizeof(Usual) / 2 ? length : capacity * 2;
    bool inlined = a->items == a->inlineItems;
    auto* items = static_cast<Usual*>(inlined ? std::malloc(sizeof(Usual) * capacity)
                                              : std::realloc(a->items, sizeof(Usual) * capacity));
    if (!items) return false;
    if (inlined) std::memcpy(items, a->inlineItems, sizeof a->inlineItems);
    // The inline slots are counted with the block; slots allocated apart count on their own.
    std::uint32_t added = std::uint32_t(sizeof(Usual) * (inlined ? capacity : capacity - a->capacity));
    stats.liveBytes += added;
    bytesSinceCollection += added;
    a->gc.bytes += added;
    a->items = items;
    a->capacity = capacity;
  }
  for (std::uint32_t i = a->length; i < length; ++i) a->items[i] = NilValue();
  a->length = length;
  return true;
}

Usual NewFloat(double value, std::int32_t decimals) {
  auto* f = reinterpret_cast<TbFloat*>(Allocate(Kind::Float, sizeof(TbFloat)));
  if (!f) return NilValue();
  f->value = value;
  f->decimals = decimals;
  return Usual{reinterpret_cast<std::uintptr_t>(f), T_FLOAT};
}

TbObj NewInstance(std::uint32_t instanceBytes) {
  if (instanceBytes > kMaxBlock) return nullptr;
  GcHeader* h = Allocate(Kind::Instance, sizeof(GcHeader) + instanceBytes);
  if (!h) return nullptr;
  return reinterpret_cast<TbObj>(h + 1);
}

GcHeader* HeaderOf(TbObj object) { return reinterpret_cast<GcHeader*>(object) - 1; }

std::uint32_t InstanceBytes(TbObj object) { return HeaderOf(object)->bytes - std::uint32_t(sizeof(GcHeader)); }

Usual DwordValue(std::uint32_t value) {
  if (value < 0x80000000u) return IntValue(std::int32_t(value));
  return NewFloat(double(value), 0);
}

GcHeader* FirstBlock() { return allBlocks; }

std::size_t BlockExtent(const GcHeader* h) {
  switch (h->kind) {
    case Kind::String: return offsetof(TbString, text) + reinterpret_cast<const TbString*>(h)->length + 1;
    case Kind::Array: return sizeof(TbArray);
    case Kind::Float: return sizeof(TbFloat);
    case Kind::Instance: return h->bytes;
  }
  return sizeof(GcHeader);
}

std::uint64_t Sweep() {
  std::uint64_t freed = 0;
  GcHeader** link = &allBlocks;
  while (GcHeader* h = *link) {
    if (h->mark & MARK_LIVE) {
      h->mark &= std::uint8_t(~MARK_LIVE);
      link = &h->next;
    } else {
      *link = h->next;
      Release(h);
      ++freed;
    }
  }
  bytesSinceCollection = 0;
  return freed;
}

std::uint64_t BytesSinceCollection() { return bytesSinceCollection; }

void FreeAll() {
  while (allBlocks) {
    GcHeader* next = allBlocks->next;
    Release(allBlocks);
    allBlocks = next;
  }
  EmptyPools();
  bytesSinceCollection = 0;
}

HeapStats Stats() { return stats; }

}  // namespace tb
