#include "errors/error_log_separator.h"

namespace {

// One handle at most: the program opens the log, writes one record and closes it again.
FileHandle owedTo = F_ERROR;

}  // namespace

void OweErrorLogSeparator(FileHandle handle) { owedTo = handle; }

bool PayErrorLogSeparator(FileHandle handle) {
  if (handle == F_ERROR || handle != owedTo) return false;
  owedTo = F_ERROR;
  return true;
}
