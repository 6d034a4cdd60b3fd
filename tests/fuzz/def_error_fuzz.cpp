// The program's own error handling as a runtime error meets it: DefError called as the program
// calls it, through the default error block, and at the end of the error road from a runtime
// operation that fails, with Errors whose variables hold anything and any other value, the
// switches and the recovery point as the input sets them, a log already there with any bytes,
// and the error dialog answering whatever the input says (offered or not).
//
// Checked: a sharing conflict passes silently; otherwise the dialog offers exactly what the error
// allows, under the caption its severity gives; every answer has its one result (the default or
// the substitute type's empty value, a retry, a break to the recovery point with the Error, a
// quit whose exit code is never 0 after every file was closed); the road asks again only after
// a retry it offered; the log keeps every byte it had and grows by whole records only, the
// dialog's text among them; the stack, the recovery points and the error block are as before.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "answering_block.h"
#include "errors/def_error.h"
#include "errors/error_system_init.h"
#include "fuzz_session.h"
#include "program_input.h"
#include "runtime/call.h"
#include "scratch_log.h"
#include "tb28run/dialog.h"
#include "tb28run/testing.h"
#include "tb28run/testing_dialog.h"

namespace {

constexpr std::size_t kMaxWrites = 24;
constexpr std::size_t kMaxAnswers = 16;
constexpr std::int32_t kQuitWithoutCode = 255;

// The quit that ends the process in a real run: here it unwinds back to the input.
struct Quit {
  std::uint32_t code;
};
[[noreturn]] void QuitStep(std::uint32_t code) { throw Quit{code}; }

struct ShownDialog {
  std::string message, caption;
  std::uint32_t first, second, third, answer;
};

// The dialog's answers in turn, read from the input before anything runs; once they are spent
// the third option ends the error, so that no retry goes on for ever.
struct Dialogs {
  std::vector<std::uint32_t> script;
  std::vector<ShownDialog> shown;
  std::uint32_t tones = 0;
};
Dialogs& D() {
  static Dialogs dialogs;
  return dialogs;
}

std::uint32_t Answer(const char* message, const char* caption, std::uint32_t first, std::uint32_t second,
                     std::uint32_t third) {
  Dialogs& d = D();
  std::uint32_t answer = d.shown.size() < d.script.size() ? d.script[d.shown.size()] : third;
  d.shown.push_back({message, caption, first, second, third, answer});
  return answer;
}

std::uint32_t ScriptedAnswer(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 7)) {
    case 0:
    case 1: return ED_FIRST;
    case 2:
    case 3: return ED_RETRY;
    case 4: return ED_BREAK;
    case 5: return ED_QUIT;
    case 6: return 0;  // closed without a choice
    default: return in.ConsumeIntegral<std::uint32_t>();
  }
}

// Values that decide what the handler does, beside values of every kind.
Usual DecidingValue(fuzz::ValueMaker& maker, Sym field) {
  FuzzedDataProvider& in = maker.In();
  if (field == SYM_CANDEFAULT || field == SYM_CANRETRY || field == SYM_CANSUBSTITUTE)
    return LogicValue(in.ConsumeBool());
  static constexpr std::int32_t kCodes[] = {0, 1, 2, 3, 5, 14, 18, 21, 28, 32, 33, 40, 255, 256, -1};
  return IntValue(kCodes[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kCodes) - 1)]);
}

Usual NewError(fuzz::ProgramInput& input) {
  auto& [in, session, roots, maker] = input;
  Usual error = roots.Keep(CallKest<declared::CreateInstance>(CreateInstance, SymbolValue(SYM_ERROR),
                                                              IntValue(in.ConsumeIntegralInRange(0, 3))));
  if (error.type != T_OBJECT || !error.value) fuzz::Finding("no Error could be made");
  if (in.ConsumeIntegralInRange(0, 7) == 0) {
    // A file held by another, which the handler leaves to the caller: the writes after may undo it.
    IVarPut(AsObj(error), SYM_CANDEFAULT, LogicValue(true));
    IVarPut(AsObj(error), SYM_GENCODE, IntValue(21));
    IVarPut(AsObj(error), SYM_OSCODE, IntValue(in.ConsumeBool() ? 32 : 33));
  }
  for (std::size_t i = 0, n = in.ConsumeIntegralInRange<std::size_t>(0, kMaxWrites); i < n; ++i) {
    Sym field = maker.ErrorField();
    switch (in.ConsumeIntegralInRange(0, 3)) {
      case 0: IVarPut(AsObj(error), field, maker.Any()); break;
      case 1: IVarPut(AsObj(error), field, maker.Number()); break;
      default: IVarPut(AsObj(error), field, DecidingValue(maker, field)); break;
    }
  }
  return error;
}

// What the handler must make of an Error, read before it runs (it changes two variables).
struct Expected {
  bool canDefault, canRetry, canSubstitute;
  std::uint32_t gencode, oscode, severity, substituteType;
};

Expected ExpectedOf(Usual error) {
  TbObj e = AsObj(error);
  auto logic = [e](Sym field) { return _P2Logic(IVarGet(e, field)) != 0; };
  auto word = [e](Sym field) { return _P2DW(IVarGet(e, field)); };
  return Expected{logic(SYM_CANDEFAULT), logic(SYM_CANRETRY), logic(SYM_CANSUBSTITUTE), word(SYM_GENCODE),
                  word(SYM_OSCODE),      word(SYM_SEVERITY),  word(SYM_SUBSTITUTETYPE)};
}

// A value that is no Error is wrapped as one that can only default.
constexpr Expected kWrapped{true, false, false, 28, 0, 2, 0};

bool SharingConflict(const Expected& x) {
  return x.canDefault && x.gencode == 21 && (x.oscode == 32 || x.oscode == 33);
}

void CheckDialog(const ShownDialog& shown, const Expected& x, bool recoveryPoint) {
  if (shown.first != (x.canDefault || x.canSubstitute ? ED_FIRST : 0u))
    fuzz::Finding("the first option is offered when the error allows neither default nor substitute, or the reverse");
  if (shown.second != (x.canRetry && x.gencode != 14 ? ED_RETRY : 0u))
    fuzz::Finding("a retry is offered where none may be, or not where one may");
  if (shown.third != (recoveryPoint ? ED_BREAK : ED_QUIT))
    fuzz::Finding("the third option is not a break with a recovery point and a quit without");
  if (shown.caption != (x.severity == 1 ? "WARNING" : "ERROR")) fuzz::Finding("the caption is not the severity's");
  bool warning = x.severity == 1 && x.substituteType != T_PTR;
  if (!shown.message.starts_with(warning ? "WARNING : " : "Error Code: "))
    fuzz::Finding("the message does not start as its severity says");
}

// The log holds what it held, then the records of the errors shown, whole and in order: the
// first parted by an empty line from what the log held, each holding its dialog's text. (Where
// one record ends is no business of a check: the texts in it may hold any line.)
void CheckLog(const std::string& before, bool existedBefore, const std::vector<ShownDialog>& shown, bool logging) {
  if (!fuzz::ScratchLog::Exists()) {
    if (existedBefore) fuzz::Finding("the log is gone");
    if (logging && !shown.empty()) fuzz::Finding("an error shown was not logged");
    return;
  }
  if (!existedBefore && (!logging || shown.empty())) fuzz::Finding("a log was made that no record went to");
  std::string log = fuzz::ScratchLog::Read();
  if (!log.starts_with(before)) fuzz::Finding("bytes the log held before were lost or changed");
  std::string_view added = std::string_view(log).substr(before.size());
  if (!logging || shown.empty()) {
    if (!added.empty()) fuzz::Finding("the log grew with nothing to log");
    return;
  }
  if (!before.empty()) {
    if (!added.starts_with("\r\n")) fuzz::Finding("the first record is not parted from what the log held");
    added.remove_prefix(2);
  }
  if (!added.starts_with(fuzz::kLogBanner)) fuzz::Finding("a record does not start with the banner");
  if (!added.ends_with(fuzz::kLogRecordEnd)) fuzz::Finding("the last record does not end with the rule");
  // Records are written before their dialogs are shown, in the same order. The dialog takes a
  // C string: a text with a NUL in it is shown up to there, and logged whole.
  std::size_t at = 0;
  for (const ShownDialog& d : shown) {
    std::string message = "\r\nError message:\r\n--------------\r\n" + d.message;
    at = added.find(message, at);
    if (at == std::string_view::npos) fuzz::Finding("a record does not hold its dialog's text");
    at += message.size();
    if (!added.substr(at).starts_with("\r\nError Object created:\r\n") && !added.substr(at).starts_with('\0'))
      fuzz::Finding("a record holds more than its dialog's text");
  }
}

enum class Way { Direct, Block, Road };

// How the handling of one error ended.
struct Outcome {
  std::optional<Usual> result;  // returned
  std::optional<Usual> broken;  // the value the recovery point received
  std::optional<std::uint32_t> quitCode;
};

template <typename Run>
Outcome Handle(bool recoveryPoint, Run run) {
  Outcome outcome;
  if (recoveryPoint) LabelPush();
  try {
    outcome.result = run();
  } catch (const TbBreak& jump) {
    outcome.broken = jump.value;
  } catch (const Quit& quit) {
    outcome.quitCode = quit.code;
  }
  if (recoveryPoint) LabelPop();
  return outcome;
}

void CheckQuit(const Outcome& outcome, std::uint32_t gencode, FileHandle held) {
  if (*outcome.quitCode == 0) fuzz::Finding("a quit ends with exit code 0, which reads as success");
  if (*outcome.quitCode != (gencode ? gencode : kQuitWithoutCode))
    fuzz::Finding("a quit does not end with the error's generic code (255 without one)");
  if (FClose(held)) fuzz::Finding("a file was still open when the program quit");
}

// DefError over one value, directly or through the default error block.
void HandleOne(Way way, Usual value, bool recoveryPoint, FileHandle held) {
  bool isError = IsInstanceOf(value, SYM_ERROR);
  Expected x = isError ? ExpectedOf(value) : kWrapped;
  bool beep = _P2Logic(CallKest<declared::SetBeep>(SetBeep)) != 0;
  bool logging = _P2Logic(CallKest<declared::SetErrorLog>(SetErrorLog)) != 0;
  CallKest<declared::NetErr>(NetErr, LogicValue(false));
  bool existed = fuzz::ScratchLog::Exists();
  std::string before = fuzz::ScratchLog::Read();

  fuzz::Balance balance = fuzz::BalanceNow();
  Outcome outcome = Handle(recoveryPoint, [&] {
    if (way == Way::Direct) return DefError(value);
    return CallKest<declared::Eval>(Eval, CallKest<declared::ErrorBlock>(ErrorBlock), value);
  });
  fuzz::CheckBalance(balance, way == Way::Direct ? "DefError" : "the default error block");
  const std::vector<ShownDialog>& shown = D().shown;
  CheckLog(before, existed, shown, logging);

  if (SharingConflict(x)) {
    if (!shown.empty() || D().tones) fuzz::Finding("a sharing conflict was shown or sounded");
    if (!_P2Logic(CallKest<declared::NetErr>(NetErr))) fuzz::Finding("a sharing conflict did not set NetErr");
    if (!outcome.result || outcome.result->type != T_LOGIC || outcome.result->value)
      fuzz::Finding("a sharing conflict does not answer FALSE");
    return;
  }
  // An Error is shown once; a wrapped value may meet errors of its own on the way.
  if (shown.empty() || (isError && shown.size() != 1)) fuzz::Finding("an error was not shown exactly once");
  const ShownDialog& last = shown.back();
  CheckDialog(last, x, recoveryPoint);
  if (isError && D().tones != (beep ? 3u : 0u)) fuzz::Finding("the error was not sounded as SetBeep says");
  if (isError && x.gencode == 14 && _P2Logic(IVarGet(AsObj(value), SYM_CANRETRY)))
    fuzz::Finding("a missing variable keeps its retry");

  if (last.answer == ED_FIRST || last.answer == ED_RETRY) {
    if (!outcome.result) fuzz::Finding("the first two options do not return");
    Usual result = *outcome.result;
    if (last.answer == ED_RETRY) {
      if (result.type != T_LOGIC || result.value != 1) fuzz::Finding("a retry does not answer TRUE");
    } else if (x.canSubstitute) {
      if (result.type != EmptyUsual(x.substituteType).type || !Empty(result))
        fuzz::Finding("a substitute is not the empty value of its type");
    } else if (result.type != T_LOGIC || result.value != 0) {
      fuzz::Finding("a default does not answer FALSE");
    }
  } else if (recoveryPoint) {
    if (!outcome.broken) fuzz::Finding("the third option does not break to the recovery point");
    if (!IsInstanceOf(*outcome.broken, SYM_ERROR) || (isError && outcome.broken->value != value.value))
      fuzz::Finding("the recovery point does not receive the Error");
  } else {
    if (!outcome.quitCode) fuzz::Finding("the third option does not quit");
    CheckQuit(outcome, x.gencode, held);
  }
}

// A runtime operation that fails, each with its own error: the handler meets it at the end of
// the road, and the road acts on its answer.
Usual Fail(fuzz::ProgramInput& input) {
  auto& [in, session, roots, maker] = input;
  switch (in.ConsumeIntegralInRange(0, 4)) {
    case 0: {
      std::uint32_t length = in.ConsumeIntegralInRange<std::uint32_t>(0, 3);
      Usual array = roots.Keep(ArrayValue(ArrayCreate(length)));
      return ArrayGet(AsArr(array), in.ConsumeBool() ? 0 : length + in.ConsumeIntegralInRange<std::uint32_t>(1, 9));
    }
    case 1: {
      Usual object = roots.Keep(CallKest<declared::CreateInstance>(CreateInstance, SymbolValue(fuzz::FuzzBoxClass())));
      return CallKest<declared::Send>(Send, object, SymbolValue(SysAddAtom("NO SUCH METHOD")));
    }
    case 2: {
      Usual object = roots.Keep(CallKest<declared::CreateInstance>(CreateInstance, SymbolValue(fuzz::FuzzBoxClass())));
      return IVarGet(AsObj(object), SysAddAtom("NO SUCH VARIABLE"));
    }
    case 3: return FieldGetAlias(SysAddAtom("NOALIAS"), SysAddAtom("NOFIELD"));
    default: return CallKest<declared::ErrorLevel>(ErrorLevel, maker.Text());
  }
}

void HandleRoad(fuzz::ProgramInput& input, bool recoveryPoint, FileHandle held) {
  bool logging = _P2Logic(CallKest<declared::SetErrorLog>(SetErrorLog)) != 0;
  bool existed = fuzz::ScratchLog::Exists();
  std::string before = fuzz::ScratchLog::Read();
  fuzz::Balance balance = fuzz::BalanceNow();
  Outcome outcome = Handle(recoveryPoint, [&] { return Fail(input); });
  fuzz::CheckBalance(balance, "a failed runtime operation");
  const std::vector<ShownDialog>& shown = D().shown;
  CheckLog(before, existed, shown, logging);

  // Only a retry the dialog offered leads to the operation failing again.
  std::size_t retries = 0;
  for (const ShownDialog& d : shown) {
    if (d.third != (recoveryPoint ? ED_BREAK : ED_QUIT)) fuzz::Finding("the third option is not the one in force");
    if (d.second == ED_RETRY && d.answer == ED_RETRY) ++retries;
  }
  if (shown.size() != retries + 1) fuzz::Finding("the road asked again without a retry, or ended after one");
  const ShownDialog& last = shown.back();
  bool ended = last.answer != ED_FIRST && last.answer != ED_RETRY;
  if (ended != !outcome.result) fuzz::Finding("the operation returned after a break or quit, or the reverse");
  if (ended && recoveryPoint != outcome.broken.has_value()) fuzz::Finding("the third option did not break");
  if (outcome.broken && !IsInstanceOf(*outcome.broken, SYM_ERROR))
    fuzz::Finding("the recovery point does not receive an Error");
  if (outcome.quitCode) {
    if (*outcome.quitCode == 0) fuzz::Finding("a quit ends with exit code 0, which reads as success");
    if (FClose(held)) fuzz::Finding("a file was still open when the program quit");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::ProgramInput input(data, size, &QuitStep);
  auto& [in, session, roots, maker] = input;
  InstallDefaultErrorBlock();
  RegisterErrorGen();
  Usual defaultBlock = CallKest<declared::ErrorBlock>(ErrorBlock);
  fuzz::ScratchLog log;
  Dialogs& d = D();
  d = Dialogs{};
  for (std::size_t i = 0, n = in.ConsumeIntegralInRange<std::size_t>(0, kMaxAnswers); i < n; ++i)
    d.script.push_back(ScriptedAnswer(in));
  TbTestSetErrorDialogHook(&Answer);
  TbTestSetToneSink([](std::uint32_t, std::uint32_t) { ++D().tones; });

  CallKest<declared::SetBeep>(SetBeep, LogicValue(in.ConsumeBool()));
  CallKest<declared::SetErrorLog>(SetErrorLog, LogicValue(in.ConsumeIntegralInRange(0, 3) != 0));
  if (in.ConsumeBool()) fuzz::ScratchLog::Write(in.ConsumeRandomLengthString(std::size_t(1) << 20));
  // A file the program holds: a quit must close it.
  FileHandle held = FCreate2((fuzz::ScratchLog::Directory() + "HELD").c_str(), FC_ARCHIVE);
  if (held == F_ERROR) fuzz::Finding("no file to hold");
  bool recoveryPoint = in.ConsumeBool();
  int way = in.ConsumeIntegralInRange(0, 2);
  // The values the input makes may raise errors of their own (a conversion that fails): those
  // go to a block of the input's, so that the handler meets only the error under test.
  fuzz::InstallAnsweringBlock(maker);
  Usual value = way == 2 ? NilValue() : in.ConsumeIntegralInRange(0, 7) != 0 ? NewError(input) : maker.Any();
  CallKest<declared::ErrorBlock>(ErrorBlock, defaultBlock);
  if (in.ConsumeIntegralInRange(0, 15) == 0) TbTestSetGcStress(1);

  switch (way) {
    case 0: HandleOne(Way::Direct, value, recoveryPoint, held); break;
    case 1: HandleOne(Way::Block, value, recoveryPoint, held); break;
    default: HandleRoad(input, recoveryPoint, held); break;
  }
  TbTestSetGcStress(0);
  FClose(held);
  return 0;
}
