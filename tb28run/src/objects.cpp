#include <cstring>
#include <memory>
#include <new>

#include "call_slots.h"
#include "classes.h"
#include "collector.h"
#include "error_road.h"
#include "heap.h"
#include "predefined_symbols.h"
#include "tb28run/frames.h"
#include "tb28run/symbols.h"

namespace tb {
namespace {

template <class T>
T Load(const unsigned char* at) {
  T v;
  std::memcpy(&v, at, sizeof v);
  return v;
}

template <class T>
void Store(unsigned char* at, T v) {
  std::memcpy(at, &v, sizeof v);
}

unsigned char* FieldOf(TbObj object, const IVarInfo& v) { return reinterpret_cast<unsigned char*>(object) + v.offset; }

__attribute__((noinline)) Usual ReadFloat(const unsigned char* at) { return NewFloat(Load<double>(at)); }

// Types stored as a 32-bit word that is the value's word as it is.
constexpr std::uint32_t kWordTypes = (1u << T_INT) | (1u << T_DATE) | (1u << T_SYMBOL);

// Tests rather than a switch: a handler reads variables of one type after another of another,
// and a jump through a table of cases was a cache miss and a misprediction each time.
__attribute__((always_inline)) inline Usual ReadField(TbObj object, std::uint32_t offset, std::uint32_t type) {
  const unsigned char* at = reinterpret_cast<unsigned char*>(object) + offset;
  if (type == T_USUAL) return Load<Usual>(at);
  if (type < 32 && (kWordTypes >> type & 1)) return Usual{Load<std::uint32_t>(at), type};
  if (type == T_LOGIC) return LogicValue(Load<std::uint32_t>(at) != 0);
  if (type == T_DWORD) return DwordValue(Load<std::uint32_t>(at));
  if (type == T_FLOAT) return ReadFloat(at);
  return Usual{Load<std::uintptr_t>(at), type};  // strings, arrays, objects, code blocks, pointers
}
Usual ReadField(TbObj object, const IVarInfo& v) { return ReadField(object, v.offset, v.type); }

bool IsWhole(double d, double lo, double hi) { return d >= lo && d <= hi && d == double(std::int64_t(d)); }

// Converts the value for the variable's storage; false when the value's type does not fit.
bool WriteField(TbObj object, const IVarInfo& v, const Usual& value) {
  unsigned char* at = FieldOf(object, v);
  switch (v.type) {
    case T_USUAL: Store(at, value); return true;
    case T_DWORD:
    case T_INT:
      if (HasType(value, T_INT)) {
        Store(at, std::uint32_t(AsInt(value)));
        return true;
      }
      if (HasType(value, T_FLOAT)) {
        double d = FloatOf(value);
        bool ok = v.type == T_DWORD ? IsWhole(d, -2147483648.0, 4294967295.0) : IsWhole(d, -2147483648.0, 2147483647.0);
        if (!ok) return false;
        Store(at, d < 0 ? std::uint32_t(std::int32_t(d)) : std::uint32_t(d));
        return true;
      }
      return false;
    case T_FLOAT:
      if (HasType(value, T_INT))
        Store(at, double(AsInt(value)));
      else if (HasType(value, T_FLOAT))
        Store(at, FloatOf(value));
      else
        return false;
      return true;
    case T_LOGIC:
    case T_SYMBOL:
    case T_DATE:
      if (!HasType(value, v.type)) return false;
      Store(at, std::uint32_t(WordOf(value)));
      return true;
    case T_PTR:
      if (!IsPointerValue(value) && !IsNilValue(value)) return false;
      Store(at, WordOf(value));
      return true;
    default:  // string, array, object, code block: that type, or NIL for none
      if (!HasType(value, v.type) && !IsNilValue(value)) return false;
      Store(at, WordOf(value));
      return true;
  }
}

// The symbol a message or variable name stands for: a symbol as is, a string by its name.
Sym NameSymbol(const Usual& name) {
  if (HasType(name, T_SYMBOL)) return AsSym(name);
  if (HasType(name, T_STRING)) return String2Symbol(AsStr(name));
  return 0;
}

// The report of a message the object has no method for: it offers the default and a substitute.
RaiseSpec NoMethodReport(const char* operation, Usual self, Sym method) {
  RaiseSpec report;
  report.gencode = EG_NOMETHOD;
  report.operation = operation;
  report.description = "No exported method";
  report.SetArgs({self, SymbolValue(method)});
  report.funcSym = method;
  report.canSubstitute = true;
  report.canDefault = true;
  return report;
}

// A send without a message: there is no method to look up again, so no retry is offered.
Usual MissingMethod(const char* operation, Usual self, Sym method) {
  return RaiseError(NoMethodReport(operation, self, method)).SubstituteOr(NilValue());
}

// Finds the object's method for a message; on a miss the error road's answer (retry looks again).
const MethodInfo* ResolveMethod(const char* operation, TbObj object, Sym method, Usual* fallback) {
  const MethodInfo* m = nullptr;
  // Reports are made only on a miss: a send that finds its method at once builds none.
  auto report = [&] {
    RaiseSpec r = NoMethodReport(operation, ObjectValue(object), method);
    r.canRetry = true;
    return r;
  };
  *fallback = Insist([&] { return (m = FindMethod(ClassOf(object), method)) != nullptr; }, report)
                  .answer.SubstituteOr(NilValue());
  return m;
}

// The receiver is settled once, first: a value that is no object is the error block's to replace,
// the object it stands in is the one whose method is looked up and called, and a retry of the
// lookup does not ask about the receiver again.
Usual SendWith(const char* operation, Usual self, Sym method, const Usual* args, std::uint32_t passed) {
  TbObj object = _P2Object(self);
  if (!object) return NilValue();
  Usual fallback;
  const MethodInfo* m = ResolveMethod(operation, object, method, &fallback);
  if (!m) return fallback;
  return CallMethod(*m, ObjectValue(object), args, passed);
}

// A send by name: the receiver, the message (a symbol, or a string naming one), its arguments.
Usual SendNamed(const char* operation, std::uint32_t countWord, Usual* args) {
  std::uint32_t passed = PassedOf(countWord);
  if (passed < 2) return MissingMethod(operation, passed ? args[0] : NilValue(), 0);
  return SendWith(operation, args[0], NameSymbol(args[1]), args + 2, passed - 2);
}

// No memory for the copy of a message's arguments: the send ends with the error block's answer.
Usual NoRoomForArguments(Usual self, Sym method) {
  RaiseSpec report;
  report.gencode = EG_MEM;
  report.operation = "_SendClassParams";
  report.description = "No memory for the message's arguments";
  report.SetArgs({self, SymbolValue(method)});
  report.funcSym = method;
  report.canDefault = true;
  report.canSubstitute = true;
  return RaiseError(report).SubstituteOr(NilValue());
}

// Finds the variable; on a miss the error road's answer (retry looks again).
const IVarInfo* ResolveIVar(const char* operation, TbObj object, Sym ivar, Usual* fallback) {
  const IVarInfo* v = nullptr;
  auto report = [&] {
    RaiseSpec r;
    r.gencode = EG_NOVARMETHOD;
    r.operation = operation;
    r.description = "No exported variable";
    r.SetArgs({ObjectValue(object), SymbolValue(ivar)});
    r.funcSym = ivar;
    r.canSubstitute = true;
    r.canDefault = true;
    r.canRetry = true;
    return r;
  };
  *fallback =
      Insist([&] { return (v = FindIVar(ClassOf(object), ivar)) != nullptr; }, report).answer.SubstituteOr(NilValue());
  return v;
}

}  // namespace

}  // namespace tb

using namespace tb;

namespace {

// Apart, so that the quick case never writes its argument to memory.
__attribute__((noinline)) TbObj ObjectRaising(Usual value) {
  Insisted object =
      Insist([&] { return IsSomeObject(value); }, [&] { return TypeReport("_P2Object", value, T_OBJECT); });
  if (object.holds) return AsObj(value);
  // A substitute is an object (the error road lets no other type through); the empty one stands
  // for none, as the default does.
  return AsObj(object.answer.SubstituteOr(Usual{0, T_OBJECT}));
}

}  // namespace

TBRT TbObj _P2Object(Usual value) { return IsSomeObject(value) ? AsObj(value) : ObjectRaising(value); }

TBRT std::int32_t IsNil(Usual value) { return IsNilValue(value) ? 1 : 0; }

TBRT Usual CreateInstance(std::uint32_t countWord, Usual* args) {
  std::uint32_t passed = PassedOf(countWord);
  Sym classSym = passed ? NameSymbol(args[0]) : 0;
  const ClassInfo* c = nullptr;
  auto noClass = [&] {
    RaiseSpec r;
    r.gencode = EG_NOCLASS;
    r.operation = "CreateInstance";
    r.description = "Class does not exist";
    r.SetArgs({SymbolValue(classSym)});
    r.funcSym = classSym;
    r.argNum = 1;
    r.canDefault = true;
    r.canRetry = true;
    return r;
  };
  if (!Insist([&] { return (c = FindClass(classSym)) != nullptr; }, noClass).holds) return Usual{0, T_OBJECT};
  TbObj object = nullptr;
  // An instance memory cannot hold is a memory error; its default is the null object.
  auto noMemory = [] { return MemoryReport("CreateInstance", "No memory for the instance"); };
  if (!Insist([&] { return (object = NewInstance(c->instanceSize)) != nullptr; }, noMemory).holds)
    return Usual{0, T_OBJECT};
  reinterpret_cast<InstanceHeader*>(object)->cls = const_cast<ClassInfo*>(c);
  Usual self = ObjectValue(object);
  if (const MethodInfo* init = FindMethod(c, SYM_INIT)) {
    // Nothing else holds the new object until it is returned; its constructor allocates.
    RootedSlots rooted(&self, 1);
    CallMethod(*init, self, passed ? args + 1 : nullptr, passed ? passed - 1 : 0);
  }
  return self;
}

namespace {

// Apart, so that the quick read in IVarGet saves no registers.
__attribute__((noinline)) Usual IVarGetResolving(TbObj object, Sym ivar) {
  if (!object) return NilValue();
  Usual fallback;
  if (const IVarInfo* v = ResolveIVar("IVarGet", object, ivar, &fallback)) return ReadField(object, *v);
  return fallback;
}

}  // namespace

TBRT Usual IVarGet(TbObj object, Sym ivar) {
  // A class's variables by symbol (classes.h): late-bound code reads one variable again and
  // again, an error handler one after another, and both find it here.
  if (const ClassInfo* c = ClassOf(object))
    if (const IVarSlot* slot = DenseSlot(c, ivar)) return ReadField(object, slot->offset, slot->type);
  return IVarGetResolving(object, ivar);
}

TBRT Usual IVarPut(TbObj object, Sym ivar, Usual value) {
  if (!object) return NilValue();
  Usual fallback;
  const IVarInfo* v = ResolveIVar("IVarPut", object, ivar, &fallback);
  if (!v) return fallback;
  auto report = [&] {
    RaiseSpec report;
    report.gencode = EG_DATATYPE;
    report.operation = "IVarPut";
    report.description = "Data type error";
    report.SetArgs({ObjectValue(object), SymbolValue(ivar), value});
    report.arg = value;
    report.argNum = 3;
    report.argTypeReq = v->type;
    report.funcSym = ivar;
    report.canSubstitute = true;
    report.substituteType = v->type;
    report.canDefault = true;
    report.canRetry = true;
    return report;
  };
  if (!Insist([&] { return WriteField(object, *v, value); }, report, Into(value)).holds) return NilValue();
  return ReadField(object, *v);
}

TBRT Usual Send(std::uint32_t countWord, Usual* args) { return SendNamed("Send", countWord, args); }

TBRT Usual _SendSelf(std::uint32_t countWord, Usual* args) { return SendNamed("_SendSelf", countWord, args); }

TBRT Usual _SendClassParams(TbObj object, Sym method, TbArr args) {
  std::uint32_t n = args ? args->length : 0;
  // A method found at once is called with the elements as they are (the callee's slots are a
  // copy of its own).
  if (object)
    if (const MethodInfo* m = FindMethod(ClassOf(object), method))
      return CallMethod(*m, ObjectValue(object), args ? args->items : nullptr, n);
  // Otherwise the arguments as they are now: a handler of the missing method may change the
  // array, and the copy is then all that keeps them, so it is held for the collector.
  constexpr std::uint32_t kInline = 8;
  Usual inlineCopy[kInline];
  std::unique_ptr<Usual[]> heapCopy;
  Usual* copy = inlineCopy;
  if (n > kInline) {
    heapCopy.reset(new (std::nothrow) Usual[n]);
    if (!heapCopy) return NoRoomForArguments(ObjectValue(object), method);
    copy = heapCopy.get();
  }
  CopyValues(copy, args ? args->items : nullptr, n);
  RootedSlots rooted(copy, n);
  return SendWith("_SendClassParams", ObjectValue(object), method, copy, n);
}
