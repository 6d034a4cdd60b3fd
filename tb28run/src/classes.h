// The class table.
#pragma once

#include <cstdint>
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

struct ClassInfo {
  Sym symbol;
  const ClassInfo* super;
  std::uint32_t instanceSize;
  std::vector<RefRun> referenceMap;
  std::unordered_map<Sym, IVarInfo> ivars;  // the class's own and every superclass's
  // Copies of the same variables by symbol less ivarBase, when their symbols lie close together
  // (a program registers a class's names one after another): an error handler reads dozens of
  // them, and side by side they share cache lines. A gap holds symbol 0.
  Sym ivarBase = 0;
  std::vector<IVarInfo> ivarsBySymbol;
  std::unordered_map<Sym, MethodInfo> methods;

  // The last name found of each kind: late-bound code asks one class for one name again and
  // again. A method found stays valid until a method is declared anywhere (the epoch changes).
  mutable Sym lastIVar = 0;
  mutable std::uint32_t lastIVarType = 0;  // the variable's, kept beside the name for a quick read
  mutable std::uint32_t lastIVarOffset = 0;
  mutable const IVarInfo* lastIVarInfo = nullptr;
  mutable Sym lastMethod = 0;
  mutable const MethodInfo* lastMethodInfo = nullptr;
  mutable std::uint64_t lastMethodEpoch = 0;
};

const ClassInfo* FindClass(Sym symbol);
// A variable from the dense index, or null when the class has none or the symbol is not in it.
inline const IVarInfo* DenseIVar(const ClassInfo* cls, Sym ivar) {
  Sym at = ivar - cls->ivarBase;  // wraps for a symbol below the base: out of range all the same
  // No variable is named by symbol 0, the mark of a gap.
  if (at < cls->ivarsBySymbol.size() && cls->ivarsBySymbol[at].symbol == ivar) return &cls->ivarsBySymbol[at];
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
// Every class, for the collector.
std::vector<const ClassInfo*> AllClasses();

}  // namespace tb
