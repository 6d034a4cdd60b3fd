#include "fuzz_session.h"

#include <win32_testing.h>
#include <windows.h>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "indexed_box.h"
#include "runtime/call.h"
#include "startup/function_table.h"
#include "startup/module_init.h"
#include "tb28run/testing.h"
#include "tb28run/testing_dialog.h"

namespace fuzz {
namespace {

// Runtime errors while an input runs go to the fuzz target's error block; the program ending
// itself is never what an input should lead to.
[[noreturn]] void EndedItself(std::uint32_t code) {
  std::fprintf(stderr, "the program ended itself with exit code %u\n", unsigned(code));
  Finding("the program ended while an input ran");
}

// Nothing an input does may wait for a person: boxes and the error dialog answer at once.
int AnswerMessageBox(HWND, LPCSTR, LPCSTR, UINT type) { return (type & 0xF) == MB_YESNO ? IDNO : IDOK; }
std::uint32_t AnswerErrorDialog(const char*, const char*, std::uint32_t first, std::uint32_t second,
                                std::uint32_t third) {
  return first ? first : second ? second : third;
}

struct FuzzBox {
  InstanceHeader header;
  std::int32_t i;
  std::uint32_t dw;
  std::uint32_t logic;
  Sym symbol;
  std::uint32_t date;
  TbStr text;
  TbArr list;
  TbObj other;
  void* pointer;
  const CodeBlock* block;
  Usual any;
  double real;
};

constexpr std::uint32_t kFuzzBoxMap[] = {2, offsetof(FuzzBox, text), 3, offsetof(FuzzBox, any), REFMAP_USUAL_RUN | 1};

void Need(bool ok, const char* what) {
  if (!ok) Finding(what);
}

void DeclareFuzzBox() {
  auto v = [](std::uint32_t i) { return SysAddAtom(kFuzzBoxVariables[i]); };
  constexpr std::uint32_t kWord = sizeof(void*);
  Need(DeclareClass(FuzzBoxClass(), 0, sizeof(FuzzBox), kFuzzBoxMap, 0, 0, 12,                 //
                    v(0), offsetof(FuzzBox, i), T_INT, 4u, 3u,                                 //
                    v(1), offsetof(FuzzBox, dw), T_DWORD, 4u, 3u,                              //
                    v(2), offsetof(FuzzBox, logic), T_LOGIC, 4u, 3u,                           //
                    v(3), offsetof(FuzzBox, symbol), T_SYMBOL, 4u, 3u,                         //
                    v(4), offsetof(FuzzBox, date), T_DATE, 4u, 3u,                             //
                    v(5), offsetof(FuzzBox, text), T_STRING, kWord, 3u,                        //
                    v(6), offsetof(FuzzBox, list), T_ARRAY, kWord, 3u,                         //
                    v(7), offsetof(FuzzBox, other), T_OBJECT, kWord, 3u,                       //
                    v(8), offsetof(FuzzBox, pointer), T_PTR, kWord, 3u,                        //
                    v(9), offsetof(FuzzBox, block), T_CODEBLOCK, kWord, 3u,                    //
                    v(10), offsetof(FuzzBox, any), T_USUAL, std::uint32_t(sizeof(Usual)), 3u,  //
                    v(11), offsetof(FuzzBox, real), T_FLOAT, std::uint32_t(sizeof(double)), 3u) == 0,
       "FUZZBOX could not be declared");
}

}  // namespace

const char* const kFuzzBoxVariables[] = {"I",    "DW",    "LOGIC",   "SYMBOL", "WHEN", "TEXT",
                                         "LIST", "OTHER", "POINTER", "BLOCK",  "ANY",  "REAL"};
const std::uint32_t kFuzzBoxVariableCount = std::uint32_t(std::size(kFuzzBoxVariables));

void Finding(const char* what) {
  std::fprintf(stderr, "FINDING: %s\n", what);
  std::fflush(stderr);
  std::abort();
}

Sym FuzzBoxClass() { return SysAddAtom("FUZZBOX"); }

RuntimeSession::RuntimeSession() {
  TbTestReset();
  Win32TestReset();
  Win32TestSetMessageBoxHook(&AnswerMessageBox);
  TbTestSetErrorDialogHook(&AnswerErrorDialog);
  TbTestSetToneSink([](std::uint32_t, std::uint32_t) {});
  TbTestSetInternalErrorSink([](std::uint32_t, std::uint32_t, const char*) {});
  Need(MemInit() == 0, "MemInit failed");
  Need(AtomInit() == 0, "AtomInit failed");
  Need(CreateAtomTable(1u << 20, 1u << 14) == 0, "CreateAtomTable failed");
}

RuntimeSession::~RuntimeSession() {
  TbTestReset();
  Win32TestReset();
}

ProgramSession::ProgramSession(ExitStep exitStep) {
  for (const char* name : ATOMTABLE_NAMES) Need(SysAddAtom(name) != 0, "a program symbol was refused");
  static char commandLine[] = "";
  Need(RTInit(exitStep ? exitStep : &EndedItself, 3, FUNCTION_COUNT, FunctionTable.symbols, commandLine, 68, 0, nullptr,
              nullptr, 1, 10, 1, 1, 1048576, nullptr) == 0,
       "RTInit failed");
  Need(ModuleInit() == 0, "ModuleInit failed");
  DeclareFuzzBox();
  IndexedBox::Declare();
}

}  // namespace fuzz

namespace fuzz {

Balance BalanceNow() {
  Usual block = CallKest<declared::ErrorBlock>(ErrorBlock);
  return Balance{GetDASPtr()->depth, CanBreak(), block};
}

void CheckBalance(const Balance& before, const char* what) {
  Balance after = BalanceNow();
  if (after.depth != before.depth) {
    std::fprintf(stderr, "%s: activation depth %u before, %u after\n", what, unsigned(before.depth),
                 unsigned(after.depth));
    Finding("an activation was left on the stack, or one too many removed");
  }
  if (after.canBreak != before.canBreak) {
    std::fprintf(stderr, "%s\n", what);
    Finding("a recovery point was left open, or one too many closed");
  }
  if (after.errorBlock.type != before.errorBlock.type || after.errorBlock.value != before.errorBlock.value) {
    std::fprintf(stderr, "%s\n", what);
    Finding("the error block was not given back");
  }
}

}  // namespace fuzz
