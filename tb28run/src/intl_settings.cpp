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

}  // namespace tb
