// Replaces the setup program's compile wait (script/UCompileTimeout.cpp) in the test
// programs that link this file, so that a compiler that hangs costs a test a second
// instead of 45. The library's definition is then never linked.
#include "tests/driver/TestCompileTimeout.h"

#include "script/UCompile.h"

uint32_t TestCompileTimeoutMs = DefaultCompileTimeoutMs;

uint32_t CompileTimeoutMs() { return TestCompileTimeoutMs; }
