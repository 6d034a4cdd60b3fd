#include "intl/fixed_modes.h"

#include "runtime/call.h"
#include "runtime/frame_guard.h"
#include "runtime/tb28run.h"

namespace {

constexpr std::uint16_t kSetterParams = 1;  // every settings export declares one parameter

}  // namespace

void ApplyFixedMode(bool binary) {
  static const FrameInfo kFrame{"INTLFIXEDMODE", "intl/fixed_modes.cpp"};
  Usual locals[1];  // the date picture
  FrameGuard frame(kFrame, 0, nullptr, locals, 1);
  CallKest<kSetterParams>(SetDecimalSep, IntValue('.'));
  CallKest<kSetterParams>(SetThousandSep, IntValue(','));
  SetTimeSep(':');
  CallKest<kSetterParams>(SetAmPm, LogicValue(false));
  SetAMExt(nullptr);
  SetPMExt(nullptr);
  locals[0] = StringValue(Psz2String("MM/DD/YY"));
  SetDateFrmt(AsStr(locals[0]));
  CallKest<kSetterParams>(SetDecimal, IntValue(2));
  // The binary mode is told apart by the value 2 carried in a logical.
  Usual mode = binary ? Usual{2, T_LOGIC} : LogicValue(false);
  CallKest<kSetterParams>(_SetDict, mode);
  CallKest<kSetterParams>(_SetIntl, mode);
  CallKest<kSetterParams>(SetCentury, LogicValue(false));
}
