#include "errors/error_message_text.h"

#include <windows.h>

#include "runtime/call.h"
#include "runtime/frame_guard.h"

namespace {

constexpr std::string_view kNewLine = "\r\n";

void AppendText(MessageText& text, const Usual& value) {
  if (value.type == T_STRING) text.Add(AsStr(value));
}
bool HasText(const Usual& value) { return SLen(_P2String(value)) > 0; }
// The label and the value's text on a line of their own, when the value has any text.
void AppendTextLine(MessageText& text, std::string_view label, const Usual& value) {
  if (!HasText(value)) return;
  text.Add(label);
  AppendText(text, value);
  text.Add(kNewLine);
}

// The note on an older runtime of the family loaded beside this one.
void AppendOlderRuntimeNote(MessageText& text) {
  if (GetModuleHandleA("KMTBRT20.DLL")) {
    text.Add("\r\nPLEASE NOTE:\r\nThe old runtime KMTBRT20.DLL was found in memory\r\n");
  } else if (GetModuleHandleA("TB27RUN.DLL")) {
    text.Add("\r\nPLEASE NOTE:\r\nThe Tarrow Builder 2.7 runtime file TB27RUN.DLL was found in memory\r\n");
  } else {
    return;
  }
  text.Add("This may be the cause of the current runtime error !!\r\n\r\n");
}

// A text that holds long variables is given its room at once, so that it is not copied again
// and again as it grows: as much as those variables, and enough for the other lines and a call
// stack after them. Without a generic code the description stands twice.
void ReserveForLongTexts(MessageText& text, TbObj o, bool describedTwice) {
  constexpr std::size_t kLong = 0x10000, kOtherLines = 0x4000;
  std::size_t size = 0;
  for (Sym ivar : {SYM_SUBSYSTEM, SYM_SUBCODETEXT, SYM_OPERATION, SYM_ARG, SYM_DESCRIPTION}) {
    Usual value = IVarGet(o, ivar);
    if (value.type == T_STRING) size += SLen(AsStr(value)) * (ivar == SYM_DESCRIPTION && describedTwice ? 2 : 1);
  }
  if (size >= kLong) text.Reserve(text.Size() + size + kOtherLines);
}

}  // namespace

Usual ErrorMessageText(Usual error) {
  MessageText text;
  AddErrorMessageText(text, error);
  return StringValue(text.String());
}

void AddErrorMessageText(MessageText& text, Usual error) {
  static const FrameInfo kFrame{"ERRORMESSAGETEXT", "errors/error_message_text.cpp"};
  Usual args[1] = {error};
  FrameGuard frame(kFrame, CountWord(1, 1), args);
  TbObj o = _P2Object(error);
  auto get = [o](Sym ivar) { return IVarGet(o, ivar); };
  const Usual zero = IntValue(0);

  Usual severity = get(SYM_SEVERITY);
  Usual gencode = get(SYM_GENCODE);
  Usual description = get(SYM_DESCRIPTION);
  ReserveForLongTexts(text, o, _PDE(gencode, zero) != 0);
  text.Add(_PEQ(severity, IntValue(1)) ? "WARNING : " : "Error Code: ");
  text.Add(' ');
  if (_PDE(gencode, zero)) {
    AppendText(text, description);
  } else {
    text.Add(NTrim(gencode));
    text.Add(" [ ");
    text.Add(Upper(ErrString(_P2DW(gencode))));
    text.Add(" ]");
  }
  text.Add(kNewLine);

  AppendTextLine(text, "Subsystem: ", get(SYM_SUBSYSTEM));
  Usual subcode = get(SYM_SUBCODE);
  if (_PUE(subcode, zero)) {
    text.Add("Error Subcode: ");
    text.Add(NTrim(subcode));
    Usual subcodeText = get(SYM_SUBCODETEXT);
    if (HasText(subcodeText)) {
      text.Add(" (");
      AppendText(text, subcodeText);
      text.Add(')');
    }
    text.Add(kNewLine);
  }
  AppendTextLine(text, "Operation: ", get(SYM_OPERATION));
  Sym funcsym = _P2Symbol(get(SYM_FUNCSYM));
  if (funcsym != 0) {
    text.Add("Function: ");
    text.Add(Symbol2String(funcsym));
    text.Add(kNewLine);
  }
  Usual filename = get(SYM_FILENAME);
  if (HasText(filename)) {
    text.Add("Filename: ");
    AppendText(text, CallKest<3>(SubStr, filename, IntValue(1), IntValue(40)));
    text.Add(kNewLine);
  }
  Usual arg = get(SYM_ARG);
  Usual argtype = get(SYM_ARGTYPE);
  bool hasArg = HasText(arg);
  if (hasArg) {
    text.Add("Argument: ");
    AppendText(text, arg);
    text.Add(kNewLine);
  }
  if (hasArg && _PUE(argtype, zero)) {
    text.Add("Type: ");
    text.Add(TypeString(_P2DW(argtype)));
    text.Add(kNewLine);
  }
  Usual argnum = get(SYM_ARGNUM);
  if (_PUE(argnum, zero)) {
    text.Add("Argument Number: ");
    text.Add(NTrim(argnum));
    text.Add(kNewLine);
  }
  Usual argtypereq = get(SYM_ARGTYPEREQ);
  if (_PUE(argtypereq, zero) && _PUE(argtypereq, argtype)) {
    text.Add("Requested type: ");
    text.Add(TypeString(_P2DW(argtypereq)));
    text.Add(kNewLine);
  }
  AppendTextLine(text, "Description: ", description);
  AppendOlderRuntimeNote(text);
}
