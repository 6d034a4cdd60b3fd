// Methods of the root class TBObject.
#pragma once

#include "runtime/tb28run.h"

// Sent by the runtime to an object it is about to release: passes DESTROY on to the object.
Usual TBObjectFinalize(Usual self, std::uint32_t countWord, Usual* args);
Usual TBObjectDestroy(Usual self, std::uint32_t countWord, Usual* args);
Usual TBObjectInit(Usual self, std::uint32_t countWord, Usual* args);
