// File exports: opening, creating, positioning, writing lines and closing.
#include <cmath>
#include <new>
#include <string>

#include "arg_demand.h"
#include "code_word.h"
#include "file_table.h"
#include "heap.h"
#include "tb28run/files.h"

namespace {

std::uint32_t& LastError() { return tb::LastFileError(); }

FileHandle Keep(tb::OpenFile& file, std::uint32_t error) {
  if (file.os == tb::native::kNoFile) {
    LastError() = error;
    return F_ERROR;
  }
  FileHandle handle = tb::AddFile(file);
  if (handle == F_ERROR) {
    std::uint32_t ignored;
    if (!file.madeAt.empty()) tb::native::RemoveIfEmpty(file.os, file.madeAt.c_str());
    tb::native::Close(file.os, &ignored);
    LastError() = tb::native::kTooManyOpenFiles;
    return F_ERROR;
  }
  LastError() = tb::native::kOk;
  return handle;
}

bool WriteLine(FileHandle handle, const char* text, std::size_t length) {
  tb::OpenFile* file = tb::FindFile(handle);
  if (!file) {
    LastError() = tb::native::kInvalidHandle;
    return false;
  }
  if (!file->writable) {
    LastError() = tb::native::kAccessDenied;
    return false;
  }
  return tb::native::WriteLine(file->os, file->writes, text, length, &LastError());
}

bool IsHandle(const Usual& u) { return tb::IsNumber(u) || IsPointerValue(u); }
bool IsText(const Usual& u) { return HasType(u, T_STRING); }
bool IsCount(const Usual& u) { return IsNilValue(u) || tb::IsNumber(u); }

// A number that is no whole number from 0 to 2^32-1 names no file; F_ERROR stands for it.
FileHandle HandleOf(const Usual& u) {
  if (IsPointerValue(u)) return FileHandle(WordOf(u));
  double n = tb::NumberOf(u);
  if (!(n >= 0 && n < 4294967296.0) || std::trunc(n) != n) return F_ERROR;
  return FileHandle(n);
}

}  // namespace

TBRT FileHandle FOpen2(const char* path, std::uint32_t mode) {
  if (!path || !*path) {
    LastError() = tb::native::kFileNotFound;
    return F_ERROR;
  }
  std::uint32_t error = 0;
  std::int64_t size = -1;
  tb::OpenFile file{tb::native::Open(path, mode, &error, &size),
                    (mode & 0x0F) != FO_READ,
                    tb::native::Writes{(mode & FO_APPEND) != 0, tb::native::SharesNothing(mode)},
                    {},
                    size};
  return Keep(file, error);
}

TBRT FileHandle FCreate2(const char* path, std::uint32_t attribute) {
  if (!path || !*path) {
    LastError() = tb::native::kPathNotFound;
    return F_ERROR;
  }
  std::uint32_t error = 0;
  tb::OpenFile file{tb::native::Create(path, attribute, &error), true, tb::native::Writes{false, true}, {}, -1};
  if (file.os != tb::native::kNoFile && (attribute & FC_NEW)) {
    try {
      file.madeAt = path;
    } catch (const std::bad_alloc&) {
      // Without its path the file could not be taken back: it goes now, unused.
      tb::native::RemoveIfEmpty(file.os, path);
      tb::native::Close(file.os, &error);
      LastError() = tb::native::kNotEnoughMemory;
      return F_ERROR;
    }
  }
  return Keep(file, error);
}

TBRT std::int64_t FSeek3(FileHandle handle, std::int32_t offset, std::uint32_t origin) {
  tb::OpenFile* file = tb::FindFile(handle);
  if (!file) {
    LastError() = tb::native::kInvalidHandle;
    return -1;
  }
  std::int64_t position = -1;
  if (!tb::native::Seek(file->os, offset, origin, &position, &LastError())) return -1;
  return position;
}

TBRT std::int64_t FOpenedSize(FileHandle handle) {
  tb::OpenFile* file = tb::FindFile(handle);
  LastError() = file ? tb::native::kOk : tb::native::kInvalidHandle;
  return file ? file->openedSize : -1;
}

TBRT Usual FPutS(std::uint32_t countWord, Usual* args) {
  Usual handle = tb::ArgAt(countWord, args, 0);
  Usual text = tb::ArgAt(countWord, args, 1);
  Usual length = tb::ArgAt(countWord, args, 2);
  if (!tb::Demand("FPutS", handle, T_PTR, 1, IsHandle)) return IntValue(0);
  if (!tb::Demand("FPutS", text, T_STRING, 2, IsText)) return IntValue(0);
  if (!tb::Demand("FPutS", length, T_INT, 3, IsCount)) return IntValue(0);
  std::uint32_t n = tb::Length(AsStr(text));
  if (!IsNilValue(length)) {
    double wanted = tb::NumberOf(length);
    if (wanted < n) n = wanted > 0 ? std::uint32_t(wanted) : 0;
  }
  if (!WriteLine(HandleOf(handle), tb::Text(AsStr(text)), n)) return IntValue(0);
  return tb::DwordValue(n + 2);
}

TBRT std::size_t FPutS3(FileHandle handle, const char* text, std::size_t length) {
  if (!text) length = 0;
  return WriteLine(handle, text, length) ? length + 2 : 0;
}

TBRT std::int32_t FClose(FileHandle handle) { return tb::RemoveFile(handle, &LastError()) ? 1 : 0; }

TBRT Usual FError(std::uint32_t countWord, Usual* args) {
  std::uint32_t previous = LastError();
  Usual code = tb::ArgAt(countWord, args, 0);
  if (!IsNilValue(code) && tb::DemandNumber("FError", code, 1)) LastError() = tb::CodeWordOf(tb::NumberOf(code));
  return tb::DwordValue(previous);
}

TBRT void TBDBCloseAll(void) { tb::CloseAllFiles(); }
