// The tracing collector.
//
// Invariant: a block survives a collection when it can be reached from a root. The roots are
// the slots every activation registered (arguments, locals, the result it is returning), the
// runtime's own holdings (the error block, objects waiting for their finaliser, the slots its
// C++ code holds apart while it calls out: SlotsRoot) and, conservatively, every word of the
// native stack. From a root, an object is followed through its class's reference map and only
// through it; an array through its elements; strings and floats hold no references. Anything
// that points into a block (a C string from Cast2Psz, say) keeps the whole block.
//
// Each holder of values is kept alive one way. A routine's arguments and locals are kept by the
// frame it registers, and by nothing else: the scan sees them too while they lie on the native
// stack, but nothing counts on that. The frame is the way for them because the program fills
// its locals into the frame's layout in any case, because registered slots are kept wherever
// they lie (on the heap too, where no scan reads), and because only precise roots let a
// collection with the scan off (SetStackScan) show exactly what the program holds. The scan is
// the way for the values C++ code, the runtime's and the program's, keeps in its variables and
// registers between two calls: nothing names those, and registering each would cost every
// call more than the scan costs a collection.
//
// A collection runs before an allocation once the bytes allocated since the last one pass a
// threshold that grows with the live heap, or before every allocation in stress mode.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tb28run/values.h"

namespace tb {

// Called by the heap before an allocation once the bytes since the last collection reach the
// threshold it was given (SetCollectAt), and before every allocation in stress mode.
void MaybeCollect(std::size_t bytesAbout);
void Collect();
void SetGcStress(bool on);
// Tests turn the native-stack scan off to see exactly what the precise roots keep.
void SetStackScan(bool on);

// Forgets the objects waiting for their finaliser and the counters (RTExit).
void ResetCollector();

// Values the runtime's own C++ code keeps while it calls out or allocates, where no registered
// frame names them: slots on the C++ heap (which the native-stack scan never reads), or copies
// whose originals a handler may drop. A root is added and removed in nested pairs, innermost
// removed first; a break to a recovery point unwinds through the removals.
struct SlotsRoot {
  const Usual* slots;
  std::size_t count;
  SlotsRoot* outer;
};
inline SlotsRoot* innermostRoot = nullptr;
inline void AddRoot(SlotsRoot& root, const Usual* slots, std::size_t count) {
  root = SlotsRoot{slots, count, innermostRoot};
  innermostRoot = &root;
}
inline void RemoveRoot(SlotsRoot& root) { innermostRoot = root.outer; }

// Holds the slots for as long as it lives.
class RootedSlots {
 public:
  RootedSlots(const Usual* slots, std::size_t count) { AddRoot(root_, slots, count); }
  ~RootedSlots() { RemoveRoot(root_); }
  RootedSlots(const RootedSlots&) = delete;
  RootedSlots& operator=(const RootedSlots&) = delete;

 private:
  SlotsRoot root_;
};

struct CollectorStats {
  std::uint64_t collections;
  std::uint64_t freedBlocks;
};
CollectorStats GcStats();

}  // namespace tb
