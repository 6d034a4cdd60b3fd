// Module initialisation: the classes and their methods, the call-stack settings, the init procedures.
#pragma once

#include <cstdint>

// 0 when every declaration succeeded; otherwise the result of the first that failed.
std::int32_t ModuleInit();
