// The error log "TBERROR.LOG" in the runtime's working directory: one record for each handled
// error, records separated by an empty line.
#pragma once

#include <cstdint>

#include "runtime/tb28run.h"

// How long, in milliseconds, a writer waits for the log while another holds it open before it
// gives up on its record.
extern std::uint32_t ErrorLogBusyWait;

// The empty line that parts a record from the one before it. It goes out in the same write as
// the record it precedes, so that a record costs the file one write and no reader ever sees the
// separator without its record. Opening a log that already exists leaves the separator pending
// for the handle opened; the record written through that handle takes it. The caller holds one
// of these for as long as it has the log open and hands it to both the opening and the writing.
class ErrorLogSeparator {
 public:
  // The log just opened under this handle already existed (F_ERROR: it is new, or was not had):
  // its next record starts with CR LF. A separator pending for an earlier handle is dropped.
  void PendFor(FileHandle handle) { pendingFor_ = handle; }
  // Whether a record written through this handle starts with the separator; once asked, it is
  // no longer pending.
  bool Take(FileHandle handle) {
    if (handle == F_ERROR || handle != pendingFor_) return false;
    pendingFor_ = F_ERROR;
    return true;
  }

 private:
  FileHandle pendingFor_ = F_ERROR;
};

// The open log (a pointer value holding the file handle), opened to append: whatever is written
// goes to its end. The handle F_ERROR when the log cannot be had: it is held by another writer
// for too long, or it is no regular file. Only a log that does not exist is created; a missing
// directory is reported (_IError) and the default directory setting that led there is cleared.
// An empty log counts as new.
Usual ErrorLogOpen(ErrorLogSeparator& separator);
// Writes one record: the banner, runtime version, date and time, the application, the message
// text and the Error object's fields, every line ending with CR LF. In a log that ErrorLogOpen
// found already there (told by the separator both were given), the record starts with the empty
// line that parts it from the one before.
// The record goes whole or not at all: one that memory cannot hold, or the file cannot take
// (a full disk, a file-size limit), leaves nothing of itself, and nothing is reported.
void ErrorLogWrite(ErrorLogSeparator& separator, Usual handle, Usual text, Usual error);
// Appends one record to the log, as ErrorLogWrite writes it, and closes the log again; the text
// is the handler's message, a string. The record is put together before the log is opened, so
// that the log is held for no longer than the write and a record that memory cannot hold does
// not open it.
void ErrorLogAppend(Usual text, Usual error);
