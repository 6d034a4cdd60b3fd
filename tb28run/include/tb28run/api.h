// Export decoration for the runtime's entry points.
#pragma once

#if defined(_WIN32)
#if defined(TB28RUN_BUILDING)
#define TB28RUN_API __declspec(dllexport)
#else
#define TB28RUN_API __declspec(dllimport)
#endif
#else
#define TB28RUN_API __attribute__((visibility("default")))
#endif

// Every export has C linkage so that the DLL exports it under its plain name.
#define TBRT extern "C" TB28RUN_API
