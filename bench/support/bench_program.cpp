#include "bench_program.h"

#include <benchmark/benchmark.h>
#include <win32_testing.h>
#include <windows.h>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "startup/function_table.h"
#include "startup/module_init.h"
#include "tb28run/testing.h"
#include "tb28run/testing_dialog.h"

namespace bench {
namespace {

constexpr std::uint32_t kKeptCapacity = 256;

[[noreturn]] void ExitStep(std::uint32_t code) {
  std::fprintf(stderr, "the program ended itself with exit code %u during a benchmark\n", unsigned(code));
  std::exit(int(code ? code : 1));
}

int AnswerMessageBox(HWND, LPCSTR, LPCSTR, UINT type) { return (type & 0xF) == MB_YESNO ? IDNO : IDOK; }
std::uint32_t AnswerErrorDialog(const char*, const char*, std::uint32_t first, std::uint32_t second,
                                std::uint32_t third) {
  return first ? first : second ? second : third;
}

struct Kept {
  FrameInfo info{"BENCHMARK", "bench/support/bench_program.cpp"};
  Usual slots[kKeptCapacity] = {};
  Frame frame{};
  std::uint32_t used = 0;
};

Kept& TheKept() {
  static Kept kept;
  return kept;
}

}  // namespace

bool BringProgramUp() {
  TbTestReset();
  Win32TestReset();
  Win32TestSetMessageBoxHook(&AnswerMessageBox);
  TbTestSetErrorDialogHook(&AnswerErrorDialog);
  TbTestSetToneSink([](std::uint32_t, std::uint32_t) {});
  if (MemInit() != 0 || AtomInit() != 0 || CreateAtomTable(1u << 20, 1u << 14) != 0) return false;
  for (const char* name : ATOMTABLE_NAMES)
    if (SysAddAtom(name) == 0) return false;
  static char commandLine[] = "";
  if (RTInit(&ExitStep, 3, FUNCTION_COUNT, FunctionTable.symbols, commandLine, 68, 0, nullptr, nullptr, 1, 10, 1, 1,
             1048576, nullptr) != 0)
    return false;
  if (ModuleInit() != 0) return false;
  Kept& k = TheKept();
  k.frame.info = &k.info;
  k.frame.locals = k.slots;
  k.frame.localCount = kKeptCapacity;
  INCKidStackPtr(&k.frame);
  return true;
}

Usual Keep(Usual value) {
  Kept& k = TheKept();
  if (k.used == kKeptCapacity) {
    std::fprintf(stderr, "bench::Keep: more than %u values\n", unsigned(kKeptCapacity));
    std::abort();
  }
  k.slots[k.used++] = value;
  return value;
}

Usual Text(const char* text) { return Keep(StringValue(Psz2String(text))); }

int RunBenchmarks(int argc, char** argv, bool (*prepare)()) {
  if (!BringProgramUp() || !prepare()) {
    std::fprintf(stderr, "the program could not be brought up for the benchmarks\n");
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace bench
