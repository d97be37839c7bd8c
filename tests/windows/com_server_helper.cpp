// A DLL of the test COM server's own, found beside it or not at all.
extern "C" __declspec(dllexport) int PellumarComServerHelper() { return 42; }
