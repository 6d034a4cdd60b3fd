// The terminal dialog (win32_terminal_dialog.h): drawing, the prompt and the answer loop.
#include <win32_terminal_dialog.h>

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <string_view>

namespace win32 {
namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::size_t Width(const std::string& text, TextColumns columns) {
  if (columns == TextColumns::Bytes) return text.size();
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return !IsContinuationByte(c); }));
}

// The character that starts at `first`: one byte, or a code point with its continuation bytes.
std::string CharacterAt(const std::string& line, std::size_t first, TextColumns columns) {
  std::size_t end = first + 1;
  if (columns == TextColumns::CodePoints) {
    while (end < line.size() && IsContinuationByte(line[end])) ++end;
  }
  return line.substr(first, end - first);
}

// Holds SIGPIPE back while the dialog writes, so that a pipe nobody reads any more fails the
// write instead of ending the process. A SIGPIPE the writes raised is taken back before the mask
// is restored; one that was pending before stays pending. Nothing else about the process's
// signals changes.
class SigpipeHeld {
 public:
  SigpipeHeld() {
    sigemptyset(&pipe_);
    sigaddset(&pipe_, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe_, &saved_);
    wasPending_ = Pending();
  }
  ~SigpipeHeld() {
    int savedErrno = errno;
    if (!wasPending_ && Pending()) {
      const timespec now{0, 0};
      while (sigtimedwait(&pipe_, nullptr, &now) < 0 && errno == EINTR) {
      }
    }
    pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
    errno = savedErrno;
  }
  SigpipeHeld(const SigpipeHeld&) = delete;
  SigpipeHeld& operator=(const SigpipeHeld&) = delete;

 private:
  static bool Pending() {
    sigset_t pending;
    return sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1;
  }
  sigset_t pipe_;
  sigset_t saved_;
  bool wasPending_ = false;
};

// Writes all of the text to standard output, after whatever stdio still holds for it; false
// when that cannot be done (a closed pipe, a full disk): the dialog cannot be shown.
bool Write(std::string_view text) {
  SigpipeHeld held;
  if (std::fflush(stdout) != 0) return false;
  while (!text.empty()) {
    ssize_t n = write(STDOUT_FILENO, text.data(), text.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) {
        pollfd writable{STDOUT_FILENO, POLLOUT, 0};
        if (poll(&writable, 1, -1) >= 0 || errno == EINTR) continue;
      }
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// One line of standard input without its end, a byte at a time. Only the first kAnswerLineLimit
// bytes are kept: the rest of a longer line is read and dropped up to its end, so that a line
// that never ends costs no memory. False at end of input before any byte.
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
    if (line.size() < kAnswerLineLimit) line += c;
  }
}

// The length of the well-formed UTF-8 sequence that starts at `at`, or 0.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  std::size_t length = byte(at) >= 0xC2 && byte(at) <= 0xDF   ? 2
                       : byte(at) >= 0xE0 && byte(at) <= 0xEF ? 3
                       : byte(at) >= 0xF0 && byte(at) <= 0xF4 ? 4
                                                              : 0;
  if (length == 0 || at + length > text.size()) return 0;
  for (std::size_t i = at + 1; i < at + length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
  }
  return length;
}

std::string HexByte(unsigned char c) {
  const char* digits = "0123456789ABCDEF";
  return {'\\', 'x', digits[c >> 4], digits[c & 0xF]};
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::string ShownHarmlessly(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7F) {
      shown += '^';
      shown += static_cast<char>(c ^ 0x40);
    } else if (c < 0x80) {
      shown += static_cast<char>(c);
    } else if (std::size_t length = Utf8SequenceLength(text, i); length > 0) {
      auto next = static_cast<unsigned char>(text[i + 1]);
      if (c == 0xC2 && next <= 0x9F) {
        shown += HexByte(next);
      } else {
        shown.append(text, i, length);
      }
      i += length - 1;
    } else if (c <= 0x9F) {
      shown += HexByte(c);
    } else {
      shown += static_cast<char>(c);
    }
  }
  return shown;
}

std::vector<std::string> SplitRows(const std::string& text, FinalLineEnd finalLineEnd) {
  std::vector<std::string> rows(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      if (i + 1 < text.size() || finalLineEnd == FinalLineEnd::OpensRow) rows.emplace_back();
    } else {
      rows.back() += c;
    }
  }
  return rows;
}

std::string DrawTerminalDialog(const TerminalDialog& dialog) {
  std::vector<std::string> rows;
  for (const std::string& row : dialog.body) rows.push_back(ShownHarmlessly(row));
  rows.emplace_back();
  std::string buttons;
  for (std::size_t i = 0; i < dialog.buttons.size(); ++i) {
    if (i > 0) buttons += "  ";
    buttons += i == dialog.defaultIndex ? "[*" + dialog.buttons[i] + "*]" : "[" + dialog.buttons[i] + "]";
  }
  rows.push_back(buttons);

  std::string caption = ShownHarmlessly(dialog.caption);
  std::size_t width = Width(caption, dialog.columns);
  for (const std::string& row : rows) width = std::max(width, Width(row, dialog.columns));
  std::string frame = "+" + std::string(width + 2, '-') + "+\n";
  auto boxed = [&](const std::string& row) {
    return "| " + row + std::string(width - Width(row, dialog.columns), ' ') + " |\n";
  };
  std::string out = frame + boxed(caption) + frame;
  for (const std::string& row : rows) out += boxed(row);
  return out + frame;
}

std::string TerminalPrompt(const TerminalDialog& dialog) {
  std::string letters;
  for (const std::string& label : dialog.buttons) {
    if (!letters.empty()) letters += '/';
    letters += label[0];
  }
  return "Answer (" + letters + ", Enter = " + dialog.buttons[dialog.defaultIndex] + "): ";
}

std::optional<std::size_t> AskOnTerminal(const TerminalDialog& dialog) {
  // Any write that fails leaves the dialog unshown: nothing is picked, and no answer is read
  // after it.
  if (!Write(DrawTerminalDialog(dialog))) return std::nullopt;
  std::string prompt = TerminalPrompt(dialog);
  for (;;) {
    if (!Write(prompt)) return std::nullopt;
    std::string line;
    if (!ReadLine(line)) {
      Write("\n");
      return std::nullopt;
    }
    // A terminal echoes the answer itself; the echo shows a CR LF line end as the end it is.
    if (!isatty(STDIN_FILENO)) {
      std::string_view echoed = line;
      if (!echoed.empty() && echoed.back() == '\r') echoed.remove_suffix(1);
      if (!Write(ShownHarmlessly(echoed) + "\n")) return std::nullopt;
    }
    std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) return dialog.defaultIndex;
    char letter = AsciiUpper(line[first]);
    for (std::size_t i = 0; i < dialog.buttons.size(); ++i) {
      if (dialog.buttons[i][0] == letter) return i;
    }
    if (!Write(dialog.refusal + ShownHarmlessly(CharacterAt(line, first, dialog.columns)) + "\".\n")) {
      return std::nullopt;
    }
  }
}

}  // namespace win32
