// A shared object that no test program links: the win32 tests load it while they run, to see
// GetModuleHandleA find a module that arrived after the first lookups.
extern "C" int LateLoadedModuleMarker() { return 20; }
