#include <windows.h>

#include "errors/error_log.h"
#include "errors/text_builder.h"
#include "runtime/call.h"
#include "runtime/frame_guard.h"

std::uint32_t ErrorLogBusyWait = 5000;

namespace {

constexpr std::string_view kLogName = "TBERROR.LOG";
constexpr std::uint32_t kPollInterval = 10;  // milliseconds

// The Windows error number of the last file call (WinError).
std::uint32_t LastFileError() { return _P2DW(CallKest<declared::FError>(FError)); }

// The log's directory is missing: a default directory must have led there. The setting is
// cleared so that the next error finds the log again, and the fault is reported.
void ReportMissingDirectory() {
  static const FrameInfo kFrame{"ERRORLOGMISSINGDIR", "errors/error_log_open.cpp"};
  Usual locals[1];
  FrameGuard frame(kFrame, 0, nullptr, locals, 1);
  locals[0] = StringValue(GetDefaultDir());
  TextBuilder<512> report;
  if (SLen(AsStr(locals[0])) > 0) {
    report.Add("SetDefaultDir: ");
    report.Add(AsStr(locals[0]));
    SetDefaultDir("");
  } else {
    report.Add("SetDefault: ");
    report.Add(GetDefault());
    SetDefault("");
  }
  report.Add('\0');
  if (!report.Cut()) _IError(1, 0, report.Data());
}

Usual Handle(FileHandle handle) { return PtrValue(reinterpret_cast<const void*>(handle)); }

}  // namespace

Usual ErrorLogOpen(ErrorLogSeparator& separator) {
  static const FrameInfo kFrame{"ERRORLOGOPEN", "errors/error_log_open.cpp"};
  FrameGuard frame(kFrame);
  TextBuilder<512> log;
  log.Add(WorkDir());
  log.Add(kLogName);
  log.Add('\0');
  separator.PendFor(F_ERROR);
  if (log.Cut()) return Handle(F_ERROR);
  const char* path = log.Data();
  for (std::uint32_t waited = 0;; waited += kPollInterval) {
    // Not through a symbolic link: the log is no way to append to a file that lies elsewhere.
    // Only a regular file: whoever puts a pipe or a device in its place must not hold the
    // program up. Opened to append, every write goes to the end of the log.
    FileHandle handle = FOpen2(path, FO_WRITE | FO_NOFOLLOW | FO_APPEND | FO_REGULAR);
    if (handle != F_ERROR) {
      // An empty log is a new one, whoever made it: its first record needs no line before it.
      // The open found its size with the log in hand; no one else writes it while we hold it.
      // A log whose end cannot be found is given up: a record written without knowing whether
      // one comes before it could run into that one.
#if defined(QUORLFIX_BENCH_WITHOUT_OPENED_SIZE)
      std::int64_t end = FSeek3(handle, 0, FS_END);
#else
      std::int64_t end = FOpenedSize(handle);
#endif
      if (end < 0) {
        FClose(handle);
        return Handle(F_ERROR);
      }
      if (end > 0) separator.PendFor(handle);
      return Handle(handle);
    }
    std::uint32_t error = LastFileError();
    if (error == kFileNotFound) {
      // Only a log that is not there is made: creating over one that exists would empty it.
      handle = FCreate2(path, FC_ARCHIVE | FC_NEW);
      if (handle != F_ERROR) return Handle(handle);
      error = LastFileError();
    }
    // Another writer holds the log, or has just made it: wait for our turn.
    bool busy = error == kSharingViolation || error == kLockViolation || error == kFileExists;
    if (busy && waited < ErrorLogBusyWait) {
      Sleep(error == kFileExists ? 0 : kPollInterval);
      continue;
    }
    if (error == kPathNotFound) ReportMissingDirectory();
    return Handle(F_ERROR);
  }
}
