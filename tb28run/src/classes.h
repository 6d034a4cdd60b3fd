// The class table.
#pragma once

#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "tb28run/objects.h"

namespace tb {

struct IVarInfo {
  Sym symbol;
  std::uint32_t offset;
  std::uint32_t type;
  std::uint32_t size;
  std::uint32_t flags;
};

struct MethodInfo {
  MethodFn function;
  std::uint32_t params;
};

struct RefRun {
  std::uint32_t offset;
  std::uint32_t count;
  bool usuals;  // a run of dynamic values rather than of reference fields
};

// A variable as a read needs it, eight bytes: a class's variables side by side in few cache lines.
struct IVarSlot {
  Sym symbol;  // 0 in a gap: no variable is named by symbol 0
  std::uint32_t offset : 24;
  std::uint32_t type : 8;
};
// Offsets a slot can hold; a class with larger instances reads through the hash map.
constexpr std::uint32_t kSlotOffsetLimit = 1u << 24;

struct ClassInfo {
  // What a variable read looks at comes first, in the first cache line.
  Sym symbol = 0;
  // The variables by symbol less ivarBase, when their symbols lie close together (a program
  // registers a class's names one after another): an error handler reads dozens of them.
  Sym ivarBase = 0;
  std::vector<IVarSlot> ivarSlots;
  std::vector<const IVarInfo*> ivarsBySymbol;  // the same index, to the full descriptions

  const ClassInfo* super = nullptr;
  std::uint32_t instanceSize = 0;
  std::vector<RefRun> referenceMap;
  std::unordered_map<Sym, IVarInfo> ivars;  // the class's own and every superclass's
  std::unordered_map<Sym, MethodInfo> methods;

  // The method found last; it stays valid until a method is declared anywhere (the epoch changes).
  mutable Sym lastMethod = 0;
  mutable const MethodInfo* lastMethodInfo = nullptr;
  mutable std::uint64_t lastMethodEpoch = 0;
};

const ClassInfo* FindClass(Sym symbol);
// A variable from the dense index, or null when the class has none or the symbol is not in it.
inline const IVarSlot* DenseSlot(const ClassInfo* cls, Sym ivar) {
#if defined(QUORLFIX_BENCH_WITHOUT_IVAR_INDEX)
  if (ivar) return nullptr;  // every variable is found in the hash map
#endif
  Sym at = ivar - cls->ivarBase;  // wraps for a symbol below the base: out of range all the same
  if (at < cls->ivarSlots.size() && cls->ivarSlots[at].symbol == ivar) return &cls->ivarSlots[at];
  return nullptr;
}
inline const ClassInfo* ClassOf(TbObj object) {
  return object ? static_cast<const ClassInfo*>(reinterpret_cast<InstanceHeader*>(object)->cls) : nullptr;
}
// Changes whenever a method is declared anywhere.
extern std::uint64_t methodEpoch;

// The method the class answers to (its own or a superclass's), or null. The one the class found
// last is answered inline.
const MethodInfo* FindMethodInClasses(const ClassInfo* cls, Sym method);
inline const MethodInfo* FindMethod(const ClassInfo* cls, Sym method) {
  if (cls && cls->lastMethodInfo && cls->lastMethod == method && cls->lastMethodEpoch == methodEpoch)
    return cls->lastMethodInfo;
  return FindMethodInClasses(cls, method);
}
const IVarInfo* FindIVar(const ClassInfo* cls, Sym ivar);
// Whether any class declares a finaliser: until one does, the collector looks for no object to
// finalise.
bool AnyFinalizer();

}  // namespace tb
