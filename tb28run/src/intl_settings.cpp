#include "intl_settings.h"

#include "reset.h"

namespace tb {
namespace {

IntlSettings& Instance() {
  static IntlSettings settings;
  return settings;
}

const ResetRegistration reset([] { Instance() = IntlSettings{}; });

}  // namespace

IntlSettings& Intl() { return Instance(); }

char DecimalChar() {
  char c = char(Intl().decimalSep & 0xFF);
  return c ? c : '.';
}

bool TimeSepChar(char* out) {
  *out = char(Intl().timeSep & 0xFF);
  return *out != '\0';
}

}  // namespace tb
