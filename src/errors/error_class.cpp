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

Usual FromRecord(error_field::Text, const char* text) { return StringValue(Psz2String(text)); }
Usual FromRecord(error_field::Dword, std::uint32_t number) { return _DW2T(number); }
Usual FromRecord(error_field::Logic, std::uint32_t flag) { return LogicValue(flag != 0); }
Usual FromRecord(error_field::Symbol, Sym symbol) { return SymbolValue(symbol); }
Usual FromRecord(error_field::Pointer, const void* pointer) { return PtrValue(pointer); }

template <class Kind, class Value>
void Fill(TbObj error, Sym field, Kind kind, Value value, const Usual*) {
  // A choice the error already holds is its handler's and stays.
  if (field == SYM_CHOICE && _P2DW(IVarGet(error, SYM_CHOICE)) != 0) return;
  IVarPut(error, field, FromRecord(kind, value));
}

void Fill(TbObj error, Sym field, error_field::Array, const void* argBlock, const Usual* args) {
  if (args) {
    IVarPut(error, field, *args);
  } else if (!argBlock) {
    IVarPut(error, field, ArrayValue(ArrayCreate(0)));
  } else {
    auto* block = static_cast<const ErrorArgBlock*>(argBlock);
    std::uint32_t n = _P2DW(Max(IntValue(block->count1), IntValue(block->count2)));
    IVarPut(error, field, ArrayValue(ArrayInit(n, block->values)));
  }
}

}  // namespace

void FillFromRecord(TbObj error, const ErrorStructure& rec, const Usual* args) {
#define FILL(NAME, Kind, member, label, i386) Fill(error, SYM_##NAME, error_field::Kind{}, rec.member, args);
  TB_ERROR_RECORD_FIELDS(FILL)
#undef FILL
}

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
  FillFromRecord(error, *record, nullptr);
  return locals[0];
}
