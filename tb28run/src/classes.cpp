#include "classes.h"

#include <algorithm>
#include <cstdarg>
#include <memory>

#include "heap.h"
#include "reset.h"
#include "tb28run/symbols.h"
#include "testing_hooks.h"

namespace tb {
namespace {

std::unordered_map<Sym, std::unique_ptr<ClassInfo>>& Classes() {
  static std::unordered_map<Sym, std::unique_ptr<ClassInfo>> classes;
  return classes;
}

bool anyFinalizer = false;

const ResetRegistration reset([] {
  Classes().clear();
  anyFinalizer = false;
});

enum DeclareFault : std::int32_t {
  DECLARE_OK = 0,
  DECLARE_HOOK = 1,
  DECLARE_EXISTS = 2,
  DECLARE_NO_SUPER = 3,
  DECLARE_BAD_SIZE = 4,
  DECLARE_BAD_IVAR = 5,
  DECLARE_BAD_MAP = 6,
  DECLARE_NO_CLASS = 7,
  DECLARE_BAD_METHOD = 8,
};

// The storage size each type code takes in an instance.
std::uint32_t StorageSize(std::uint32_t type) {
  switch (type) {
    case T_INT:
    case T_DATE:
    case T_LOGIC:
    case T_SYMBOL:
    case T_DWORD: return 4;
    case T_FLOAT: return sizeof(double);
    case T_ARRAY:
    case T_OBJECT:
    case T_STRING:
    case T_CODEBLOCK:
    case T_PTR: return sizeof(void*);
    case T_USUAL: return sizeof(Usual);
    default: return 0;
  }
}

bool IsReference(std::uint32_t type) { return type == T_ARRAY || type == T_OBJECT || type == T_STRING; }

// The map must cover exactly the reference and dynamic-value variables: a field the collector
// does not know of would be freed under the object, one it wrongly knows of would be followed.
bool MapMatches(const ClassInfo& c) {
  std::unordered_map<std::uint32_t, std::uint32_t> expected;  // offset -> type
  for (const auto& [sym, v] : c.ivars)
    if (IsReference(v.type) || v.type == T_USUAL) expected.emplace(v.offset, v.type);
  std::size_t covered = 0;
  for (const RefRun& run : c.referenceMap) {
    std::uint32_t step = run.usuals ? sizeof(Usual) : sizeof(void*);
    for (std::uint32_t i = 0; i < run.count; ++i) {
      auto it = expected.find(run.offset + i * step);
      if (it == expected.end() || (it->second == T_USUAL) != run.usuals) return false;
      ++covered;
    }
  }
  return covered == expected.size();
}

}  // namespace

const ClassInfo* FindClass(Sym symbol) {
  auto it = Classes().find(symbol);
  return it == Classes().end() ? nullptr : it->second.get();
}

// Changes whenever a method is declared, so that no class goes on answering with a method found
// before (a subclass may now have its own).
std::uint64_t methodEpoch = 1;

// The dense index, when the variables' symbols span at most this many numbers.
constexpr Sym kDenseIVarSpan = 1024;

void IndexIVars(ClassInfo& c) {
  if (c.ivars.empty()) return;
  Sym low = UINT32_MAX, high = 0;
  for (const auto& [sym, v] : c.ivars) {
    low = std::min(low, sym);
    high = std::max(high, sym);
  }
  if (high - low >= kDenseIVarSpan || c.instanceSize >= kSlotOffsetLimit) return;
  c.ivarBase = low;
  c.ivarSlots.assign(high - low + 1, IVarSlot{0, 0, 0});
  c.ivarsBySymbol.assign(high - low + 1, nullptr);
  for (const auto& [sym, v] : c.ivars) {
    c.ivarSlots[sym - low] = IVarSlot{sym, v.offset, v.type};
    c.ivarsBySymbol[sym - low] = &v;  // a map's elements stay where they are
  }
}

const MethodInfo* FindMethodInClasses(const ClassInfo* cls, Sym method) {
  if (!cls) return nullptr;
  for (const ClassInfo* c = cls; c; c = c->super) {
    if (auto it = c->methods.find(method); it != c->methods.end()) {
      cls->lastMethod = method;
      cls->lastMethodInfo = &it->second;  // a map's elements stay where they are as it grows
      cls->lastMethodEpoch = methodEpoch;
      return &it->second;
    }
  }
  return nullptr;
}

const IVarInfo* FindIVar(const ClassInfo* cls, Sym ivar) {
  if (!cls) return nullptr;
  if (DenseSlot(cls, ivar)) return cls->ivarsBySymbol[ivar - cls->ivarBase];
  auto it = cls->ivars.find(ivar);
  return it == cls->ivars.end() ? nullptr : &it->second;
}

bool AnyFinalizer() { return anyFinalizer; }

}  // namespace tb

TBRT std::int32_t DeclareClass(Sym classSym, Sym superSym, std::uint32_t instanceSize,
                               const std::uint32_t* referenceMap, std::uint32_t, std::uint32_t, std::uint32_t ivarCount,
                               ...) {
  using namespace tb;
  if (HookFails(TB_HOOK_DECLARECLASS)) return DECLARE_HOOK;
  if (classSym == 0 || FindClass(classSym)) return DECLARE_EXISTS;
  const ClassInfo* super = nullptr;
  if (superSym) {
    super = FindClass(superSym);
    if (!super) return DECLARE_NO_SUPER;
  }
  if (instanceSize < sizeof(InstanceHeader) || (super && instanceSize < super->instanceSize)) return DECLARE_BAD_SIZE;

  auto c = std::make_unique<ClassInfo>();
  c->symbol = classSym;
  c->super = super;
  c->instanceSize = instanceSize;
  // A class's reference map covers its whole instance, the superclasses' variables included.
  if (super) c->ivars = super->ivars;
  va_list list;
  va_start(list, ivarCount);
  bool ok = true;
  for (std::uint32_t i = 0; i < ivarCount; ++i) {
    IVarInfo v{};
    v.symbol = va_arg(list, std::uint32_t);
    v.offset = va_arg(list, std::uint32_t);
    v.type = va_arg(list, std::uint32_t);
    v.size = va_arg(list, std::uint32_t);
    v.flags = va_arg(list, std::uint32_t);
    std::uint32_t want = StorageSize(v.type);
    bool fits = want && v.size == want && v.offset >= sizeof(InstanceHeader) && v.offset % 4 == 0 &&
                std::uint64_t(v.offset) + v.size <= instanceSize && v.symbol != 0;
    if (!fits || !c->ivars.emplace(v.symbol, v).second) ok = false;
  }
  va_end(list);
  if (!ok) return DECLARE_BAD_IVAR;

  if (!referenceMap && super) {
    c->referenceMap = super->referenceMap;  // no map of its own: the superclass's serves
  } else if (referenceMap) {
    std::uint32_t runs = referenceMap[0];
    for (std::uint32_t r = 0; r < runs; ++r) {
      std::uint32_t offset = referenceMap[1 + 2 * r];
      std::uint32_t count = referenceMap[2 + 2 * r];
      bool usuals = (count & REFMAP_USUAL_RUN) != 0;
      c->referenceMap.push_back(RefRun{offset, count & ~REFMAP_USUAL_RUN, usuals});
    }
  }
  if (!MapMatches(*c)) return DECLARE_BAD_MAP;
  IndexIVars(*c);
  Classes().emplace(classSym, std::move(c));
  return DECLARE_OK;
}

TBRT std::int32_t DeclareMethod(Sym classSym, Sym methodSym, std::uint32_t, MethodFn function, std::uint32_t params) {
  using namespace tb;
  if (HookFails(TB_HOOK_DECLAREMETHOD)) return DECLARE_HOOK;
  auto it = Classes().find(classSym);
  if (it == Classes().end()) return DECLARE_NO_CLASS;
  if (!function || methodSym == 0 || params > 0xFFFF) return DECLARE_BAD_METHOD;
  it->second->methods[methodSym] = MethodInfo{function, params};
  ++methodEpoch;
  if (methodSym == SYM_FINALIZE) anyFinalizer = true;
  return DECLARE_OK;
}

TBRT std::int32_t IsClass(Sym classSym) { return tb::FindClass(classSym) ? 1 : 0; }

TBRT std::int32_t IsInstanceOf(Usual value, Sym classSym) {
  if (!IsSomeObject(value)) return 0;
  for (const tb::ClassInfo* c = tb::ClassOf(AsObj(value)); c; c = c->super)
    if (c->symbol == classSym) return 1;
  return 0;
}

TBRT std::uint32_t IVarGetInfo(TbObj object, Sym ivar) {
  const tb::IVarInfo* v = tb::FindIVar(tb::ClassOf(object), ivar);
  return v ? (v->flags ? v->flags : 1) : 0;
}
