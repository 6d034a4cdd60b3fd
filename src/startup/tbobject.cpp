#include "startup/tbobject.h"

#include "runtime/call.h"
#include "runtime/frame_guard.h"
#include "runtime/tb28run.h"

Usual TBObjectFinalize(Usual self, std::uint32_t countWord, Usual* args) {
  static const FrameInfo kFrame{"TBOBJECT:FINALIZE", "startup/tbobject.cpp"};
  FrameGuard frame(kFrame, countWord, args);
  CallKest<declared::_SendSelf>(_SendSelf, self, SymbolValue(SYM_DESTROY));
  return self;
}

Usual TBObjectDestroy(Usual self, std::uint32_t countWord, Usual* args) {
  static const FrameInfo kFrame{"TBOBJECT:DESTROY", "startup/tbobject.cpp"};
  FrameGuard frame(kFrame, countWord, args);
  return self;
}

Usual TBObjectInit(Usual self, std::uint32_t countWord, Usual* args) {
  static const FrameInfo kFrame{"TBOBJECT:INIT", "startup/tbobject.cpp"};
  FrameGuard frame(kFrame, countWord, args);
  return self;
}
