// The compile wait of the test programs that link TestCompileTimeout.cpp: the
// setup program's 45000 ms unless a test shortens it.
#pragma once

#include <cstdint>

extern uint32_t TestCompileTimeoutMs;
