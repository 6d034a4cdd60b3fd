// Indexed reading and writing of an object's instance variable: the name becomes a symbol and
// the runtime's instance-variable collection function does the work.
#include "latebound/argument_array.h"
#include "latebound/latebound.h"
#include "latebound/throw_arg_error.h"
#include "runtime/frame_guard.h"

namespace {

enum { kArgs, kTemp, kLocals };

}  // namespace

Usual PcIvaGetCollection(std::uint32_t countWord, Usual* args) {
  static const FrameInfo kFrame{"__PCIVAGETCOLLECTION", "latebound/ivar_collection_helpers.cpp"};
  Usual locals[kLocals];
  FrameGuard frame(kFrame, countWord, args, locals, kLocals);
  std::uint32_t n = PassedCount(countWord);
  TbArr a = GatherArguments(locals[kArgs], args, n);
  if (n < 3) {
    ThrowArgError(0, argerror::kTooFew, "IVarGetCollection", a, 0);
    return NilValue();
  }
  NameToSymbolAt(a, 2);
  if (IsSymbol(ArgElement(a, 2))) return _CallKestFunc(SYM__IVARGETCOLLECTION, a);
  ThrowArgError(0, argerror::kNameNotSymbol, "IVarGetCollection", a, 0);
  return NilValue();
}

Usual PcIvaPutCollection(std::uint32_t countWord, Usual* args) {
  static const FrameInfo kFrame{"__PCIVAPUTCOLLECTION", "latebound/ivar_collection_helpers.cpp"};
  Usual locals[kLocals];
  FrameGuard frame(kFrame, countWord, args, locals, kLocals);
  std::uint32_t n = PassedCount(countWord);
  TbArr a = GatherArguments(locals[kArgs], args, n);
  if (n < 4) {
    ThrowArgError(0, argerror::kTooFew, "IVarPutCollection", a, 0);
    return NilValue();
  }
  // The value moves to position 3, right after the name; the indexes follow in order.
  locals[kTemp] = ArgElement(a, n);
  AIns(a, 3);
  SetArgElement(a, 3, locals[kTemp]);
  locals[kTemp] = NilValue();
  NameToSymbolAt(a, 2);
  if (IsSymbol(ArgElement(a, 2))) return _CallKestFunc(SYM__IVARPUTCOLLECTION, a);
  ThrowArgError(0, argerror::kNameNotSymbol, "IVarPutCollection", a, 0);
  return NilValue();
}
