// A child process held still by the test between two of its system calls, so that another
// process can act at a moment a race would otherwise give only by chance.
#pragma once

#if defined(__linux__)
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>

class TracedChild {
 public:
  // Forks a child that runs `body` and ends with its status; the child waits, stopped, until
  // the test lets it go on. Started() is false when the child cannot be traced here (an emulator,
  // a sandbox that forbids tracing).
  explicit TracedChild(const std::function<int()>& body) {
    pid_ = fork();
    if (pid_ == 0) {
      if (ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0) _exit(kUntraceable);
      raise(SIGSTOP);
      _exit(body());
    }
    int status = 0;
    started_ = pid_ > 0 && waitpid(pid_, &status, 0) == pid_ && WIFSTOPPED(status) &&
               ptrace(PTRACE_SETOPTIONS, pid_, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL) == 0;
    if (!started_ && pid_ > 0 && WIFEXITED(status)) pid_ = -1;
  }
  ~TracedChild() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  TracedChild(const TracedChild&) = delete;
  TracedChild& operator=(const TracedChild&) = delete;

  bool Started() const { return started_; }

  // Runs the child until it has just returned from system call `number` with the error `error`
  // (an errno value), and holds it there; false when it ended or failed to stop first.
  bool StopAfterFailing(long number, int error) {
    unsigned long last = ~0UL;
    int deliver = 0;
    for (;;) {
      if (ptrace(PTRACE_SYSCALL, pid_, nullptr, reinterpret_cast<void*>(long(deliver))) != 0) return false;
      deliver = 0;
      int status = 0;
      if (waitpid(pid_, &status, 0) != pid_) return false;
      if (!WIFSTOPPED(status)) {
        pid_ = -1;
        return false;
      }
      if (WSTOPSIG(status) != (SIGTRAP | 0x80)) {
        deliver = WSTOPSIG(status);  // a signal of the child's own goes on to it
        continue;
      }
      __ptrace_syscall_info info{};
      if (ptrace(PTRACE_GET_SYSCALL_INFO, pid_, reinterpret_cast<void*>(sizeof info), &info) <= 0) return false;
      if (info.op == PTRACE_SYSCALL_INFO_ENTRY) last = info.entry.nr;
      if (info.op == PTRACE_SYSCALL_INFO_EXIT && last == static_cast<unsigned long>(number) && info.exit.is_error &&
          info.exit.rval == -error)
        return true;
    }
  }

  // Lets the child go on untraced; its exit status, or -1 when it did not exit.
  int Finish() {
    if (pid_ <= 0 || ptrace(PTRACE_DETACH, pid_, nullptr, nullptr) != 0) return -1;
    int status = 0;
    pid_t pid = pid_;
    pid_ = -1;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
  }

 private:
  static constexpr int kUntraceable = 121;
  pid_t pid_ = -1;
  bool started_ = false;
};
#endif
