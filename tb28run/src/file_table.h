// The runtime's open files: handles are positions in one table, so that a handle is a small
// number on every host and a stale or foreign handle is recognised rather than used.
#pragma once

#include <cstdint>
#include <string>

#include "file_native.h"
#include "tb28run/files.h"

namespace tb {

struct OpenFile {
  native::OsFile os;
  bool writable;
  native::Writes writes;
  // Where the file was made new (FC_NEW), for taking it back should it be closed empty.
  std::string madeAt;
  // Its size when it was opened, where the open looked (FO_REGULAR); else -1.
  std::int64_t openedSize = -1;
};

// A handle for the file, which the table then takes over; F_ERROR, the file left as it was, when
// the table is full or memory is short.
FileHandle AddFile(OpenFile& file);
// The open file behind a handle, or null.
OpenFile* FindFile(FileHandle handle);
// Closes and forgets one file; false when the handle was not open or the close failed.
bool RemoveFile(FileHandle handle, std::uint32_t* error);
void CloseAllFiles();

// The error number FError reports.
std::uint32_t& LastFileError();

}  // namespace tb
