// Today and DToC: dates in the picture in force.
#include <cctype>
#include <string>

#include "arg_demand.h"
#include "calendar.h"
#include "clock.h"
#include "intl_settings.h"
#include "string_make.h"
#include "tb28run/datetime.h"

namespace {

bool IsDate(const Usual& u) { return u.type == T_DATE; }

std::string Padded(std::int32_t value, std::size_t width) {
  std::string digits = std::to_string(value);
  if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
  return digits;
}

// The date (or, for an empty one, blanks of the same shape) in the picture.
std::string Format(std::int64_t dayNumber, const std::string& picture, bool century) {
  bool blank = !tb::IsCalendarDay(dayNumber);
  tb::CivilDate date = blank ? tb::CivilDate{0, 0, 0} : tb::CivilOf(dayNumber);
  std::string out;
  for (std::size_t i = 0; i < picture.size();) {
    char letter = char(std::toupper(static_cast<unsigned char>(picture[i])));
    if (letter != 'D' && letter != 'M' && letter != 'Y') {
      out += picture[i++];
      continue;
    }
    std::size_t run = 0;
    while (i < picture.size() && std::toupper(static_cast<unsigned char>(picture[i])) == letter) ++i, ++run;
    std::string field;
    if (letter == 'Y') {
      bool full = run > 2 || century;
      field = full ? Padded(date.year, 4) : Padded(date.year % 100, 2);
    } else {
      field = Padded(letter == 'D' ? date.day : date.month, run);
    }
    out += blank ? std::string(letter == 'Y' ? field.size() : run, ' ') : field;
  }
  return out;
}

}  // namespace

TBRT Usual Today(void) {
  TbTestLocalTime now = tb::LocalNow();
  return Usual{std::uintptr_t(tb::DayNumber(now.year, now.month, now.day)), T_DATE};
}

TBRT TbStr DToC(Usual date) {
  if (!tb::Demand("DToC", date, T_DATE, 1, IsDate)) date = Usual{0, T_DATE};
  const tb::IntlSettings& s = tb::Intl();
  return tb::MakeString("DToC", Format(std::int64_t(std::uint32_t(date.value)), s.dateFormat, s.century));
}
