// Today and DToC: dates in the picture in force.
#include <cstring>
#include <string>
#include <string_view>

#include "arg_demand.h"
#include "calendar.h"
#include "clock.h"
#include "intl_settings.h"
#include "scratch_text.h"
#include "string_make.h"
#include "tb28run/datetime.h"

namespace {

bool IsDate(const Usual& u) { return HasType(u, T_DATE); }

// The picture letter a character stands for, in either case: ASCII d, m and y only, which are
// the only characters that OR 0x20 turns into them.
char Folded(char c) { return char(c | 0x20); }

// Writes value in decimal with zeros before it to make at least width characters. The fields of
// a calendar day (a year of 1 to 9999, its last two digits, a month, a day) are never negative
// and have at most four digits.
char* Padded(char* out, std::uint32_t value, std::size_t width) {
  std::size_t digits = value >= 1000 ? 4 : value >= 100 ? 3 : value >= 10 ? 2 : 1;
  if (width > digits) {
    std::memset(out, '0', width - digits);
    out += width - digits;
  }
  switch (digits) {
    case 4: *out++ = char('0' + value / 1000); [[fallthrough]];
    case 3: *out++ = char('0' + value / 100 % 10); [[fallthrough]];
    case 2: *out++ = char('0' + value / 10 % 10); [[fallthrough]];
    default: *out++ = char('0' + value % 10);
  }
  return out;
}

// The longest text a picture can give: every letter of it a field of its own, a year of four
// digits or a day or month of two, at most four characters for each.
std::size_t MostFor(std::size_t pictureLength) { return 4 * pictureLength; }

// The date (or, for an empty one, blanks of the same shape) in the picture, written at out
// (room for MostFor(picture.size()) characters); returns the end.
char* Format(char* out, std::int64_t dayNumber, std::string_view picture, bool century) {
  bool blank = !tb::IsCalendarDay(dayNumber);
  tb::CivilDate date = blank ? tb::CivilDate{0, 0, 0} : tb::CivilOf(dayNumber);
  const char* at = picture.data();
  const char* end = at + picture.size();
  while (at != end) {
    char letter = Folded(*at);
    if (letter != 'd' && letter != 'm' && letter != 'y') {
      *out++ = *at++;
      continue;
    }
    const char* runStart = at;
    do ++at;
    while (at != end && Folded(*at) == letter);
    std::size_t run = std::size_t(at - runStart);
    if (letter == 'y') {
      bool full = run > 2 || century;
      if (blank) {
        std::size_t width = full ? 4 : 2;
        std::memset(out, ' ', width);
        out += width;
      } else {
        out = full ? Padded(out, std::uint32_t(date.year), 4) : Padded(out, std::uint32_t(date.year % 100), 2);
      }
    } else if (blank) {
      std::memset(out, ' ', run);
      out += run;
    } else {
      out = Padded(out, std::uint32_t(letter == 'd' ? date.day : date.month), run);
    }
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
  std::int64_t day = std::int64_t(AsDay(date));
  std::string_view picture = s.dateFormat;
  tb::ScratchText<64> scratch(MostFor(picture.size()));
  char* text = scratch.data();
  std::size_t length = std::size_t(Format(text, day, picture, s.century) - text);
  return tb::MakeString("DToC", text, length);
}

namespace {

constexpr const char* kVersionText = "TB28RUN 2.8.0";
tb::KeptSlot keptVersion;

}  // namespace

TBRT TbStr Version(void) { return tb::KeptOrMade(keptVersion, "Version", kVersionText); }
