/* A DLL of this build that a stand-in module imports: not a system DLL. */
__declspec(dllexport) int StandInHelper(void) { return 0; }
