// The text an error is shown and logged with: one line per variable that carries something.
#pragma once

#include "runtime/tb28run.h"

// A string value; every line ends with CR LF.
Usual ErrorMessageText(Usual error);
