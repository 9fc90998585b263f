// Fontconfig keeps its font patterns for the life of the process in a form the leak checker cannot
// follow (encoded offsets), so they are reported at exit although nothing of ours leaks.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
