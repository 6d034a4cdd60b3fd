#include "standard_streams.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "fuzz_session.h"

namespace fuzz {
namespace {

void Need(bool ok, const char* what) {
  if (!ok) {
    std::perror(what);
    Finding("the standard streams could not be replaced");
  }
}

void WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    Need(n > 0, "write");
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

std::string ReadAll(int fd) {
  std::string bytes;
  char buffer[65536];
  for (;;) {
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    Need(n >= 0, "read");
    if (n == 0) return bytes;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
}

int MemoryFile(const char* name) {
  int fd = memfd_create(name, MFD_CLOEXEC);
  Need(fd >= 0, "memfd_create");
  return fd;
}

// Puts `fd` in place of `target` and closes it.
void Replace(int target, int fd) {
  Need(dup2(fd, target) == target, "dup2");
  close(fd);
}

}  // namespace

StandardStreams::StandardStreams(std::string_view input, InputKind inputKind, OutputKind outputKind)
    : outputKind_(outputKind) {
  std::fflush(stdout);
  savedIn_ = dup(STDIN_FILENO);
  savedOut_ = dup(STDOUT_FILENO);
  Need(savedIn_ >= 0 && savedOut_ >= 0, "dup");

  if (inputKind == InputKind::Pipe) {
    int ends[2];
    Need(pipe2(ends, O_CLOEXEC) == 0, "pipe2");
    // The whole input must fit, or writing it would wait for a reader that runs later.
    if (input.size() > 65536) Need(fcntl(ends[1], F_SETPIPE_SZ, static_cast<int>(input.size())) >= 0, "F_SETPIPE_SZ");
    WriteAll(ends[1], input);
    close(ends[1]);
    Replace(STDIN_FILENO, ends[0]);
  } else {
    int fd = MemoryFile("fuzz-input");
    WriteAll(fd, input);
    Need(lseek(fd, 0, SEEK_SET) == 0, "lseek");
    Replace(STDIN_FILENO, fd);
  }

  if (outputKind == OutputKind::File) {
    output_ = MemoryFile("fuzz-output");
    Need(dup2(output_, STDOUT_FILENO) == STDOUT_FILENO, "dup2");
  } else {
    int ends[2];
    Need(pipe2(ends, O_CLOEXEC) == 0, "pipe2");
    close(ends[0]);
    Replace(STDOUT_FILENO, ends[1]);
  }
}

StandardStreams::~StandardStreams() {
  std::fflush(stdout);
  dup2(savedIn_, STDIN_FILENO);
  dup2(savedOut_, STDOUT_FILENO);
  close(savedIn_);
  close(savedOut_);
  if (output_ >= 0) close(output_);
}

std::string StandardStreams::Unread() { return ReadAll(STDIN_FILENO); }

std::string StandardStreams::Output() {
  if (outputKind_ == OutputKind::ClosedPipe) return std::string();
  Need(lseek(output_, 0, SEEK_SET) == 0, "lseek");
  return ReadAll(output_);
}

}  // namespace fuzz
