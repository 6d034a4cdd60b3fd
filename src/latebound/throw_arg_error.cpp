#include "latebound/throw_arg_error.h"

#include "errors/error_class.h"
#include "runtime/call.h"
#include "runtime/frame_guard.h"

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
  ErrorStructure rec{};  // what is not named here is zero, false or empty
  rec.subsystem = "PCEVal";
  rec.gencode = 1;
  rec.severity = 2;
  rec.operation = operation;
  rec.description = description;
  rec.filename = "";
  rec.funcSym = funcSym;
  rec.argNum = argNum;
  rec.subcodeText = "PCode";
  rec.arg = "";
  FillFromRecord(error, rec, &locals[kArgs]);
  IVarPut(error, SYM_CARGO, NilValue());
  IVarPut(error, SYM_METHODSELF, ObjectValue(nullptr));
  CallKest<declared::Send>(Send, locals[kError], SymbolValue(SYM_THROW));
}
