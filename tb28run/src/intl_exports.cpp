// Querying and changing the international settings.
#include <string>

#include "arg_demand.h"
#include "heap.h"
#include "intl_settings.h"
#include "number_text.h"
#include "tb28run/intl.h"

namespace {

bool IsLogic(const Usual& u) { return HasType(u, T_LOGIC); }
bool IsModeValue(const Usual& u) { return HasType(u, T_LOGIC) || tb::IsNumber(u); }

template <typename T>
Usual Whole(const char* operation, std::uint32_t countWord, Usual* args, T& setting, std::int64_t low,
            std::int64_t high) {
  Usual previous = IntValue(std::int32_t(setting));
  Usual value = tb::ArgAt(countWord, args, 0);
  std::int64_t n;
  if (!IsNilValue(value) && tb::DemandWhole(operation, value, 1, low, high, &n)) setting = T(n);
  return previous;
}

std::string Copy(TbStr text) { return std::string(tb::Text(text), tb::Length(text)); }

}  // namespace

TBRT Usual _SetIntl(std::uint32_t countWord, Usual* args) {
  std::int32_t& mode = tb::Intl().mode;
  Usual previous = IntValue(mode);
  Usual value = tb::ArgAt(countWord, args, 0);
  if (IsNilValue(value) || !tb::Demand("_SetIntl", value, T_INT, 1, IsModeValue)) return previous;
  if (HasType(value, T_LOGIC)) {
    mode = AsLogicWord(value) == 2 ? 2 : AsLogicWord(value) != 0 ? 1 : 0;
    return previous;
  }
  std::int64_t n;
  if (tb::DemandWhole("_SetIntl", value, 1, INT32_MIN, INT32_MAX, &n)) mode = std::int32_t(n);
  return previous;
}

TBRT Usual _SetDict(std::uint32_t countWord, Usual* args) {
  std::uintptr_t& dict = tb::Intl().dict;
  Usual previous{dict, T_LOGIC};
  Usual value = tb::ArgAt(countWord, args, 0);
  if (!IsNilValue(value) && tb::Demand("_SetDict", value, T_LOGIC, 1, IsLogic)) dict = AsLogicWord(value);
  return previous;
}

TBRT Usual SetAmPm(std::uint32_t countWord, Usual* args) {
  return tb::SwitchSetting("SetAmPm", tb::Intl().amPm, countWord, args);
}

TBRT Usual SetCentury(std::uint32_t countWord, Usual* args) {
  return tb::SwitchSetting("SetCentury", tb::Intl().century, countWord, args);
}

TBRT Usual SetDecimalSep(std::uint32_t countWord, Usual* args) {
  return Whole("SetDecimalSep", countWord, args, tb::Intl().decimalSep, 0, 255);
}

TBRT Usual SetThousandSep(std::uint32_t countWord, Usual* args) {
  return Whole("SetThousandSep", countWord, args, tb::Intl().thousandSep, 0, 255);
}

TBRT Usual SetDecimal(std::uint32_t countWord, Usual* args) {
  return Whole("SetDecimal", countWord, args, tb::Intl().decimals, 0, tb::kMaxDecimals);
}

TBRT Usual SetEpoch(std::uint32_t countWord, Usual* args) {
  return Whole("SetEpoch", countWord, args, tb::Intl().epoch, 0, 9999);
}

TBRT void SetTimeSep(std::uint32_t code) { tb::Intl().timeSep = code & 0xFF; }
TBRT void SetAMExt(TbStr text) { tb::Intl().amExt = Copy(text); }
TBRT void SetPMExt(TbStr text) { tb::Intl().pmExt = Copy(text); }
TBRT void SetDateFrmt(TbStr picture) { tb::Intl().dateFormat = Copy(picture); }
