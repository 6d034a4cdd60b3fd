#include "collector.h"

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "classes.h"
#include "heap.h"
#include "reset.h"
#include "state.h"
#include "tb28run/errors.h"
#include "tb28run/objects.h"
#include "tb28run/symbols.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <pthread.h>
#endif

namespace tb {

Usual ErrorBlockForCollector();  // the road's current block

namespace {

// A collection reads the whole native stack whatever the heap holds: with less between
// collections, that fixed part outweighed the work on a late-bound call's argument array.
constexpr std::uint64_t kMinThreshold = 1024 * 1024;

struct CollectorState {
  bool stress = false;
  bool stackScan = true;
  bool collecting = false;
  std::uint64_t threshold = kMinThreshold;
  std::vector<TbObj> finalizing;  // resurrected until their finaliser has run
  CollectorStats stats{};
};

// Constant-initialised (nothing runs before main for it), and reached without a guard.
CollectorState state;
CollectorState& Collector() { return state; }

const ResetRegistration reset(&ResetCollector);

// One collection's marking: the blocks marked but not yet traced. Any word is looked up in the
// heap, which finds the block it points into.
struct Marker {
  std::vector<GcHeader*> work;

  void MarkAddress(std::uintptr_t address) {
    if (!address) return;
    GcHeader* h = BlockContaining(address);
    if (h && !(h->mark & MARK_LIVE)) {
      h->mark |= MARK_LIVE;
      work.push_back(h);
    }
  }

  void MarkValue(const Usual& u) {
    switch (TypeOf(u)) {
      case T_STRING:
      case T_ARRAY:
      case T_OBJECT:
      case T_FLOAT:
      case T_CODEBLOCK: MarkAddress(WordOf(u)); break;
      default: break;
    }
  }

  void MarkSlots(const Usual* slots, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) MarkValue(slots[i]);
  }

  void Trace() {
    while (!work.empty()) {
      GcHeader* h = work.back();
      work.pop_back();
      if (h->kind == Kind::Array) {
        auto* a = reinterpret_cast<TbArray*>(h);
        MarkSlots(a->items, a->length);
      } else if (h->kind == Kind::Instance) {
        TraceInstance(reinterpret_cast<TbObj>(h + 1));
      }
    }
  }

  void TraceInstance(TbObj object) {
    const ClassInfo* c = ClassOf(object);
    if (!c) return;
    auto* base = reinterpret_cast<const unsigned char*>(object);
    for (const RefRun& run : c->referenceMap) {
      for (std::uint32_t i = 0; i < run.count; ++i) {
        if (run.usuals) {
          Usual u;
          std::memcpy(&u, base + run.offset + i * sizeof(Usual), sizeof u);
          MarkValue(u);
        } else {
          std::uintptr_t p;
          std::memcpy(&p, base + run.offset + i * sizeof(void*), sizeof p);
          MarkAddress(p);
        }
      }
    }
  }
};

const void* StackBase() {
#if defined(_WIN32)
  // Read from the thread information block as NtCurrentTeb() does, but without its mingw-w64
  // intrinsic, which trips a false -Warray-bounds in GCC 12.
  const NT_TIB* tib;
#if defined(_WIN64)
  __asm__("movq %%gs:0x30, %0" : "=r"(tib));
#else
  __asm__("movl %%fs:0x18, %0" : "=r"(tib));
#endif
  return tib->StackBase;
#else
  static const void* base = [] {
    pthread_attr_t attr;
    void* address = nullptr;
    std::size_t size = 0;
    if (pthread_getattr_np(pthread_self(), &attr) == 0) {
      pthread_attr_getstack(&attr, &address, &size);
      pthread_attr_destroy(&attr);
    }
    return static_cast<const void*>(static_cast<char*>(address) + size);
  }();
  return base;
#endif
}

// Every aligned word of the native stack, from here to its base, with the registers spilled
// into a buffer on it first. Taken before the collection itself writes anything to the stack, so
// that its own work (the mark stack, say) is not mistaken for references.
// Under AddressSanitizer the scan reads the redzones between locals too; GCC tells of it with
// __SANITIZE_ADDRESS__, clang only through __has_feature.
#if defined(__SANITIZE_ADDRESS__)
#define TB_STACK_SCAN_UNCHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TB_STACK_SCAN_UNCHECKED 1
#endif
#endif
#if defined(TB_STACK_SCAN_UNCHECKED)
__attribute__((no_sanitize_address))
#endif
__attribute__((noinline)) std::vector<std::uintptr_t>
StackWords() {
  std::vector<std::uintptr_t> words;
  std::jmp_buf registers;
  setjmp(registers);
  auto lo = reinterpret_cast<std::uintptr_t>(&registers) & ~(sizeof(void*) - 1);
  auto hi = reinterpret_cast<std::uintptr_t>(StackBase());
  words.reserve((hi - lo) / sizeof(void*));
  for (std::uintptr_t at = lo; at + sizeof(void*) <= hi; at += sizeof(void*)) {
    std::uintptr_t word = *reinterpret_cast<const std::uintptr_t*>(at);
    if (word) words.push_back(word);
  }
  return words;
}

void MarkRoots(Marker& m, const std::vector<std::uintptr_t>& stackWords) {
  CollectorState& c = Collector();
  for (Frame* f = State().das.top; f; f = f->prev) {
    if (f->args) m.MarkSlots(f->args, SlotsOf(f->countWord));
    if (f->locals) m.MarkSlots(f->locals, f->localCount);
    m.MarkValue(f->result);
  }
  m.MarkValue(ErrorBlockForCollector());
  for (const SlotsRoot* r = innermostRoot; r; r = r->outer) m.MarkSlots(r->slots, r->count);
  for (TbObj o : c.finalizing) m.MarkAddress(reinterpret_cast<std::uintptr_t>(o));
  for (std::uintptr_t word : stackWords) m.MarkAddress(word);
}

// Objects about to be freed whose class has a finaliser are kept for one more round and
// offered it once; the next collection that finds them unreachable frees them.
void KeepObjectsToFinalize(Marker& m) {
  if (!AnyFinalizer()) return;
  ForEachInstance([&m](GcHeader* h) {
    if (h->mark & (MARK_LIVE | MARK_FINALIZED)) return;
    auto object = reinterpret_cast<TbObj>(h + 1);
    if (!FindMethod(ClassOf(object), SYM_FINALIZE)) return;
    h->mark |= MARK_FINALIZED;
    Collector().finalizing.push_back(object);
    m.MarkAddress(reinterpret_cast<std::uintptr_t>(object));
  });
  m.Trace();
}

void RunFinalizers() {
  CollectorState& c = Collector();
  while (!c.finalizing.empty()) {
    TbObj object = c.finalizing.back();
    Usual args[2] = {ObjectValue(object), SymbolValue(SYM_FINALIZE)};
    try {
      Send(CountWord(2, 2), args);
    } catch (...) {
      // A finaliser that breaks out ends there; the object is released all the same.
    }
    c.finalizing.pop_back();
  }
}

}  // namespace

void Collect() {
  CollectorState& c = Collector();
  if (c.collecting) return;
  c.collecting = true;
  std::uint64_t freed;
  {
    std::vector<std::uintptr_t> stackWords;
    if (c.stackScan) stackWords = StackWords();
    Marker m;
    MarkRoots(m, stackWords);
    m.Trace();
    KeepObjectsToFinalize(m);
    freed = Sweep();
  }
  ++c.stats.collections;
  c.stats.freedBlocks += freed;
  std::uint64_t live = Stats().liveBytes;
  c.threshold = std::max<std::uint64_t>(kMinThreshold, live);
  TrimChunks(c.threshold);
  SetCollectAt(c.stress ? 0 : c.threshold);
  c.collecting = false;
  RunFinalizers();
}

void MaybeCollect(std::size_t) {
  CollectorState& c = Collector();
  if (c.collecting || !State().memoryUp) return;  // asked again at the next allocation
  if (c.stress || BytesSinceCollection() >= c.threshold) Collect();
  SetCollectAt(c.stress ? 0 : c.threshold);
}

void SetGcStress(bool on) {
  Collector().stress = on;
  SetCollectAt(0);  // the next allocation asks again
}
void SetStackScan(bool on) { Collector().stackScan = on; }

void ResetCollector() {
  bool stress = Collector().stress;
  Collector() = CollectorState{};
  Collector().stress = stress;  // a stress run stays one across resets
  SetCollectAt(0);
}

CollectorStats GcStats() { return Collector().stats; }

}  // namespace tb
