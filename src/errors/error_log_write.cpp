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

constexpr const char* LogLabel(Sym field) {
#define LABEL(NAME, Kind, member, label, i386) \
  if (field == SYM_##NAME) return label;
  TB_ERROR_FIELDS(LABEL)
#undef LABEL
  return nullptr;
}

// A line's label: the name, padded to fill the column, then a colon.
constexpr std::size_t kLabelWidth = 17;
struct Label {
  char text[kLabelWidth];
};
constexpr Label Padded(const char* name) {
  if (!name || std::string_view(name).size() >= kLabelWidth) throw "a label that is none or too wide";
  Label label{};
  std::string_view text(name);
  for (std::size_t i = 0; i + 1 < kLabelWidth; ++i) label.text[i] = i < text.size() ? text[i] : ' ';
  label.text[kLabelWidth - 1] = ':';
  return label;
}

struct FieldLine {
  Sym field;
  Rendering rendering;
  const char* exceptionName = nullptr;  // null: the same line for exceptions
  Rendering exceptionRendering = rendering;
  Label label = Padded(LogLabel(field));
  Label exceptionLabel = Padded(exceptionName ? exceptionName : LogLabel(field));
};

// The lines in the log's order: those an exception shows its data on come first.
constexpr FieldLine kFields[] = {
    {SYM_SUBSYSTEM, Rendering::Text},
    {SYM_SUBCODE, Rendering::Text},
    {SYM_GENCODE, Rendering::ErrorText},
    {SYM_OSCODE, Rendering::Text, "ExceptionCode", Rendering::Hex},
    {SYM_ARGTYPE, Rendering::TypeName, "ExceptionFlags", Rendering::Hex},
    {SYM_FUNCPTR, Rendering::Text, "ExceptionAddress", Rendering::Hex},
    {SYM_ARGNUM, Rendering::Text, "ParamNumber"},
    {SYM_FUNCSYM, Rendering::Text, "ExceptionInfo", Rendering::Hex},
    {SYM_SEVERITY, Rendering::Text},
    {SYM_CANDEFAULT, Rendering::Text},
    {SYM_CANRETRY, Rendering::Text},
    {SYM_CANSUBSTITUTE, Rendering::Text},
    {SYM_OPERATION, Rendering::Text},
    {SYM_DESCRIPTION, Rendering::Text},
    {SYM_FILENAME, Rendering::Text},
    {SYM_TRIES, Rendering::Text},
    {SYM_FILEHANDLE, Rendering::Text},
    {SYM_SUBCODETEXT, Rendering::Text},
    {SYM_ARG, Rendering::Text},
    {SYM_ARGTYPEREQ, Rendering::TypeName},
    {SYM_MAXSIZE, Rendering::Text},
    {SYM_SUBSTITUTETYPE, Rendering::TypeName},
    {SYM_CALLFUNCSYM, Rendering::Text},
};

constexpr int LinesOf(Sym field) {
  int lines = 0;
  for (const FieldLine& f : kFields) lines += f.field == field;
  return lines;
}
#define ONE_LINE(NAME, Kind, member, label, i386) \
  static_assert(LinesOf(SYM_##NAME) == (label ? 1 : 0), #NAME ": a variable with a label has one line");
TB_ERROR_FIELDS(ONE_LINE)
#undef ONE_LINE

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

// Every record is put together with the empty line that parts it from the one before; a record
// that is the log's first leaves that line out when it is written.
constexpr std::string_view kSeparator = "\r\n";

// Writes what the record holds, from `from` on (past the separator when the log wants none) and
// less the last line's end, which the writer adds. A record memory could not hold whole is not
// written at all, and takes nothing more. `keep` holds the runtime string a handle given in
// another form is written from.
void Flush(Record& record, std::size_t& from, Usual handle, Usual& keep) {
  if (record.Size() <= from || record.Cut()) return;
  record.DropLast(2);
  const char* data = record.Data() + from;
  std::size_t size = record.Size() - from;
  if (FileHandle h = PointedHandle(handle); h != F_ERROR) {
    FPutS3(h, data, size);
  } else if (size <= TB_MAX_STRING) {
    // A handle given in another form is FPutS's to judge, as for any line it is given. A record
    // longer than a string can be does not go this way at all.
    keep = StringValue(Mem2String(data, std::uint32_t(size)));
    CallKest<declared::FPutS>(FPutS, handle, keep);
  }
  record.Clear();
  from = 0;
}

// The lines up to the message text.
void AddHead(Record& record) {
  record.Add(kSeparator);
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
}

void AddMessage(Record& record, TbStr text) {
  record.Add(text);
  record.Add("\r\n");
}

// The Error object's lines, after the message. `keep` holds each field's value while its text
// is made.
void AddFields(Record& record, TbObj object, Usual& keep) {
  record.AddLine(kObjectHeading);
  record.AddLine(kRule);
  bool exception = _PEQ(IVarGet(object, SYM_SUBCODE), IntValue(kExceptionSubcode)) != 0;
  for (const FieldLine& f : kFields) {
    bool asException = exception && f.exceptionName;
    keep = IVarGet(object, f.field);
    record.Add(asException ? f.exceptionLabel.text : f.label.text, kLabelWidth);
    AppendRendered(record, keep, asException ? f.exceptionRendering : f.rendering);
    record.Add("\r\n");
  }
  record.AddLine(kRule);
}

// The log is closed however writing ends, and is free for the next writer.
class OpenLog {
 public:
  OpenLog() : handle_(ErrorLogOpen(separator_)) {}
  ~OpenLog() {
    if (Open()) FClose(PointedHandle(handle_));
  }
  OpenLog(const OpenLog&) = delete;
  OpenLog& operator=(const OpenLog&) = delete;
  bool Open() const { return PointedHandle(handle_) != F_ERROR; }
  Usual Value() const { return handle_; }
  ErrorLogSeparator& Separator() { return separator_; }

 private:
  ErrorLogSeparator separator_;
  Usual handle_;
};

}  // namespace

void ErrorLogWrite(ErrorLogSeparator& separator, Usual handle, Usual text, Usual error) {
  static const FrameInfo kFrame{"ERRORLOGWRITE", "errors/error_log_write.cpp"};
  Usual args[3] = {handle, text, error};
  Usual locals[2];
  FrameGuard frame(kFrame, CountWord(3, 3), args, locals, 2);
  // The record goes out in one write: one system call instead of one a line, and a record that
  // no failure between lines can leave half written (the log takes back a write it could not
  // take whole).
  Record record;
  TbObj object = _P2Object(error);
  record.Reserve(ExpectedSize(text, object));
  std::size_t from = separator.Take(PointedHandle(handle)) ? 0 : kSeparator.size();
  AddHead(record);
  if (text.type == T_STRING) {
    AddMessage(record, AsStr(text));
  } else {
    // FPutS tells the error block about a text that is none, as for any other line it is given.
    Flush(record, from, handle, locals[0]);
    CallKest<declared::FPutS>(FPutS, handle, text);
  }
  AddFields(record, object, locals[1]);
  Flush(record, from, handle, locals[0]);
}

void ErrorLogAppend(Usual text, Usual error) {
  static const FrameInfo kFrame{"ERRORLOGAPPEND", "errors/error_log_write.cpp"};
  Usual args[2] = {text, error};
  Usual locals[2];
  FrameGuard frame(kFrame, CountWord(2, 2), args, locals, 2);
  // The record is whole before the log is opened: the log is held for the write alone, and
  // a record memory could not hold does not open it at all.
  Record record;
  TbObj object = _P2Object(error);
  record.Reserve(ExpectedSize(text, object));
  AddHead(record);
  AddMessage(record, AsStr(text));
  AddFields(record, object, locals[1]);
  if (record.Cut()) return;
  OpenLog log;
  if (!log.Open()) return;
  std::size_t from = log.Separator().Take(PointedHandle(log.Value())) ? 0 : kSeparator.size();
  Flush(record, from, log.Value(), locals[0]);
}
