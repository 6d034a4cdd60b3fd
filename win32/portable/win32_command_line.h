// A Windows command line and its arguments: how CommandLineToArgvW splits a line, and how an
// argument is quoted so that it splits back into itself. Every host builds this one part of the
// Windows layer: the runtime splits the line it is handed the same way everywhere, and the
// Windows API has no splitter for an ANSI line.
//
// The program name, first on the line, ends at the next quote when it starts with one, else at
// the first blank or tab; nothing in it is an escape. After it, blanks and tabs outside quotes
// separate arguments, and inside an argument:
//   - 2n backslashes and a quote give n backslashes, and the quote counts as below;
//     2n+1 backslashes and a quote give n backslashes and a literal quote;
//     backslashes before anything else are literal;
//   - quotes in a row count on from the state before them (1 inside quotes, 0 outside): each
//     third gives a literal quote and leaves the quotes, and a row that ends on a count of two
//     leaves them too. So `"` opens or closes, `""` inside quotes is a literal quote that also
//     closes them, `"""` outside is a literal quote.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace win32 {

// Calls onChar(c) for each character of an argument and onEnd() after each argument, the
// program name first. An empty line has no arguments at all.
template <typename OnChar, typename OnEnd>
void ScanCommandLine(std::string_view line, OnChar&& onChar, OnEnd&& onEnd) {
  auto blank = [&](std::size_t i) { return line[i] == ' ' || line[i] == '\t'; };
  if (line.empty()) return;
  std::size_t i = 0;
  if (line[0] == '"') {
    for (i = 1; i < line.size() && line[i] != '"'; ++i) onChar(line[i]);
    if (i < line.size()) ++i;
  } else {
    for (; i < line.size() && !blank(i); ++i) onChar(line[i]);
  }
  onEnd();
  for (;;) {
    while (i < line.size() && blank(i)) ++i;
    if (i == line.size()) return;
    int quotes = 0;
    while (i < line.size() && (quotes == 1 || !blank(i))) {
      if (line[i] == '\\') {
        std::size_t run = 0;
        for (; i < line.size() && line[i] == '\\'; ++i) ++run;
        bool beforeQuote = i < line.size() && line[i] == '"';
        for (std::size_t k = beforeQuote ? run / 2 : run; k > 0; --k) onChar('\\');
        if (beforeQuote && run % 2 == 1) {
          onChar('"');
          ++i;
        }
      } else if (line[i] == '"') {
        ++quotes;
        for (++i; i < line.size() && line[i] == '"'; ++i) {
          if (++quotes == 3) {
            onChar('"');
            quotes = 0;
          }
        }
        if (quotes == 2) quotes = 0;
      } else {
        onChar(line[i++]);
      }
    }
    onEnd();
  }
}

inline std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> arguments(1);
  ScanCommandLine(
      line, [&](char c) { arguments.back() += c; }, [&] { arguments.emplace_back(); });
  arguments.pop_back();
  return arguments;
}

// Whether an argument after the program name is exactly `wanted`. Allocates nothing.
inline bool HasArgument(std::string_view line, std::string_view wanted) {
  bool found = false;
  bool programName = true;
  std::size_t matched = 0;
  bool matching = true;
  ScanCommandLine(
      line,
      [&](char c) {
        matching = matching && matched < wanted.size() && wanted[matched] == c;
        ++matched;
      },
      [&] {
        if (!programName && matching && matched == wanted.size()) found = true;
        programName = false;
        matched = 0;
        matching = true;
      });
  return found;
}

// Appends the argument so that it splits back into itself (after the program name): enclosed in
// quotes when it is empty or holds a blank or a tab; a quote is escaped with a backslash, and the
// backslashes in front of a quote (or of the closing quote) are doubled. Other backslashes stay
// as they are.
inline void AppendQuotedArgument(std::string& line, std::string_view argument) {
  bool enclose = argument.empty() || argument.find_first_of(" \t") != std::string_view::npos;
  if (enclose) line += '"';
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    line.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    line += c;
  }
  line.append(enclose ? backslashes * 2 : backslashes, '\\');
  if (enclose) line += '"';
}

inline std::string JoinCommandLine(const std::vector<std::string>& arguments) {
  std::string line;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) line += ' ';
    AppendQuotedArgument(line, arguments[i]);
  }
  return line;
}

}  // namespace win32
