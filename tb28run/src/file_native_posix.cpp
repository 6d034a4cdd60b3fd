// Files on POSIX hosts. Windows sharing is modelled with whole-file flock locks: a handle that
// shares nothing holds an exclusive lock for as long as it is open, any other handle a shared
// one; a lock that cannot be had at once is a sharing violation, as on Windows.
#if !defined(_WIN32)

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "file_native.h"
#include "file_place.h"
#include "tb28run/files.h"
#include "testing_hooks.h"

namespace tb::native {
namespace {

// The system calls a test can make fail (testing.h), each in one place.
bool Injected(TbFileOp op) {
  int e;
  if (!FileOpFails(op, &e)) return false;
  errno = e;
  return true;
}

int OpenAt(int dir, const char* name, int flags, mode_t perms) {
  return Injected(TB_FILE_OPEN) ? -1 : openat(dir, name, flags, perms);
}

off_t SeekTo(int fd, off_t offset, int whence) { return Injected(TB_FILE_SEEK) ? -1 : lseek(fd, offset, whence); }

ssize_t WriteParts(int fd, const iovec* parts, int count) {
  int e;
  bool half = false;
  if (FileOpFails(TB_FILE_WRITE, &e, &half)) {
    if (!half || parts[0].iov_len < 2) {
      errno = e;
      return -1;
    }
    return write(fd, parts[0].iov_base, parts[0].iov_len / 2);
  }
  return count == 1 ? write(fd, parts[0].iov_base, parts[0].iov_len) : writev(fd, parts, count);
}

// A close that fails has released the descriptor all the same.
int CloseFile(int fd) {
  int e;
  bool fails = FileOpFails(TB_FILE_CLOSE, &e);
  int result = close(fd);
  if (!fails) return result;
  errno = e;
  return -1;
}

std::uint32_t FromErrno(int e) {
  switch (e) {
    case ENOENT: return kFileNotFound;
    case ENOTDIR: return kPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR: return kAccessDenied;
    case EROFS: return kWriteProtect;
    case EEXIST: return kFileExists;
    case EMFILE:
    case ENFILE: return kTooManyOpenFiles;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return kDiskFull;
    case ENAMETOOLONG: return kNameTooLong;
    case ELOOP: return kLinkRefused;
    case EWOULDBLOCK:
    case ETXTBSY: return kSharingViolation;
    case EINVAL: return kInvalidParameter;
    case EBADF: return kInvalidHandle;
    default: return kGeneralFailure;
  }
}

// ENOENT stands for both of Windows' "file not found" and "path not found"; which one depends
// on whether the directory the file would lie in exists.
std::uint32_t PathError(int e, const Place& place) {
  if (e != ENOENT) return FromErrno(e);
  struct stat st;
  return fstatat(place.Dir(), place.Parent(), &st, 0) == 0 && S_ISDIR(st.st_mode) ? kFileNotFound : kPathNotFound;
}

OsFile Fail(std::uint32_t* error, std::uint32_t code, int fd = -1) {
  if (fd >= 0) close(fd);
  *error = code;
  return kNoFile;
}

int OpenRetrying(int dir, const char* name, int flags, mode_t perms = 0) {
  int fd;
  do fd = OpenAt(dir, name, flags, perms);
  while (fd < 0 && errno == EINTR);
  return fd;
}

// Takes the lock without waiting; 0 or the error number.
std::uint32_t Lock(int fd, int kind) {
  while (Injected(TB_FILE_LOCK) || flock(fd, kind | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    return FromErrno(errno);
  }
  return kOk;
}

// Windows opens no directory as a file.
bool IsDirectory(int fd) {
  struct stat st;
  return fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
}

bool LinksUnsupported(int e) { return e == EPERM || e == ENOTSUP || e == EOPNOTSUPP || e == EXDEV || e == EMLINK; }

constexpr int kNewFlags = O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY;
constexpr char kSideMark[] = ".tb28run-";

// A file made in place and locked after: the short moment before it is locked may let another
// opener in, who then holds it and we report the sharing.
OsFile CreateInPlace(const Place& place, mode_t perms, std::uint32_t* error) {
  int fd = OpenRetrying(place.Dir(), place.Name(), kNewFlags, perms);
  if (fd < 0) return Fail(error, PathError(errno, place));
  if (std::uint32_t e = Lock(fd, LOCK_EX)) return Fail(error, e, fd);
  *error = kOk;
  return fd;
}

#if defined(O_TMPFILE)
// A file without a name, locked, then linked to the path: it appears already held, and a
// creator that dies before the link leaves nothing behind. -1 with errno when the file system
// makes no such files or the link cannot be made (EEXIST: the path is taken).
int CreateAnonymous(const Place& place, mode_t perms) {
  int fd = OpenRetrying(place.Dir(), place.Parent(), O_TMPFILE | O_RDWR | O_CLOEXEC, perms);
  if (fd < 0) return -1;
  Lock(fd, LOCK_EX);  // no one else can reach the file yet
  char self[32];
  std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
  int linked = linkat(AT_FDCWD, self, place.Dir(), place.Name(), AT_SYMLINK_FOLLOW);
  if (linked != 0 && errno != EEXIST) linked = linkat(fd, "", place.Dir(), place.Name(), AT_EMPTY_PATH);
  if (linked == 0) return fd;
  int e = errno;
  close(fd);
  errno = e;
  return -1;
}
#endif

// The name a side file of this process gets: the path's name, the mark, the process and a count.
bool SideName(const Place& place, char* name, std::size_t room) {
  static unsigned counter = 0;
  int n = std::snprintf(name, room, "%s%s%ld-%u", place.Name(), kSideMark, long(getpid()), ++counter);
  return n > 0 && std::size_t(n) < room;
}

// A side file left by a creator that died between making it and removing it: its name is the
// path's name, the mark and the number of a process that no longer exists.
bool IsStaleSideFile(const char* entry, const char* base, std::size_t baseLength) {
  if (std::strncmp(entry, base, baseLength) != 0) return false;
  entry += baseLength;
  if (std::strncmp(entry, kSideMark, sizeof kSideMark - 1) != 0) return false;
  char* end;
  long pid = std::strtol(entry + sizeof kSideMark - 1, &end, 10);
  if (pid <= 0 || *end != '-' || pid == long(getpid())) return false;
  return kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

void RemoveStaleSideFiles(const Place& place) {
  int fd = OpenRetrying(place.Dir(), place.Parent(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  DIR* dir = fdopendir(fd);
  if (!dir) {
    close(fd);
    return;
  }
  const char* base = place.BaseName();
  std::size_t baseLength = std::strlen(base);
  while (dirent* entry = readdir(dir)) {
    if (!IsStaleSideFile(entry->d_name, base, baseLength)) continue;
    struct stat st;
    if (fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
      unlinkat(fd, entry->d_name, 0);
  }
  closedir(dir);
}

// A file that did not exist, already locked when it appears at its path. Made without a name
// and linked where the file system allows; otherwise made under a side name of its own, locked
// there and linked to the path (a link never replaces what is there). Side files that dead
// creators left behind are cleared first.
OsFile CreateNew(const Place& place, mode_t perms, std::uint32_t* error) {
  RemoveStaleSideFiles(place);
#if defined(O_TMPFILE)
  int made = CreateAnonymous(place, perms);
  if (made >= 0) {
    *error = kOk;
    return made;
  }
  if (errno == EEXIST) return Fail(error, kFileExists);
#endif
  char side[NAME_MAX + PATH_MAX];
  if (!SideName(place, side, sizeof side)) return CreateInPlace(place, perms, error);
  int fd = OpenRetrying(place.Dir(), side, kNewFlags, perms);
  if (fd < 0) {
    if (errno == EEXIST || errno == ENAMETOOLONG || LinksUnsupported(errno)) return CreateInPlace(place, perms, error);
    return Fail(error, PathError(errno, place));
  }
  Lock(fd, LOCK_EX);  // no one else knows the side name yet
  int linked = linkat(place.Dir(), side, place.Dir(), place.Name(), 0);
  int linkErrno = errno;
  unlinkat(place.Dir(), side, 0);
  if (linked == 0) {
    *error = kOk;
    return fd;
  }
  close(fd);
  if (!LinksUnsupported(linkErrno)) return Fail(error, PathError(linkErrno, place));
  return CreateInPlace(place, perms, error);
}

// A file larger than the process may write raises SIGXFSZ, which ends the process unless it is
// handled: ignored, the write fails with EFBIG instead and the failure is the caller's to
// handle. A handler the program set is left as it is.
void IgnoreFileSizeSignal() {
  static bool settled = false;
  if (settled) return;
  settled = true;
  struct sigaction now;
  if (sigaction(SIGXFSZ, nullptr, &now) == 0 && now.sa_handler == SIG_DFL && !(now.sa_flags & SA_SIGINFO))
    signal(SIGXFSZ, SIG_IGN);
}

// Takes back what a failed line added. A handle that appends found the line's start only once
// the kernel had put it at the end: it is the end now, less what was written. The file's size
// tells the end without the handle's position, which a failing file system may not give.
void Undo(int fd, const Writes& how, off_t start, off_t size, std::size_t written) {
  if (how.append) {
    struct stat st;
    off_t end = fstat(fd, &st) == 0 ? st.st_size : SeekTo(fd, 0, SEEK_CUR);
    if (end < 0 || std::size_t(end) < written) return;
    start = size = end - off_t(written);
  }
  if (start < 0) return;
  off_t keep = start > size ? start : size;
  while (ftruncate(fd, keep) != 0 && errno == EINTR) {
  }
  SeekTo(fd, start, SEEK_SET);
}

}  // namespace

bool IsSeparator(char c) { return c == '/'; }

OsFile Open(const char* path, std::uint32_t mode, std::uint32_t* error, std::int64_t* size) {
  *size = -1;
  std::uint32_t access = mode & 0x0F;
  bool append = (mode & FO_APPEND) != 0;
  bool regular = (mode & FO_REGULAR) != 0;
  if (!IsValidOpenMode(mode)) return Fail(error, kInvalidParameter);
  int flags = (access == FO_READ ? O_RDONLY : access == FO_WRITE ? O_WRONLY : O_RDWR) | O_CLOEXEC | O_NOCTTY;
  if (mode & FO_NOFOLLOW) flags |= O_NOFOLLOW;
  if (append) flags |= O_APPEND;
  // A pipe with no reader would hold the open until one comes: without waiting, it fails or
  // opens at once, and is then refused as no regular file.
  if (regular) flags |= O_NONBLOCK;
  Place place(path);
  if (place.Error()) return Fail(error, place.Error());
  int fd = OpenRetrying(place.Dir(), place.Name(), flags);
  if (fd < 0) return Fail(error, regular && errno == ENXIO ? kAccessDenied : PathError(errno, place));
  // Opened for writing, a directory has already failed with EISDIR; only reading needs the check.
  if (access == FO_READ && !regular && IsDirectory(fd)) return Fail(error, kAccessDenied, fd);
  if (std::uint32_t e = Lock(fd, SharesNothing(mode) ? LOCK_EX : LOCK_SH)) return Fail(error, e, fd);
  if (regular) {
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return Fail(error, kAccessDenied, fd);
    // Looked at once the lock is held: a file its maker took back while we waited is gone.
    if (st.st_nlink == 0) return Fail(error, kFileNotFound, fd);
    // An empty file with a second name: a creator that died between linking the file it made
    // and removing the side name it made it under.
    if (st.st_size == 0 && st.st_nlink > 1 && access != FO_READ) RemoveStaleSideFiles(place);
    // O_NONBLOCK is left on: reads and writes of a regular file do not heed it.
    *size = std::int64_t(st.st_size);
  }
  *error = kOk;
  return fd;
}

OsFile Create(const char* path, std::uint32_t attribute, std::uint32_t* error) {
  mode_t perms = (attribute & FC_READONLY) ? 0444 : 0666;
  Place place(path);
  if (place.Error()) return Fail(error, place.Error());
  if (attribute & FC_NEW) return CreateNew(place, perms, error);
  int fd = OpenRetrying(place.Dir(), place.Name(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, perms);
  if (fd < 0) return Fail(error, PathError(errno, place));
  if (IsDirectory(fd)) return Fail(error, kAccessDenied, fd);
  // Emptied only once it is ours: a file another handle holds keeps its contents.
  if (std::uint32_t e = Lock(fd, LOCK_EX)) return Fail(error, e, fd);
  if (ftruncate(fd, 0) != 0) return Fail(error, FromErrno(errno), fd);
  *error = kOk;
  return fd;
}

bool Seek(OsFile file, std::int64_t offset, std::uint32_t origin, std::int64_t* position, std::uint32_t* error) {
  int whence = origin == FS_SET ? SEEK_SET : origin == FS_RELATIVE ? SEEK_CUR : origin == FS_END ? SEEK_END : -1;
  if (whence < 0) {
    *error = kInvalidParameter;
    return false;
  }
  off_t at = SeekTo(int(file), off_t(offset), whence);
  if (at < 0) {
    *error = errno == EINVAL ? kNegativeSeek : FromErrno(errno);
    return false;
  }
  *position = std::int64_t(at);
  *error = kOk;
  return true;
}

bool WriteLine(OsFile file, Writes how, const char* text, std::size_t length, std::uint32_t* error) {
  IgnoreFileSizeSignal();
  int fd = int(file);
  // Where the line begins and how long the file was, to take back what a failed line added:
  // asked before the write by a handle that writes where it stands, which begins no line it
  // could not take back. One that appends learns it after a failure (see Undo), so that its
  // usual line costs nothing more.
  off_t start = -1, size = -1;
  if (how.alone && !how.append) {
    struct stat st;
    start = SeekTo(fd, 0, SEEK_CUR);
    if (start < 0 || fstat(fd, &st) != 0) {
      *error = FromErrno(errno);
      return false;
    }
    size = st.st_size;
  }
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
  std::size_t written = 0;
  while (left > 0) {
    ssize_t n = WriteParts(fd, next, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      // A descriptor the runtime holds is valid: EBADF means it is not open for writing.
      *error = n < 0 && errno == EBADF ? kAccessDenied : n < 0 ? FromErrno(errno) : kDiskFull;
      if (how.alone && written > 0) Undo(fd, how, start, size, written);
      return false;
    }
    // A short write goes on from the first byte not written.
    std::size_t done = std::size_t(n);
    written += done;
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
  if (CloseFile(int(file)) != 0 && errno != EINTR) {
    *error = FromErrno(errno);
    return false;
  }
  *error = kOk;
  return true;
}

void RemoveIfEmpty(OsFile file, const char* path) {
  struct stat open, named;
  if (fstat(int(file), &open) != 0 || !S_ISREG(open.st_mode) || open.st_size != 0 || open.st_nlink == 0) return;
  Place place(path);
  if (place.Error()) return;
  if (fstatat(place.Dir(), place.Name(), &named, AT_SYMLINK_NOFOLLOW) != 0) return;
  if (named.st_dev != open.st_dev || named.st_ino != open.st_ino) return;
  unlinkat(place.Dir(), place.Name(), 0);
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
