#include "intl/set_international.h"

#include "intl/fixed_modes.h"
#include "intl/international_arg_error.h"
#include "intl/windows_mode.h"
#include "runtime/call.h"
#include "runtime/frame_guard.h"

namespace {

// Stands as the error block while a mode is applied: any runtime error breaks out to the recovery
// point SetInternational pushed, with the error object as the break's value.
Usual BreakOutOfApplying(std::uint32_t countWord, Usual* args) {
  static const FrameInfo kFrame{"SETINTERNATIONAL:BLOCK", "intl/set_international.cpp"};
  FrameGuard frame(kFrame, countWord, args);
  LabelJump(args[0]);
}

const CodeBlock kBreakOutOfApplying{1, &BreakOutOfApplying};

Usual ModeSymbol(std::uint32_t runtimeMode) {
  switch (runtimeMode) {
    case 1: return SymbolValue(SYM_WINDOWS);
    case 2: return SymbolValue(SYM_BINARY);
    default: return SymbolValue(SYM_KESTRAN);
  }
}

// Closes the recovery point, frees the work buffer and gives the caller's error block back.
void EndApplying(void* workBuffer, Usual callerBlock) {
  LabelPop();
  if (workBuffer != nullptr) MemFree(workBuffer);
  CallKest<declared::ErrorBlock>(ErrorBlock, callerBlock);
}

}  // namespace

Usual SetInternational(std::uint32_t countWord, Usual* args) {
  static const FrameInfo kFrame{"SETINTERNATIONAL", "intl/set_international.cpp"};
  Usual locals[1];  // the caller's error block, while the temporary one stands
  FrameGuard frame(kFrame, countWord, args, locals, 1);
  Usual previous = ModeSymbol(_P2DW(CallKest<1>(_SetIntl)));
  if (PCount() == 0) return previous;

  Sym mode = _P2Symbol(args[0]);
  if (mode != SYM_WINDOWS && mode != SYM_KESTRAN && mode != SYM_BINARY) {
    CallKest<1>(InternationalArgError, SymbolValue(mode));
    return previous;
  }

  locals[0] = CallKest<declared::ErrorBlock>(ErrorBlock, CodeBlockValue(&kBreakOutOfApplying));
  void* workBuffer = nullptr;
  std::uint32_t label = LabelPush();
  try {
    if (mode == SYM_WINDOWS) {
      ApplyWindowsMode(&workBuffer);
    } else {
      ApplyFixedMode(mode == SYM_BINARY);
    }
  } catch (const TbBreak& jump) {
    if (jump.label != label) {
      // A break meant for another recovery point passes on, with this one closed first.
      EndApplying(workBuffer, locals[0]);
      throw;
    }
    // The error ended the applying: what was set so far stays.
  } catch (...) {
    EndApplying(workBuffer, locals[0]);
    throw;
  }
  EndApplying(workBuffer, locals[0]);
  return previous;
}
