// The runtime's on/off switches that the error handler reads and sets.
#include "tb28run/switches.h"
#include "arg_demand.h"
#include "reset.h"

namespace {

struct Switches {
  bool beep = true;
  bool errorLog = true;
  bool netErr = false;
};

Switches& CurrentSwitches() {
  static Switches switches;
  return switches;
}

const tb::ResetRegistration reset([] { CurrentSwitches() = Switches{}; });

}  // namespace

TBRT Usual SetBeep(std::uint32_t countWord, Usual* args) {
  return tb::SwitchSetting("SetBeep", CurrentSwitches().beep, countWord, args);
}
TBRT Usual SetErrorLog(std::uint32_t countWord, Usual* args) {
  return tb::SwitchSetting("SetErrorLog", CurrentSwitches().errorLog, countWord, args);
}
TBRT Usual NetErr(std::uint32_t countWord, Usual* args) {
  return tb::SwitchSetting("NetErr", CurrentSwitches().netErr, countWord, args);
}
