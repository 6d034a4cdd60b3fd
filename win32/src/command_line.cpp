// GetCommandLineA: the process's arguments (/proc/self/cmdline, read once) joined into one
// Windows command line that CommandLineToArgvW splits back into the same arguments.
#include <fcntl.h>
#include <unistd.h>
#include <win32_command_line.h>

#include <cerrno>
#include <string>
#include <vector>

#include "hooks.h"

namespace {

// Built once and never destroyed: the pointer handed out stays valid until the process ends.
std::string& OwnCommandLine() {
  static std::string& line = *new std::string([] {
    // Read with the plain calls: an ifstream's set-up alone costs more than the rest of it.
    std::string raw;
    int fd = open("/proc/self/cmdline", O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
      char buffer[4096];
      for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) != 0;) {
        if (n < 0) {
          if (errno == EINTR) continue;
          break;
        }
        raw.append(buffer, std::size_t(n));
      }
      close(fd);
    }
    std::vector<std::string> arguments;
    std::size_t start = 0;
    while (start < raw.size()) {
      std::size_t end = raw.find('\0', start);
      if (end == std::string::npos) end = raw.size();
      arguments.push_back(raw.substr(start, end - start));
      start = end + 1;
    }
    return win32::JoinCommandLine(arguments);
  }());
  return line;
}

}  // namespace

extern "C" {

// The pointer stays valid for the life of the process (the hook's text: until the hook changes).
LPSTR WINAPI GetCommandLineA(void) {
  {
    auto& hooks = win32::Hooks();
    if (hooks.commandLine) return hooks.commandLine->data();
  }
  return OwnCommandLine().data();
}

}  // extern "C"
