#include "string_make.h"
#include "tb28run/datetime.h"

TBRT TbStr Version(void) { return tb::MakeString("Version", "TB28RUN 2.8.0"); }
