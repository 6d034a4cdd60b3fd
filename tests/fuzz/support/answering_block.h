// The error block of a fuzz input: it reads every error it is handed, as a program's handler
// would, and answers what the input scripted; once the script is spent it answers FALSE (take
// the default), so that no retry can go on for ever.
#pragma once

#include <cstdint>

#include "value_maker.h"

namespace fuzz {

// Reads the script (up to a dozen answers: FALSE, TRUE, NIL or any value) and makes the block the
// current error block.
void InstallAnsweringBlock(ValueMaker& maker);
// The errors the block has been handed since it was installed.
std::uint32_t ErrorsAnswered();

}  // namespace fuzz
