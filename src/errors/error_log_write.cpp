#include <string_view>

#include "errors/error_log.h"
#include "errors/error_log_hex.h"
#include "errors/text_builder.h"
#include "runtime/call.h"
#include "runtime/frame_guard.h"

namespace {

constexpr std::string_view kBanner = "***********************ERROR********************************";
constexpr std::string_view kMessageHeading = "Error message:";
constexpr std::string_view kMessageRule = "--------------";
constexpr std::string_view kObjectHeading = "Error Object created:";
constexpr std::string_view kRule = "--------------------";
static_assert(kBanner.size() == 60);
static_assert(kMessageRule.size() == kMessageHeading.size());
static_assert(kRule.size() == 20);

// An error standing for a processor or operating-system exception shows five of its fields as
// exception data.
constexpr std::uint32_t kExceptionSubcode = 5333;

enum class Rendering { Text, ErrorText, TypeName, Hex };

struct FieldLine {
  const char* label;
  Sym field;
  Rendering rendering;
  const char* exceptionLabel;  // null: the same line for exceptions
  Rendering exceptionRendering;
};

constexpr std::size_t kLabelWidth = 17;
constexpr bool SeventeenWide(const char* label) {
  return label == nullptr || std::string_view(label).size() == kLabelWidth;
}

constexpr FieldLine kFields[] = {
    {"SubSystem       :", SYM_SUBSYSTEM, Rendering::Text, nullptr, Rendering::Text},
    {"SubCode         :", SYM_SUBCODE, Rendering::Text, nullptr, Rendering::Text},
    {"GenCode         :", SYM_GENCODE, Rendering::ErrorText, nullptr, Rendering::ErrorText},
    {"OsCode          :", SYM_OSCODE, Rendering::Text, "ExceptionCode   :", Rendering::Hex},
    {"ArgType         :", SYM_ARGTYPE, Rendering::TypeName, "ExceptionFlags  :", Rendering::Hex},
    {"FuncPtr         :", SYM_FUNCPTR, Rendering::Text, "ExceptionAddress:", Rendering::Hex},
    {"ArgNum          :", SYM_ARGNUM, Rendering::Text, "ParamNumber     :", Rendering::Text},
    {"FuncSym         :", SYM_FUNCSYM, Rendering::Text, "ExceptionInfo   :", Rendering::Hex},
    {"Severity        :", SYM_SEVERITY, Rendering::Text, nullptr, Rendering::Text},
    {"CanDefault      :", SYM_CANDEFAULT, Rendering::Text, nullptr, Rendering::Text},
    {"CanRetry        :", SYM_CANRETRY, Rendering::Text, nullptr, Rendering::Text},
    {"CanSubstitute   :", SYM_CANSUBSTITUTE, Rendering::Text, nullptr, Rendering::Text},
    {"Operation       :", SYM_OPERATION, Rendering::Text, nullptr, Rendering::Text},
    {"Description     :", SYM_DESCRIPTION, Rendering::Text, nullptr, Rendering::Text},
    {"FileName        :", SYM_FILENAME, Rendering::Text, nullptr, Rendering::Text},
    {"Tries           :", SYM_TRIES, Rendering::Text, nullptr, Rendering::Text},
    {"FileHandle      :", SYM_FILEHANDLE, Rendering::Text, nullptr, Rendering::Text},
    {"SubCodeText     :", SYM_SUBCODETEXT, Rendering::Text, nullptr, Rendering::Text},
    {"Arg             :", SYM_ARG, Rendering::Text, nullptr, Rendering::Text},
    {"ArgTypeReq      :", SYM_ARGTYPEREQ, Rendering::TypeName, nullptr, Rendering::TypeName},
    {"MaxSize         :", SYM_MAXSIZE, Rendering::Text, nullptr, Rendering::Text},
    {"SubstituteType  :", SYM_SUBSTITUTETYPE, Rendering::TypeName, nullptr, Rendering::TypeName},
    {"CallFuncSym     :", SYM_CALLFUNCSYM, Rendering::Text, nullptr, Rendering::Text},
};
static_assert(std::size(kFields) == 23);
static_assert([] {
  for (const FieldLine& f : kFields)
    if (!SeventeenWide(f.label) || !SeventeenWide(f.exceptionLabel)) return false;
  return true;
}());

using Record = TextBuilder<4096>;

void AppendRendered(Record& record, Usual value, Rendering rendering) {
  switch (rendering) {
    case Rendering::ErrorText: return record.Add(ErrString(_P2DW(value)));
    case Rendering::TypeName: return record.Add(TypeString(_P2DW(value)));
    case Rendering::Hex: return record.Add(AsStr(ErrorLogHex(value)));
    case Rendering::Text: return record.Add(AsString(value));
  }
}

// What the record will hold, about: its fixed lines, the message and the texts of the fields;
// the few short texts that are made as it is written (numbers, names, the date) are not counted.
std::size_t ExpectedSize(Usual text, TbObj object) {
  constexpr std::size_t kFixedLines = 1024;
  std::size_t size = kFixedLines + (text.type == T_STRING ? SLen(AsStr(text)) : 0);
  for (const FieldLine& f : kFields) {
    Usual value = IVarGet(object, f.field);
    // A string rendered in hexadecimal takes three characters a byte.
    std::size_t perByte = f.exceptionRendering == Rendering::Hex ? 3 : 1;
    if (value.type == T_STRING) size += perByte * SLen(AsStr(value));
  }
  return size;
}

// The handle in the pointer value that ErrorLogOpen gives; F_ERROR for a value of another kind.
FileHandle PointedHandle(Usual handle) {
  return handle.type == T_PTR ? reinterpret_cast<FileHandle>(_P2Ptr(handle)) : F_ERROR;
}

}  // namespace

void ErrorLogWrite(ErrorLogSeparator& separator, Usual handle, Usual text, Usual error) {
  static const FrameInfo kFrame{"ERRORLOGWRITE", "errors/error_log_write.cpp"};
  Usual args[3] = {handle, text, error};
  Usual locals[2];
  FrameGuard frame(kFrame, CountWord(3, 3), args, locals, 2);
  // The record, and the empty line before it, go out in one write: one system call instead of
  // one a line, and a record that no failure between lines can leave half written (the log
  // takes back a write it could not take whole). A record memory could not be found for is
  // not written at all.
  Record record;
  auto flush = [&] {
    if (record.Empty() || record.Cut()) return;
    record.DropLast(2);  // the writer ends the last line
    if (FileHandle h = PointedHandle(handle); h != F_ERROR) {
      FPutS3(h, record.Data(), record.Size());
    } else if (record.Size() <= TB_MAX_STRING) {
      // A handle given in another form is FPutS's to judge, as for any line it is given. A
      // record longer than a string can be does not go this way at all.
      locals[0] = StringValue(record.String());
      CallKest<declared::FPutS>(FPutS, handle, locals[0]);
    }
    record.Clear();
  };
  TbObj object = _P2Object(error);
  record.Reserve(ExpectedSize(text, object));

  if (separator.Take(PointedHandle(handle))) record.Add("\r\n");
  record.AddLine(kBanner);
  record.Add(Version());
  record.Add("\r\n");
  record.Add(DToC(Today()));
  record.Add(' ');
  record.Add(Time());
  record.Add("\r\nApplication: ");
  record.Add(_ExecName());
  record.Add("\r\n \r\n");
  record.AddLine(kMessageHeading);
  record.AddLine(kMessageRule);
  if (text.type == T_STRING) {
    record.Add(AsStr(text));
    record.Add("\r\n");
  } else {
    // FPutS tells the error block about a text that is none, as for any other line it is given.
    flush();
    CallKest<declared::FPutS>(FPutS, handle, text);
  }
  record.AddLine(kObjectHeading);
  record.AddLine(kRule);
  bool exception = _PEQ(IVarGet(object, SYM_SUBCODE), IntValue(kExceptionSubcode)) != 0;
  for (const FieldLine& f : kFields) {
    bool asException = exception && f.exceptionLabel;
    locals[1] = IVarGet(object, f.field);
    record.Add(asException ? f.exceptionLabel : f.label, kLabelWidth);
    AppendRendered(record, locals[1], asException ? f.exceptionRendering : f.rendering);
    record.Add("\r\n");
  }
  record.AddLine(kRule);
  flush();
}
