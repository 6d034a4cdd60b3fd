// The exit code, quitting, internal-fault reports and the floating-point state.
#include <cfenv>
#include <cstdio>

#if defined(_WIN32)
#include <float.h>
#endif

#include "arg_demand.h"
#include "code_word.h"
#include "reset.h"
#include "state.h"
#include "tb28run/process.h"
#include "testing_hooks.h"

namespace tb {

TbInternalErrorSink& InternalErrorSink() {
  static TbInternalErrorSink sink = nullptr;
  return sink;
}

}  // namespace tb

namespace {

const tb::ResetRegistration reset([] { tb::InternalErrorSink() = nullptr; });

}  // namespace

TBRT Usual ErrorLevel(std::uint32_t countWord, Usual* args) {
  std::int32_t& level = tb::State().errorLevel;
  std::int32_t previous = level;
  Usual code = tb::ArgAt(countWord, args, 0);
  if (code.type != T_NIL && tb::DemandNumber("ErrorLevel", code, 1))
    level = std::int32_t(tb::CodeWordOf(tb::NumberOf(code)));
  return IntValue(previous);
}

TBRT void _Quit(void) {
  if (ExitStep exitStep = tb::State().module.exitStep) exitStep(std::uint32_t(tb::State().errorLevel));
}

TBRT void _IError(std::uint32_t code, std::uint32_t detail, const char* text) {
  std::fprintf(stderr, "TB28RUN internal error %u.%u: %s\n", unsigned(code), unsigned(detail), text ? text : "");
  std::fflush(stderr);
  if (TbInternalErrorSink sink = tb::InternalErrorSink()) sink(code, detail, text ? text : "");
}

TBRT void MathInit(void) {
#if defined(_WIN32)
  _fpreset();
#endif
  std::fesetenv(FE_DFL_ENV);
  // Not every host's default environment clears the SSE flags; these two leave nothing to chance.
  std::feclearexcept(FE_ALL_EXCEPT);
  std::fesetround(FE_TONEAREST);
}
