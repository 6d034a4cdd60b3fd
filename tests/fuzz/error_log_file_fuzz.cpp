// ErrorLogOpen, ErrorLogWrite and the runtime's file calls against a log that is already there
// with any bytes (or is empty, missing, a directory, a pipe, a link elsewhere), in a directory of
// the run's own, in any order the input says: the log opened again while it is held, lines put
// through any handle, seeks anywhere, handles closed twice.
//
// Checked after every call: the log starts with every byte it held before; it grows only by
// what the call says it wrote (a line and its CR LF, or a whole record that starts with the
// banner, after an empty line when the log it was opened on held anything, and ends with the
// rule); the log can be had exactly when no handle holds it; a seek never changes it and finds
// its end; a handle closes once; nothing but a regular file is ever opened as the log, and what
// a link points at is never written.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "errors/error_log.h"
#include "fuzz_session.h"
#include "program_input.h"
#include "runtime/call.h"
#include "scratch_log.h"

namespace {

constexpr std::size_t kMaxSteps = 24;
constexpr std::size_t kMaxHandles = 6;
constexpr std::size_t kMaxLineBytes = 1 << 17;

enum class LogShape { Missing, Regular, Directory, Pipe, LinkElsewhere };

struct Run {
  std::vector<FileHandle> open;
  // The handle whose next record starts with an empty line: the last one ErrorLogOpen opened on
  // a log that held something, until a record is written through it or the log is opened again.
  // The debt is the handle number's: it outlives the handle's close.
  FileHandle owed = F_ERROR;
  // What the runtime is given to share between its openings of the log and its records.
  ErrorLogSeparator separator;
  std::vector<FileHandle> closed;
  std::string log;  // what the log holds now, as far as the calls said
};

// What is in the log's place now: nothing, a regular file, or something else.
enum class Place { Nothing, Regular, Other };
Place LogPlace() {
  struct stat st;
  if (lstat(fuzz::ScratchLog::Path().c_str(), &st) != 0) return Place::Nothing;
  return S_ISREG(st.st_mode) ? Place::Regular : Place::Other;
}
bool IsRegularLog() { return LogPlace() == Place::Regular; }

std::string Elsewhere() { return fuzz::ScratchLog::Directory() + "ELSEWHERE"; }

// Whatever the call did, the log holds what it held before, then `grown`.
std::string_view Grown(const Run& run, const char* call) {
  static std::string now;
  now = IsRegularLog() ? fuzz::ScratchLog::Read() : std::string();
  if (!now.starts_with(run.log)) {
    std::fprintf(stderr, "%s\n", call);
    fuzz::Finding("bytes the log held were lost or changed");
  }
  return std::string_view(now).substr(run.log.size());
}

void CheckRecord(std::string_view added, bool separator) {
  if (separator) {
    if (!added.starts_with("\r\n")) fuzz::Finding("a record in a log that held something is not parted from it");
    added.remove_prefix(2);
  }
  if (!added.starts_with(fuzz::kLogBanner)) fuzz::Finding("a record does not start with the banner");
  if (!added.ends_with(fuzz::kLogRecordEnd)) fuzz::Finding("a record does not end with the rule");
}

FileHandle AnyHandle(FuzzedDataProvider& in, const Run& run) {
  switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0:
      return run.closed.empty() ? F_ERROR
                                : run.closed[in.ConsumeIntegralInRange<std::size_t>(0, run.closed.size() - 1)];
    case 1: return in.ConsumeIntegral<std::uint32_t>();
    default:
      return run.open.empty() ? F_ERROR : run.open[in.ConsumeIntegralInRange<std::size_t>(0, run.open.size() - 1)];
  }
}

bool IsOpen(const Run& run, FileHandle handle) {
  return std::find(run.open.begin(), run.open.end(), handle) != run.open.end();
}

void Forget(Run& run, FileHandle handle) {
  auto at = std::find(run.open.begin(), run.open.end(), handle);
  if (at == run.open.end()) return;
  run.open.erase(at);
  run.closed.push_back(handle);
}

void StepLogOpen(Run& run) {
  Place place = LogPlace();
  bool held = !run.open.empty();
  // Opening again forgets a separator owed to an earlier handle, whether it opens or not.
  run.owed = F_ERROR;
  Usual value = ErrorLogOpen(run.separator);
  FileHandle handle = reinterpret_cast<FileHandle>(_P2Ptr(value));
  if (place == Place::Other) {
    if (handle != F_ERROR) fuzz::Finding("something that is no regular file was opened as the log");
    return;
  }
  if ((handle == F_ERROR) != held) fuzz::Finding("the log could not be had though no one held it, or the reverse");
  Grown(run, "ErrorLogOpen");
  if (handle == F_ERROR) return;
  run.open.push_back(handle);
  if (!run.log.empty()) run.owed = handle;
}

void StepOpen(FuzzedDataProvider& in, Run& run) {
  std::uint32_t mode = in.ConsumeIntegral<std::uint32_t>() & (0x7F | FO_NOFOLLOW | FO_APPEND | FO_REGULAR);
  // A handle that may write but not at the end could write over what the log held: that is
  // the program's own doing, no fault of the runtime's. So is waiting at a pipe for a reader,
  // and writing where a link leads.
  if ((mode & 0x0F) != FO_READ) mode |= FO_APPEND;
  if (LogPlace() == Place::Other) mode |= FO_REGULAR | FO_NOFOLLOW;
  FileHandle handle = FOpen2(fuzz::ScratchLog::Path().c_str(), mode);
  Grown(run, "FOpen2");
  if (handle != F_ERROR) {
    if (!IsRegularLog() && (mode & FO_REGULAR)) fuzz::Finding("FOpen2 opened what is no regular file");
    run.open.push_back(handle);
  }
}

void StepWrite(fuzz::ProgramInput& input, Run& run) {
  auto& [in, session, roots, maker] = input;
  FileHandle handle = AnyHandle(in, run);
  bool viaPointer = in.ConsumeIntegralInRange(0, 7) != 0;
  Usual handleValue = viaPointer ? PtrValue(reinterpret_cast<const void*>(handle)) : maker.Any();
  Usual error = roots.Keep(CallKest<declared::CreateInstance>(CreateInstance, SymbolValue(SYM_ERROR), IntValue(0)));
  for (std::size_t i = 0, n = in.ConsumeIntegralInRange<std::size_t>(0, 6); i < n; ++i)
    IVarPut(AsObj(error), maker.ErrorField(), in.ConsumeBool() ? maker.Text() : maker.Any());
  Usual text = in.ConsumeIntegralInRange(0, 7) != 0
                   ? roots.Keep(StringValue(Psz2String(in.ConsumeRandomLengthString(kMaxLineBytes).c_str())))
                   : maker.Any();
  // A handle given in another form owes nothing: its record goes as a line. Asking settles
  // the debt, whether the record is written or not.
  FileHandle pointed = handleValue.type == T_PTR ? FileHandle(handleValue.value) : F_ERROR;
  bool separator = pointed != F_ERROR && pointed == run.owed;
  if (separator) run.owed = F_ERROR;
  ErrorLogWrite(run.separator, handleValue, text, error);
  std::string_view added = Grown(run, "ErrorLogWrite");
  if (!added.empty()) CheckRecord(added, separator);
  run.log += added;
}

void StepPutS(fuzz::ProgramInput& input, Run& run) {
  auto& [in, session, roots, maker] = input;
  FileHandle handle = AnyHandle(in, run);
  std::string line = in.ConsumeRandomLengthString(kMaxLineBytes);
  std::size_t length = line.size();
  std::size_t written;
  if (in.ConsumeBool()) {
    if (in.ConsumeBool()) length = in.ConsumeIntegralInRange<std::size_t>(0, line.size());
    written = FPutS3(handle, line.data(), length);
  } else {
    Usual text = roots.Keep(StringValue(Mem2String(line.data(), std::uint32_t(line.size()))));
    Usual count = NilValue();
    if (in.ConsumeBool()) {
      std::int32_t n = in.ConsumeIntegralInRange<std::int32_t>(-2, std::int32_t(line.size()) + 2);
      count = IntValue(n);
      length = n < 0 ? 0 : std::min<std::size_t>(std::size_t(n), line.size());
    }
    written = _P2DW(CallKest<declared::FPutS>(FPutS, PtrValue(reinterpret_cast<const void*>(handle)), text, count));
  }
  std::string_view added = Grown(run, "FPutS");
  if (written == 0) {
    if (!added.empty()) fuzz::Finding("a line that was not written left bytes");
    return;
  }
  if (written != length + 2 || added != line.substr(0, length) + "\r\n")
    fuzz::Finding("a line written is not the line and its CR LF, at the log's end");
  run.log += added;
}

void StepSeek(FuzzedDataProvider& in, Run& run) {
  FileHandle handle = AnyHandle(in, run);
  bool toEnd = in.ConsumeBool();
  std::int32_t offset = toEnd ? 0 : in.ConsumeIntegral<std::int32_t>();
  std::uint32_t origin = toEnd ? FS_END : in.ConsumeIntegralInRange<std::uint32_t>(0, 3);
  std::int64_t position = FSeek3(handle, offset, origin);
  Grown(run, "FSeek3");
  if (toEnd && IsOpen(run, handle) && position != std::int64_t(run.log.size()))
    fuzz::Finding("a seek to the end does not find the log's end");
  if (origin == FS_SET && offset < 0 && position != -1) fuzz::Finding("a seek before the start succeeded");
  // The handle of a log just made writes where it stands: writing anywhere but at the end, over
  // the records or past them, would be the program's own doing. It goes back to the end.
  if (IsOpen(run, handle) && position != std::int64_t(run.log.size())) FSeek3(handle, 0, FS_END);
}

void StepClose(FuzzedDataProvider& in, Run& run) {
  FileHandle handle = AnyHandle(in, run);
  bool open = IsOpen(run, handle);
  if ((FClose(handle) != 0) != open) fuzz::Finding("a handle did not close exactly once");
  Forget(run, handle);
  Grown(run, "FClose");
}

void PutLogInPlace(FuzzedDataProvider& in, LogShape shape) {
  const std::string path = fuzz::ScratchLog::Path();
  switch (shape) {
    case LogShape::Missing: return;
    case LogShape::Regular: return fuzz::ScratchLog::Write(in.ConsumeRandomLengthString(std::size_t(1) << 20));
    case LogShape::Directory:
      if (mkdir(path.c_str(), 0755) != 0) fuzz::Finding("no directory for the log's place");
      return;
    case LogShape::Pipe:
      if (mkfifo(path.c_str(), 0644) != 0) fuzz::Finding("no pipe for the log's place");
      return;
    case LogShape::LinkElsewhere:
      fuzz::ScratchLog::Write("elsewhere");
      if (rename(path.c_str(), Elsewhere().c_str()) != 0 || symlink(Elsewhere().c_str(), path.c_str()) != 0)
        fuzz::Finding("no link for the log's place");
      return;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::AnsweredInput input(data, size);
  auto& [in, session, roots, maker] = input;
  fuzz::ScratchLog scratch;
  // The log held by another handle of this process is held for good: waiting would only slow
  // the run.
  ErrorLogBusyWait = 0;

  LogShape shape = in.ConsumeIntegralInRange(0, 15) < 12 ? LogShape::Regular
                                                         : static_cast<LogShape>(in.ConsumeIntegralInRange(0, 4));
  PutLogInPlace(in, shape);
  Run run;
  run.log = IsRegularLog() ? fuzz::ScratchLog::Read() : std::string();

  fuzz::Balance before = fuzz::BalanceNow();
  for (std::size_t step = 0, steps = in.ConsumeIntegralInRange<std::size_t>(1, kMaxSteps); step < steps; ++step) {
    switch (in.ConsumeIntegralInRange(0, 9)) {
      case 0:
      case 1: StepLogOpen(run); break;
      case 2:
      case 3: StepWrite(input, run); break;
      case 4:
      case 5: StepPutS(input, run); break;
      case 6: StepSeek(in, run); break;
      case 7:
        if (run.open.size() < kMaxHandles) StepOpen(in, run);
        break;
      default: StepClose(in, run); break;
    }
  }
  fuzz::CheckBalance(before, "the log's calls");
  TBDBCloseAll();
  if (shape == LogShape::LinkElsewhere) {
    std::ifstream file(Elsewhere(), std::ios::binary);
    std::string content(std::istreambuf_iterator<char>(file), {});
    if (content != "elsewhere") fuzz::Finding("the file a link in the log's place points at was written");
  }
  ErrorLogBusyWait = 5000;
  return 0;
}
