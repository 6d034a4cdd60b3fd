// The executable's entry: straight into the process entry, which never returns.
#include <windows.h>

#include "startup/process_entry.h"

#if defined(_WIN32)
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { ProcessEntry(); }
#else
int main() { ProcessEntry(); }
#endif
