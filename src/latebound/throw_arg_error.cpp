#include "latebound/throw_arg_error.h"

#include "runtime/call.h"
#include "runtime/frame_guard.h"

namespace {

Usual Text(const char* text) { return StringValue(Psz2String(text)); }

}  // namespace

void ThrowArgError(std::uint32_t argNum, const char* description, const char* operation, TbArr args, Sym funcSym) {
  static const FrameInfo kFrame{"THROWARGERROR", "latebound/throw_arg_error.cpp"};
  enum { kError, kArgs, kLocals };
  Usual locals[kLocals];
  FrameGuard frame(kFrame, 0, nullptr, locals, kLocals);
  locals[kArgs] = ArrayValue(args);
  // Start level 1: the call stack from the routine that raises, not from the constructor.
  locals[kError] = CallKest<declared::CreateInstance>(CreateInstance, SymbolValue(SYM_ERROR), IntValue(1));
  if (locals[kError].type != T_OBJECT || !locals[kError].value) return;  // CreateInstance reported why
  TbObj error = AsObj(locals[kError]);
  IVarPut(error, SYM_SUBSYSTEM, Text("PCEVal"));
  IVarPut(error, SYM_SUBCODE, _DW2T(0));
  IVarPut(error, SYM_GENCODE, _DW2T(1));
  IVarPut(error, SYM_OSCODE, _DW2T(0));
  IVarPut(error, SYM_SEVERITY, _DW2T(2));
  IVarPut(error, SYM_CANDEFAULT, LogicValue(false));
  IVarPut(error, SYM_CANRETRY, LogicValue(false));
  IVarPut(error, SYM_CANSUBSTITUTE, LogicValue(false));
  IVarPut(error, SYM_OPERATION, Text(operation));
  IVarPut(error, SYM_DESCRIPTION, Text(description));
  IVarPut(error, SYM_FILENAME, Text(""));
  IVarPut(error, SYM_ARGS, locals[kArgs]);
  IVarPut(error, SYM_TRIES, _DW2T(0));
  IVarPut(error, SYM_FUNCSYM, SymbolValue(funcSym));
  IVarPut(error, SYM_FILEHANDLE, _DW2T(0));
  IVarPut(error, SYM_ARGNUM, _DW2T(argNum));
  IVarPut(error, SYM_FUNCPTR, PtrValue(nullptr));
  IVarPut(error, SYM_SUBCODETEXT, Text("PCode"));
  IVarPut(error, SYM_ARG, Text(""));
  IVarPut(error, SYM_ARGTYPE, _DW2T(0));
  IVarPut(error, SYM_ARGTYPEREQ, _DW2T(0));
  IVarPut(error, SYM_MAXSIZE, _DW2T(0));
  IVarPut(error, SYM_SUBSTITUTETYPE, _DW2T(0));
  IVarPut(error, SYM_CHOICE, _DW2T(0));
  IVarPut(error, SYM_CALLFUNCSYM, SymbolValue(0));
  IVarPut(error, SYM_CARGO, NilValue());
  IVarPut(error, SYM_METHODSELF, ObjectValue(nullptr));
  CallKest<declared::Send>(Send, locals[kError], SymbolValue(SYM_THROW));
}
