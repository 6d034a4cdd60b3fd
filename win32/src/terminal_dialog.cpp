// The terminal dialog (win32_terminal_dialog.h): drawing, the prompt and the answer loop.
#include <win32_terminal_dialog.h>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

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

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

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
  std::vector<std::string> rows = dialog.body;
  rows.emplace_back();
  std::string buttons;
  for (std::size_t i = 0; i < dialog.buttons.size(); ++i) {
    if (i > 0) buttons += "  ";
    buttons += i == dialog.defaultIndex ? "[*" + dialog.buttons[i] + "*]" : "[" + dialog.buttons[i] + "]";
  }
  rows.push_back(buttons);

  std::size_t width = Width(dialog.caption, dialog.columns);
  for (const std::string& row : rows) width = std::max(width, Width(row, dialog.columns));
  std::string frame = "+" + std::string(width + 2, '-') + "+\n";
  auto boxed = [&](const std::string& row) {
    return "| " + row + std::string(width - Width(row, dialog.columns), ' ') + " |\n";
  };
  std::string out = frame + boxed(dialog.caption) + frame;
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
  Write(DrawTerminalDialog(dialog));
  std::string prompt = TerminalPrompt(dialog);
  for (;;) {
    Write(prompt);
    std::string line;
    if (!ReadLine(line)) {
      Write("\n");
      return std::nullopt;
    }
    // A terminal echoes the answer itself.
    if (!isatty(STDIN_FILENO)) Write(line + "\n");
    std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) return dialog.defaultIndex;
    char letter = AsciiUpper(line[first]);
    for (std::size_t i = 0; i < dialog.buttons.size(); ++i) {
      if (dialog.buttons[i][0] == letter) return i;
    }
    Write(dialog.refusal + CharacterAt(line, first, dialog.columns) + "\".\n");
  }
}

}  // namespace win32
