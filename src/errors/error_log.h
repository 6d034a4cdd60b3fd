// The error log "TBERROR.LOG" in the runtime's working directory: one record for each handled
// error, records separated by an empty line.
#pragma once

#include <cstdint>

#include "runtime/tb28run.h"

// How long, in milliseconds, a writer waits for the log while another holds it open before it
// gives up on its record.
extern std::uint32_t ErrorLogBusyWait;

// The open log (a pointer value holding the file handle), opened to append: whatever is written
// goes to its end. The handle F_ERROR when the log cannot be had: it is held by another writer
// for too long, or it is no regular file. Only a log that does not exist is created; a missing
// directory is reported (_IError) and the default directory setting that led there is cleared.
// An empty log counts as new.
Usual ErrorLogOpen();
// Writes one record: the banner, runtime version, date and time, the application, the message
// text and the Error object's fields, every line ending with CR LF. In a log that ErrorLogOpen
// found already there, the record starts with the empty line that parts it from the one before.
// The record goes whole or not at all: one that memory cannot hold, or the file cannot take
// (a full disk, a file-size limit), leaves nothing of itself, and nothing is reported.
void ErrorLogWrite(Usual handle, Usual text, Usual error);
