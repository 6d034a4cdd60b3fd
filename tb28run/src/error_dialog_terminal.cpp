// The error dialog on a terminal. The box is drawn on standard output:
//
//   +-------------------------------------------+
//   | ERROR                                     |   caption
//   +-------------------------------------------+
//   | Error Code:  1 [ ARGUMENT ERROR ]         |   the message, one row a line
//   |                                           |
//   | [*Default*]  [Retry]  [Quit]              |   the offered options, the default starred
//   +-------------------------------------------+
//   Answer (D/R/Q, Enter = Default):
//
// and one line of standard input answers it, read a byte at a time so that nothing past the
// line is taken from a pipe that later prompts share. The first non-blank character picks the
// option it begins (either case); an empty line picks the leftmost; any other letter is refused
// with a note and the prompt comes again. End of input picks nothing.
#if !defined(_WIN32)

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>

#include "error_dialog.h"

namespace tb {
namespace {

// Lines split at CR LF, LF or a lone CR; a line end at the very end opens no further line.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      if (i + 1 < text.size()) lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  return lines;
}

std::string Draw(const std::string& message, const std::string& caption, const std::vector<DialogOption>& options) {
  std::vector<std::string> body = SplitLines(message);
  body.emplace_back();
  std::string row;
  for (std::size_t i = 0; i < options.size(); ++i) {
    if (i > 0) row += "  ";
    row += i == 0 ? std::string("[*") + options[i].label + "*]" : std::string("[") + options[i].label + "]";
  }
  body.push_back(row);
  std::size_t width = caption.size();
  for (const std::string& line : body) width = std::max(width, line.size());
  std::string frame = "+" + std::string(width + 2, '-') + "+\n";
  auto boxed = [&](const std::string& line) { return "| " + line + std::string(width - line.size(), ' ') + " |\n"; };
  std::string out = frame + boxed(caption) + frame;
  for (const std::string& line : body) out += boxed(line);
  return out + frame;
}

std::string Prompt(const std::vector<DialogOption>& options) {
  std::string letters;
  for (const DialogOption& option : options) {
    if (!letters.empty()) letters += '/';
    letters += option.label[0];
  }
  return "Answer (" + letters + ", Enter = " + options.front().label + "): ";
}

void Write(const std::string& text) {
  std::fputs(text.c_str(), stdout);
  std::fflush(stdout);
}

// One line of standard input without its end; false at end of input before any byte.
bool ReadLine(std::string& line) {
  line.clear();
  bool any = false;
  for (;;) {
    char c;
    ssize_t n = read(STDIN_FILENO, &c, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return any;
    any = true;
    if (c == '\n') return true;
    line += c;
  }
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

}  // namespace

std::uint32_t ShowErrorDialog(const char* message, const char* caption, const std::vector<DialogOption>& options,
                              std::uint32_t otherwise) {
  Write(Draw(message, caption, options));
  std::string prompt = Prompt(options);
  for (;;) {
    Write(prompt);
    std::string line;
    if (!ReadLine(line)) {
      Write("\n");
      return otherwise;
    }
    // A terminal echoes the answer; input from elsewhere is echoed here, so that a transcript
    // reads the same.
    if (!isatty(STDIN_FILENO)) Write(line + "\n");
    std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) return options.front().answer;
    char letter = Upper(line[first]);
    for (const DialogOption& option : options)
      if (option.label[0] == letter) return option.answer;
    Write(std::string("No option starts with \"") + line[first] + "\".\n");
  }
}

}  // namespace tb

#endif
