#include "tb28run/frames.h"

#include <windows.h>
#include <cstring>

#include "code_word.h"
#include "heap.h"
#include "state.h"
#include "tb28run/symbols.h"

std::uint32_t uiLineNum_RT = 0;

namespace {

// The activation at a level, as the routine asking sees the stack: it does not count itself, so
// level 0 is its caller, the innermost activation it reports on.
Frame* FrameAt(std::uint32_t level) {
  const ActivationStack& das = tb::State().das;
  if (das.depth == 0 || level >= das.depth - 1) return nullptr;
  Frame* f = das.top->prev;
  for (std::uint32_t i = 0; i < level && f; ++i) f = f->prev;
  return f;
}

}  // namespace

TBRT void INCKidStackPtr(Frame* frame) {
  ActivationStack& das = tb::State().das;
  // A frame pushed twice would link the stack into a ring that no pop leaves.
  TB_ASSERT(frame != das.top);
  if (das.top) das.top->line = uiLineNum_RT;
  frame->prev = das.top;
  frame->line = 0;
  frame->result = NilValue();
  das.top = frame;
  ++das.depth;
  uiLineNum_RT = 0;
}

TBRT void DECKidStackPtr(Frame* frame) {
  ActivationStack& das = tb::State().das;
  // The depth counts the frames linked from the top: one is popped only while both say so.
  TB_ASSERT((das.depth == 0) == (das.top == nullptr));
  if (das.top == frame) {
    das.top = frame->prev;
    --das.depth;
    uiLineNum_RT = das.top ? das.top->line : 0;
    return;
  }
  // A frame that is no longer on the stack was removed with a frame further in.
  bool onStack = false;
  for (Frame* f = das.top; f; f = f->prev)
    if (f == frame) {
      onStack = true;
      break;
    }
  if (!onStack) return;
  while (das.top != frame) {
    TB_ASSERT(das.depth > 1);
    das.top = das.top->prev;
    --das.depth;
  }
  das.top = frame->prev;
  --das.depth;
  TB_ASSERT((das.depth == 0) == (das.top == nullptr));
  uiLineNum_RT = das.top ? das.top->line : 0;
}

TBRT void _GAS(Sym symbol, Sym nameSymbol) {
  if (Frame* f = tb::State().das.top) {
    f->symbol = symbol;
    f->nameSymbol = nameSymbol;
  }
}

TBRT void _PAS(Usual result) {
  if (Frame* f = tb::State().das.top) f->result = result;
}

TBRT const ActivationStack* GetDASPtr(void) {
  // The depth the asking routine sees: every activation but its own.
  static ActivationStack view;
  const ActivationStack& das = tb::State().das;
  view = das;
  view.depth = das.depth ? das.depth - 1 : 0;
  return &view;
}

namespace {

// The level a query names: a number, or 0.
std::uint32_t LevelArg(std::uint32_t countWord, const Usual* args) {
  if (PassedOf(countWord) == 0) return 0;
  if (HasType(args[0], T_INT)) return std::uint32_t(AsInt(args[0]));
  if (HasType(args[0], T_FLOAT)) return tb::CodeWordOf(tb::FloatOf(args[0]));
  return 0;
}

const char* NameAt(std::uint32_t level) {
  Frame* f = FrameAt(level);
  if (!f) return "";
  if (f->info && f->info->name) return f->info->name;
  return Symbol2String(f->nameSymbol ? f->nameSymbol : f->symbol);
}

Usual Text(const char* text) { return StringValue(tb::NewString(text, std::uint32_t(std::strlen(text)))); }

}  // namespace

TBRT Usual ProcName(std::uint32_t countWord, Usual* args) { return Text(NameAt(LevelArg(countWord, args))); }

TBRT Usual ProcLine(std::uint32_t countWord, Usual* args) {
  std::uint32_t level = LevelArg(countWord, args);
  Frame* f = FrameAt(level);
  if (!f) return IntValue(0);
  return tb::DwordValue(f->line);
}

TBRT Usual ProcFile(std::uint32_t countWord, Usual* args) {
  Frame* f = FrameAt(LevelArg(countWord, args));
  return Text(f && f->info && f->info->file ? f->info->file : "");
}

TBRT TbStr _ExecName(void) {
  char path[MAX_PATH + 1];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  // The path ends at its NUL: at n, or before it for a path cut to fit.
  const char* end = static_cast<const char*>(std::memchr(path, '\0', n));
  if (!end) end = path + n;
  // The file name is what follows the last separator.
  const char* name = end;
  while (name != path && name[-1] != '/' && name[-1] != '\\') --name;
  return tb::NewString(name, std::uint32_t(end - name));
}

TBRT std::uint32_t PCount(void) {
  Frame* f = tb::State().das.top;
  return f ? PassedOf(f->countWord) : 0;
}

TBRT Usual _GetFParam(std::uint32_t position) {
  Frame* f = tb::State().das.top;
  if (!f || position == 0 || position > PassedOf(f->countWord) || !f->args) return NilValue();
  return f->args[position - 1];
}
