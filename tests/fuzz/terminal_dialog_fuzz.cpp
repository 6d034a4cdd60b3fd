// The terminal dialog as a program meets it: MessageBoxA of any style and the runtime's error
// dialog of any options, with arbitrary bytes in caption and text, answered by arbitrary input on
// a real standard input (a pipe, or a file), drawn on a real standard output (a file, or a pipe
// nobody reads). The answer must be the one the input's first deciding line picks (its first
// non-blank character, either case, within the kept part of the line; a blank line the default;
// end of input nothing), every byte after that line must stay unread, the box must be a box
// whose rows are all as wide as its frame (in code points as a UTF-8 terminal shows them, or in
// bytes), and no control character may reach the terminal: none that a UTF-8 terminal decodes,
// and no C1 byte outside a well-formed sequence.
#include <fuzzer/FuzzedDataProvider.h>
#include <win32_terminal_dialog.h>
#include <win32_testing.h>
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_session.h"
#include "standard_streams.h"
#include "tb28run/dialog.h"
#include "tb28run/testing_dialog.h"

namespace {

using win32::TextColumns;

struct Button {
  const char* label;
  std::uint32_t answer;
};

// The dialog as the caller states it: what must be drawn and what each answer means.
struct Expectation {
  std::vector<Button> buttons;
  std::size_t defaultIndex = 0;
  std::uint32_t nothingPicked = 0;
  TextColumns columns = TextColumns::CodePoints;
  std::size_t bodyRows = 0;
};

// The buttons of each Windows message-box style; a style Windows has and this layer does not
// shows OK.
std::vector<Button> MessageBoxButtons(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{"OK", IDOK}, {"Cancel", IDCANCEL}};
    case MB_ABORTRETRYIGNORE: return {{"Abort", IDABORT}, {"Retry", IDRETRY}, {"Ignore", IDIGNORE}};
    case MB_YESNOCANCEL: return {{"Yes", IDYES}, {"No", IDNO}, {"Cancel", IDCANCEL}};
    case MB_YESNO: return {{"Yes", IDYES}, {"No", IDNO}};
    case MB_RETRYCANCEL: return {{"Retry", IDRETRY}, {"Cancel", IDCANCEL}};
    default: return {{"OK", IDOK}};
  }
}

// The rows a text makes: a row per line end (CR LF counting once) and one more, less the last
// when a final line end only ends the text.
std::size_t RowsOf(std::string_view text, bool finalLineEndOpensRow) {
  std::size_t ends = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    if (text[i] == '\r' || text[i] == '\n') ++ends;
  }
  bool endsWithLineEnd = !text.empty() && (text.back() == '\r' || text.back() == '\n');
  return ends + 1 - (endsWithLineEnd && !finalLineEndOpensRow ? 1 : 0);
}

struct Pick {
  std::optional<std::size_t> index;
  std::size_t consumed;  // bytes of input read
};

// What a person's input picks, line by line.
Pick Picked(std::string_view input, const Expectation& e) {
  std::size_t at = 0;
  while (at < input.size()) {
    std::size_t end = input.find('\n', at);
    std::size_t next = end == std::string_view::npos ? input.size() : end + 1;
    std::string_view kept = input.substr(at, std::min(next - at, win32::kAnswerLineLimit));
    if (end != std::string_view::npos && end - at < win32::kAnswerLineLimit) kept.remove_suffix(1);
    std::size_t first = kept.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {e.defaultIndex, next};
    char letter = kept[first] >= 'a' && kept[first] <= 'z' ? static_cast<char>(kept[first] - 'a' + 'A') : kept[first];
    for (std::size_t i = 0; i < e.buttons.size(); ++i) {
      if (e.buttons[i].label[0] == letter) return {i, next};
    }
    at = next;
  }
  return {std::nullopt, input.size()};
}

// Walks the text as a conforming UTF-8 decoder does: `onCharacter(code)` for each well-formed
// sequence (ASCII included), `onIllFormed(bytes)` for each maximal run of bytes that begins a
// sequence it cannot complete, and for each byte that begins none. A terminal shows one column
// for each.
template <typename OnCharacter, typename OnIllFormed>
void DecodeUtf8(std::string_view text, OnCharacter onCharacter, OnIllFormed onIllFormed) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t start = i;
    auto c = static_cast<unsigned char>(text[i++]);
    if (c < 0x80) {
      onCharacter(c);
      continue;
    }
    std::size_t more = 0;
    unsigned char low = 0x80, high = 0xBF;
    std::uint32_t code = 0;
    if (c >= 0xC2 && c <= 0xDF) {
      more = 1;
      code = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      more = 2;
      code = c & 0x0F;
      if (c == 0xE0) low = 0xA0;
      if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      more = 3;
      code = c & 0x07;
      if (c == 0xF0) low = 0x90;
      if (c == 0xF4) high = 0x8F;
    }
    bool complete = more > 0;
    for (; more > 0; --more, low = 0x80, high = 0xBF) {
      auto next = i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
      if (i >= text.size() || next < low || next > high) {
        complete = false;
        break;
      }
      code = code << 6 | (next & 0x3F);
      ++i;
    }
    if (complete) {
      onCharacter(code);
    } else {
      onIllFormed(text.substr(start, i - start));
    }
  }
}

std::size_t Columns(std::string_view row, TextColumns columns) {
  if (columns == TextColumns::Bytes) return row.size();
  std::size_t count = 0;
  DecodeUtf8(
      row, [&](std::uint32_t) { ++count; }, [&](std::string_view) { ++count; });
  return count;
}

bool IsControl(std::uint32_t c) { return (c < 0x20 && c != '\n') || (c >= 0x7F && c <= 0x9F); }

// No control character as a UTF-8 terminal reads the output (C1 controls encoded, too), and no
// byte a one-byte terminal takes for a C1 control outside a well-formed sequence.
void CheckNoControls(std::string_view out) {
  DecodeUtf8(
      out,
      [](std::uint32_t code) {
        if (IsControl(code)) {
          std::fprintf(stderr, "U+%04X\n", unsigned(code));
          fuzz::Finding("a control character reached the terminal");
        }
      },
      [](std::string_view bytes) {
        for (char b : bytes) {
          if (IsControl(static_cast<unsigned char>(b))) {
            std::fprintf(stderr, "byte 0x%02X\n", unsigned(static_cast<unsigned char>(b)));
            fuzz::Finding("a control byte outside a well-formed sequence reached the terminal");
          }
        }
      });
}

bool IsFrame(std::string_view line) {
  return line.size() >= 4 && line.front() == '+' && line.back() == '+' &&
         line.find_first_not_of('-', 1) == line.size() - 1;
}

// The box at the start of the output: frame, caption row, frame, the body rows, an empty row,
// the buttons, frame; every row as wide as the frame. Answers where the box ends.
std::size_t CheckBox(std::string_view out, const Expectation& e) {
  std::vector<std::string_view> lines;
  std::size_t at = 0;
  for (std::size_t frames = 0; frames < 3;) {
    std::size_t end = out.find('\n', at);
    if (end == std::string_view::npos) fuzz::Finding("the box ends before its last frame");
    lines.push_back(out.substr(at, end - at));
    at = end + 1;
    if (IsFrame(lines.back())) ++frames;
  }
  if (!IsFrame(lines[0]) || !IsFrame(lines[2]) || lines[0] != lines[2] || lines[0] != lines.back()) {
    fuzz::Finding("the box's frames are not where they belong, or differ");
  }
  if (lines.size() != e.bodyRows + 6) {
    std::fprintf(stderr, "%zu lines, %zu body rows expected\n", lines.size(), e.bodyRows);
    fuzz::Finding("the box has not a row for each line of the text");
  }
  const std::size_t width = lines[0].size();  // the frame is ASCII
  for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
    if (i == 2) continue;
    std::string_view row = lines[i];
    if (row.size() < 4 || row.substr(0, 2) != "| " || row.substr(row.size() - 2) != " |") {
      fuzz::Finding("a row of the box is not enclosed by its sides");
    }
    if (Columns(row, e.columns) != width) {
      std::fprintf(stderr, "row %zu: %zu columns, frame %zu\n", i, Columns(row, e.columns), width);
      fuzz::Finding("a row of the box is not as wide as its frame");
    }
  }
  if (lines[lines.size() - 3].find_first_not_of(' ', 1) != lines[lines.size() - 3].size() - 1) {
    fuzz::Finding("the row above the buttons is not empty");
  }
  std::string_view buttons = lines[lines.size() - 2];
  for (std::size_t i = 0; i < e.buttons.size(); ++i) {
    std::string shown = i == e.defaultIndex ? std::string("[*") + e.buttons[i].label + "*]"
                                            : std::string("[") + e.buttons[i].label + "]";
    if (buttons.find(shown) == std::string_view::npos) fuzz::Finding("a button is missing, or the wrong one starred");
  }
  return at;
}

// A C string from the input: texts reach the dialog through char pointers.
std::string CText(FuzzedDataProvider& in) {
  std::string text = in.ConsumeRandomLengthString();
  return text.substr(0, text.find('\0'));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // A desktop must never be asked: the terminal form is the one under test.
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  Win32TestReset();
  TbTestSetErrorDialogHook(nullptr);

  const bool messageBox = in.ConsumeBool();
  const auto inputKind = in.ConsumeBool() ? fuzz::InputKind::File : fuzz::InputKind::Pipe;
  const auto outputKind = in.ConsumeIntegralInRange(0, 15) == 0 ? fuzz::OutputKind::ClosedPipe : fuzz::OutputKind::File;
  Expectation e;
  UINT type = 0;
  std::uint32_t offers[3] = {};
  const bool nullCaption = in.ConsumeIntegralInRange(0, 15) == 0;
  const bool nullText = in.ConsumeIntegralInRange(0, 15) == 0;
  if (messageBox) {
    // Mostly the styles and flags Windows defines, now and then any word at all.
    type = in.ConsumeIntegralInRange(0, 7) == 0
               ? in.ConsumeIntegral<UINT>()
               : in.ConsumeIntegralInRange<UINT>(0, 6) | in.ConsumeIntegralInRange<UINT>(0, 4) << 4 |
                     in.ConsumeIntegralInRange<UINT>(0, 3) << 8;
    e.buttons = MessageBoxButtons(type);
    std::size_t wanted = (type & MB_DEFMASK) == MB_DEFBUTTON2 ? 1 : (type & MB_DEFMASK) == MB_DEFBUTTON3 ? 2 : 0;
    e.defaultIndex = wanted < e.buttons.size() ? wanted : 0;
  } else {
    offers[0] = in.ConsumeBool() ? ED_FIRST : 0;
    offers[1] = in.ConsumeBool() ? ED_RETRY : 0;
    offers[2] = in.ConsumeBool() ? in.ConsumeIntegral<std::uint32_t>() : in.ConsumeBool() ? ED_BREAK : ED_QUIT;
    if (offers[0]) e.buttons.push_back({"Default", ED_FIRST});
    if (offers[1]) e.buttons.push_back({"Retry", ED_RETRY});
    e.buttons.push_back({(offers[2] & 3) == 3 ? "Break" : "Quit", offers[2]});
    e.nothingPicked = offers[2];
    e.columns = TextColumns::Bytes;
  }
  const std::string caption = CText(in);
  const std::string text = CText(in);
  const std::string input = in.ConsumeRemainingBytesAsString();
  e.bodyRows = RowsOf(nullText ? "" : text, messageBox);

  std::uint32_t answer;
  std::string unread, out;
  {
    fuzz::StandardStreams streams(input, inputKind, outputKind);
    answer = messageBox ? static_cast<std::uint32_t>(MessageBoxA(nullptr, nullText ? nullptr : text.c_str(),
                                                                 nullCaption ? nullptr : caption.c_str(), type))
                        : ErrorMessageBox(nullText ? nullptr : text.c_str(), nullCaption ? nullptr : caption.c_str(),
                                          offers[0], offers[1], offers[2]);
    unread = streams.Unread();
    out = streams.Output();
  }

  if (outputKind == fuzz::OutputKind::ClosedPipe) {
    // Nothing could be shown: nothing is picked, and no answer is read.
    if (answer != e.nothingPicked) fuzz::Finding("a dialog that could not be shown picked something");
    if (unread != input) fuzz::Finding("a dialog that could not be shown read input");
    return 0;
  }
  Pick pick = Picked(input, e);
  std::uint32_t expected = pick.index ? e.buttons[*pick.index].answer : e.nothingPicked;
  if (answer != expected) {
    std::fprintf(stderr, "answered %u, the input picks %u\n", unsigned(answer), unsigned(expected));
    fuzz::Finding("the answer is not the one the input picks");
  }
  if (unread != std::string_view(input).substr(pick.consumed)) {
    std::fprintf(stderr, "%zu bytes unread, %zu expected\n", unread.size(), input.size() - pick.consumed);
    fuzz::Finding("the dialog read more or less than the answering line");
  }
  CheckNoControls(out);
  std::size_t boxEnd = CheckBox(out, e);
  if (out.compare(boxEnd, 8, "Answer (") != 0) fuzz::Finding("the prompt does not follow the box");
  if (out.back() != '\n') fuzz::Finding("the dialog left its last line open");
  return 0;
}
