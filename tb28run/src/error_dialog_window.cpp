// The error dialog on Windows: a modal dialog built from an in-memory template, with the
// message in a read-only text field (it can be scrolled and copied) and one button for each
// offered option, the leftmost the default. Esc and the close box choose nothing.
#if defined(_WIN32)

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "error_dialog.h"

namespace tb {
namespace {

constexpr WORD kTextId = 100;
constexpr WORD kFirstButtonId = 101;
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;

// Sizes in dialog units.
constexpr short kMargin = 7, kButtonWidth = 50, kButtonHeight = 14, kButtonGap = 6;

class Template {
 public:
  void Dword(DWORD v) {
    Word(LOWORD(v));
    Word(HIWORD(v));
  }
  void Word(WORD v) {
    bytes_.push_back(BYTE(v & 0xFF));
    bytes_.push_back(BYTE(v >> 8));
  }
  void Text(const char* ascii) {
    while (*ascii) Word(WORD(static_cast<unsigned char>(*ascii++)));
    Word(0);
  }
  void Align() {
    while (bytes_.size() % 4) bytes_.push_back(0);
  }
  void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD cls, const char* title) {
    Align();
    Dword(style | WS_CHILD | WS_VISIBLE);
    Dword(0);
    for (short v : {x, y, cx, cy}) Word(WORD(v));
    Word(id);
    Word(0xFFFF);
    Word(cls);
    Text(title);
    Word(0);  // no creation data
  }
  const DLGTEMPLATE* Get() {
    Align();
    return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data());
  }

 private:
  std::vector<BYTE> bytes_;
};

struct Shown {
  const char* caption;
  std::string message;
};

INT_PTR CALLBACK DialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG: {
      auto* shown = reinterpret_cast<const Shown*>(lParam);
      SetWindowTextA(dialog, shown->caption);
      SetDlgItemTextA(dialog, kTextId, shown->message.c_str());
      SetFocus(GetDlgItem(dialog, kFirstButtonId));
      return FALSE;
    }
    case WM_COMMAND: {
      WORD id = LOWORD(wParam);
      if (id >= kFirstButtonId || id == IDCANCEL) {
        EndDialog(dialog, id);
        return TRUE;
      }
      return FALSE;
    }
    default: return FALSE;
  }
}

// The text field wants CR LF between lines.
std::string WithCrLf(const char* text) {
  std::string out;
  for (const char* p = text; *p; ++p) {
    if (*p == '\n' && (p == text || p[-1] != '\r')) out += '\r';
    out += *p;
  }
  return out;
}

}  // namespace

std::uint32_t ShowErrorDialog(const char* message, const char* caption, const std::vector<DialogOption>& options,
                              std::uint32_t otherwise) {
  Shown shown{caption, WithCrLf(message)};
  std::size_t lines = 1, longest = 0, current = 0;
  for (char c : shown.message) {
    if (c == '\n') {
      ++lines;
      current = 0;
    } else if (c != '\r') {
      longest = std::max(longest, ++current);
    }
  }
  short buttons = short(options.size());
  short textWidth = short(std::clamp<std::size_t>(longest * 4 + 16, 240, 460));
  short textHeight = short(std::clamp<std::size_t>(lines * 9 + 6, 40, 220));
  short width = short(textWidth + 2 * kMargin);
  short height = short(kMargin + textHeight + kMargin + kButtonHeight + kMargin);

  Template t;
  t.Dword(DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  t.Dword(0);
  t.Word(WORD(1 + buttons));
  for (short v : {short(0), short(0), width, height}) t.Word(WORD(v));
  t.Word(0);   // no menu
  t.Word(0);   // the standard dialog class
  t.Text("");  // the caption is set when the dialog opens
  t.Word(8);
  t.Text("MS Shell Dlg");
  t.Item(ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP, kMargin, kMargin, textWidth,
         textHeight, kTextId, kEditClass, "");
  short x = short(width - kMargin - buttons * kButtonWidth - (buttons - 1) * kButtonGap);
  short y = short(kMargin + textHeight + kMargin);
  for (short i = 0; i < buttons; ++i) {
    DWORD style = (i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP;
    t.Item(style, short(x + i * (kButtonWidth + kButtonGap)), y, kButtonWidth, kButtonHeight, WORD(kFirstButtonId + i),
           kButtonClass, options[i].label);
  }
  INT_PTR chosen = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t.Get(), GetActiveWindow(), &DialogProc,
                                           reinterpret_cast<LPARAM>(&shown));
  if (chosen >= kFirstButtonId && chosen < kFirstButtonId + buttons) return options[chosen - kFirstButtonId].answer;
  return otherwise;
}

}  // namespace tb

#endif
