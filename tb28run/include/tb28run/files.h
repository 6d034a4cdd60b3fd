// Files and directories. A file handle is a word of the runtime's own numbering (not an
// operating-system handle); every failure answers F_ERROR and leaves its Windows error number
// (WinError below) for FError, on every host.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tb28run/values.h"

// The Windows error numbers FError answers; kGeneralFailure stands for any fault with no better
// number, kLinkRefused for a symbolic link refused under FO_NOFOLLOW.
enum WinError : std::uint32_t {
  kOk = 0,
  kFileNotFound = 2,
  kPathNotFound = 3,
  kTooManyOpenFiles = 4,
  kAccessDenied = 5,
  kInvalidHandle = 6,
  kNotEnoughMemory = 8,
  kWriteProtect = 19,
  kGeneralFailure = 31,
  kSharingViolation = 32,
  kLockViolation = 33,
  kFileExists = 80,
  kInvalidParameter = 87,
  kDiskFull = 112,
  kNegativeSeek = 131,
  kNameTooLong = 206,
  kLinkRefused = 1921,
};

using FileHandle = std::uintptr_t;
constexpr FileHandle F_ERROR = 0xFFFFFFFFu;

// FOpen2 modes: one access value, one sharing value, and the flags.
enum : std::uint32_t {
  FO_READ = 0x00,
  FO_WRITE = 0x01,
  FO_READWRITE = 0x02,
  FO_COMPAT = 0x00,     // shares nothing, as FO_EXCLUSIVE
  FO_EXCLUSIVE = 0x10,  // shares nothing
  FO_DENYWRITE = 0x20,  // shares reading
  FO_DENYREAD = 0x30,   // shares writing
  FO_DENYNONE = 0x40,   // shares both
  // A symbolic link at the path is refused (error 1921) instead of being followed.
  FO_NOFOLLOW = 0x10000,
  // Every write lands at the end of the file, wherever the handle was moved: the file only grows,
  // even while another process appends to it too. Not with FO_READ.
  FO_APPEND = 0x20000,
  // Only a regular file is opened: a pipe, socket, device or directory at the path is refused at
  // once (error 5), without waiting for anyone at its other end.
  FO_REGULAR = 0x40000,
};

// FCreate2 attributes (the Windows file attributes; on POSIX hosts only FC_READONLY has an
// effect, as a file mode without write permission) and flags.
enum : std::uint32_t {
  FC_NORMAL = 0x00,
  FC_READONLY = 0x01,
  FC_HIDDEN = 0x02,
  FC_SYSTEM = 0x04,
  FC_ARCHIVE = 0x20,
  // Creates only a file that does not exist yet: a file or symbolic link already at the path
  // fails with error 80, and no one can open the new file before the creator holds it. A file
  // made so is made for what will be written to it: closed while still empty (nothing was
  // written, or every line failed), it is removed again.
  FC_NEW = 0x10000,
};

// FSeek3 origins.
enum : std::uint32_t { FS_SET = 0, FS_RELATIVE = 1, FS_END = 2 };

// Sharing is enforced between all handles of all processes that open through the runtime: a
// handle that shares nothing excludes every other handle on the file for as long as it is open
// (a second open fails with 32). On POSIX hosts a handle that shares anything coexists with
// every other sharing handle, whatever it shares.
TBRT FileHandle FOpen2(const char* path, std::uint32_t mode);
// Creates (or empties) the file and opens it for reading and writing, sharing nothing.
TBRT FileHandle FCreate2(const char* path, std::uint32_t attribute);
// Moves to offset from the origin; answers the new position, or -1 on failure.
TBRT std::int64_t FSeek3(FileHandle handle, std::int32_t offset, std::uint32_t origin);
// The size the file had when FOpen2 opened it with FO_REGULAR, as the open found it with the
// file in hand: through a handle that shares nothing, where its end lies until it writes. -1 for
// a handle opened otherwise, or none (error 6).
TBRT std::int64_t FOpenedSize(FileHandle handle);
// Handle, text, optional length: writes the text (its first length bytes when a length is
// given) followed by CR LF. Answers the number of bytes written, CR LF included, or 0 when the
// line could not be written whole. Through a handle that shares nothing, such a line leaves no
// bytes of its own in the file.
TBRT Usual FPutS(std::uint32_t countWord, Usual* args);
// Writes length bytes of text followed by CR LF, as FPutS; a null text writes CR LF alone.
// Answers the number of bytes written, or 0.
TBRT std::size_t FPutS3(FileHandle handle, const char* text, std::size_t length);
// Non-zero when the handle was open and closed cleanly.
TBRT std::int32_t FClose(FileHandle handle);
// The Windows error number of the last file operation (0 after a success). With a number, sets
// it and answers the previous one.
TBRT Usual FError(std::uint32_t countWord, Usual* args);
// Closes every file the runtime holds open. The runtime keeps no work areas besides its files.
TBRT void TBDBCloseAll(void);

// The directory files without a directory of their own are meant to lie in, ending with a path
// separator: the default directory when one is set, else the default drive and directory when
// that is set, else the process's current directory.
TBRT TbStr WorkDir(void);
// The default drive and directory, and the default directory. The setters answer the previous
// value; an empty or null text clears the setting.
TBRT TbStr GetDefault(void);
TBRT TbStr SetDefault(const char* path);
TBRT TbStr GetDefaultDir(void);
TBRT TbStr SetDefaultDir(const char* path);
