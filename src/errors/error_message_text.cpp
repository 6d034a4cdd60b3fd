#include "errors/error_message_text.h"

#include <windows.h>
#include <string>

#include "runtime/call.h"
#include "runtime/frame_guard.h"

namespace {

constexpr const char* kNewLine = "\r\n";
// Room for the usual message without growing.
constexpr std::size_t kTextReserve = 512;

// The text is built in one buffer: a runtime string's bytes are appended the moment it is made,
// before anything else can allocate.
void Append(std::string& text, TbStr s) { text.append(String2Psz(s), SLen(s)); }
void AppendText(std::string& text, const Usual& value) {
  if (value.type == T_STRING) Append(text, AsStr(value));
}
bool HasText(const Usual& value) { return SLen(_P2String(value)) > 0; }

// The note on an older runtime of the family loaded beside this one.
void AppendOlderRuntimeNote(std::string& text) {
  if (GetModuleHandleA("KMTBRT20.DLL")) {
    text += "\r\nPLEASE NOTE:\r\nThe old runtime KMTBRT20.DLL was found in memory\r\n";
  } else if (GetModuleHandleA("TB27RUN.DLL")) {
    text += "\r\nPLEASE NOTE:\r\nThe Tarrow Builder 2.7 runtime file TB27RUN.DLL was found in memory\r\n";
  } else {
    return;
  }
  text += "This may be the cause of the current runtime error !!\r\n\r\n";
}

}  // namespace

Usual ErrorMessageText(Usual error) {
  static const FrameInfo kFrame{"ERRORMESSAGETEXT", "errors/error_message_text.cpp"};
  Usual args[1] = {error};
  FrameGuard frame(kFrame, CountWord(1, 1), args);
  TbObj o = _P2Object(error);
  auto get = [o](Sym ivar) { return IVarGet(o, ivar); };
  const Usual zero = IntValue(0);
  std::string text;
  text.reserve(kTextReserve);

  Usual severity = get(SYM_SEVERITY);
  Usual gencode = get(SYM_GENCODE);
  Usual description = get(SYM_DESCRIPTION);
  text += _PEQ(severity, IntValue(1)) ? "WARNING : " : "Error Code: ";
  text += ' ';
  if (_PDE(gencode, zero)) {
    AppendText(text, description);
  } else {
    Append(text, NTrim(gencode));
    text += " [ ";
    Append(text, Upper(ErrString(_P2DW(gencode))));
    text += " ]";
  }
  text += kNewLine;

  Usual subsystem = get(SYM_SUBSYSTEM);
  if (HasText(subsystem)) {
    text += "Subsystem: ";
    AppendText(text, subsystem);
    text += kNewLine;
  }
  Usual subcode = get(SYM_SUBCODE);
  if (_PUE(subcode, zero)) {
    text += "Error Subcode: ";
    Append(text, NTrim(subcode));
    Usual subcodeText = get(SYM_SUBCODETEXT);
    if (HasText(subcodeText)) {
      text += " (";
      AppendText(text, subcodeText);
      text += ')';
    }
    text += kNewLine;
  }
  Usual operation = get(SYM_OPERATION);
  if (HasText(operation)) {
    text += "Operation: ";
    AppendText(text, operation);
    text += kNewLine;
  }
  Sym funcsym = _P2Symbol(get(SYM_FUNCSYM));
  if (funcsym != 0) {
    text += "Function: ";
    text += Symbol2String(funcsym);
    text += kNewLine;
  }
  Usual filename = get(SYM_FILENAME);
  if (HasText(filename)) {
    text += "Filename: ";
    AppendText(text, CallKest<3>(SubStr, filename, IntValue(1), IntValue(40)));
    text += kNewLine;
  }
  Usual arg = get(SYM_ARG);
  Usual argtype = get(SYM_ARGTYPE);
  bool hasArg = HasText(arg);
  if (hasArg) {
    text += "Argument: ";
    AppendText(text, arg);
    text += kNewLine;
  }
  if (hasArg && _PUE(argtype, zero)) {
    text += "Type: ";
    Append(text, TypeString(_P2DW(argtype)));
    text += kNewLine;
  }
  Usual argnum = get(SYM_ARGNUM);
  if (_PUE(argnum, zero)) {
    text += "Argument Number: ";
    Append(text, NTrim(argnum));
    text += kNewLine;
  }
  Usual argtypereq = get(SYM_ARGTYPEREQ);
  if (_PUE(argtypereq, zero) && _PUE(argtypereq, argtype)) {
    text += "Requested type: ";
    Append(text, TypeString(_P2DW(argtypereq)));
    text += kNewLine;
  }
  if (HasText(description)) {
    text += "Description: ";
    AppendText(text, description);
    text += kNewLine;
  }
  AppendOlderRuntimeNote(text);
  return StringValue(Mem2String(text.data(), std::uint32_t(text.size())));
}
