// fontconfig keeps allocations of its own until the process ends; the leak
// checker of sanitized builds is told so, for the whole window test program.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
