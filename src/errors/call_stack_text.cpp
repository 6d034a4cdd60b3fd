#include "errors/call_stack_text.h"

#include <string>
#include <string_view>

#include "runtime/call.h"
#include "runtime/frame_guard.h"
#include "runtime/tb28run.h"

std::uint32_t CallStackMaxEntries = 0;
std::uint32_t CallStackStopCount = 0;
std::uint32_t CallStackNumbered = 0;
std::uint32_t CallStackWithFile = 0;

namespace {

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::string TextOf(const Usual& value) { return value.type == T_STRING ? String2Psz(AsStr(value)) : ""; }

}  // namespace

Usual CallStackText(std::uint32_t startLevel) {
  static const FrameInfo kFrame{"CALLSTACKTEXT", "errors/call_stack_text.cpp"};
  FrameGuard frame(kFrame);
  const ActivationStack* das = GetDASPtr();
  std::uint32_t depth = das ? das->depth : 0;
  std::uint32_t budget = CallStackMaxEntries > 1 ? CallStackMaxEntries : 1;
  std::uint32_t stopCounter = CallStackStopCount;
  std::uint32_t level = startLevel;
  std::string text;

  while (depth - level > 0 && budget > 0) {
    --budget;
    if (CallStackNumbered) {
      if (depth < level) {
        text += "*** , ";
      } else {
        Usual number = CallKest<3>(StrZero, IntValue(std::int32_t(depth - level)), IntValue(3), IntValue(0));
        text += TextOf(number);
        text += ", ";
      }
    }
    Usual levelArg = IntValue(std::int32_t(level));
    if (CallStackWithFile) {
      text += TextOf(CallKest<declared::ProcFile>(ProcFile, levelArg));
      text += ", ";
    }
    Usual name = CallKest<declared::ProcName>(ProcName, levelArg);
    std::string routine = Empty(name) ? "*ProcName*" : TextOf(name);
    Usual line = CallKest<declared::ProcLine>(ProcLine, levelArg);
    text += routine;
    text += " (Line:";
    text += String2Psz(NTrim(line));
    text += ")\r\n";
    ++level;
    if (stopCounter > 0 && (EndsWith(routine, ":EXEC") || EndsWith(routine, ":DISPATCH"))) {
      if (--stopCounter == 0) break;
    }
  }
  if (text.empty()) text = "*EmptyCallStack*\r\n";
  return StringValue(Mem2String(text.data(), std::uint32_t(text.size())));
}
