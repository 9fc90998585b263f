// The font configuration library keeps its caches for the life of the process; the leak checker
// would report them at exit for every test that lays out text.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
