// The debug-launch check: when the runtime asks for public collection, only a debug build of the
// executable (its name ending in "DBG") started from a project directory may go on.
#pragma once

#include <cstdint>

void DebugLaunchCheck();

// The buffer the path and then the environment variable are read into.
constexpr std::uint32_t DEBUG_LAUNCH_BUFFER_SIZE = 260;
