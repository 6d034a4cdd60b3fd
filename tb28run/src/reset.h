// Families that keep state register how to forget it; RTExit and the test reset run them all.
#pragma once

namespace tb {

struct ResetRegistration {
  explicit ResetRegistration(void (*reset)());
};

}  // namespace tb
