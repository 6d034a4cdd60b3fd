#include "intl/international_arg_error.h"

#include "runtime/call.h"
#include "runtime/frame_guard.h"

Usual InternationalArgError(std::uint32_t countWord, Usual* args) {
  static const FrameInfo kFrame{"INTERNATIONALARGERROR", "intl/international_arg_error.cpp"};
  enum { kError, kText, kBlock, kLocalCount };
  Usual locals[kLocalCount];
  FrameGuard frame(kFrame, countWord, args, locals, kLocalCount);
  locals[kError] = CallKest<declared::CreateInstance>(CreateInstance, SymbolValue(SYM_ERROR), IntValue(1));
  if (TbObj error = locals[kError].type == T_OBJECT ? AsObj(locals[kError]) : nullptr) {
    locals[kText] = StringValue(Psz2String("International"));
    IVarPut(error, SYM_SUBSYSTEM, locals[kText]);
    IVarPut(error, SYM_GENCODE, IntValue(30));
    IVarPut(error, SYM_CANDEFAULT, LogicValue(true));
    locals[kText] = StringValue(AsString(args[0]));
    IVarPut(error, SYM_ARG, locals[kText]);
  }
  locals[kBlock] = CallKest<declared::ErrorBlock>(ErrorBlock);
  CallKest<declared::Eval>(Eval, locals[kBlock], locals[kError]);
  return NilValue();
}
