// Helpers shared by the win32 unit tests.
#pragma once

// The POSIX Windows layer and its test hooks exist only on POSIX hosts.
#ifndef _WIN32

#include <win32_testing.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

namespace win32_test {

// Every test starts and ends with no hook in force.
class Win32Test : public ::testing::Test {
 protected:
  void SetUp() override { Win32TestReset(); }
  void TearDown() override { Win32TestReset(); }
};

// Sets (or, with null, removes) an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

struct ChildResult {
  int exitCode = -1;   // -1 when the child did not exit normally
  std::string output;  // everything it wrote to standard output
};

// Runs body in a forked child whose standard input reads `input` (then end of input) and whose
// standard output is captured; the child exits with body's result (and stdio flushed).
ChildResult RunInChild(const std::string& input, const std::function<int()>& body);

// Runs body in a forked child whose standard input reads `input` (small enough for a pipe) and
// whose standard output is a pipe that nobody reads; the child's wait status (-1 when it could
// not be run).
int StatusWithClosedOutput(const std::string& input, const std::function<int()>& body);

// The path /proc/self/exe names.
std::string ExecutablePath();

}  // namespace win32_test

#endif  // _WIN32
