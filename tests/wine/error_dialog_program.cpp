// A program built like QUORLFIX (the same start-up, module initialisation and error system, the
// runtime's own error dialog) whose main function raises one error instead of asking its
// question. What the user answers in the dialog decides the rest: after the default the program
// goes on, writes "continued: " and the text of what the failed call gave, and ends with 0;
// quitting ends it with the error's generic code.
//
//   error_dialog_program eval            Eval of a number: the runtime's argument error
//   error_dialog_program international    SetInternational with a symbol that names no mode
#include <cstdio>
#include <cstring>

#include "intl/set_international.h"
#include "runtime/call.h"
#include "runtime/frame_guard.h"
#include "startup/process_entry.h"

namespace {

bool international = false;

Usual RaiseOneError(std::uint32_t countWord, Usual* args) {
  static const FrameInfo kFrame{"RAISEONEERROR", "tests/wine/error_dialog_program.cpp"};
  Usual locals[1];
  FrameGuard frame(kFrame, countWord, args, locals, 1);
  uiLineNum_RT = international ? 2 : 1;
  if (international)
    locals[0] = CallKest<1>(SetInternational, SymbolValue(String2Symbol(Psz2String("GERMAN"))));
  else
    locals[0] = CallKest<declared::Eval>(Eval, IntValue(86));
  std::printf("continued: %s\n", AsPsz(locals[0]));
  std::fflush(stdout);
  return IntValue(0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || (std::strcmp(argv[1], "eval") != 0 && std::strcmp(argv[1], "international") != 0)) {
    std::fprintf(stderr, "usage: error_dialog_program eval|international\n");
    return 2;
  }
  international = std::strcmp(argv[1], "international") == 0;
  ModuleRecord record = TheModuleRecord;
  record.MainFunction = &RaiseOneError;
  ProcessEntryWith(record);
}
