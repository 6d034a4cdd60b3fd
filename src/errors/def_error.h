// The default error handler and the error block that reaches it.
#pragma once

#include "runtime/tb28run.h"

// Handles one error (an Error object; any other value is wrapped as an error of gen-code 28):
// lets a sharing conflict pass with NetErr, else shows, sounds and logs it and acts on the
// answer. Answers FALSE (default), TRUE (retry), an empty value of the substitute type, or NIL
// should quitting return; a break to a recovery point does not return.
Usual DefError(Usual error);

// The default error block: one parameter, handed to DefError as an object.
extern const CodeBlock DefaultErrorBlock;
