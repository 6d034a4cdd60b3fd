// A program built like QUORLFIX whose main function raises one runtime error and leaves it to
// the default error system, whose real dialog shows it: the message names an argument whose text
// holds Latin-1 letters ("Straße", "café" as single bytes) and a control character, as a
// program's 8-bit strings do. Tones and the log are off.
//
// When the handler returns (the dialog's first option), the program prints the number 1.5 as the
// C library formats it, so that a test sees that showing the dialog left the process in the
// locale it had, and ends with 0. Quitting ends it with the error's generic code.
#include <cstdio>

#include "errors/error_system_init.h"
#include "runtime/call.h"
#include "runtime/frame_guard.h"
#include "startup/process_entry.h"

namespace {

Usual RaiserMain(std::uint32_t countWord, Usual* args) {
  static const FrameInfo kFrame{"RAISERMAIN", "tests/desktop/error_raiser.cpp"};
  Usual locals[1];
  FrameGuard frame(kFrame, countWord, args, locals, 1);
  InstallDefaultErrorBlock();
  RegisterErrorGen();
  CallKest<declared::SetBeep>(SetBeep, LogicValue(false));
  CallKest<declared::SetErrorLog>(SetErrorLog, LogicValue(false));
  locals[0] =
      StringValue(Psz2String("Stra\xDF"
                             "e \x01 caf\xE9"));
  uiLineNum_RT = 7;
  _P2DW(locals[0]);
  std::printf("handled; %.1f\n", 1.5);
  std::fflush(stdout);
  return IntValue(0);
}

}  // namespace

int main() {
  ModuleRecord record = TheModuleRecord;
  record.MainFunction = &RaiserMain;
  ProcessEntryWith(record);
}
