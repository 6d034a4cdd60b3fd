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

bool IsLogicOrNil(const Usual& u) { return HasType(u, T_LOGIC) || IsNilValue(u); }

Usual Toggle(const char* operation, bool& setting, std::uint32_t countWord, Usual* args) {
  bool previous = setting;
  Usual wanted = tb::ArgAt(countWord, args, 0);
  if (tb::Demand(operation, wanted, T_LOGIC, 1, IsLogicOrNil) && HasType(wanted, T_LOGIC)) setting = AsLogic(wanted);
  return LogicValue(previous);
}

}  // namespace

TBRT Usual SetBeep(std::uint32_t countWord, Usual* args) {
  return Toggle("SetBeep", CurrentSwitches().beep, countWord, args);
}
TBRT Usual SetErrorLog(std::uint32_t countWord, Usual* args) {
  return Toggle("SetErrorLog", CurrentSwitches().errorLog, countWord, args);
}
TBRT Usual NetErr(std::uint32_t countWord, Usual* args) {
  return Toggle("NetErr", CurrentSwitches().netErr, countWord, args);
}
