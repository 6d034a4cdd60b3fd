#include "app/start.h"

#include <windows.h>

#include "runtime/frame_guard.h"
#include "runtime/tb28run.h"

Usual Start(std::uint32_t countWord, Usual* args) {
  static const FrameInfo kFrame{"START", "app/start.cpp"};
  Usual locals[2];  // the text and the caption of the box on screen
  FrameGuard frame(kFrame, countWord, args, locals, 2);
  _GAS(SYM_START, SYM_Start);
  // Each statement names its source line first, as the compiler writes it: line 1 opens the
  // function, line 2 declares its locals.
  uiLineNum_RT = 1;
  uiLineNum_RT = 2;
  locals[0] = StringValue(Psz2String("Confirm fix"));
  locals[1] = StringValue(Psz2String("Fix the quorl database now ?"));
  const char* text = Cast2Psz(locals[0]);
  const char* caption = Cast2Psz(locals[1]);
  if (MessageBoxA(nullptr, text, caption, MB_YESNO | MB_ICONINFORMATION) == IDYES) {
    uiLineNum_RT = 4;
    locals[0] = StringValue(Psz2String("Error"));
    locals[1] = StringValue(Psz2String("Quorl not found ?"));
    text = Cast2Psz(locals[0]);
    caption = Cast2Psz(locals[1]);
    MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONINFORMATION);
  }
  uiLineNum_RT = 6;
  uiLineNum_RT = 0;
  _PAS(NilValue());
  return NilValue();
}
