// Creating an instance of a class named at run time and sending a message named at run time.
#include "latebound/argument_array.h"
#include "latebound/latebound.h"
#include "latebound/throw_arg_error.h"
#include "runtime/frame_guard.h"

namespace {

enum { kArgs, kLocals };

}  // namespace

Usual PcCreateInstance(std::uint32_t countWord, Usual* args) {
  static const FrameInfo kFrame{"__PCCREATEINSTANCE", "latebound/object_helpers.cpp"};
  Usual locals[kLocals];
  FrameGuard frame(kFrame, countWord, args, locals, kLocals);
  std::uint32_t n = PassedCount(countWord);
  Sym classSym = NameSymbol(&args[0]);
  TbArr a = ArrayCreate(0);
  locals[kArgs] = ArrayValue(a);
  AAdd(a, SymbolValue(classSym));
  AppendArguments(a, 2, n);
  if (n < 1) {
    ThrowArgError(0, argerror::kTooFew, "CreateInstance", a, classSym);
    return NilValue();
  }
  if (classSym != 0 && IsClass(classSym)) return _CallKestFunc(SYM_CREATEINSTANCE, a);
  ThrowArgError(1, argerror::kInvalidClass, "CreateInstance", a, classSym);
  return NilValue();
}

Usual PcSend(std::uint32_t countWord, Usual* args) {
  static const FrameInfo kFrame{"__PCSEND", "latebound/object_helpers.cpp"};
  Usual locals[kLocals];
  FrameGuard frame(kFrame, countWord, args, locals, kLocals);
  std::uint32_t n = PassedCount(countWord);
  Sym method = NameSymbol(&args[1]);
  TbArr a = ArgumentsFrom(locals[kArgs], args, 3, n);
  if (n < 2) {
    ThrowArgError(0, argerror::kTooFew, "Send", a, method);
    return NilValue();
  }
  return _SendClassParams(ObjectArgument(args[0]), method, a);
}
