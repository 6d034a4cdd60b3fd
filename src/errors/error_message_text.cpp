#include "errors/error_message_text.h"

#include <windows.h>
#include <string>

#include "runtime/call.h"
#include "runtime/frame_guard.h"

namespace {

constexpr const char* kNewLine = "\r\n";

std::string Text(TbStr s) { return std::string(String2Psz(s), SLen(s)); }
std::string Text(const Usual& value) { return value.type == T_STRING ? Text(AsStr(value)) : std::string(); }
std::string Number(const Usual& value) { return Text(NTrim(value)); }
std::string TypeName(const Usual& value) { return Text(TypeString(_P2DW(value))); }

// The note on an older runtime of the family loaded beside this one.
std::string OlderRuntimeNote() {
  std::string note;
  if (GetModuleHandleA("KMTBRT20.DLL")) {
    note = "\r\nPLEASE NOTE:\r\nThe old runtime KMTBRT20.DLL was found in memory\r\n";
  } else if (GetModuleHandleA("TB27RUN.DLL")) {
    note = "\r\nPLEASE NOTE:\r\nThe Tarrow Builder 2.7 runtime file TB27RUN.DLL was found in memory\r\n";
  }
  if (!note.empty()) note += "This may be the cause of the current runtime error !!\r\n\r\n";
  return note;
}

}  // namespace

Usual ErrorMessageText(Usual error) {
  static const FrameInfo kFrame{"ERRORMESSAGETEXT", "errors/error_message_text.cpp"};
  Usual args[1] = {error};
  FrameGuard frame(kFrame, CountWord(1, 1), args);
  TbObj o = _P2Object(error);
  auto get = [o](Sym ivar) { return IVarGet(o, ivar); };
  const Usual zero = IntValue(0);

  Usual severity = get(SYM_SEVERITY);
  Usual gencode = get(SYM_GENCODE);
  Usual description = get(SYM_DESCRIPTION);
  std::string text = _PEQ(severity, IntValue(1)) ? "WARNING : " : "Error Code: ";
  text += " ";
  if (_PDE(gencode, zero)) {
    text += Text(description);
  } else {
    text += Number(gencode) + " [ " + Text(Upper(ErrString(_P2DW(gencode)))) + " ]";
  }
  text += kNewLine;

  Usual subsystem = get(SYM_SUBSYSTEM);
  if (!_CPSE(_P2String(subsystem), Psz2String(""))) text += "Subsystem: " + Text(subsystem) + kNewLine;
  Usual subcode = get(SYM_SUBCODE);
  if (_PUE(subcode, zero)) {
    text += "Error Subcode: " + Number(subcode);
    Usual subcodeText = get(SYM_SUBCODETEXT);
    if (SLen(_P2String(subcodeText)) > 0) text += " (" + Text(subcodeText) + ")";
    text += kNewLine;
  }
  Usual operation = get(SYM_OPERATION);
  if (SLen(_P2String(operation)) > 0) text += "Operation: " + Text(operation) + kNewLine;
  Sym funcsym = _P2Symbol(get(SYM_FUNCSYM));
  if (funcsym != 0) text += std::string("Function: ") + Symbol2String(funcsym) + kNewLine;
  Usual filename = get(SYM_FILENAME);
  if (SLen(_P2String(filename)) > 0) {
    Usual first40 = CallKest<3>(SubStr, filename, IntValue(1), IntValue(40));
    text += "Filename: " + Text(first40) + kNewLine;
  }
  Usual arg = get(SYM_ARG);
  Usual argtype = get(SYM_ARGTYPE);
  bool hasArg = SLen(_P2String(arg)) > 0;
  if (hasArg) text += "Argument: " + Text(arg) + kNewLine;
  if (hasArg && _PUE(argtype, zero)) text += "Type: " + TypeName(argtype) + kNewLine;
  Usual argnum = get(SYM_ARGNUM);
  if (_PUE(argnum, zero)) text += "Argument Number: " + Number(argnum) + kNewLine;
  Usual argtypereq = get(SYM_ARGTYPEREQ);
  if (_PUE(argtypereq, zero) && _PUE(argtypereq, argtype)) text += "Requested type: " + TypeName(argtypereq) + kNewLine;
  if (SLen(_P2String(description)) > 0) text += "Description: " + Text(description) + kNewLine;
  text += OlderRuntimeNote();
  return StringValue(Mem2String(text.data(), std::uint32_t(text.size())));
}
