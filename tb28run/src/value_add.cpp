// Adding dynamic values: strings, numbers, and dates with days.
#include <cmath>
#include <cstdint>

#include "arg_demand.h"
#include "calendar.h"
#include "error_road.h"
#include "heap.h"
#include "tb28run/strings.h"
#include "tb28run/value_ops.h"

namespace {

bool IsWhole(const Usual& u) { return HasType(u, T_INT) || HasType(u, T_DWORD); }

Usual AddNumbers(const Usual& a, const Usual& b) {
  if (IsWhole(a) && IsWhole(b)) {
    std::int64_t sum = std::int64_t(tb::NumberOf(a)) + std::int64_t(tb::NumberOf(b));
    if (sum >= INT32_MIN && sum <= INT32_MAX) return IntValue(std::int32_t(sum));
    return tb::NewFloat(double(sum), 0);
  }
  // The sum shows as many decimals as the more precise operand; a float that defers to the
  // setting makes the sum defer too.
  std::int32_t da = HasType(a, T_FLOAT) ? tb::FloatDecimals(a) : 0;
  std::int32_t db = HasType(b, T_FLOAT) ? tb::FloatDecimals(b) : 0;
  std::int32_t decimals = da < 0 || db < 0 ? -1 : da > db ? da : db;
  return tb::NewFloat(tb::NumberOf(a) + tb::NumberOf(b), decimals);
}

Usual AddDays(const Usual& date, const Usual& days) {
  std::int64_t day = std::int64_t(AsDay(date));
  if (day == 0) return date;  // the empty date has no day to count from
  double later = double(day) + std::trunc(tb::NumberOf(days));
  if (later >= double(tb::kFirstDay) && later <= double(tb::kLastDay))
    return Usual{std::uintptr_t(std::int64_t(later)), T_DATE};
  tb::RaiseSpec report;
  report.gencode = tb::EG_NUMOVERFLOW;
  report.operation = "+";
  report.description = "The date lies outside the years 1 to 9999";
  report.SetArgs({date, days});
  report.canDefault = true;
  report.canSubstitute = true;
  report.substituteType = T_DATE;
  return tb::RaiseError(report).SubstituteOr(Usual{0, T_DATE});
}

bool Addable(const Usual& u) { return HasType(u, T_STRING) || HasType(u, T_DATE) || tb::IsNumber(u); }

}  // namespace

TBRT Usual _PAD(Usual a, Usual b) {
  bool aFits = true;  // else a is the operand at fault
  auto addable = [&] {
    aFits = Addable(a);
    return (HasType(a, T_STRING) && HasType(b, T_STRING)) || (tb::IsNumber(a) && tb::IsNumber(b)) ||
           (HasType(a, T_DATE) && tb::IsNumber(b)) || (tb::IsNumber(a) && HasType(b, T_DATE));
  };
  auto report = [&] {
    return tb::TypeReport("+", aFits ? b : a, aFits && HasType(a, T_STRING) ? T_STRING : T_INT, aFits ? 2 : 1);
  };
  if (!tb::Insist(addable, report, [&](const Usual& substitute) { (aFits ? b : a) = substitute; }).holds) return a;
  if (HasType(a, T_STRING)) return StringValue(_CCS(AsStr(a), AsStr(b)));
  if (tb::IsNumber(a) && tb::IsNumber(b)) return AddNumbers(a, b);
  return HasType(a, T_DATE) ? AddDays(a, b) : AddDays(b, a);
}
