// A path of any length, as a directory and a name to open in it. The kernel takes a path of
// fewer than PATH_MAX bytes in one call; a longer one (a working directory nested deeper than
// that) is walked a run of directories at a time, each opened from the one before, so that the
// file is reached as a path of that length would reach it.
#pragma once
#if !defined(_WIN32)

#include <fcntl.h>
#include <limits.h>

#include <cstdint>

namespace tb::native {

class Place {
 public:
  explicit Place(const char* path);
  ~Place();
  Place(const Place&) = delete;
  Place& operator=(const Place&) = delete;

  // The Windows error number when a directory on the way could not be entered, else 0.
  std::uint32_t Error() const { return error_; }
  // The directory (AT_FDCWD for a path short enough to give whole) and the name in it, which
  // may still hold separators.
  int Dir() const { return dir_; }
  const char* Name() const { return name_; }
  // The directory the named file lies in, relative to Dir(): "." when Name() has no separator.
  const char* Parent() const { return parent_; }
  // The last part of Name().
  const char* BaseName() const { return base_; }

 private:
  void Walk(const char* path, const char* last);

  int dir_ = AT_FDCWD;
  int owned_ = -1;
  const char* name_;
  const char* base_;
  std::uint32_t error_ = 0;
  char parent_[PATH_MAX];
};

}  // namespace tb::native

#endif
