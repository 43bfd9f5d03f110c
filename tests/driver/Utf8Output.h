// Output of the Windows-side test programs: UTF-8 bytes on standard output, so the
// host-side scripts read texts as they are, whatever the console code page.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

#include "support/UTextFile.h"

inline void PrintUtf8(const std::wstring& text) {
    const std::string out = WideToUtf8(text);
    fwrite(out.data(), 1, out.size(), stdout);
    fflush(stdout);
}
