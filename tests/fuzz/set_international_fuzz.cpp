// SetInternational over arbitrary locale answers (or none: the query fails), with the work buffer's
// allocation failing now and then, and with any value as the mode. It must give the caller's error
// block back, close its recovery point, answer the previous mode as one of the three mode symbols,
// and leave settings that dates, times and numbers can be written with.
#include <win32_testing.h>
#include <windows.h>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>

#include "fuzz_session.h"
#include "intl/set_international.h"
#include "program_input.h"
#include "runtime/call.h"
#include "tb28run/testing.h"
#include "value_maker.h"

namespace {

constexpr LCTYPE kQueries[] = {LOCALE_SDECIMAL, LOCALE_STHOUSAND, LOCALE_STIME, LOCALE_ITIME,      LOCALE_S1159,
                               LOCALE_S2359,    LOCALE_IDATE,     LOCALE_SDATE, LOCALE_SSHORTDATE, LOCALE_IDIGITS};

// Answers a real locale gives, which the fuzzer would take long to spell.
constexpr const char* kTypical[] = {
    "0",          "1",        "2",  "3",  ".",     ",", ":",           "/",  "-",  "dd.MM.yyyy", "M/d/yyyy",
    "yyyy-MM-dd", "dd/MM/yy", "AM", "PM", "vorm.", "",  "99999999999", "-7", " 2", "\xA0",       "\xE2\x80\xAF"};

bool IsModeSymbol(Usual value) {
  return value.type == T_SYMBOL &&
         (value.value == SYM_WINDOWS || value.value == SYM_KESTRAN || value.value == SYM_BINARY);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::AnsweredInput input(data, size);
  auto& [in, session, roots, maker] = input;

  for (LCTYPE query : kQueries) {
    switch (in.ConsumeIntegralInRange(0, 3)) {
      case 0: break;  // the locale in force answers
      case 1: Win32TestSetLocaleAnswer(query, nullptr); break;
      case 2:
        Win32TestSetLocaleAnswer(query, kTypical[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kTypical) - 1)]);
        break;
      default: Win32TestSetLocaleAnswer(query, in.ConsumeRandomLengthString(100).c_str()); break;
    }
  }

  for (int call = 0, calls = in.ConsumeIntegralInRange(1, 3); call < calls; ++call) {
    if (in.ConsumeIntegralInRange(0, 7) == 0)
      TbTestFailNthCall(TB_HOOK_MEMALLOC, in.ConsumeIntegralInRange<std::uint32_t>(1, 4));
    fuzz::Balance before = fuzz::BalanceNow();
    Usual previous;
    switch (in.ConsumeIntegralInRange(0, 7)) {
      case 0: previous = CallKest<1>(SetInternational); break;
      case 1: previous = CallKest<1>(SetInternational, SymbolValue(SYM_KESTRAN)); break;
      case 2: previous = CallKest<1>(SetInternational, SymbolValue(SYM_BINARY)); break;
      case 3: previous = CallKest<1>(SetInternational, maker.Any()); break;
      default: previous = CallKest<1>(SetInternational, SymbolValue(SYM_WINDOWS)); break;
    }
    TbTestFailNthCall(TB_HOOK_MEMALLOC, 0);
    fuzz::CheckBalance(before, "SetInternational");
    if (!IsModeSymbol(previous)) fuzz::Finding("SetInternational answered no mode symbol");

    // What the settings are for.
    roots.Keep(StringValue(DToC(Usual{in.ConsumeIntegral<std::uint32_t>(), T_DATE})));
    roots.Keep(StringValue(Time()));
    Usual number = maker.Number();
    Usual text = roots.Keep(CallKest<3>(__Str, number, IntValue(in.ConsumeIntegralInRange(0, 30)),
                                        IntValue(in.ConsumeIntegralInRange(0, 9))));
    if (text.type == T_STRING) roots.Keep(Val(AsStr(text)));
  }
  return 0;
}
