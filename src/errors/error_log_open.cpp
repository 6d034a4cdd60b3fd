#include <windows.h>

#include <string>

#include "errors/error_log.h"
#include "errors/error_log_separator.h"
#include "errors/text_builder.h"
#include "runtime/call.h"
#include "runtime/frame_guard.h"

std::uint32_t ErrorLogBusyWait = 5000;

namespace {

constexpr std::string_view kLogName = "TBERROR.LOG";
constexpr std::uint32_t kPollInterval = 10;  // milliseconds

// Windows error numbers as FError gives them.
constexpr std::uint32_t kFileNotFound = 2;
constexpr std::uint32_t kPathNotFound = 3;
constexpr std::uint32_t kSharingViolation = 32;
constexpr std::uint32_t kLockViolation = 33;
constexpr std::uint32_t kFileExists = 80;

std::string Copied(TbStr text) { return std::string(String2Psz(text), SLen(text)); }

std::uint32_t LastFileError() { return _P2DW(CallKest<declared::FError>(FError)); }

// The log's directory is missing: a default directory must have led there. The setting is
// cleared so that the next error finds the log again, and the fault is reported.
void ReportMissingDirectory() {
  static const FrameInfo kFrame{"ERRORLOGMISSINGDIR", "errors/error_log_open.cpp"};
  Usual locals[1];
  FrameGuard frame(kFrame, 0, nullptr, locals, 1);
  locals[0] = StringValue(GetDefaultDir());
  std::string report;
  if (SLen(AsStr(locals[0])) > 0) {
    report = "SetDefaultDir: " + Copied(AsStr(locals[0]));
    SetDefaultDir("");
  } else {
    report = "SetDefault: " + Copied(GetDefault());
    SetDefault("");
  }
  _IError(1, 0, report.c_str());
}

Usual Handle(FileHandle handle) { return PtrValue(reinterpret_cast<const void*>(handle)); }

}  // namespace

Usual ErrorLogOpen() {
  static const FrameInfo kFrame{"ERRORLOGOPEN", "errors/error_log_open.cpp"};
  FrameGuard frame(kFrame);
  TextBuilder<512> log;
  log.Add(WorkDir());
  log.Add(kLogName);
  log.Add('\0');
  const char* path = log.Data();
  OweErrorLogSeparator(F_ERROR);
  for (std::uint32_t waited = 0;; waited += kPollInterval) {
    // Not through a symbolic link: the log is no way to append to a file that lies elsewhere.
    // Opened to append, every write goes to the end of the log, so no seek is needed to get there.
    FileHandle handle = FOpen2(path, FO_WRITE | FO_NOFOLLOW | FO_APPEND);
    if (handle != F_ERROR) {
      OweErrorLogSeparator(handle);
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
