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
  std::unordered_map<Sym, MethodInfo> methods;

  // The last name found of each kind: late-bound code asks one class for one name again and
  // again. A method found stays valid until a method is declared anywhere (the epoch changes).
  mutable Sym lastIVar = 0;
  mutable const IVarInfo* lastIVarInfo = nullptr;
  mutable Sym lastMethod = 0;
  mutable const MethodInfo* lastMethodInfo = nullptr;
  mutable std::uint64_t lastMethodEpoch = 0;
};

const ClassInfo* FindClass(Sym symbol);
inline const ClassInfo* ClassOf(TbObj object) {
  return object ? static_cast<const ClassInfo*>(reinterpret_cast<InstanceHeader*>(object)->cls) : nullptr;
}
// The method the class answers to (its own or a superclass's), or null.
const MethodInfo* FindMethod(const ClassInfo* cls, Sym method);
const IVarInfo* FindIVar(const ClassInfo* cls, Sym ivar);
// Every class, for the collector.
std::vector<const ClassInfo*> AllClasses();

// Calls a method with arguments (the self value first).
Usual CallMethod(const MethodInfo& method, Usual self, const Usual* args, std::uint32_t passed);
// Calls a KestFn with its declared parameter count and arguments.
Usual CallFunction(KestFn function, std::uint32_t declared, const Usual* args, std::uint32_t passed);

}  // namespace tb
