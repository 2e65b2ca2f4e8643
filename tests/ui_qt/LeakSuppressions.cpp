// The system's font configuration library keeps caches for the life of the process; the
// leak checker of sanitizer builds is told to leave them alone.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }
