// Indexed reading and writing of arrays and of containers that serve indexed access. Nested
// arrays are walked here; any other container is handed to the runtime's collection function,
// which takes the first index last.
#include "latebound/argument_array.h"
#include "latebound/latebound.h"
#include "latebound/throw_arg_error.h"
#include "runtime/frame_guard.h"

namespace {

enum { kArgs, kCurrent, kTemp, kLocals };

// Walks from the container in locals[kCurrent] through the indexes at positions 2 to `last` of
// the helper's arguments, one level down each, leaving the container reached in locals[kCurrent].
void Walk(Usual* locals, const Usual* args, std::uint32_t last) {
  for (std::uint32_t i = 2; i <= last; ++i)
    locals[kCurrent] = ArrayGet(ArrayArgument(locals[kCurrent]), PositionArgument(args[i - 1]));
}

}  // namespace

Usual PcArrGetCollection(std::uint32_t countWord, Usual* args) {
  static const FrameInfo kFrame{"__PCARRGETCOLLECTION", "latebound/array_collection_helpers.cpp"};
  Usual locals[kLocals];
  FrameGuard frame(kFrame, countWord, args, locals, kLocals);
  std::uint32_t n = PassedCount(countWord);
  if (n >= 2 && args[0].type == T_ARRAY) {  // what IsArray answers
    // Nothing on this road reads the gathered arguments: they are not gathered.
    locals[kCurrent] = args[0];
    Walk(locals, args, n);
    return locals[kCurrent];
  }
  TbArr a = GatherArguments(locals[kArgs], args, n);
  if (n < 2) {
    ThrowArgError(0, argerror::kTooFew, "ArrayGetCollection", a, 0);
    return NilValue();
  }
  locals[kTemp] = ArgElement(a, 2);  // index 1 goes last
  ADel(a, 2);
  SetArgElement(a, n, locals[kTemp]);
  locals[kTemp] = NilValue();
  return _CallKestFunc(SYM__ARRAYGETCOLLECTION, a);
}

Usual PcArrPutCollection(std::uint32_t countWord, Usual* args) {
  static const FrameInfo kFrame{"__PCARRPUTCOLLECTION", "latebound/array_collection_helpers.cpp"};
  Usual locals[kLocals];
  FrameGuard frame(kFrame, countWord, args, locals, kLocals);
  std::uint32_t n = PassedCount(countWord);
  if (n >= 3 && args[0].type == T_ARRAY) {  // what IsArray answers
    // Nothing on this road reads the gathered arguments: they are not gathered.
    locals[kCurrent] = args[0];
    Walk(locals, args, n - 2);
    TbArr target = ArrayArgument(locals[kCurrent]);
    std::uint32_t position = PositionArgument(args[n - 2]);
    // ArrayPut answers the value once it is stored, and NIL when the store was refused.
    return ArrayPut(target, position, args[n - 1]);
  }
  TbArr a = GatherArguments(locals[kArgs], args, n);
  if (n < 3) {
    ThrowArgError(0, argerror::kTooFew, "ArrayPutCollection", a, 0);
    return NilValue();
  }
  // The value goes second and index 1 last.
  locals[kTemp] = ArgElement(a, 2);
  SetArgElement(a, 2, ArgElement(a, n));
  SetArgElement(a, n, locals[kTemp]);
  locals[kTemp] = NilValue();
  return _CallKestFunc(SYM__ARRAYPUTCOLLECTION, a);
}
