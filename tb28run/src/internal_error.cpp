// Reports of faults inside the runtime: on standard error, and to a test's sink when one is set.
#include <cstdio>

#include "reset.h"
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

TBRT void _IError(std::uint32_t code, std::uint32_t detail, const char* text) {
  std::fprintf(stderr, "TB28RUN internal error %u.%u: %s\n", unsigned(code), unsigned(detail), text ? text : "");
  std::fflush(stderr);
  if (TbInternalErrorSink sink = tb::InternalErrorSink()) sink(code, detail, text ? text : "");
}
