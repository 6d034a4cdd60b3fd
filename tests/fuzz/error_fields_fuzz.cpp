// ErrorMessageText and the error log's record over Errors whose variables hold anything (of their
// type or not: the conversion then goes to the error block), the log written where a program
// writes it, in a directory of the run's own. The text starts as the handler's first line does
// and ends its lines with CR LF; the record starts with the banner and ends with the closing rule.
#include <cstddef>
#include <cstdint>
#include <string>

#include <win32_testing.h>

#include "errors/error_log.h"
#include "errors/error_message_text.h"
#include "fuzz_session.h"
#include "program_input.h"
#include "runtime/call.h"
#include "scratch_log.h"

namespace {

constexpr std::size_t kMaxWrites = 40;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::AnsweredInput input(data, size);
  auto& [in, session, roots, maker] = input;
  fuzz::ScratchLog log;
  if (in.ConsumeBool()) Win32TestPretendModuleLoaded("KMTBRT20.DLL", TRUE);
  if (in.ConsumeBool()) Win32TestPretendModuleLoaded("TB27RUN.DLL", TRUE);

  // Mostly an Error; now and then any other value, which the text and the record must survive.
  Usual error = in.ConsumeIntegralInRange(0, 7) != 0
                    ? roots.Keep(CallKest<declared::CreateInstance>(CreateInstance, SymbolValue(SYM_ERROR),
                                                                    IntValue(in.ConsumeIntegralInRange(0, 3))))
                    : maker.Any();
  if (error.type == T_OBJECT && error.value) {
    for (std::size_t i = 0, n = in.ConsumeIntegralInRange<std::size_t>(0, kMaxWrites); i < n; ++i) {
      Sym field = maker.ErrorField();
      // Mostly a value of the field's own kind, so that the texts see every branch.
      IVarPut(AsObj(error), field, in.ConsumeBool() ? maker.Number() : maker.Any());
    }
  }

  fuzz::Balance before = fuzz::BalanceNow();
  Usual message = roots.Keep(ErrorMessageText(error));
  fuzz::CheckBalance(before, "ErrorMessageText");
  std::string text = fuzz::StringOf(message, "ErrorMessageText answered no string");
  if (!text.starts_with("WARNING : ") && !text.starts_with("Error Code: "))
    fuzz::Finding("ErrorMessageText: the first line is neither a warning nor an error code");
  if (!text.ends_with("\r\n")) fuzz::Finding("ErrorMessageText: the last line does not end with CR LF");

  ErrorLogSeparator separator;
  Usual handle = roots.Keep(ErrorLogOpen(separator));
  FileHandle h = reinterpret_cast<FileHandle>(_P2Ptr(handle));
  if (h == F_ERROR) fuzz::Finding("the error log could not be opened");
  // The text logged is mostly the message; now and then anything at all.
  ErrorLogWrite(separator, handle, in.ConsumeIntegralInRange(0, 7) != 0 ? message : maker.Any(), error);
  FClose(h);
  fuzz::CheckBalance(before, "ErrorLogWrite");

  std::string record = fuzz::ScratchLog::Read();
  if (!record.starts_with(fuzz::kLogBanner)) fuzz::Finding("the log record does not start with the banner");
  if (!record.ends_with(fuzz::kLogRecordEnd)) fuzz::Finding("the log record does not end with the rule");
  return 0;
}
