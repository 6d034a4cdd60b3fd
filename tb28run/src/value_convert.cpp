// Dynamic values to plain C types, and unsigned numbers to dynamic values.
#include <cmath>

#include "arg_demand.h"
#include "heap.h"
#include "tb28run/value_ops.h"

namespace {

bool IsLogic(const Usual& u) { return HasType(u, T_LOGIC); }
bool IsStringValue(const Usual& u) { return HasType(u, T_STRING); }
bool IsSymbolValue(const Usual& u) { return HasType(u, T_SYMBOL); }

// The conversions a late-bound call makes every time return at once for a value of the right
// type; the road lies in functions of their own, so that the quick case never writes its
// argument to memory.
__attribute__((noinline)) TbStr StringRaising(Usual value) {
  if (!tb::DemandRaising("_P2String", value, T_STRING, 1, IsStringValue)) return tb::NewString("", 0);
  return AsStr(value);
}

__attribute__((noinline)) Sym SymbolRaising(Usual value) {
  if (!tb::DemandRaising("_P2Symbol", value, T_SYMBOL, 1, IsSymbolValue)) return 0;
  return AsSym(value);
}

}  // namespace

TBRT Usual _DW2T(std::uint32_t value) { return tb::DwordValue(value); }

namespace {

__attribute__((noinline)) std::uint32_t DwordConverting(Usual value) {
  if (!tb::DemandNumber("_P2DW", value, 1)) return 0;
  if (!HasType(value, T_FLOAT)) return std::uint32_t(WordOf(value));
  double whole = std::trunc(tb::FloatOf(value));
  if (!std::isfinite(whole)) return 0;
  double low = std::fmod(whole, 4294967296.0);  // exact for every double
  if (low < 0) low += 4294967296.0;
  return std::uint32_t(low);
}

}  // namespace

// An index or count is nearly always an integer: that case returns at once.
TBRT std::uint32_t _P2DW(Usual value) {
  return HasType(value, T_INT) || HasType(value, T_DWORD) ? std::uint32_t(WordOf(value)) : DwordConverting(value);
}

TBRT std::int32_t _P2Logic(Usual value) {
  if (!tb::Demand("_P2Logic", value, T_LOGIC, 1, IsLogic)) return 0;
  return AsLogic(value);
}

TBRT TbStr _P2String(Usual value) { return IsStringValue(value) ? AsStr(value) : StringRaising(value); }

TBRT Sym _P2Symbol(Usual value) { return IsSymbolValue(value) ? AsSym(value) : SymbolRaising(value); }

TBRT void* _P2Ptr(Usual value) {
  if (!tb::Demand("_P2Ptr", value, T_PTR, 1, IsPointerValue)) return nullptr;
  return AsPtr(value);
}
