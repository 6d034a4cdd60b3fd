#include "string_make.h"
#include "tb28run/datetime.h"

namespace {

constexpr const char* kVersionText = "TB28RUN 2.8.0";
tb::KeptSlot keptVersion;

}  // namespace

TBRT TbStr Version(void) { return tb::KeptOrMade(keptVersion, "Version", kVersionText); }
