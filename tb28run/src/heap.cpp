#include "heap.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <new>
#include <vector>

#if defined(_WIN32)
#include <malloc.h>
#endif

#include "collector.h"
#include "testing_hooks.h"

namespace tb {
namespace {

// The blocks the runtime handed out: every instance in a list of its own (the collector looks
// through them for objects to finalise), the other large blocks in another; the other small
// blocks are found in their chunks, which the sweep passes in address order.
GcHeader* instances = nullptr;
GcHeader* otherBlocks = nullptr;
HeapStats stats{};
std::uint64_t bytesSinceCollection = 0;
std::uint64_t collectAt = 0;

// Blocks stay below 2 GiB, so that no size computation can wrap on a 32-bit target.
constexpr std::size_t kMaxBlock = 0x7FFFFF00u;

// Small blocks come from chunks: aligned runs of equal slots, one size to a chunk, so that the
// chunk of any address is the address rounded down and its slot a division. A late-bound call
// makes and drops an argument array each time; a slot on a free list serves that far faster than
// the C heap, and the collector needs no sorted index of the blocks to find one.
// Not under AddressSanitizer, which must see every block freed to catch a use after it: there
// every block is a large one, allocated and freed on its own.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kSmallMax = 0;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr std::size_t kSmallMax = 0;
#else
constexpr std::size_t kSmallMax = 256;
#endif
#else
constexpr std::size_t kSmallMax = 256;
#endif
constexpr std::size_t kGranule = 16;            // slot sizes are multiples of it
constexpr std::size_t kChunkBytes = 64 * 1024;  // also the chunks' alignment
constexpr std::size_t kChunkHead = 64;          // the Chunk record, then the slots
constexpr std::size_t kEmptyChunksKept = 16;    // at least; see ReturnEmptyChunks

struct Chunk {
  std::uint32_t slotBytes;
  std::uint32_t capacity;  // slots
  std::uint32_t used;      // slots handed out at least once, from the front
  std::uint32_t live;      // blocks in it after the last sweep
};
static_assert(sizeof(Chunk) <= kChunkHead);

struct SizeClass {
  GcHeader* free = nullptr;  // freed slots, linked through their header, kind Free
  Chunk* current = nullptr;  // the chunk new slots are taken from
};
SizeClass sizeClasses[kSmallMax ? kSmallMax / kGranule : 1];

std::vector<std::uintptr_t> chunkBases;  // sorted
std::vector<GcHeader*> largeBlocks;      // sorted when largeSorted
bool largeSorted = true;
// Every address the heap ever handed out lies in [heapLow, heapHigh): a quick test for the
// many stack words that are no pointers at all.
std::uintptr_t heapLow = UINTPTR_MAX;
std::uintptr_t heapHigh = 0;

void Cover(std::uintptr_t start, std::size_t bytes) {
  heapLow = std::min(heapLow, start);
  heapHigh = std::max(heapHigh, start + bytes);
}

Chunk* ChunkOf(const void* address) {
  return reinterpret_cast<Chunk*>(reinterpret_cast<std::uintptr_t>(address) & ~std::uintptr_t(kChunkBytes - 1));
}

bool IsChunk(std::uintptr_t base) { return std::binary_search(chunkBases.begin(), chunkBases.end(), base); }

GcHeader* SlotAt(Chunk* c, std::uint32_t index) {
  return reinterpret_cast<GcHeader*>(reinterpret_cast<unsigned char*>(c) + kChunkHead +
                                     std::size_t(index) * c->slotBytes);
}

void* AlignedChunk() {
#if defined(_WIN32)
  return _aligned_malloc(kChunkBytes, kChunkBytes);
#else
  return std::aligned_alloc(kChunkBytes, kChunkBytes);
#endif
}

void FreeChunk(Chunk* c) {
#if defined(_WIN32)
  _aligned_free(c);
#else
  std::free(c);
#endif
}

Chunk* NewChunk(std::size_t slotBytes) {
  auto* c = static_cast<Chunk*>(AlignedChunk());
  if (!c) return nullptr;
  auto base = reinterpret_cast<std::uintptr_t>(c);
  try {
    chunkBases.insert(std::upper_bound(chunkBases.begin(), chunkBases.end(), base), base);
  } catch (const std::bad_alloc&) {
    FreeChunk(c);
    return nullptr;
  }
  Cover(base, kChunkBytes);
  stats.chunkBytes += kChunkBytes;
  c->slotBytes = std::uint32_t(slotBytes);
  c->capacity = std::uint32_t((kChunkBytes - kChunkHead) / slotBytes);
  c->used = 0;
  c->live = 0;
  return c;
}

SizeClass& SizeClassOf(std::size_t bytes) { return sizeClasses[(bytes + kGranule - 1) / kGranule - 1]; }

// A slot never handed out yet, from the class's current chunk or a new one.
__attribute__((noinline)) GcHeader* TakeFreshSlot(SizeClass& sc, std::size_t bytes) {
  if (!sc.current || sc.current->used == sc.current->capacity) {
    Chunk* c = NewChunk((bytes + kGranule - 1) / kGranule * kGranule);
    if (!c) return nullptr;
    sc.current = c;
  }
  return SlotAt(sc.current, sc.current->used++);
}

__attribute__((always_inline)) inline GcHeader* TakeSlot(std::size_t bytes) {
  SizeClass& sc = SizeClassOf(bytes);
  GcHeader* h = sc.free;
  if (!h) return TakeFreshSlot(sc, bytes);
  sc.free = h->next;
  // The free list runs through memory not touched since the last sweep: fetching the next slot
  // now lets its cache line arrive while the caller fills this one.
  __builtin_prefetch(sc.free, 1);
  return h;
}

__attribute__((noinline)) GcHeader* TakeLarge(std::size_t bytes) {
  auto* h = static_cast<GcHeader*>(std::malloc(bytes));
  if (!h) return nullptr;
  try {
    largeBlocks.push_back(h);
  } catch (const std::bad_alloc&) {
    std::free(h);
    return nullptr;
  }
  if (largeBlocks.size() > 1 && largeBlocks[largeBlocks.size() - 2] > h) largeSorted = false;
  Cover(reinterpret_cast<std::uintptr_t>(h), bytes);
  return h;
}

// The header is written here; what follows it is the maker's to fill. Inline in every maker, so
// that the size class of a fixed-size block (an array, a float) is worked out by the compiler.
__attribute__((always_inline)) inline GcHeader* Allocate(Kind kind, std::size_t bytes) {
  if (bytes > kMaxBlock || HeapAllocationFails()) return nullptr;
  if (bytesSinceCollection >= collectAt) MaybeCollect(bytes);
  GcHeader* h = bytes <= kSmallMax ? TakeSlot(bytes) : TakeLarge(bytes);
  if (!h) return nullptr;
  h->bytes = std::uint32_t(bytes);
  h->kind = kind;
  h->mark = 0;
  if (kind == Kind::Instance) {
    h->next = instances;
    instances = h;
  } else if (bytes > kSmallMax) {
    h->next = otherBlocks;
    otherBlocks = h;
  }
  ++stats.liveBlocks;
  ++stats.allocatedBlocks;
  stats.liveBytes += bytes;
  bytesSinceCollection += bytes;
  return h;
}

// The bytes of a block's own memory: an array's elements allocated apart are counted in its
// header but lie elsewhere.
std::size_t OwnBytes(const GcHeader* h) { return h->kind == Kind::Array ? sizeof(TbArray) : h->bytes; }
// Every small block is a slot.
bool InChunk(const GcHeader* h) { return OwnBytes(h) <= kSmallMax; }

// Frees what the block holds apart from itself: an array's elements past its inline slots.
void FreeHeldApart(GcHeader* h) {
  if (h->kind != Kind::Array) return;
  auto* a = reinterpret_cast<TbArray*>(h);
  if (a->items != a->inlineItems) std::free(a->items);
}

// A slot no block holds any longer, put on its size's free list.
void PushFree(GcHeader*& free, GcHeader* h) {
  h->kind = Kind::Free;
  h->next = free;
  free = h;
}

// Frees what the block holds apart from itself, and the block when it is a large one; a slot
// goes back to its size's free list.
void Release(GcHeader* h, bool inChunk) {
  FreeHeldApart(h);
  --stats.liveBlocks;
  stats.liveBytes -= h->bytes;
  if (!inChunk) {
    std::free(h);
    return;
  }
  PushFree(SizeClassOf(OwnBytes(h)).free, h);
}

void ReturnEmptyChunks(std::uint64_t allocationsAhead) {
  constexpr std::uint32_t kGoing = UINT32_MAX;  // in place of the live count of a chunk to free
  std::size_t kept = std::max<std::size_t>(kEmptyChunksKept, allocationsAhead / kChunkBytes + 4);
  std::size_t empty = 0;
  for (std::uintptr_t base : chunkBases)
    if (reinterpret_cast<Chunk*>(base)->live == 0) ++empty;
  if (empty <= kept) return;
  std::size_t going = empty - kept;
  for (std::uintptr_t base : chunkBases) {
    auto* c = reinterpret_cast<Chunk*>(base);
    if (going && c->live == 0 && sizeClasses[c->slotBytes / kGranule - 1].current != c) {
      c->live = kGoing;
      --going;
    }
  }
  for (SizeClass& sc : sizeClasses) {
    GcHeader** link = &sc.free;
    while (GcHeader* h = *link) {
      if (ChunkOf(h)->live == kGoing)
        *link = h->next;
      else
        link = &h->next;
    }
  }
  std::erase_if(chunkBases, [](std::uintptr_t base) {
    auto* c = reinterpret_cast<Chunk*>(base);
    if (c->live != kGoing) return false;
    FreeChunk(c);
    stats.chunkBytes -= kChunkBytes;
    return true;
  });
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

TbArr NewArray(std::uint32_t length, const Usual* values) {
  auto* a = reinterpret_cast<TbArr>(Allocate(Kind::Array, sizeof(TbArray)));
  if (!a) return nullptr;
  a->items = a->inlineItems;
  a->capacity = TbArray::kInlineItems;
  if (length <= TbArray::kInlineItems) {
    // The usual short array: its slots are the inline ones, filled here.
    a->length = length;
    if (values)
      CopyValues(a->items, values, length);
    else
      for (std::uint32_t i = 0; i < length; ++i) a->items[i] = NilValue();
    return a;
  }
  a->length = 0;
  if (!ArrayResize(a, length)) return nullptr;
  if (values) CopyValues(a->items, values, length);
  return a;
}

bool ArrayResize(TbArr a, std::uint32_t length) {
  // The inline slots serve exactly while the capacity is theirs; every slot below the length is
  // a value the collector reads.
  TB_ASSERT(a->length <= a->capacity && (a->items == a->inlineItems) == (a->capacity == TbArray::kInlineItems));
  if (length > a->capacity) {
    std::uint32_t capacity = a->capacity;
    if (length > kMaxBlock / sizeof(Usual) || HeapAllocationFails()) return false;
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
  TB_ASSERT(a->length <= a->capacity);
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
  std::memset(static_cast<void*>(h + 1), 0, instanceBytes);
  return reinterpret_cast<TbObj>(h + 1);
}

GcHeader* HeaderOf(TbObj object) { return reinterpret_cast<GcHeader*>(object) - 1; }

std::uint32_t InstanceBytes(TbObj object) { return HeaderOf(object)->bytes - std::uint32_t(sizeof(GcHeader)); }

Usual DwordValue(std::uint32_t value) {
  if (value < 0x80000000u) return IntValue(std::int32_t(value));
  return NewFloat(double(value), 0);
}

GcHeader* FirstInstance() { return instances; }

void ForEachBlock(const std::function<void(GcHeader*)>& visit) {
  for (GcHeader* list : {instances, otherBlocks})
    for (GcHeader* h = list; h; h = h->next) visit(h);
  for (std::uintptr_t base : chunkBases) {
    auto* c = reinterpret_cast<Chunk*>(base);
    for (std::uint32_t i = 0; i < c->used; ++i) {
      GcHeader* h = SlotAt(c, i);
      if (h->kind != Kind::Free && h->kind != Kind::Instance) visit(h);
    }
  }
}

std::size_t BlockExtent(const GcHeader* h) {
  switch (h->kind) {
    case Kind::String: return offsetof(TbString, text) + reinterpret_cast<const TbString*>(h)->length + 1;
    case Kind::Array: return sizeof(TbArray);
    case Kind::Float: return sizeof(TbFloat);
    case Kind::Instance: return h->bytes;
    case Kind::Free: break;
  }
  return sizeof(GcHeader);
}

GcHeader* BlockContaining(std::uintptr_t address) {
  if (address < heapLow || address >= heapHigh) return nullptr;
  GcHeader* h = nullptr;
  std::uintptr_t base = address & ~std::uintptr_t(kChunkBytes - 1);
  if (kSmallMax && IsChunk(base)) {
    auto* c = reinterpret_cast<Chunk*>(base);
    if (address < base + kChunkHead) return nullptr;
    std::size_t index = (address - base - kChunkHead) / c->slotBytes;
    if (index >= c->used) return nullptr;
    h = SlotAt(c, std::uint32_t(index));
    if (h->kind == Kind::Free) return nullptr;
  } else {
    if (!largeSorted) {
      std::sort(largeBlocks.begin(), largeBlocks.end());
      largeSorted = true;
    }
    auto it = std::upper_bound(largeBlocks.begin(), largeBlocks.end(), address,
                               [](std::uintptr_t a, GcHeader* b) { return a < reinterpret_cast<std::uintptr_t>(b); });
    if (it == largeBlocks.begin()) return nullptr;
    h = *(it - 1);
  }
  return address < reinterpret_cast<std::uintptr_t>(h) + BlockExtent(h) ? h : nullptr;
}

std::uint64_t Sweep() {
  // The large index forgets the unmarked blocks before they are freed (erasing keeps its order).
  std::erase_if(largeBlocks, [](const GcHeader* h) { return !(h->mark & MARK_LIVE); });
  // Each chunk's blocks are counted as the survivors pass.
  for (std::uintptr_t base : chunkBases) reinterpret_cast<Chunk*>(base)->live = 0;
  std::uint64_t freed = 0;
  // The listed blocks: instances (a finaliser may have kept one) and the large others.
  for (GcHeader** list : {&instances, &otherBlocks}) {
    GcHeader** link = list;
    while (GcHeader* h = *link) {
      // The lists hold live blocks only: a freed one leaves its list before it is released.
      TB_ASSERT(h->kind != Kind::Free);
      bool inChunk = InChunk(h);
      if (h->mark & MARK_LIVE) {
        h->mark &= std::uint8_t(~MARK_LIVE);
        if (inChunk) ++ChunkOf(h)->live;
        link = &h->next;
      } else {
        *link = h->next;
        Release(h, inChunk);
        ++freed;
      }
    }
  }
  // The other small blocks, chunk by chunk: a freed slot goes on its chunk's size's free list.
  std::uint64_t freedBytes = 0, freedSlots = 0;
  for (std::uintptr_t base : chunkBases) {
    auto* c = reinterpret_cast<Chunk*>(base);
    GcHeader* free = sizeClasses[c->slotBytes / kGranule - 1].free;
    std::uint32_t live = 0;
    const std::size_t step = c->slotBytes;
    auto* slot = reinterpret_cast<unsigned char*>(SlotAt(c, 0));
    for (auto* end = slot + std::size_t(c->used) * step; slot != end; slot += step) {
      auto* h = reinterpret_cast<GcHeader*>(slot);
      Kind kind = h->kind;
      if (kind == Kind::Free || kind == Kind::Instance) continue;
      if (h->mark & MARK_LIVE) {
        h->mark &= std::uint8_t(~MARK_LIVE);
        ++live;
        continue;
      }
      if (kind == Kind::Array) FreeHeldApart(h);
      freedBytes += h->bytes;
      ++freedSlots;
      PushFree(free, h);
    }
    c->live += live;
    sizeClasses[c->slotBytes / kGranule - 1].free = free;
  }
  // A sweep frees only what the heap counted as live.
  TB_ASSERT(freedSlots <= stats.liveBlocks && freedBytes <= stats.liveBytes);
  stats.liveBlocks -= freedSlots;
  stats.liveBytes -= freedBytes;
  freed += freedSlots;
  bytesSinceCollection = 0;
  return freed;
}

std::uint64_t BytesSinceCollection() { return bytesSinceCollection; }

void SetCollectAt(std::uint64_t bytes) { collectAt = bytes; }

// Chunks left without a block go back to the C heap, but for those the allocations until the
// next collection may fill: a program that drops all it made since the last collection would
// otherwise give its chunks back and take them again every time.
void TrimChunks(std::uint64_t allocationsAhead) {
  if (kSmallMax) ReturnEmptyChunks(allocationsAhead);
}

void FreeAll() {
  ForEachBlock(FreeHeldApart);
  for (GcHeader** list : {&instances, &otherBlocks}) {
    while (GcHeader* h = *list) {
      *list = h->next;
      if (!InChunk(h)) std::free(h);
    }
  }
  for (std::uintptr_t base : chunkBases) FreeChunk(reinterpret_cast<Chunk*>(base));
  chunkBases.clear();
  stats.chunkBytes = 0;
  largeBlocks.clear();
  largeSorted = true;
  for (SizeClass& sc : sizeClasses) sc = SizeClass{};
  stats.liveBlocks = 0;
  stats.liveBytes = 0;
  bytesSinceCollection = 0;
}

HeapStats Stats() { return stats; }

}  // namespace tb
