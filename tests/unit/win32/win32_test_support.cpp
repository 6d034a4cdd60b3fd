
// The POSIX Windows layer and its test hooks exist only on POSIX hosts.
#ifndef _WIN32

#include "win32_test_support.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace win32_test {

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name) {
  if (const char* old = std::getenv(name)) old_ = old;
  if (value != nullptr) {
    setenv(name, value, 1);
  } else {
    unsetenv(name);
  }
}

ScopedEnv::~ScopedEnv() {
  if (old_) {
    setenv(name_.c_str(), old_->c_str(), 1);
  } else {
    unsetenv(name_.c_str());
  }
}

ChildResult RunInChild(const std::string& input, const std::function<int()>& body) {
  int in[2];
  int out[2];
  ChildResult result;
  if (pipe(in) != 0 || pipe(out) != 0) {
    ADD_FAILURE() << "pipe failed";
    return result;
  }
  std::fflush(nullptr);
  // The input is written by a process of its own: it may be larger than the pipe holds, and a
  // child that ends without reading it raises SIGPIPE in that writer, never in the test.
  pid_t writer = fork();
  if (writer < 0) {
    ADD_FAILURE() << "fork failed";
    return result;
  }
  if (writer == 0) {
    close(in[0]);
    close(out[0]);
    close(out[1]);
    std::size_t done = 0;
    while (done < input.size()) {
      ssize_t n = write(in[1], input.data() + done, input.size() - done);
      if (n <= 0) _exit(1);
      done += static_cast<std::size_t>(n);
    }
    _exit(0);
  }
  pid_t pid = fork();
  if (pid < 0) {
    ADD_FAILURE() << "fork failed";
    kill(writer, SIGKILL);
    waitpid(writer, nullptr, 0);
    return result;
  }
  if (pid == 0) {
    dup2(in[0], STDIN_FILENO);
    dup2(out[1], STDOUT_FILENO);
    close(in[0]);
    close(in[1]);
    close(out[0]);
    close(out[1]);
    int code = body();
    std::fflush(nullptr);
    _exit(code);
  }
  close(in[0]);
  close(out[1]);
  close(in[1]);
  char buffer[4096];
  ssize_t n;
  while ((n = read(out[0], buffer, sizeof buffer)) > 0) result.output.append(buffer, static_cast<std::size_t>(n));
  close(out[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  int writerStatus = 0;
  waitpid(writer, &writerStatus, 0);
  return result;
}

int StatusWithClosedOutput(const std::string& input, const std::function<int()>& body) {
  int in[2];
  int out[2];
  if (pipe(in) != 0 || pipe(out) != 0) return -1;
  close(out[0]);  // before the child exists, so that no reader is ever left
  // The input is written before the child exists too: a child that ends without reading it
  // leaves nobody to write to.
  ssize_t written = write(in[1], input.data(), input.size());
  EXPECT_EQ(written, static_cast<ssize_t>(input.size()));
  close(in[1]);
  std::fflush(nullptr);
  pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    dup2(in[0], STDIN_FILENO);
    dup2(out[1], STDOUT_FILENO);
    _exit(body());
  }
  close(in[0]);
  close(out[1]);
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

std::string ExecutablePath() {
  std::vector<char> buffer(4096);
  ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
  return n > 0 ? std::string(buffer.data(), static_cast<std::size_t>(n)) : std::string();
}

}  // namespace win32_test

#endif  // _WIN32
