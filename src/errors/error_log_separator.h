// The empty line that parts a record from the one before it. It goes out in the same write as
// the record it precedes, so that a record costs the file one write and no reader ever sees the
// separator without its record. Opening a log that already exists owes it; writing the record
// pays it.
#pragma once

#include "runtime/tb28run.h"

// The log just opened under this handle already existed: its next record starts with CR LF.
// Any separator still owed to an earlier handle is forgotten.
void OweErrorLogSeparator(FileHandle handle);
// Whether a separator is owed to this handle; asking settles the debt.
bool PayErrorLogSeparator(FileHandle handle);
