// A program built like QUORLFIX whose main function raises runtime errors, for tests that need
// several processes handling errors at once. The default error system handles them: the log is
// on, tones are off and the dialog is answered by the test seam.
//
//   error_log_writer WRITER COUNT   raises COUNT argument errors whose argument reads
//                                   "writer WRITER error I"; each is answered with the default
//   error_log_writer quit GENCODE   raises one error of that generic code and answers it by
//                                   quitting: the process ends through the program's exit step
//   error_log_writer big MEGABYTES  raises one argument error whose argument is that many
//                                   megabytes of "x"; it is answered with the default, and the
//                                   process then prints the length of the text the dialog showed
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "errors/error_system_init.h"
#include "runtime/call.h"
#include "runtime/frame_guard.h"
#include "startup/process_entry.h"
#include "tb28run/testing_dialog.h"

namespace {

const char* writer = "0";
long count = 0;
bool quit = false;
bool big = false;
std::size_t shown = 0;

std::uint32_t AnswerDefault(const char*, const char*, std::uint32_t, std::uint32_t, std::uint32_t) { return ED_FIRST; }
std::uint32_t AnswerDefaultCounting(const char* message, const char*, std::uint32_t, std::uint32_t, std::uint32_t) {
  shown = std::strlen(message);
  return ED_FIRST;
}
std::uint32_t AnswerQuit(const char*, const char*, std::uint32_t, std::uint32_t, std::uint32_t third) { return third; }

Usual WriterMain(std::uint32_t countWord, Usual* args) {
  static const FrameInfo kFrame{"WRITERMAIN", "tests/tools/error_log_writer.cpp"};
  Usual locals[1];
  FrameGuard frame(kFrame, countWord, args, locals, 1);
  // Done by the init procedures once they are in the table; repeating them changes nothing.
  InstallDefaultErrorBlock();
  RegisterErrorGen();
  CallKest<declared::SetBeep>(SetBeep, LogicValue(false));
  if (quit) {
    TbTestSetErrorDialogHook(&AnswerQuit);
    locals[0] = CallKest<declared::CreateInstance>(CreateInstance, SymbolValue(SYM_ERROR), IntValue(1));
    IVarPut(AsObj(locals[0]), SYM_GENCODE, IntValue(std::int32_t(count)));
    CallKest<declared::Send>(Send, locals[0], SymbolValue(SYM_THROW));
    return IntValue(0);
  }
  if (big) {
    TbTestSetErrorDialogHook(&AnswerDefaultCounting);
    locals[0] = StringValue(Space(std::uint32_t(count << 20)));
    _P2DW(locals[0]);
    std::printf("%zu\n", shown);
    return IntValue(0);
  }
  TbTestSetErrorDialogHook(&AnswerDefault);
  for (long i = 0; i < count; ++i) {
    std::string text = std::string("writer ") + writer + " error " + std::to_string(i);
    locals[0] = StringValue(Psz2String(text.c_str()));
    uiLineNum_RT = std::uint32_t(i);
    _P2DW(locals[0]);
  }
  return IntValue(0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  quit = std::strcmp(argv[1], "quit") == 0;
  big = std::strcmp(argv[1], "big") == 0;
  writer = argv[1];
  count = std::strtol(argv[2], nullptr, 10);
  ModuleRecord record = TheModuleRecord;
  record.MainFunction = &WriterMain;
  ProcessEntryWith(record);
}
