// The exit code: set by the program or from its main function's result, and quitting with it.
#include "arg_demand.h"
#include "code_word.h"
#include "heap.h"
#include "state.h"
#include "tb28run/bringup.h"
#include "tb28run/process.h"
#include "testing_hooks.h"

TBRT Usual ErrorLevel(std::uint32_t countWord, Usual* args) {
  std::int32_t& level = tb::State().errorLevel;
  std::int32_t previous = level;
  Usual code = tb::ArgAt(countWord, args, 0);
  if (!IsNilValue(code) && tb::DemandNumber("ErrorLevel", code, 1))
    level = std::int32_t(tb::CodeWordOf(tb::NumberOf(code)));
  return IntValue(previous);
}

TBRT void _Quit(void) {
  if (ExitStep exitStep = tb::State().module.exitStep) exitStep(std::uint32_t(tb::State().errorLevel));
}

TBRT void __ConvertResult(std::uintptr_t value, std::uint32_t type) {
  tb::Emit("__ConvertResult");
  tb::RuntimeState& s = tb::State();
  switch (type) {
    case T_INT:
    case T_DWORD: s.errorLevel = std::int32_t(std::uint32_t(value)); break;
    case T_LOGIC: s.errorLevel = value ? 1 : 0; break;
    case T_FLOAT: s.errorLevel = std::int32_t(tb::CodeWordOf(reinterpret_cast<const TbFloat*>(value)->value)); break;
    default: break;  // other results leave the reported code alone
  }
}
