// What an unlucky or hostile host does to files, for tests on POSIX hosts: a file-size limit, a
// small disk that fills up, a directory nested deeper than a path can name, a process that is
// gone.
#pragma once
#if !defined(_WIN32)

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

// The soft file-size limit lowered for as long as the object lives.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit lowered = saved_;
    lowered.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lowered);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
};

// A file system of a few pages mounted on a directory, which Fill() leaves without a free byte.
// Mounting needs root; Mounted() says whether it worked.
class SmallDisk {
 public:
  explicit SmallDisk(const std::filesystem::path& at) : at_(at) {
    std::filesystem::create_directories(at_);
    mounted_ = geteuid() == 0 && mount("tmpfs", at_.c_str(), "tmpfs", 0, "size=64k") == 0;
  }
  ~SmallDisk() {
    if (mounted_) umount2(at_.c_str(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool Mounted() const { return mounted_; }
  const std::filesystem::path& Path() const { return at_; }
  // Writes a filler until the disk is full; false if it never filled.
  bool Fill() const {
    int fd = open((at_ / "filler").c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    static const char kBlock[4096] = {};
    ssize_t n;
    while ((n = write(fd, kBlock, sizeof kBlock)) > 0) {
    }
    bool full = n < 0 && errno == ENOSPC;
    close(fd);
    return full;
  }

 private:
  std::filesystem::path at_;
  bool mounted_ = false;
};

// Directories nested under a base until the innermost one's path is longer than PATH_MAX: no
// single call can name it, and it is removed a level at a time.
class DeepDirectory {
 public:
  explicit DeepDirectory(const std::filesystem::path& base) : base_(base) {
    const std::string level(200, 'd');
    path_ = base_.string();
    int dir = open(base_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    while (dir >= 0 && path_.size() <= PATH_MAX + 200) {
      mkdirat(dir, level.c_str(), 0755);
      int next = openat(dir, level.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      close(dir);
      dir = next;
      path_ += "/" + level;
      ++levels_;
    }
    if (dir >= 0) close(dir);
  }
  ~DeepDirectory() {
    if (saved_ >= 0) {
      if (fchdir(saved_) != 0) chdir("/");
      close(saved_);
    }
    int dir = open(base_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
      RemoveTree(dir, std::string(200, 'd'));
      close(dir);
    }
  }
  DeepDirectory(const DeepDirectory&) = delete;
  DeepDirectory& operator=(const DeepDirectory&) = delete;

  // The innermost directory, without a separator at its end.
  const std::string& Path() const { return path_; }
  // Reads a file of the innermost directory, reached a level at a time; "" when it is missing.
  std::string Read(const std::string& name) const {
    int fd = OpenInside(name);
    if (fd < 0) return "";
    std::string bytes;
    char block[4096];
    for (ssize_t n; (n = read(fd, block, sizeof block)) > 0;) bytes.append(block, std::size_t(n));
    close(fd);
    return bytes;
  }
  // Makes the innermost directory the current one, until the object ends.
  bool Enter() {
    if (saved_ < 0) saved_ = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (chdir(base_.c_str()) != 0) return false;
    const std::string level(200, 'd');
    for (int i = 0; i < levels_; ++i)
      if (chdir(level.c_str()) != 0) return false;
    return true;
  }

 private:
  int OpenInside(const std::string& name) const {
    int dir = open(base_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const std::string level(200, 'd');
    for (int i = 0; i < levels_ && dir >= 0; ++i) {
      int next = openat(dir, level.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      close(dir);
      dir = next;
    }
    if (dir < 0) return -1;
    int fd = openat(dir, name.c_str(), O_RDONLY | O_CLOEXEC);
    close(dir);
    return fd;
  }
  static void RemoveTree(int parent, const std::string& name) {
    int dir = openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
      if (DIR* entries = fdopendir(dup(dir))) {
        while (dirent* e = readdir(entries)) {
          std::string child = e->d_name;
          if (child == "." || child == "..") continue;
          if (unlinkat(dir, child.c_str(), 0) != 0) RemoveTree(dir, child);
        }
        closedir(entries);
      }
      close(dir);
    }
    unlinkat(parent, name.c_str(), AT_REMOVEDIR);
  }

  std::filesystem::path base_;
  std::string path_;
  int levels_ = 0;
  int saved_ = -1;
};

// The number of a process that has ended and been reaped: no process has it now.
inline pid_t EndedProcess() {
  pid_t pid = fork();
  if (pid == 0) _exit(0);
  int status;
  waitpid(pid, &status, 0);
  return pid;
}

#endif
