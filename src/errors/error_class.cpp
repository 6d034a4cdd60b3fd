#include "errors/error_class.h"

#include <windows.h>

#include "errors/call_stack_text.h"
#include "runtime/call.h"
#include "runtime/frame_guard.h"
#include "runtime/tb28run.h"

ErrorStructure LastErrorRecord;

void ClearLastErrorRecord() { MemClear(&LastErrorRecord, sizeof LastErrorRecord); }

Usual ErrorInit(Usual self, std::uint32_t countWord, Usual* args) {
  static const FrameInfo kFrame{"ERROR:INIT", "errors/error_class.cpp"};
  FrameGuard frame(kFrame, countWord, args);
  std::uint32_t startLevel = IsNumeric(args[0]) ? _P2DW(args[0]) : 0;
  TbObj object = _P2Object(self);
  IVarPut(object, SYM_STACK, CallStackText(startLevel));
  IVarPut(object, SYM_SUBSYSTEM, StringValue(_ExecName()));
  return self;
}

Usual ErrorThrow(Usual self, std::uint32_t countWord, Usual* args) {
  static const FrameInfo kFrame{"ERROR:THROW", "errors/error_class.cpp"};
  Usual locals[1];
  FrameGuard frame(kFrame, countWord, args, locals, 1);
  locals[0] = CallKest<declared::ErrorBlock>(ErrorBlock);
  return CallKest<declared::Eval>(Eval, locals[0], self);
}

namespace {

Usual Text(const char* cString) { return StringValue(Psz2String(cString)); }

// Fills the error's variables from a record, field by field in the record's order.
void FillFromRecord(TbObj error, const ErrorStructure& rec) {
  IVarPut(error, SYM_SUBSYSTEM, Text(rec.subsystem));
  IVarPut(error, SYM_SUBCODE, _DW2T(rec.subcode));
  IVarPut(error, SYM_GENCODE, _DW2T(rec.gencode));
  IVarPut(error, SYM_OSCODE, _DW2T(rec.oscode));
  IVarPut(error, SYM_SEVERITY, _DW2T(rec.severity));
  IVarPut(error, SYM_CANDEFAULT, LogicValue(rec.canDefault != 0));
  IVarPut(error, SYM_CANRETRY, LogicValue(rec.canRetry != 0));
  IVarPut(error, SYM_CANSUBSTITUTE, LogicValue(rec.canSubstitute != 0));
  IVarPut(error, SYM_OPERATION, Text(rec.operation));
  IVarPut(error, SYM_DESCRIPTION, Text(rec.description));
  IVarPut(error, SYM_FILENAME, Text(rec.filename));
  TbArr args;
  if (!rec.argBlock) {
    args = ArrayCreate(0);
  } else {
    auto* block = static_cast<const ErrorArgBlock*>(rec.argBlock);
    std::uint32_t n = _P2DW(Max(IntValue(block->count1), IntValue(block->count2)));
    args = ArrayInit(n, block->values);
  }
  IVarPut(error, SYM_ARGS, ArrayValue(args));
  IVarPut(error, SYM_TRIES, _DW2T(rec.tries));
  IVarPut(error, SYM_FUNCSYM, SymbolValue(rec.funcSym));
  IVarPut(error, SYM_FILEHANDLE, _DW2T(rec.fileHandle));
  IVarPut(error, SYM_ARGNUM, _DW2T(rec.argNum));
  IVarPut(error, SYM_FUNCPTR, PtrValue(rec.funcPtr));
  IVarPut(error, SYM_SUBCODETEXT, Text(rec.subcodeText));
  IVarPut(error, SYM_ARG, Text(rec.arg));
  IVarPut(error, SYM_ARGTYPE, _DW2T(rec.argType));
  IVarPut(error, SYM_ARGTYPEREQ, _DW2T(rec.argTypeReq));
  IVarPut(error, SYM_MAXSIZE, _DW2T(rec.maxSize));
  IVarPut(error, SYM_SUBSTITUTETYPE, _DW2T(rec.substituteType));
  if (_P2DW(IVarGet(error, SYM_CHOICE)) == 0) IVarPut(error, SYM_CHOICE, _DW2T(rec.choice));
  IVarPut(error, SYM_CALLFUNCSYM, SymbolValue(rec.callFuncSym));
}

}  // namespace

Usual DefErrorGen(std::uint32_t countWord, Usual* args) {
  static const FrameInfo kFrame{"DEFERRORGEN", "errors/error_class.cpp"};
  Usual locals[1];
  FrameGuard frame(kFrame, countWord, args, locals, 1);
  locals[0] = CallKest<declared::CreateInstance>(CreateInstance, SymbolValue(SYM_ERROR), IntValue(0));
  TbObj error = locals[0].type == T_OBJECT ? AsObj(locals[0]) : nullptr;
  if (!error) {
    // Without an object there is nothing to fill: the box says so and the null object goes back.
    MessageBoxA(nullptr, "No error object created !", "FROM DefErrorGen", 0);
    return Usual{0, T_OBJECT};
  }
  if (!IsPtr(args[0])) {
    MessageBoxA(nullptr, "Error structure has wrong tag", "FROM DefErrorGen", 0);
    return locals[0];
  }
  auto* record = static_cast<ErrorStructure*>(_P2Ptr(args[0]));
  MemCopy(&LastErrorRecord, record, sizeof(ErrorStructure));
  FillFromRecord(error, *record);
  return locals[0];
}
