#include "intl/windows_mode.h"

#include <windows.h>

#include "runtime/call.h"
#include "runtime/frame_guard.h"
#include "runtime/tb28run.h"

namespace {

constexpr std::uint16_t kSetterParams = 1;  // every settings export declares one parameter
constexpr int kBufferSize = 64;

// One locale query into the work buffer: the characters written with the NUL, 0 for no answer.
// Without a buffer (memory was short) the locale is not asked at all, so that a null buffer never
// reaches the system; every setting then takes its fallback.
int Ask(LCID locale, LCTYPE type, char* buffer) {
  if (buffer == nullptr) return 0;
  return GetLocaleInfoA(locale, type, buffer, kBufferSize);
}

std::uint32_t FirstByte(const char* buffer) { return static_cast<unsigned char>(buffer[0]); }

// The answer of n characters (NUL included) as a string.
TbStr Answer(const char* buffer, int n) { return Left(Psz2String(buffer), std::uint32_t(n - 1)); }

void Append(Usual& text, TbStr piece) { text = StringValue(_CCS(AsStr(text), piece)); }

// The date picture in the locale's field order and separator. The short date decides only between
// a two- and a four-digit year.
Usual DatePicture(std::int16_t order, Usual separator, Usual shortDate) {
  static const FrameInfo kFrame{"INTLDATEPICTURE", "intl/windows_mode.cpp"};
  enum { kDay, kMonth, kYear, kPicture, kLocalCount };
  Usual locals[kLocalCount];
  FrameGuard frame(kFrame, 0, nullptr, locals, kLocalCount);
  locals[kDay] = StringValue(Psz2String("DD"));
  locals[kMonth] = StringValue(Psz2String("MM"));
  bool fourDigits = At(Psz2String("YYYY"), AsStr(shortDate)) != 0;
  locals[kYear] = StringValue(Psz2String(fourDigits ? "YYYY" : "YY"));
  static constexpr int kMonthFirst[3] = {kMonth, kDay, kYear};
  static constexpr int kDayFirst[3] = {kDay, kMonth, kYear};
  static constexpr int kYearFirst[3] = {kYear, kMonth, kDay};
  const int* fields = order == 1 ? kDayFirst : order == 2 ? kYearFirst : kMonthFirst;
  locals[kPicture] = locals[fields[0]];
  Append(locals[kPicture], AsStr(separator));
  Append(locals[kPicture], AsStr(locals[fields[1]]));
  Append(locals[kPicture], AsStr(separator));
  Append(locals[kPicture], AsStr(locals[fields[2]]));
  return locals[kPicture];
}

}  // namespace

void ApplyWindowsMode(void** workBuffer) {
  static const FrameInfo kFrame{"INTLWINDOWSMODE", "intl/windows_mode.cpp"};
  enum { kNumber, kText, kSeparator, kShortDate, kLocalCount };
  Usual locals[kLocalCount];
  FrameGuard frame(kFrame, 0, nullptr, locals, kLocalCount);

  CallKest<kSetterParams>(_SetIntl, LogicValue(true));
  LCID locale = GetUserDefaultLCID();
  char* buffer = static_cast<char*>(MemAlloc(kBufferSize));
  *workBuffer = buffer;

  int n = Ask(locale, LOCALE_SDECIMAL, buffer);
  CallKest<kSetterParams>(SetDecimalSep, IntValue(std::int32_t(n > 0 ? FirstByte(buffer) : '.')));
  n = Ask(locale, LOCALE_STHOUSAND, buffer);
  CallKest<kSetterParams>(SetThousandSep, IntValue(std::int32_t(n > 0 ? FirstByte(buffer) : ',')));
  n = Ask(locale, LOCALE_STIME, buffer);
  SetTimeSep(n > 0 ? FirstByte(buffer) : ':');

  // "0" names the 12-hour clock.
  n = Ask(locale, LOCALE_ITIME, buffer);
  locals[kNumber] = n > 0 ? Val(Answer(buffer, n)) : IntValue(0);
  CallKest<kSetterParams>(SetAmPm, LogicValue(_PEQ(locals[kNumber], IntValue(0)) != 0));

  // The designators follow the time after a blank; an empty one leaves the blank alone.
  n = Ask(locale, LOCALE_S1159, buffer);
  locals[kText] = StringValue(Psz2String(n > 0 ? " " : " am"));
  if (n > 0) Append(locals[kText], Answer(buffer, n));
  SetAMExt(AsStr(locals[kText]));
  n = Ask(locale, LOCALE_S2359, buffer);
  locals[kText] = StringValue(Psz2String(n > 0 ? " " : " pm"));
  if (n > 0) Append(locals[kText], Answer(buffer, n));
  SetPMExt(AsStr(locals[kText]));

  n = Ask(locale, LOCALE_IDATE, buffer);
  std::int16_t order = 0;
  if (n > 0) {
    locals[kNumber] = Val(Answer(buffer, n));
    order = std::int16_t(_P2DW(locals[kNumber]));
  }
  n = Ask(locale, LOCALE_SDATE, buffer);
  locals[kSeparator] = StringValue(n > 0 ? Chr(FirstByte(buffer)) : Psz2String("/"));
  n = Ask(locale, LOCALE_SSHORTDATE, buffer);
  locals[kShortDate] = StringValue(n > 0 ? Upper(Answer(buffer, n)) : Psz2String("mm/dd/yy"));
  locals[kText] = DatePicture(order, locals[kSeparator], locals[kShortDate]);
  SetDateFrmt(AsStr(locals[kText]));

  n = Ask(locale, LOCALE_IDIGITS, buffer);
  locals[kNumber] = n > 0 ? Val(Answer(buffer, n)) : IntValue(2);
  CallKest<kSetterParams>(SetDecimal, locals[kNumber]);

  CallKest<kSetterParams>(_SetDict, LogicValue(true));
  CallKest<kSetterParams>(SetCentury, LogicValue(true));
  CallKest<kSetterParams>(SetEpoch, IntValue(1910));
}
