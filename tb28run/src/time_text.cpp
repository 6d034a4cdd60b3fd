// Time: the time of day with the separator and clock in force.
#include <cstring>
#include <string>

#include "clock.h"
#include "intl_settings.h"
#include "scratch_text.h"
#include "string_make.h"
#include "tb28run/datetime.h"

namespace {

// The last two decimal digits of a part of the time.
char* Digits(char* out, unsigned part) {
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  unsigned pair = 2 * (part % 100);
  out[0] = kPairs[pair];
  out[1] = kPairs[pair + 1];
  return out + 2;
}

// The hours, minutes and seconds (with the separator between them, when there is one) and the
// extension written at text, which has room for them; returns the end.
char* Write(char* text, unsigned hour, const TbTestLocalTime& now, bool separated, char separator,
            const std::string* extension) {
  char* out = Digits(text, hour);
  if (separated) *out++ = separator;
  out = Digits(out, now.minute);
  if (separated) *out++ = separator;
  out = Digits(out, now.second);
  if (extension && !extension->empty()) {
    std::memcpy(out, extension->data(), extension->size());
    out += extension->size();
  }
  return out;
}

}  // namespace

TBRT TbStr Time(void) {
  const tb::IntlSettings& s = tb::Intl();
  TbTestLocalTime now = tb::LocalNow();
  unsigned hour = now.hour;
  if (s.amPm) hour = hour % 12 == 0 ? 12 : hour % 12;
  char separator;
  bool separated = tb::TimeSepChar(s, &separator);
  const std::string* extension = s.amPm ? (now.hour < 12 ? &s.amExt : &s.pmExt) : nullptr;
  // Eight characters at most, then the am or pm extension.
  tb::ScratchText<64> scratch(8 + (extension ? extension->size() : 0));
  char* end = Write(scratch.data(), hour, now, separated, separator, extension);
  return tb::MakeString("Time", scratch.data(), std::uint64_t(end - scratch.data()));
}
