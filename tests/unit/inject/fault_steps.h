// Stepping a fault through a whole scenario: the run with the n-th event failing, for n = 1, 2,
// 3, … until a run meets no failure at all, so that every allocation or file operation on the
// way gets its turn to fail. Each run is a child process of its own, so that what a failure
// leaves behind (a lock, a half-made file, a leak) is seen in that run and nowhere else.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

struct ChildRun {
  int status = 0;
  std::string output;  // standard output and standard error, as they came

  bool Exited() const { return WIFEXITED(status); }
  int Code() const { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }
  // A report from AddressSanitizer, LeakSanitizer or UndefinedBehaviorSanitizer.
  bool SanitizerReport() const {
    return output.find("Sanitizer") != std::string::npos || output.find("runtime error:") != std::string::npos;
  }
  // The value of the child's last "name=value" line.
  std::string Value(const std::string& name) const {
    std::size_t at = output.rfind("\n" + name + "=");
    if (at == std::string::npos) return "<none>";
    at += name.size() + 2;
    return output.substr(at, output.find('\n', at) - at);
  }
  std::string Describe() const {
    std::string how = WIFEXITED(status) ? "status " + std::to_string(WEXITSTATUS(status))
                                        : "signal " + std::to_string(WTERMSIG(status));
    return how + ", output:\n" + output;
  }
};

// Runs the body in a child whose output is collected; a body that returns ends the child with
// exit(0), so that the leak check runs at its end as at any program's.
inline ChildRun RunInChild(const std::function<void()>& body) {
  ChildRun run;
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) {
    ADD_FAILURE() << "no pipe";
    return run;
  }
  std::fflush(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    close(pipeEnds[0]);
    dup2(pipeEnds[1], STDOUT_FILENO);
    dup2(pipeEnds[1], STDERR_FILENO);
    close(pipeEnds[1]);
    std::printf("\n");
    body();
    std::fflush(nullptr);
    std::exit(0);
  }
  close(pipeEnds[1]);
  char buffer[4096];
  for (;;) {
    ssize_t n = read(pipeEnds[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    run.output.append(buffer, std::size_t(n));
  }
  close(pipeEnds[0]);
  while (waitpid(pid, &run.status, 0) < 0 && errno == EINTR) {
  }
  return run;
}

// Prints "name=value" on a line of its own, for the parent to read back (ChildRun::Value).
inline void Report(const char* name, const std::string& value) {
  std::printf("\n%s=%s\n", name, value.c_str());
  std::fflush(stdout);
}

// The failures the running test has met so far.
inline int FailuresSoFar() {
  const ::testing::TestResult* result = ::testing::UnitTest::GetInstance()->current_test_info()->result();
  int failures = 0;
  for (int i = 0; i < result->total_part_count(); ++i) failures += result->GetTestPartResult(i).failed() ? 1 : 0;
  return failures;
}

// Steps n from 1 until the run with the n-th event failing (run(n)) meets no failure: the number
// of runs that met one. `injected` reads from a run whether it met one; `check` judges every run.
// A scenario that never stops failing is stopped at `limit`.
inline std::uint32_t StepFaults(std::uint32_t limit, const std::function<ChildRun(std::uint32_t)>& run,
                                const std::function<bool(const ChildRun&)>& injected,
                                const std::function<void(std::uint32_t, const ChildRun&)>& check) {
  for (std::uint32_t n = 1; n <= limit; ++n) {
    ChildRun r = run(n);
    SCOPED_TRACE("failing at " + std::to_string(n));
    int before = FailuresSoFar();
    check(n, r);
    if (FailuresSoFar() > before) return n;
    if (!injected(r)) return n - 1;
  }
  ADD_FAILURE() << "still failing after " << limit << " steps";
  return limit;
}
