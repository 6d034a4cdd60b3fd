#include "testing_hooks.h"

namespace tb {

TestHooks& Hooks() {
  static TestHooks hooks;
  return hooks;
}

bool HookFails(TbHook hook) {
  TestHooks& h = Hooks();
  std::uint32_t n = ++h.calls[hook];
  return h.failAt[hook] != 0 && n == h.failAt[hook];
}

void Emit(const char* event) {
  if (Hooks().sink) Hooks().sink(event);
}

std::int32_t CollectPublicsOverride() { return Hooks().collectPublics; }
std::int64_t RTCountOverride() { return Hooks().rtCount; }

void ResetHooks() { Hooks() = TestHooks{}; }

}  // namespace tb
