// The error road, as the runtime calls the one way every runtime error takes: a raw error
// record is filled, the registered error function turns it into an error object, the current
// error block is evaluated with it, and its answer tells the failed operation what to do.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <type_traits>

#include "tb28run/errors.h"
#include "tb28run/values.h"

namespace tb {

// Generic error codes (ErrString gives their texts).
enum GenCode : std::uint32_t {
  EG_ARG = 1,
  EG_BOUND = 2,
  EG_STROVERFLOW = 3,
  EG_NUMOVERFLOW = 4,
  EG_ZERODIV = 5,
  EG_NUMERR = 6,
  EG_MEM = 11,
  EG_NOFUNC = 12,
  EG_NOMETHOD = 13,
  EG_NOVAR = 14,
  EG_NOVARMETHOD = 16,
  EG_NOCLASS = 19,
  EG_CREATE = 20,
  EG_OPEN = 21,
  EG_CLOSE = 22,
  EG_READ = 23,
  EG_WRITE = 24,
  EG_WRONGOBJECT = 28,
  EG_UNSUPPORTED = 30,
  EG_LIMIT = 31,
  EG_CORRUPTION = 32,
  EG_DATATYPE = 33,
  EG_DATAWIDTH = 34,
  EG_APPENDLOCK = 40,
  EG_LOCK = 41,
};

struct RaiseSpec {
  std::uint32_t gencode = EG_ARG;
  std::uint32_t subcode = 0;
  const char* operation = "";
  const char* description = "";
  static constexpr std::uint32_t kMaxArgs = 8;
  Usual args[kMaxArgs] = {};  // the failed call's arguments
  std::uint32_t argCount = 0;
  std::uint32_t argNum = 0;  // 1-based position of the offending argument
  std::optional<Usual> arg;  // the offending value
  std::uint32_t argTypeReq = 0;
  bool canDefault = false;
  bool canRetry = false;
  bool canSubstitute = false;
  std::uint32_t substituteType = 0;
  Sym funcSym = 0;
  Sym callFuncSym = 0;
  const char* filename = nullptr;
  std::uint32_t oscode = 0;
  std::uint32_t fileHandle = 0;
  std::uint32_t severity = 2;
  std::uint32_t maxSize = 0;

  void SetArgs(std::initializer_list<Usual> values) {
    argCount = 0;
    for (const Usual& v : values)
      if (argCount < kMaxArgs) args[argCount++] = v;
  }
};

enum class Resolution { Retry, Default, Substitute };

struct Answer {
  Resolution resolution;
  Usual value;  // the substitute

  Usual SubstituteOr(const Usual& none) const { return resolution == Resolution::Substitute ? value : none; }
};

const char* GenCodeText(std::uint32_t gencode);

// Raises the error and returns the error block's answer. An answer the error does not allow
// (a retry where none is offered, …) falls back to the default where there is one. When there
// is nothing to decide with (no error block), or errors nest past a small depth, the program
// ends with a message on standard error and a non-zero exit code.
Answer RaiseError(const RaiseSpec& report);

// The memory error for a block the heap could not give: it offers a retry and the default.
RaiseSpec MemoryReport(const char* operation, const char* description);

// The report of an argument error about one value, the offending argument: it offers the
// default and a substitute of the wanted type. Callers add what else they offer.
RaiseSpec ArgumentReport(const char* operation, const char* description, const Usual& value, std::uint32_t wantedType,
                         std::uint32_t argNum);

// A conversion fault, the value not of the wanted type: an argument error that offers a retry too.
RaiseSpec TypeReport(const char* operation, const Usual& value, std::uint32_t wantedType, std::uint32_t argNum = 1);

// How insisting on a condition ended: it came to hold, or the error block settled.
struct Insisted {
  bool holds;
  Answer answer;  // when it did not hold: the default, or a substitute that stands for the result
};

// The loop of every failed operation that may be tried again: while holds() is false, raises the
// report report() makes (only then: the quick case builds none, and a substitute may change what
// it speaks of) and acts on the answer RaiseError has held against what the report offers. A retry tests
// again; a substitute goes to take(), which puts it in place of the offending value, and is tested
// in turn. Without a take(), a substitute stands for the operation's result and ends the loop.
template <typename Holds, typename Report, typename Take>
Insisted Insist(Holds holds, const Report& report, Take take) {
  for (;;) {
    if (holds()) return Insisted{true, Answer{Resolution::Default, NilValue()}};
    Answer answer = RaiseError(report());
    if (answer.resolution == Resolution::Retry) continue;
    if constexpr (!std::is_null_pointer_v<Take>) {
      if (answer.resolution == Resolution::Substitute) {
        take(answer.value);
        continue;
      }
    }
    return Insisted{false, answer};
  }
}
template <typename Holds, typename Report>
Insisted Insist(Holds holds, const Report& report) {
  return Insist(holds, report, nullptr);
}

// The take() that puts a substitute in the place of one value.
inline auto Into(Usual& place) {
  return [&place](const Usual& substitute) { place = substitute; };
}

}  // namespace tb
