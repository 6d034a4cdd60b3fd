#include "startup/init_procedures.h"

#include <iterator>

#include "runtime/frame_guard.h"
#include "runtime/tb28run.h"
#include "startup/debug_launch.h"

void NoOperation() {
  static const FrameInfo kFrame{"NOOPERATION", "startup/init_procedures.cpp"};
  FrameGuard frame(kFrame);
}

void CallNoOperation() {
  static const FrameInfo kFrame{"CALLNOOPERATION", "startup/init_procedures.cpp"};
  FrameGuard frame(kFrame);
  NoOperation();
}

const InitProcedure INIT_PROCEDURES[] = {
    &CallNoOperation,
    &DebugLaunchCheck,
};
const unsigned INIT_PROCEDURE_COUNT = unsigned(std::size(INIT_PROCEDURES));
