// GetCommandLineA: the process's arguments (/proc/self/cmdline, read once) joined into one
// Windows command line that CommandLineToArgvW splits back into the same arguments.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "hooks.h"

namespace {

// One argument, quoted the Windows way: enclosed in quotes when it is empty or holds a blank or
// a tab; a quote is escaped with a backslash, and the backslashes in front of a quote (or of
// the closing quote) are doubled. Other backslashes stay as they are.
void AppendQuoted(std::string& line, const std::string& argument) {
  bool enclose = argument.empty() || argument.find_first_of(" \t") != std::string::npos;
  if (enclose) line += '"';
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      line.append(backslashes * 2 + 1, '\\');
    } else {
      line.append(backslashes, '\\');
    }
    backslashes = 0;
    line += c;
  }
  line.append(enclose ? backslashes * 2 : backslashes, '\\');
  if (enclose) line += '"';
}

}  // namespace

std::string win32::JoinArguments(const std::vector<std::string>& arguments) {
  std::string line;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) line += ' ';
    AppendQuoted(line, arguments[i]);
  }
  return line;
}

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
    return win32::JoinArguments(arguments);
  }());
  return line;
}

}  // namespace

extern "C" {

// The pointer stays valid for the life of the process (the hook's text: until the hook changes).
LPSTR WINAPI GetCommandLineA(void) {
  {
    auto& hooks = win32::Hooks();
    std::lock_guard lock(hooks.mutex);
    if (hooks.commandLine) return hooks.commandLine->data();
  }
  return OwnCommandLine().data();
}

}  // extern "C"
