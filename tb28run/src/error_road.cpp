#include "error_road.h"

#include <windows.h>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "classes.h"
#include "collector.h"
#include "heap.h"
#include "reset.h"
#include "state.h"
#include "symbols_table.h"
#include "tb28run/objects.h"
#include "tb28run/strings.h"

namespace tb {
namespace {

struct RoadState {
  Usual errorBlock = NilValue();
  KestFn errorFunc = nullptr;
  std::uint32_t nesting = 0;
  std::vector<std::uint32_t> labels;
  std::uint32_t nextLabel = 1;
};

RoadState& Road() {
  static RoadState state;
  return state;
}

const ResetRegistration reset([] { Road() = RoadState{}; });

// Errors raised while this many errors are already being handled end the program.
constexpr std::uint32_t kMaxNesting = 8;
// The exit code of a program the runtime has to end (sysexits' "internal software error").
constexpr std::uint32_t kFatalExitCode = 70;

[[noreturn]] void Fatal(const char* why, const ErrorStructure* rec) {
  std::fprintf(stderr, "TB28RUN: %s", why);
  if (rec)
    std::fprintf(stderr, " (error %u %s, operation %s: %s)", unsigned(rec->gencode), GenCodeText(rec->gencode),
                 rec->operation ? rec->operation : "", rec->description ? rec->description : "");
  std::fputc('\n', stderr);
  std::fflush(stderr);
  if (ExitStep exitStep = State().module.exitStep) exitStep(kFatalExitCode);
  ExitProcess(kFatalExitCode);
}

struct NestingGuard {
  explicit NestingGuard(std::uint32_t& n) : nesting(n) { ++nesting; }
  ~NestingGuard() { --nesting; }
  std::uint32_t& nesting;
};

Usual FromRecord(error_field::Text, const char* text) { return StringValue(Psz2String(text)); }
Usual FromRecord(error_field::Dword, std::uint32_t number) { return DwordValue(number); }
Usual FromRecord(error_field::Logic, std::uint32_t flag) { return LogicValue(flag); }
Usual FromRecord(error_field::Symbol, Sym symbol) { return SymbolValue(symbol); }
Usual FromRecord(error_field::Pointer, const void* pointer) { return PtrValue(pointer); }
Usual FromRecord(error_field::Array, const void* argBlock) {
  TbArr args = NewArray(0);
  if (auto* block = static_cast<const ErrorArgBlock*>(argBlock)) {
    std::uint32_t n = block->count1 > block->count2 ? block->count1 : block->count2;
    if (ArrayResize(args, n)) std::memcpy(args->items, block->values, sizeof(Usual) * n);
  }
  return ArrayValue(args);
}

// Without an error function the runtime fills an object of the program's ERROR class itself,
// variable by variable, from the record.
Usual BuildFallback(const ErrorStructure* rec) {
  Sym errorClass = LookupExact("ERROR");
  if (!errorClass || !FindClass(errorClass)) return Usual{0, T_OBJECT};
  Usual construction[2] = {SymbolValue(errorClass), IntValue(0)};
  Usual object = CreateInstance(CountWord(1, 2), construction);
  TbObj o = AsObj(object);
  if (!o) return object;
  auto put = [&](const char* name, Usual value) {
    if (Sym s = LookupExact(name); s && FindIVar(ClassOf(o), s)) IVarPut(o, s, value);
  };
#define PUT(NAME, Kind, member, label, i386) put(#NAME, FromRecord(error_field::Kind{}, rec->member));
  TB_ERROR_RECORD_FIELDS(PUT)
#undef PUT
  return object;
}

Usual BuildObject(ErrorStructure* rec) {
  if (KestFn errorFunc = Road().errorFunc) {
    Usual pointer = PtrValue(rec);
    return errorFunc(CountWord(1, 1), &pointer);
  }
  return BuildFallback(rec);
}

// Whether a substitute is of the type the failed operation stands in for. One that is not would
// only raise the same error again, so it counts as the default instead.
bool OfSubstituteType(std::uint32_t type, const Usual& value) {
  switch (type) {
    case 0:
    case T_USUAL: return true;
    case T_INT:
    case T_FLOAT:
    case T_DWORD: return HasType(value, T_INT) || HasType(value, T_FLOAT);
    case T_PTR:
    case T_PTR_CALL: return IsPointerValue(value);
    default: return HasType(value, type);
  }
}

Answer Interpret(const RaiseSpec& report, const Usual& answer) {
  if (HasType(answer, T_LOGIC)) {
    if (AsLogic(answer) && report.canRetry) return Answer{Resolution::Retry, NilValue()};
    return Answer{Resolution::Default, NilValue()};
  }
  if (report.canSubstitute && OfSubstituteType(report.substituteType, answer))
    return Answer{Resolution::Substitute, answer};
  return Answer{Resolution::Default, NilValue()};
}

}  // namespace

Usual ErrorBlockForCollector() { return Road().errorBlock; }

Answer RaiseError(const RaiseSpec& report) {
  RoadState& r = Road();
  ErrorStructure rec{};
  rec.subsystem = "TB28RUN";
  rec.subcode = report.subcode;
  rec.gencode = report.gencode;
  rec.oscode = report.oscode;
  rec.severity = report.severity;
  rec.canDefault = report.canDefault;
  rec.canRetry = report.canRetry;
  rec.canSubstitute = report.canSubstitute;
  rec.operation = report.operation;
  rec.description = report.description;
  rec.filename = report.filename;
  rec.funcSym = report.funcSym;
  rec.fileHandle = report.fileHandle;
  rec.argNum = report.argNum;
  rec.substituteType = report.substituteType;
  rec.maxSize = report.maxSize;
  rec.callFuncSym = report.callFuncSym;
  rec.argTypeReq = report.argTypeReq;
  if (r.nesting >= kMaxNesting) Fatal("errors kept arising while an error was being handled", &rec);
  NestingGuard guard(r.nesting);

  std::uint32_t n = report.argCount;
  std::vector<unsigned char> storage(offsetof(ErrorArgBlock, values) + sizeof(Usual) * (n ? n : 1));
  auto* block = reinterpret_cast<ErrorArgBlock*>(storage.data());
  if (n) {
    block->count1 = block->count2 = std::uint16_t(n);
    std::memcpy(storage.data() + offsetof(ErrorArgBlock, values), report.args, sizeof(Usual) * n);
    rec.argBlock = block;
  }
  // Until the error object has taken its copy, the block may be all that holds the arguments.
  RootedSlots rooted(block->values, n);
  std::string argText;
  if (report.arg) {
    // The text is copied, away from the collector, while the object is made. When memory will
    // not hold the copy, the error still goes on its way with the text's beginning.
    const char* text = AsPsz(*report.arg);
    try {
      argText = text;
    } catch (const std::bad_alloc&) {
      constexpr std::size_t kBeginning = 4096;
      try {
        argText.assign(std::string_view(text).substr(0, kBeginning));
      } catch (const std::bad_alloc&) {
      }
    }
    rec.arg = argText.c_str();
    rec.argType = TypeOf(*report.arg);
  }

  Usual object = BuildObject(&rec);
  if (IsNilValue(r.errorBlock)) Fatal("a runtime error arose and no error block handles it", &rec);
  Usual evalArgs[2] = {r.errorBlock, object};
  Usual answer = Eval(CountWord(1, 2), evalArgs);
  return Interpret(report, answer);
}

RaiseSpec MemoryReport(const char* operation, const char* description) {
  RaiseSpec report;
  report.gencode = EG_MEM;
  report.operation = operation;
  report.description = description;
  report.canDefault = report.canRetry = true;
  return report;
}

RaiseSpec ArgumentReport(const char* operation, const char* description, const Usual& value, std::uint32_t wantedType,
                         std::uint32_t argNum) {
  RaiseSpec report;
  report.gencode = EG_ARG;
  report.operation = operation;
  report.description = description;
  report.SetArgs({value});
  report.arg = value;
  report.argNum = argNum;
  report.argTypeReq = wantedType;
  report.canDefault = true;
  report.canSubstitute = true;
  report.substituteType = wantedType;
  return report;
}

RaiseSpec TypeReport(const char* operation, const Usual& value, std::uint32_t wantedType, std::uint32_t argNum) {
  RaiseSpec report = ArgumentReport(operation, "Argument of the wrong type", value, wantedType, argNum);
  report.canRetry = true;
  return report;
}

}  // namespace tb

using namespace tb;

TBRT Usual ErrorBlock(std::uint32_t countWord, Usual* args) {
  RoadState& r = Road();
  Usual previous = r.errorBlock;
  if (PassedOf(countWord) == 0) return previous;
  Usual block = args[0];
  auto isBlock = [&] {
    return (HasType(block, T_CODEBLOCK) && WordOf(block)) || IsSomeObject(block) || IsNilValue(block);
  };
  if (Insist(
          isBlock, [&] { return TypeReport("ErrorBlock", block, T_CODEBLOCK); }, Into(block))
          .holds)
    r.errorBlock = block;
  return previous;
}

TBRT Usual ErrorFunc(std::uint32_t countWord, Usual* args) {
  RoadState& r = Road();
  Usual previous = r.errorFunc ? PtrValue(reinterpret_cast<const void*>(r.errorFunc)) : NilValue();
  if (PassedOf(countWord) == 0) return previous;
  Usual fn = args[0];
  // As for the block: a function given in another form is the error block's to replace.
  if (!Insist([&] { return IsPointerValue(fn) || IsNilValue(fn); }, [&] { return TypeReport("ErrorFunc", fn, T_PTR); },
              Into(fn))
           .holds)
    return previous;
  r.errorFunc = IsPointerValue(fn) ? reinterpret_cast<KestFn>(WordOf(fn)) : nullptr;
  return previous;
}

TBRT Usual ErrorBuild(ErrorStructure* record) {
  if (!record) return Usual{0, T_OBJECT};
  return BuildObject(record);
}

TBRT std::uint32_t LabelPush(void) {
  RoadState& r = Road();
  r.labels.push_back(r.nextLabel++);
  return r.labels.back();
}

TBRT void LabelPop(void) {
  if (!Road().labels.empty()) Road().labels.pop_back();
}

TBRT void LabelJump(Usual value) {
  if (Road().labels.empty()) Fatal("a break was asked for with no recovery point to go to", nullptr);
  throw TbBreak{Road().labels.back(), value};
}

TBRT std::int32_t CanBreak(void) { return Road().labels.empty() ? 0 : 1; }
