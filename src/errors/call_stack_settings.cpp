#include "errors/call_stack_settings.h"

std::uint32_t CallStackMaxEntries = 0;
std::uint32_t CallStackStopCount = 0;
std::uint32_t CallStackNumbered = 0;
std::uint32_t CallStackWithFile = 0;
