// The operating system's side of the runtime's files: Windows file APIs on Windows, POSIX calls
// elsewhere, both reporting failures with Windows error numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "tb28run/files.h"

namespace tb::native {

// An open file of the operating system: a descriptor or a HANDLE.
using OsFile = std::intptr_t;
constexpr OsFile kNoFile = -1;

// The Windows error numbers of the public files header, by name here too.
using enum ::WinError;

// A mode FOpen knows: one access and one sharing mode, no bits but the link, append and
// regular-file flags, and appending only with writing. One rule for every host, so that a mode
// one host refuses with kInvalidParameter is refused on the other too, before the operating
// system is asked.
inline bool IsValidOpenMode(std::uint32_t mode) {
  std::uint32_t access = mode & 0x0F, share = mode & 0xF0;
  if (access > FO_READWRITE || share > FO_DENYNONE || (mode & ~(0xFFu | FO_NOFOLLOW | FO_APPEND | FO_REGULAR)))
    return false;
  return !((mode & FO_APPEND) && access == FO_READ);
}

// How a handle writes: at the end of the file or where it stands, and whether it writes alone.
// A handle writes alone when it shares nothing: no other handle can write the file while it is
// open, so the bytes after the start of its line are its own to take back.
struct Writes {
  bool append;
  bool alone;
};
inline bool SharesNothing(std::uint32_t mode) {
  std::uint32_t share = mode & 0xF0;
  return share == FO_COMPAT || share == FO_EXCLUSIVE;
}

// Each answers kNoFile / false on failure and leaves the error number in *error. Open tells the
// size of a file opened under FO_REGULAR, as it found it once it held the file, in *size
// (-1 otherwise).
OsFile Open(const char* path, std::uint32_t mode, std::uint32_t* error, std::int64_t* size);
OsFile Create(const char* path, std::uint32_t attribute, std::uint32_t* error);
bool Seek(OsFile file, std::int64_t offset, std::uint32_t origin, std::int64_t* position, std::uint32_t* error);
// Writes the text and CR LF after it in one system call where the host allows, so that no other
// writer's bytes come between them. A handle that writes alone leaves no part of a line that
// failed: what the line added to the file is cut off again (kDiskFull and the like still
// reported), and the handle stands where the line began. Bytes a failed line wrote over inside
// the file cannot be given back.
bool WriteLine(OsFile file, Writes how, const char* text, std::size_t length, std::uint32_t* error);
bool Close(OsFile file, std::uint32_t* error);
// Removes the file that was made at path when it is still that file and holds nothing, so that
// a file made for lines that were never written leaves no trace. Called while the handle is
// open and held alone, so that no one can have begun to use the file meanwhile.
void RemoveIfEmpty(OsFile file, const char* path);

// The process's current directory, without a trailing separator ("" when it cannot be read).
std::string CurrentDirectory();
constexpr char kSeparator =
#if defined(_WIN32)
    '\\';
#else
    '/';
#endif
bool IsSeparator(char c);

}  // namespace tb::native
