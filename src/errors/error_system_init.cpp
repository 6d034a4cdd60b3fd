#include "errors/error_system_init.h"

#include "errors/def_error.h"
#include "errors/error_class.h"
#include "intl/set_international.h"
#include "runtime/call.h"
#include "runtime/frame_guard.h"

void InstallDefaultErrorBlock() {
  static const FrameInfo kFrame{"INSTALLDEFAULTERRORBLOCK", "errors/error_system_init.cpp"};
  FrameGuard frame(kFrame);
  if (IsNil(CallKest<declared::ErrorBlock>(ErrorBlock))) {
    CallKest<declared::ErrorBlock>(ErrorBlock, CodeBlockValue(&DefaultErrorBlock));
    CallKest<1>(SetInternational, SymbolValue(SYM_WINDOWS));
  }
}

void RegisterErrorGen() {
  static const FrameInfo kFrame{"REGISTERERRORGEN", "errors/error_system_init.cpp"};
  FrameGuard frame(kFrame);
  if (_GetRTCount() == 1)
    CallKest<declared::ErrorFunc>(ErrorFunc, PtrValue(reinterpret_cast<const void*>(&DefErrorGen)));
}
