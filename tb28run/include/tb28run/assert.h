// TB_ASSERT: a stated invariant, checked in debug and sanitizer builds (TB28RUN_CHECKED, set by
// the build for the whole tree so that the program's inline accessors check as the runtime's do)
// and compiled away in release, where it costs nothing and the condition is not evaluated.
#pragma once

#if defined(TB28RUN_CHECKED)
#include <cstdio>
#include <cstdlib>

namespace tb_assert {
// Reports the broken invariant and stops at once: carrying on would read a value as what it
// is not.
[[noreturn]] inline void Failed(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: TB_ASSERT(%s) failed\n", file, line, condition);
  std::fflush(stderr);
  std::abort();
}
}  // namespace tb_assert

#define TB_ASSERT(condition) ((condition) ? void(0) : ::tb_assert::Failed(#condition, __FILE__, __LINE__))
#else
#define TB_ASSERT(condition) ((void)sizeof(!(condition)))
#endif
