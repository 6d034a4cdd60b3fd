// Time: the time of day with the separator and clock in force.
#include <cstring>
#include <string>

#include "clock.h"
#include "intl_settings.h"
#include "string_make.h"
#include "tb28run/datetime.h"

TBRT TbStr Time(void) {
  const tb::IntlSettings& s = tb::Intl();
  TbTestLocalTime now = tb::LocalNow();
  unsigned hour = now.hour;
  if (s.amPm) hour = hour % 12 == 0 ? 12 : hour % 12;
  char separator;
  bool separated = tb::TimeSepChar(&separator);
  // Eight characters at most, then the am or pm extension: made on the stack when it is short.
  const std::string* extension = s.amPm ? (now.hour < 12 ? &s.amExt : &s.pmExt) : nullptr;
  std::size_t extra = extension ? extension->size() : 0;
  char room[64];
  std::string large;
  char* text = room;
  if (8 + extra > sizeof room) {
    large.resize(8 + extra);
    text = large.data();
  }
  char* out = text;
  for (unsigned part : {hour, unsigned(now.minute), unsigned(now.second)}) {
    if (out != text && separated) *out++ = separator;
    out[0] = char('0' + part / 10 % 10);
    out[1] = char('0' + part % 10);
    out += 2;
  }
  if (extra) {
    std::memcpy(out, extension->data(), extra);
    out += extra;
  }
  return tb::MakeString("Time", text, std::uint64_t(out - text));
}
