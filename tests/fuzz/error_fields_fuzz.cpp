// ErrorMessageText and the error log's record over Errors whose variables hold anything (of their
// type or not: the conversion then goes to the error block), the log written where a program
// writes it, in a directory of the run's own. The text starts as the handler's first line does
// and ends its lines with CR LF; the record starts with the banner and ends with the closing rule.
#include <unistd.h>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include <win32_testing.h>

#include "answering_block.h"
#include "errors/error_log.h"
#include "errors/error_message_text.h"
#include "fuzz_session.h"
#include "runtime/call.h"
#include "value_maker.h"

namespace {

const Sym kErrorFields[] = {SYM_SUBSYSTEM,  SYM_SUBCODE,    SYM_GENCODE,        SYM_OSCODE,    SYM_SEVERITY,
                            SYM_CANDEFAULT, SYM_CANRETRY,   SYM_CANSUBSTITUTE,  SYM_OPERATION, SYM_DESCRIPTION,
                            SYM_FILENAME,   SYM_ARGS,       SYM_TRIES,          SYM_FUNCSYM,   SYM_FILEHANDLE,
                            SYM_ARGNUM,     SYM_FUNCPTR,    SYM_SUBCODETEXT,    SYM_ARG,       SYM_ARGTYPE,
                            SYM_ARGTYPEREQ, SYM_MAXSIZE,    SYM_SUBSTITUTETYPE, SYM_CHOICE,    SYM_CALLFUNCSYM,
                            SYM_CARGO,      SYM_METHODSELF, SYM_STACK};
constexpr std::size_t kMaxWrites = 40;

// The run's own directory for the log, removed when the run ends.
const std::string& LogDirectory() {
  static const std::string directory = [] {
    char pattern[] = "/tmp/quorlfix-fuzz-XXXXXX";
    if (!mkdtemp(pattern)) fuzz::Finding("no directory for the error log");
    std::string d = pattern;
    static std::string removeAtExit = d;
    std::atexit([] {
      std::remove((removeAtExit + "/TBERROR.LOG").c_str());
      rmdir(removeAtExit.c_str());
    });
    return d;
  }();
  return directory;
}

std::string Text(Usual value) {
  if (value.type != T_STRING) fuzz::Finding("ErrorMessageText answered no string");
  return std::string(String2Psz(AsStr(value)), SLen(AsStr(value)));
}

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }
bool EndsWith(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string logPath = LogDirectory() + "/TBERROR.LOG";
  std::remove(logPath.c_str());
  FuzzedDataProvider in(data, size);
  fuzz::ProgramSession session;
  fuzz::ValueRoots roots;
  fuzz::ValueMaker maker(in, roots);
  fuzz::InstallAnsweringBlock(maker);
  SetDefaultDir((LogDirectory() + "/").c_str());
  if (in.ConsumeBool()) Win32TestPretendModuleLoaded("KMTBRT20.DLL", TRUE);
  if (in.ConsumeBool()) Win32TestPretendModuleLoaded("TB27RUN.DLL", TRUE);

  // Mostly an Error; now and then any other value, which the text and the record must survive.
  Usual error = in.ConsumeIntegralInRange(0, 7) != 0
                    ? roots.Keep(CallKest<declared::CreateInstance>(CreateInstance, SymbolValue(SYM_ERROR),
                                                                    IntValue(in.ConsumeIntegralInRange(0, 3))))
                    : maker.Any();
  if (error.type == T_OBJECT && error.value) {
    for (std::size_t i = 0, n = in.ConsumeIntegralInRange<std::size_t>(0, kMaxWrites); i < n; ++i) {
      Sym field = in.ConsumeIntegralInRange(0, 15) == 0
                      ? maker.Symbol()
                      : kErrorFields[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kErrorFields) - 1)];
      // Mostly a value of the field's own kind, so that the texts see every branch.
      IVarPut(AsObj(error), field, in.ConsumeBool() ? maker.Number() : maker.Any());
    }
  }

  fuzz::Balance before = fuzz::BalanceNow();
  Usual message = roots.Keep(ErrorMessageText(error));
  fuzz::CheckBalance(before, "ErrorMessageText");
  std::string text = Text(message);
  if (!StartsWith(text, "WARNING : ") && !StartsWith(text, "Error Code: "))
    fuzz::Finding("ErrorMessageText: the first line is neither a warning nor an error code");
  if (!EndsWith(text, "\r\n")) fuzz::Finding("ErrorMessageText: the last line does not end with CR LF");

  Usual handle = roots.Keep(ErrorLogOpen());
  FileHandle h = reinterpret_cast<FileHandle>(_P2Ptr(handle));
  if (h == F_ERROR) fuzz::Finding("the error log could not be opened");
  // The text logged is mostly the message; now and then anything at all.
  ErrorLogWrite(handle, in.ConsumeIntegralInRange(0, 7) != 0 ? message : maker.Any(), error);
  FClose(h);
  fuzz::CheckBalance(before, "ErrorLogWrite");

  std::ifstream file(logPath, std::ios::binary);
  std::stringstream log;
  log << file.rdbuf();
  if (!StartsWith(log.str(), "***********************ERROR********************************\r\n"))
    fuzz::Finding("the log record does not start with the banner");
  if (!EndsWith(log.str(), "\r\n--------------------\r\n")) fuzz::Finding("the log record does not end with the rule");
  return 0;
}
