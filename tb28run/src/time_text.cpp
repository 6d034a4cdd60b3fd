// Time: the time of day with the separator and clock in force.
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
  std::string text;
  for (unsigned part : {hour, unsigned(now.minute), unsigned(now.second)}) {
    if (!text.empty() && separated) text += separator;
    text += char('0' + part / 10 % 10);
    text += char('0' + part % 10);
  }
  if (s.amPm) text += now.hour < 12 ? s.amExt : s.pmExt;
  return tb::MakeString("Time", text);
}
