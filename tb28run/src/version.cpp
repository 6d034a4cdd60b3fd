#include "kept_strings.h"
#include "string_make.h"
#include "tb28run/datetime.h"

namespace {

constexpr const char* kVersionText = "TB28RUN 2.8.0";
tb::KeptSlot keptVersion;

}  // namespace

TBRT TbStr Version(void) {
  if (TbStr kept = tb::Kept(keptVersion, kVersionText)) return kept;
  return tb::MakeString("Version", kVersionText);
}
