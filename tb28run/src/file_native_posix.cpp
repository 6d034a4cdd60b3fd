// Files on POSIX hosts. Windows sharing is modelled with whole-file flock locks: a handle that
// shares nothing holds an exclusive lock for as long as it is open, any other handle a shared
// one; a lock that cannot be had at once is a sharing violation, as on Windows.
#if !defined(_WIN32)

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>

#include "file_native.h"
#include "tb28run/files.h"

namespace tb::native {
namespace {

// ENOENT stands for both of Windows' "file not found" and "path not found"; which one depends
// on whether the directory the file would lie in exists.
std::uint32_t NotFound(const char* path) {
  std::string p(path);
  std::size_t slash = p.find_last_of('/');
  std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : p.substr(0, slash);
  struct stat st;
  return stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? kFileNotFound : kPathNotFound;
}

std::uint32_t FromErrno(int e, const char* path) {
  switch (e) {
    case ENOENT: return path ? NotFound(path) : kFileNotFound;
    case ENOTDIR: return kPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR: return kAccessDenied;
    case EROFS: return kWriteProtect;
    case EEXIST: return kFileExists;
    case EMFILE:
    case ENFILE: return kTooManyOpenFiles;
    case ENOSPC:
    case EDQUOT: return kDiskFull;
    case ENAMETOOLONG: return kNameTooLong;
    case ELOOP: return kLinkRefused;
    case EWOULDBLOCK:
    case ETXTBSY: return kSharingViolation;
    case EINVAL: return kInvalidParameter;
    case EBADF: return kInvalidHandle;
    default: return kGeneralFailure;
  }
}

OsFile Fail(std::uint32_t* error, std::uint32_t code, int fd = -1) {
  if (fd >= 0) close(fd);
  *error = code;
  return kNoFile;
}

int OpenRetrying(const char* path, int flags, mode_t perms = 0) {
  int fd;
  do fd = open(path, flags, perms);
  while (fd < 0 && errno == EINTR);
  return fd;
}

// Takes the lock without waiting; 0 or the error number.
std::uint32_t Lock(int fd, int kind) {
  while (flock(fd, kind | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    return FromErrno(errno, nullptr);
  }
  return kOk;
}

// Windows opens no directory as a file.
bool IsDirectory(int fd) {
  struct stat st;
  return fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
}

bool LinksUnsupported(int e) { return e == EPERM || e == ENOTSUP || e == EOPNOTSUPP || e == EXDEV || e == EMLINK; }

// A file that did not exist, already locked when it appears at its path: it is made under a
// name of its own, locked there, and linked to the path (a link never replaces what is there).
OsFile CreateNew(const char* path, mode_t perms, std::uint32_t* error) {
  static std::atomic<unsigned> counter{0};
  std::string temp = std::string(path) + ".tb28run-" + std::to_string(getpid()) + "-" + std::to_string(++counter);
  int flags = O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY;
  int fd = OpenRetrying(temp.c_str(), flags, perms);
  if (fd < 0) {
    if (errno == EEXIST || LinksUnsupported(errno)) {
      // The side name is taken or refused: make the file in place; the short moment before it
      // is locked may let another opener in, who then holds it and we report the sharing.
      fd = OpenRetrying(path, flags, perms);
      if (fd < 0) return Fail(error, FromErrno(errno, path));
      if (std::uint32_t e = Lock(fd, LOCK_EX)) return Fail(error, e, fd);
      *error = kOk;
      return fd;
    }
    return Fail(error, FromErrno(errno, path));
  }
  Lock(fd, LOCK_EX);  // no one else knows the side name yet
  int linked = link(temp.c_str(), path);
  int linkErrno = errno;
  unlink(temp.c_str());
  if (linked == 0) {
    *error = kOk;
    return fd;
  }
  close(fd);
  if (!LinksUnsupported(linkErrno)) return Fail(error, FromErrno(linkErrno, path));
  fd = OpenRetrying(path, flags, perms);
  if (fd < 0) return Fail(error, FromErrno(errno, path));
  if (std::uint32_t e = Lock(fd, LOCK_EX)) return Fail(error, e, fd);
  *error = kOk;
  return fd;
}

}  // namespace

bool IsSeparator(char c) { return c == '/'; }

OsFile Open(const char* path, std::uint32_t mode, std::uint32_t* error) {
  std::uint32_t access = mode & 0x0F, share = mode & 0xF0;
  bool append = (mode & FO_APPEND) != 0;
  if (!IsValidOpenMode(mode)) return Fail(error, kInvalidParameter);
  int flags = (access == FO_READ ? O_RDONLY : access == FO_WRITE ? O_WRONLY : O_RDWR) | O_CLOEXEC | O_NOCTTY;
  if (mode & FO_NOFOLLOW) flags |= O_NOFOLLOW;
  if (append) flags |= O_APPEND;
  int fd = OpenRetrying(path, flags);
  if (fd < 0) return Fail(error, FromErrno(errno, path));
  // Opened for writing, a directory has already failed with EISDIR; only reading needs the check.
  if (access == FO_READ && IsDirectory(fd)) return Fail(error, kAccessDenied, fd);
  bool sharesNothing = share == FO_COMPAT || share == FO_EXCLUSIVE;
  if (std::uint32_t e = Lock(fd, sharesNothing ? LOCK_EX : LOCK_SH)) return Fail(error, e, fd);
  *error = kOk;
  return fd;
}

OsFile Create(const char* path, std::uint32_t attribute, std::uint32_t* error) {
  mode_t perms = (attribute & FC_READONLY) ? 0444 : 0666;
  if (attribute & FC_NEW) return CreateNew(path, perms, error);
  int fd = OpenRetrying(path, O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, perms);
  if (fd < 0) return Fail(error, FromErrno(errno, path));
  if (IsDirectory(fd)) return Fail(error, kAccessDenied, fd);
  // Emptied only once it is ours: a file another handle holds keeps its contents.
  if (std::uint32_t e = Lock(fd, LOCK_EX)) return Fail(error, e, fd);
  if (ftruncate(fd, 0) != 0) return Fail(error, FromErrno(errno, path), fd);
  *error = kOk;
  return fd;
}

bool Seek(OsFile file, std::int64_t offset, std::uint32_t origin, std::int64_t* position, std::uint32_t* error) {
  int whence = origin == FS_SET ? SEEK_SET : origin == FS_RELATIVE ? SEEK_CUR : origin == FS_END ? SEEK_END : -1;
  if (whence < 0) {
    *error = kInvalidParameter;
    return false;
  }
  off_t at = lseek(int(file), off_t(offset), whence);
  if (at < 0) {
    *error = errno == EINVAL ? kNegativeSeek : FromErrno(errno, nullptr);
    return false;
  }
  *position = std::int64_t(at);
  *error = kOk;
  return true;
}

bool WriteLine(OsFile file, const char* text, std::size_t length, std::uint32_t* error) {
  // The usual line is joined to its line end on the stack and goes out in one plain write: the
  // kernel takes longer over a gathered write of two parts than the copy takes. A longer line is
  // gathered by the kernel from where it lies, not copied.
  static const char kLineEnd[2] = {'\r', '\n'};
  constexpr std::size_t kStackLine = 4096;
  char joined[kStackLine];
  iovec parts[2] = {{const_cast<char*>(text), length}, {const_cast<char*>(kLineEnd), sizeof kLineEnd}};
  int left = 2;
  if (length + sizeof kLineEnd <= kStackLine) {
    if (length) std::memcpy(joined, text, length);
    std::memcpy(joined + length, kLineEnd, sizeof kLineEnd);
    parts[0] = {joined, length + sizeof kLineEnd};
    left = 1;
  }
  iovec* next = parts;
  while (left > 0) {
    ssize_t n = left == 1 ? write(int(file), next->iov_base, next->iov_len) : writev(int(file), next, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      // A descriptor the runtime holds is valid: EBADF means it is not open for writing.
      *error = n < 0 && errno == EBADF ? kAccessDenied : n < 0 ? FromErrno(errno, nullptr) : kDiskFull;
      return false;
    }
    // A short write goes on from the first byte not written.
    std::size_t done = std::size_t(n);
    while (left > 0 && done >= next->iov_len) {
      done -= next->iov_len;
      ++next;
      --left;
    }
    if (left > 0) {
      next->iov_base = static_cast<char*>(next->iov_base) + done;
      next->iov_len -= done;
    }
  }
  *error = kOk;
  return true;
}

bool Close(OsFile file, std::uint32_t* error) {
  // After EINTR the descriptor is released all the same (Linux, BSD); trying again could close
  // a descriptor opened meanwhile.
  if (close(int(file)) != 0 && errno != EINTR) {
    *error = FromErrno(errno, nullptr);
    return false;
  }
  *error = kOk;
  return true;
}

std::string CurrentDirectory() {
  std::string buffer(256, '\0');
  for (;;) {
    if (getcwd(buffer.data(), buffer.size())) return std::string(buffer.c_str());
    if (errno != ERANGE || buffer.size() > (1u << 20)) return std::string();
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace tb::native

#endif
