// Reading and writing an instance variable named at run time.
#include "latebound/argument_array.h"
#include "latebound/latebound.h"
#include "latebound/throw_arg_error.h"
#include "runtime/frame_guard.h"

Usual PcIVarGet(std::uint32_t countWord, Usual* args) {
  static const FrameInfo kFrame{"__PCIVARGET", "latebound/ivar_helpers.cpp"};
  FrameGuard frame(kFrame, countWord, args);
  std::uint32_t n = PassedCount(countWord);
  Sym ivar = NameSymbol(&args[1]);
  if (n > 2) {
    ThrowArgError(0, argerror::kTooMany, "IVarGet", nullptr, ivar);
    return NilValue();
  }
  if (n < 2) {
    ThrowArgError(0, argerror::kTooFew, "IVarGet", nullptr, ivar);
    return NilValue();
  }
  return IVarGet(ObjectArgument(args[0]), ivar);
}

Usual PcIVarPut(std::uint32_t countWord, Usual* args) {
  static const FrameInfo kFrame{"__PCIVARPUT", "latebound/ivar_helpers.cpp"};
  enum { kArgs, kLocals };
  Usual locals[kLocals];
  FrameGuard frame(kFrame, countWord, args, locals, kLocals);
  std::uint32_t n = PassedCount(countWord);
  Sym ivar = NameSymbol(&args[1]);
  const char* fault = n > 3 ? argerror::kTooMany : n < 3 ? argerror::kTooFew : nullptr;
  if (fault) {
    // The error carries the value alone.
    locals[kArgs] = CallKest<declared::ArrayBuild>(ArrayBuild, args[2]);
    ThrowArgError(0, fault, "IVarPut", AsArr(locals[kArgs]), ivar);
    return NilValue();
  }
  return IVarPut(ObjectArgument(args[0]), ivar, args[2]);
}
