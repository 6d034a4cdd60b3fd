// One handled error that is logged (DefError with the dialog answered by the test hook) beside
// the bare cost of its log record: the same bytes appended to the same file with open, write and
// close.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "bench_program.h"
#include "errors/def_error.h"
#include "runtime/call.h"

namespace {

struct Setup {
  std::filesystem::path directory;
  std::filesystem::path log;
  Usual error = NilValue();
  std::string record;  // what one more handled error appends to the log
};

Setup& S() {
  static Setup setup;
  return setup;
}

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Prepare() {
  Setup& s = S();
  char pattern[] = "/tmp/quorlfix-bench-XXXXXX";
  if (!mkdtemp(pattern)) return false;
  s.directory = pattern;
  s.log = s.directory / "TBERROR.LOG";
  SetDefaultDir((s.directory.string() + "/").c_str());

  s.error = bench::Keep(CallKest<declared::CreateInstance>(CreateInstance, SymbolValue(SYM_ERROR), IntValue(0)));
  if (s.error.type != T_OBJECT || !s.error.value) return false;
  TbObj e = AsObj(s.error);
  IVarPut(e, SYM_SEVERITY, IntValue(2));
  IVarPut(e, SYM_GENCODE, IntValue(2));
  IVarPut(e, SYM_SUBSYSTEM, bench::Text("TB28RUN"));
  IVarPut(e, SYM_OPERATION, bench::Text("ArrayGet"));
  IVarPut(e, SYM_DESCRIPTION, bench::Text("Index out of range"));
  IVarPut(e, SYM_ARGNUM, IntValue(2));
  IVarPut(e, SYM_CANDEFAULT, LogicValue(true));

  // The dialog's first option is the default: DefError answers FALSE and returns.
  if (DefError(s.error).type != T_LOGIC) return false;
  std::size_t first = ReadAll(s.log).size();
  DefError(s.error);
  s.record = ReadAll(s.log).substr(first);
  return !s.record.empty();
}

void DefErrorLogged(benchmark::State& state) {
  std::filesystem::remove(S().log);
  for (auto _ : state) benchmark::DoNotOptimize(DefError(S().error));
}
BENCHMARK(DefErrorLogged);

void DirectAppend(benchmark::State& state) {
  const Setup& s = S();
  std::filesystem::remove(s.log);
  const std::string path = s.log.string();
  for (auto _ : state) {
    int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT, 0644);
    benchmark::DoNotOptimize(write(fd, s.record.data(), s.record.size()));
    close(fd);
  }
}
BENCHMARK(DirectAppend);

// The log, emptied and made anew, for a baseline that opens only a log that is there: its path.
std::string EmptyLog() {
  std::filesystem::remove(S().log);
  const std::string path = S().log.string();
  close(open(path.c_str(), O_WRONLY | O_CREAT, 0644));
  return path;
}

// The system calls a logged error cannot do without: the log opened to append without following
// a link, locked against other writers, the record written, the log closed. Not a baseline of
// its own: it shows how much of DefError's figure the kernel's part takes.
void LockedAppend(benchmark::State& state) {
  const Setup& s = S();
  const std::string path = EmptyLog();
  for (auto _ : state) {
    int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY);
    flock(fd, LOCK_EX | LOCK_NB);
    benchmark::DoNotOptimize(write(fd, s.record.data(), s.record.size()));
    close(fd);
  }
}
BENCHMARK(LockedAppend);

// Every system call the log writer makes for a record: the open and lock above, the look at what
// was opened (only a regular file is written, and its size tells whether a record comes before),
// the write and the close. What DefError spends beyond this is the handler's own work.
void WritersCalls(benchmark::State& state) {
  const Setup& s = S();
  const std::string path = EmptyLog();
  for (auto _ : state) {
    int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    flock(fd, LOCK_EX | LOCK_NB);
    struct stat st;
    benchmark::DoNotOptimize(fstat(fd, &st));
    benchmark::DoNotOptimize(write(fd, s.record.data(), s.record.size()));
    close(fd);
  }
}
BENCHMARK(WritersCalls);

// The same calls made through the runtime's file functions, as the log writer makes them: what
// the file layer adds to each call (its handle table, the check for a regular file, the size
// found at opening).
void RuntimeFileCalls(benchmark::State& state) {
  const Setup& s = S();
  const std::string path = EmptyLog();
  for (auto _ : state) {
    FileHandle handle = FOpen2(path.c_str(), FO_WRITE | FO_NOFOLLOW | FO_APPEND | FO_REGULAR);
    benchmark::DoNotOptimize(FOpenedSize(handle));
    FPutS3(handle, s.record.data(), s.record.size() - 2);  // FPutS3 ends the line
    FClose(handle);
  }
}
BENCHMARK(RuntimeFileCalls);

// The handler's own work with the log off (the message, the call stack, the dialog's answer),
// back to back, and the same after an empty system call each time. On a machine whose system
// calls cost the process its cached address translations, the second shows what the handler's
// work costs where it meets the log writer's calls, and the empty call what each call costs.
class LogOff {
 public:
  LogOff() { CallKest<declared::SetErrorLog>(SetErrorLog, LogicValue(false)); }
  ~LogOff() { CallKest<declared::SetErrorLog>(SetErrorLog, LogicValue(true)); }
};

void DefErrorUnlogged(benchmark::State& state) {
  LogOff off;
  for (auto _ : state) benchmark::DoNotOptimize(DefError(S().error));
}
BENCHMARK(DefErrorUnlogged);

void DefErrorUnloggedAfterCall(benchmark::State& state) {
  LogOff off;
  for (auto _ : state) {
    benchmark::DoNotOptimize(getppid());
    benchmark::DoNotOptimize(DefError(S().error));
  }
}
BENCHMARK(DefErrorUnloggedAfterCall);

void EmptyCall(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(getppid());
}
BENCHMARK(EmptyCall);

}  // namespace

int main(int argc, char** argv) {
  int status = bench::RunBenchmarks(argc, argv, &Prepare);
  std::filesystem::remove_all(S().directory);
  return status;
}
