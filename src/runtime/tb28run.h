// The program's view of its runtime library: the exported API and the program's symbols.
#pragma once

#include "atomtable_symbols.h"
#include "tb28run/arrays.h"
#include "tb28run/bringup.h"
#include "tb28run/datetime.h"
#include "tb28run/errors.h"
#include "tb28run/frames.h"
#include "tb28run/intl.h"
#include "tb28run/memory.h"
#include "tb28run/numbers.h"
#include "tb28run/objects.h"
#include "tb28run/strings.h"
#include "tb28run/symbols.h"
#include "tb28run/value_ops.h"
#include "tb28run/values.h"
