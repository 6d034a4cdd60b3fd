// The value of a number as a C double.
#pragma once

#include "tb28run/values.h"

// Integers exactly, floats as they are. Any other value raises an argument error whose default
// is 0.
TBRT double _P2Double(Usual value);
