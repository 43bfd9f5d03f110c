// The compile wait of the setup program. Alone in its file on purpose: a test
// program that links a definition of its own (tests/driver/TestCompileTimeout.cpp)
// keeps the linker from taking this one out of the library, so the shortened wait
// exists only in test programs, and setup.exe has no way to shorten it.
#include "script/UCompile.h"

uint32_t CompileTimeoutMs() { return DefaultCompileTimeoutMs; }
