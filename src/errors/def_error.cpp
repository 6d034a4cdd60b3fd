#include "errors/def_error.h"

#include <cstring>
#include <new>
#include <string_view>

#include "errors/call_stack_text.h"
#include "errors/error_class.h"
#include "errors/error_log.h"
#include "errors/error_message_text.h"
#include "errors/text_builder.h"
#include "runtime/call.h"
#include "runtime/frame_guard.h"

namespace {

// Generic codes the handler knows (the operating-system codes are the runtime's WinError).
constexpr std::int32_t kNoVariable = 14;
constexpr std::int32_t kOpenError = 21;
constexpr std::int32_t kWrongObject = 28;
constexpr std::int32_t kWarning = 1;
constexpr std::int32_t kSubstitutedPointer = 3;
// The exit code of a quit from an error with no generic code: a quit never reads as success.
// The same code a POSIX host ends with for a code too wide for its status.
constexpr std::int32_t kQuitWithoutCode = 255;

bool Is(Usual value, std::int32_t n) { return _PEQ(value, IntValue(n)) != 0; }

// A value that is not an Error becomes one: gen-code 28 naming DEFERROR and the value's text.
Usual Wrapped(Usual value, Usual& text) {
  ClearLastErrorRecord();
  text = StringValue(AsString(value));
  LastErrorRecord.gencode = kWrongObject;
  LastErrorRecord.severity = 2;
  LastErrorRecord.funcSym = SYM_DEFERROR;
  LastErrorRecord.arg = String2Psz(AsStr(text));
  LastErrorRecord.argNum = 1;
  LastErrorRecord.canDefault = 1;
  return ErrorBuild(&LastErrorRecord);
}

// The options of the dialog; a retry is not offered for a missing variable.
struct Options {
  std::uint32_t first, second, third;
};

Options OfferedOptions(TbObj error) {
  Options o{0, 0, CanBreak() ? ED_BREAK : ED_QUIT};
  if (_P2Logic(IVarGet(error, SYM_CANDEFAULT)) || _P2Logic(IVarGet(error, SYM_CANSUBSTITUTE))) o.first = ED_FIRST;
  if (_P2Logic(IVarGet(error, SYM_CANRETRY))) {
    if (Is(IVarGet(error, SYM_GENCODE), kNoVariable))
      IVarPut(error, SYM_CANRETRY, LogicValue(false));
    else
      o.second = ED_RETRY;
  }
  return o;
}

void Sound() {
  Tone(440, 1);
  Tone(494, 1);
  Tone(523, 1);
}

// A record that memory could not be found for is dropped.
void Log(Usual text, Usual error) {
  try {
    ErrorLogAppend(text, error);
  } catch (const std::bad_alloc&) {
  }
}

// Steps 5 to 7: the message, and the call stack after it, which is kept in the caller's slot.
// Where memory runs short on the way, the text ends where it ran out: the user still learns
// what it could hold.
Usual Composed(Usual error, Usual& stack) {
  TbObj e = _P2Object(error);
  MessageText text;
  try {
    AddErrorMessageText(text, error);
    if (IVarGetInfo(e, SYM_STACK)) {
      if (Empty(IVarGet(e, SYM_STACK))) IVarPut(e, SYM_STACK, CallStackText(1));
      stack = StringValue(AsString(IVarGet(e, SYM_STACK)));
    } else {
      stack = CallStackText(1);
    }
    if (!Empty(stack)) {
      text.Add("CallStack:\r\n");
      text.Add(AsStr(stack));
    }
  } catch (const std::bad_alloc&) {
  }
  return StringValue(text.String());
}

// The dialog, with the first line of the text alone should the whole not fit in memory, and
// as unanswered when not even that can be shown.
std::uint32_t Ask(const char* text, const char* caption, const Options& o) {
  try {
    return ErrorMessageBox(text, caption, o.first, o.second, o.third);
  } catch (const std::bad_alloc&) {
  }
  char line[200];
  std::string_view first = std::string_view(text).substr(0, std::string_view(text).find('\r'));
  std::size_t length = first.size() < sizeof line - 1 ? first.size() : sizeof line - 1;
  std::memcpy(line, first.data(), length);
  line[length] = '\0';
  try {
    return ErrorMessageBox(line, caption, o.first, o.second, o.third);
  } catch (const std::bad_alloc&) {
  }
  return o.third;
}

// Whatever it is handed goes to DefError as it is: a value that is no object is DefError's to
// wrap with its text, not an argument error of the block's own.
Usual DefaultErrorBlockBody(std::uint32_t countWord, Usual* args) {
  static const FrameInfo kFrame{"DEFAULTERRORBLOCK", "errors/def_error.cpp"};
  FrameGuard frame(kFrame, countWord, args);
  return DefError(args[0]);
}

}  // namespace

const CodeBlock DefaultErrorBlock{1, &DefaultErrorBlockBody};

Usual DefError(Usual error) {
  static const FrameInfo kFrame{"DEFERROR", "errors/def_error.cpp"};
  Usual args[1] = {error};
  enum { kError, kText, kStack, kWrapText, kLocals };
  Usual locals[kLocals];
  FrameGuard frame(kFrame, CountWord(1, 1), args, locals, kLocals);
  locals[kError] = error;
  if (!IsInstanceOf(locals[kError], SYM_ERROR)) locals[kError] = Wrapped(error, locals[kWrapText]);
  TbObj e = _P2Object(locals[kError]);
  auto get = [e](Sym field) { return IVarGet(e, field); };

  // A file held by another is a matter for the caller's NetErr(), not for the user.
  if (_P2Logic(get(SYM_CANDEFAULT)) && Is(get(SYM_GENCODE), kOpenError) &&
      (Is(get(SYM_OSCODE), kSharingViolation) || Is(get(SYM_OSCODE), kLockViolation))) {
    CallKest<declared::NetErr>(NetErr, LogicValue(true));
    return LogicValue(false);
  }

  const char* caption = Is(get(SYM_SEVERITY), kWarning) ? "WARNING" : "ERROR";
  if (Is(get(SYM_SUBSTITUTETYPE), T_PTR)) IVarPut(e, SYM_SEVERITY, IntValue(kSubstitutedPointer));

  locals[kText] = Composed(locals[kError], locals[kStack]);

  if (_P2Logic(CallKest<declared::SetBeep>(SetBeep))) Sound();
  Options options = OfferedOptions(e);
  if (_P2Logic(CallKest<declared::SetErrorLog>(SetErrorLog))) Log(locals[kText], locals[kError]);

  std::uint32_t answer = Ask(String2Psz(AsStr(locals[kText])), caption, options);
  if (answer == ED_FIRST) {
    if (_P2Logic(get(SYM_CANSUBSTITUTE))) return EmptyUsual(_P2DW(get(SYM_SUBSTITUTETYPE)));
    return LogicValue(false);
  }
  if (answer == ED_RETRY) return LogicValue(true);
  MathInit();
  if (CanBreak()) LabelJump(locals[kError]);
  Usual gencode = get(SYM_GENCODE);
  CallKest<declared::ErrorLevel>(ErrorLevel, Is(gencode, 0) ? IntValue(kQuitWithoutCode) : gencode);
  TBDBCloseAll();
  _Quit();
  return NilValue();
}
