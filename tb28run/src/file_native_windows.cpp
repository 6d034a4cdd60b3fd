// Files on Windows: the file APIs themselves; their error numbers are the runtime's.
#if defined(_WIN32)

#include <windows.h>

#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "file_native.h"
#include "tb28run/files.h"
#include "testing_hooks.h"

namespace tb::native {
namespace {

// The system calls a test can make fail (testing.h), each in one place.
bool Injected(TbFileOp op) {
  int e;
  if (!FileOpFails(op, &e)) return false;
  SetLastError(DWORD(e));
  return true;
}

HANDLE CreateFileNamed(const char* path, DWORD desired, DWORD share, DWORD disposition, DWORD flags) {
  if (Injected(TB_FILE_OPEN)) return INVALID_HANDLE_VALUE;
  return CreateFileA(path, desired, share, nullptr, disposition, flags, nullptr);
}

BOOL MoveTo(HANDLE h, LARGE_INTEGER distance, LARGE_INTEGER* at, DWORD method) {
  return !Injected(TB_FILE_SEEK) && SetFilePointerEx(h, distance, at, method);
}

BOOL WriteSome(HANDLE h, const char* bytes, DWORD count, DWORD* written) {
  int e;
  bool half = false;
  if (FileOpFails(TB_FILE_WRITE, &e, &half)) {
    if (!half || count < 2) {
      *written = 0;
      SetLastError(DWORD(e));
      return FALSE;
    }
    count /= 2;
  }
  return WriteFile(h, bytes, count, written, nullptr);
}

// A close that fails has released the handle all the same.
BOOL CloseFile(HANDLE h) {
  bool fails = Injected(TB_FILE_CLOSE);
  DWORD e = GetLastError();
  BOOL closed = CloseHandle(h);
  if (!fails) return closed;
  SetLastError(e);
  return FALSE;
}

OsFile Fail(std::uint32_t* error, std::uint32_t code) {
  *error = code ? code : kGeneralFailure;
  return kNoFile;
}

OsFile Opened(HANDLE h, std::uint32_t* error) {
  if (h == INVALID_HANDLE_VALUE) return Fail(error, GetLastError());
  *error = kOk;
  return reinterpret_cast<OsFile>(h);
}

HANDLE H(OsFile file) { return reinterpret_cast<HANDLE>(file); }

// Opened without following a reparse point: a link found there is refused.
OsFile RefuseLink(HANDLE h, std::uint32_t* error) {
  if (h == INVALID_HANDLE_VALUE) return Fail(error, GetLastError());
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileInformationByHandle(h, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    CloseHandle(h);
    return Fail(error, kLinkRefused);
  }
  return Opened(h, error);
}

// A pipe, a console or a printer is no regular file.
OsFile RefuseOddFile(OsFile file, std::uint32_t* error) {
  if (file == kNoFile || GetFileType(H(file)) == FILE_TYPE_DISK) return file;
  CloseHandle(H(file));
  return Fail(error, kAccessDenied);
}

}  // namespace

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

OsFile Open(const char* path, std::uint32_t mode, std::uint32_t* error, std::int64_t* size) {
  *size = -1;
  std::uint32_t access = mode & 0x0F, share = mode & 0xF0;
  bool append = (mode & FO_APPEND) != 0;
  if (!IsValidOpenMode(mode)) return Fail(error, kInvalidParameter);
  // Without the right to write data where the handle points, Windows writes every block at the
  // end. A handle that writes alone keeps that right, so that it can cut back a line that failed,
  // and goes to the end before each line itself (see WriteLine).
  constexpr DWORD kAppendOnly = FILE_GENERIC_WRITE & ~FILE_WRITE_DATA;
  DWORD write = append && !SharesNothing(mode) ? kAppendOnly : GENERIC_WRITE;
  DWORD desired = access == FO_READ ? GENERIC_READ : access == FO_WRITE ? write : GENERIC_READ | write;
  DWORD shareMode = share == FO_DENYWRITE  ? FILE_SHARE_READ
                    : share == FO_DENYREAD ? FILE_SHARE_WRITE
                    : share == FO_DENYNONE ? FILE_SHARE_READ | FILE_SHARE_WRITE
                                           : 0;
  DWORD flags = FILE_ATTRIBUTE_NORMAL;
  if (mode & FO_NOFOLLOW) flags |= FILE_FLAG_OPEN_REPARSE_POINT;
  HANDLE h = CreateFileNamed(path, desired, shareMode, OPEN_EXISTING, flags);
  OsFile file = (mode & FO_NOFOLLOW) ? RefuseLink(h, error) : Opened(h, error);
  if (!(mode & FO_REGULAR)) return file;
  file = RefuseOddFile(file, error);
  LARGE_INTEGER bytes;
  if (file != kNoFile && GetFileSizeEx(H(file), &bytes)) *size = bytes.QuadPart;
  return file;
}

OsFile Create(const char* path, std::uint32_t attribute, std::uint32_t* error) {
  DWORD attributes = attribute & (FC_READONLY | FC_HIDDEN | FC_SYSTEM | FC_ARCHIVE);
  if (attributes == 0) attributes = FILE_ATTRIBUTE_NORMAL;
  DWORD disposition = (attribute & FC_NEW) ? CREATE_NEW : CREATE_ALWAYS;
  // A file made new may have to be taken back (RemoveIfEmpty), which needs the right to delete.
  DWORD desired = GENERIC_READ | GENERIC_WRITE | ((attribute & FC_NEW) ? DELETE : 0);
  HANDLE h = CreateFileNamed(path, desired, 0, disposition, attributes);
  if (h == INVALID_HANDLE_VALUE && desired != (GENERIC_READ | GENERIC_WRITE) && GetLastError() == ERROR_ACCESS_DENIED)
    h = CreateFileNamed(path, GENERIC_READ | GENERIC_WRITE, 0, disposition, attributes);
  if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ALREADY_EXISTS) return Fail(error, kFileExists);
  return Opened(h, error);
}

bool Seek(OsFile file, std::int64_t offset, std::uint32_t origin, std::int64_t* position, std::uint32_t* error) {
  DWORD method = origin == FS_SET ? FILE_BEGIN : origin == FS_RELATIVE ? FILE_CURRENT : FILE_END;
  if (origin > FS_END) {
    *error = kInvalidParameter;
    return false;
  }
  LARGE_INTEGER distance, at;
  distance.QuadPart = offset;
  if (!MoveTo(H(file), distance, &at, method)) {
    *error = GetLastError();
    if (!*error) *error = kGeneralFailure;
    return false;
  }
  *position = at.QuadPart;
  *error = kOk;
  return true;
}

namespace {

bool WriteAll(OsFile file, const char* bytes, std::size_t count, std::size_t* done, std::uint32_t* error) {
  while (count > 0) {
    DWORD chunk = count > 0x40000000u ? 0x40000000u : DWORD(count), written = 0;
    if (!WriteSome(H(file), bytes, chunk, &written)) {
      *error = GetLastError();
      if (!*error) *error = kGeneralFailure;
      return false;
    }
    if (written == 0) {
      *error = kDiskFull;
      return false;
    }
    bytes += written;
    count -= written;
    *done += written;
  }
  *error = kOk;
  return true;
}

LARGE_INTEGER At(std::int64_t offset) {
  LARGE_INTEGER at;
  at.QuadPart = offset;
  return at;
}

// Takes back what a failed line added to the file, and stands where the line began.
void Undo(OsFile file, std::int64_t start, std::int64_t size) {
  if (start < 0) return;
  MoveTo(H(file), At(start > size ? start : size), nullptr, FILE_BEGIN);
  SetEndOfFile(H(file));
  MoveTo(H(file), At(start), nullptr, FILE_BEGIN);
}

}  // namespace

bool WriteLine(OsFile file, Writes how, const char* text, std::size_t length, std::uint32_t* error) {
  // Where the line begins and how long the file was, for taking back a line that failed. A
  // handle that appends alone goes to the end itself; no one else writes there meanwhile.
  std::int64_t start = -1, end = -1;
  if (how.alone) {
    LARGE_INTEGER at, fileSize;
    if (how.append) {
      // This handle writes where it stands: not at the end, the line would write over the log.
      if (!MoveTo(H(file), At(0), &at, FILE_END)) {
        *error = GetLastError();
        if (!*error) *error = kGeneralFailure;
        return false;
      }
      start = end = at.QuadPart;
    } else if (MoveTo(H(file), At(0), &at, FILE_CURRENT) && GetFileSizeEx(H(file), &fileSize)) {
      start = at.QuadPart;
      end = fileSize.QuadPart;
    } else {
      // A line that could not be taken back is not begun.
      *error = GetLastError();
      if (!*error) *error = kGeneralFailure;
      return false;
    }
  }
  // A file handle writes no gathered buffers: the text and its line end are joined first, on the
  // stack for the usual line. A longer line of a handle that writes alone needs no copy: no one
  // can write between its two parts.
  static const char kLineEnd[2] = {'\r', '\n'};
  constexpr std::size_t kStackLine = 4096;
  std::size_t size = length + sizeof kLineEnd;
  char stackLine[kStackLine];
  std::unique_ptr<char[]> heapLine;
  const char* line = stackLine;
  bool joined = size <= kStackLine || !how.alone;
  if (joined) {
    char* into = stackLine;
    if (size > kStackLine) {
      heapLine.reset(new (std::nothrow) char[size]);
      if (!heapLine) {
        *error = kNotEnoughMemory;
        return false;
      }
      into = heapLine.get();
    }
    if (length) std::memcpy(into, text, length);
    std::memcpy(into + length, kLineEnd, sizeof kLineEnd);
    line = into;
  }
  std::size_t written = 0;
  bool whole = joined ? WriteAll(file, line, size, &written, error)
                      : WriteAll(file, text, length, &written, error) &&
                            WriteAll(file, kLineEnd, sizeof kLineEnd, &written, error);
  if (whole) return true;
  if (how.alone && written > 0) Undo(file, start, end);
  return false;
}

bool Close(OsFile file, std::uint32_t* error) {
  if (!CloseFile(H(file))) {
    *error = GetLastError();
    if (!*error) *error = kGeneralFailure;
    return false;
  }
  *error = kOk;
  return true;
}

void RemoveIfEmpty(OsFile file, const char* /*path*/) {
  // The handle deletes the file as it closes; it shares nothing, so no one else holds it.
  LARGE_INTEGER size;
  if (!GetFileSizeEx(H(file), &size) || size.QuadPart != 0) return;
  FILE_DISPOSITION_INFO dispose{};
  dispose.DeleteFile = TRUE;
  SetFileInformationByHandle(H(file), FileDispositionInfo, &dispose, sizeof dispose);
}

std::string CurrentDirectory() {
  DWORD n = GetCurrentDirectoryA(0, nullptr);
  if (n == 0) return std::string();
  std::string buffer(n, '\0');
  DWORD got = GetCurrentDirectoryA(n, buffer.data());
  if (got == 0 || got >= n) return std::string();
  buffer.resize(got);
  while (!buffer.empty() && IsSeparator(buffer.back())) buffer.pop_back();
  return buffer;
}

}  // namespace tb::native

#endif
