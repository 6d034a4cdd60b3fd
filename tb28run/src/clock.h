// The local date and time of day, from the host or from a test.
#pragma once

#include "tb28run/testing_clock.h"

namespace tb {

TbTestLocalTime LocalNow();

}  // namespace tb
