// The program up, with DefErrorGen as the error function and a caller's error block that records
// every error it receives and answers from a script (error_recorder.h). The clock stands still,
// and the international settings can be read back in one snapshot.
#pragma once

#include <string>
#include <vector>

#include "error_recorder.h"
#include "errors/error_class.h"
#include "intl/set_international.h"
#include "program_fixture.h"
#include "runtime/call.h"
#include "tb28run/testing_clock.h"

// The variables of an Error a test expects the caller's block to receive.
struct ReceivedError {
  std::string subsystem;
  std::uint32_t gencode;
  std::string operation;
  std::string arg;
  bool canDefault;
};

// Everything SetInternational sets, as the runtime reports and writes it.
struct IntlSnapshot {
  std::int32_t mode;
  std::uintptr_t dict;
  std::int32_t decimalSep, thousandSep;
  bool amPm, century;
  std::int32_t decimals, epoch;
  std::string morning, evening;  // Time at 09:07:08 and at 21:07:08
  std::string date;              // DToC of 5 March 2024 as set
  std::string picture;           // the same with the century off: "YY" and "YYYY" show apart
  std::string number;            // __Str(1234, 8, 2)

  bool operator==(const IntlSnapshot&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const IntlSnapshot& s) {
  return out << "{mode " << s.mode << ", dict " << s.dict << ", sep '" << char(s.decimalSep) << "' '"
             << char(s.thousandSep) << "', ampm " << s.amPm << ", century " << s.century << ", decimals " << s.decimals
             << ", epoch " << s.epoch << ", [" << s.morning << "] [" << s.evening << "] [" << s.date << "] ["
             << s.picture << "] [" << s.number << "]}";
}

class IntlTest : public ProgramTest {
 protected:
  static constexpr std::uint32_t kMarch5th2024 = 2460375;  // Julian day number

  void SetUp() override {
    ProgramTest::SetUp();
    ASSERT_EQ(ModuleInit(), 0);
    CallKest<declared::ErrorFunc>(ErrorFunc, PtrValue(reinterpret_cast<const void*>(&DefErrorGen)));
    ErrorRecorder::InstallOnErrors();
  }

  static Usual SetIntl(Usual mode) { return CallKest<1>(SetInternational, mode); }
  static Usual ReportIntl() { return CallKest<1>(SetInternational); }
  static Usual Query(KestFn setter) { return CallKest<1>(setter); }
  static void Set(KestFn setter, Usual value) { CallKest<1>(setter, value); }

  static IntlSnapshot Snapshot() {
    IntlSnapshot s;
    s.mode = AsInt(Query(_SetIntl));
    s.dict = Query(_SetDict).value;
    s.decimalSep = AsInt(Query(SetDecimalSep));
    s.thousandSep = AsInt(Query(SetThousandSep));
    s.amPm = Query(SetAmPm).value != 0;
    s.century = Query(SetCentury).value != 0;
    s.decimals = AsInt(Query(SetDecimal));
    s.epoch = AsInt(Query(SetEpoch));
    s.morning = TimeAt(9);
    s.evening = TimeAt(21);
    s.date = Str(DToC(Usual{kMarch5th2024, T_DATE}));
    Usual century = Query(SetCentury);
    Set(SetCentury, LogicValue(false));
    s.picture = Str(DToC(Usual{kMarch5th2024, T_DATE}));
    Set(SetCentury, century);
    s.number = Str(CallKest<3>(__Str, IntValue(1234), IntValue(8), IntValue(2)));
    return s;
  }

  static std::string TimeAt(std::uint16_t hour) {
    TbTestLocalTime t{2024, 3, 5, hour, 7, 8};
    TbTestSetLocalTime(&t);
    return Str(Time());
  }

  static bool IsSymbol(Usual value, Sym symbol) { return value.type == T_SYMBOL && value.value == symbol; }
  static bool IsCallerBlock(Usual block) { return ErrorRecorder::IsInstalled(block); }

  static std::vector<RaisedError>& Received() { return ErrorRecorder::Raised(); }
};
