#include "startup/init_procedures.h"

#include <iterator>

#include "errors/error_system_init.h"
#include "latebound/latebound_references.h"
#include "runtime/frame_guard.h"
#include "runtime/tb28run.h"
#include "startup/debug_launch.h"

namespace {

// Never true; volatile so that the reference below is kept.
volatile bool aliasFieldsUsedHere = false;

}  // namespace

void NoOperation() {
  static const FrameInfo kFrame{"NOOPERATION", "startup/init_procedures.cpp"};
  FrameGuard frame(kFrame);
}

void CallNoOperation() {
  static const FrameInfo kFrame{"CALLNOOPERATION", "startup/init_procedures.cpp"};
  FrameGuard frame(kFrame);
  NoOperation();
}

// Names the runtime's alias field access, A->A read and assigned, so that the program imports
// it; the condition never holds, so nothing runs.
void ReferAliasFieldAccess() {
  static const FrameInfo kFrame{"REFERALIASFIELDACCESS", "startup/init_procedures.cpp"};
  Usual locals[1];
  FrameGuard frame(kFrame, 0, nullptr, locals, 1);
  if (aliasFieldsUsedHere) {
    locals[0] = FieldGetAlias(SYM_A, SYM_A);
    FieldPutAlias(SYM_A, SYM_A, locals[0]);
  }
}

const InitProcedure INIT_PROCEDURES[] = {
    &ReferLateBoundHelpers, &ReferAliasFieldAccess,    &CallNoOperation,
    &DebugLaunchCheck,      &InstallDefaultErrorBlock, &RegisterErrorGen,
};
const unsigned INIT_PROCEDURE_COUNT = unsigned(std::size(INIT_PROCEDURES));
