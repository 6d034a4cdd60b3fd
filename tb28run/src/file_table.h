// The runtime's open files: handles are positions in one table, so that a handle is a small
// number on every host and a stale or foreign handle is recognised rather than used.
#pragma once

#include <cstdint>

#include "file_native.h"
#include "tb28run/files.h"

namespace tb {

struct OpenFile {
  native::OsFile os;
  bool writable;
};

// A handle for the file (the table takes it over), or F_ERROR when the table is full.
FileHandle AddFile(OpenFile file);
// The open file behind a handle, or null.
OpenFile* FindFile(FileHandle handle);
// Closes and forgets one file; false when the handle was not open or the close failed.
bool RemoveFile(FileHandle handle, std::uint32_t* error);
void CloseAllFiles();

// The error number FError reports.
std::uint32_t& LastFileError();

}  // namespace tb
