// Turning a value into a symbol.
#include "latebound/argument_array.h"
#include "latebound/latebound.h"
#include "latebound/throw_arg_error.h"
#include "runtime/frame_guard.h"

Usual PcSymbol(std::uint32_t countWord, Usual* args) {
  static const FrameInfo kFrame{"__PCSYMBOL", "latebound/symbol_helper.cpp"};
  FrameGuard frame(kFrame, countWord, args);
  std::uint32_t n = PassedCount(countWord);
  if (n > 1) {
    ThrowArgError(0, argerror::kTooMany, "Symbol", nullptr, 0);
    return NilValue();
  }
  if (n < 1) {
    ThrowArgError(0, argerror::kTooFew, "Symbol", nullptr, 0);
    return NilValue();
  }
  if (Empty(_NCARG(&args[0]))) return SymbolValue(0);
  if (Sym symbol = NameSymbol(&args[0])) return SymbolValue(symbol);
  ThrowArgError(1, argerror::kInvalidSymbol, "Symbol", nullptr, 0);
  return NilValue();
}
