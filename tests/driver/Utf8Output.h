// Output of the Windows-side test programs: UTF-8 bytes on standard output, so the
// host-side scripts read texts as they are, whatever the console code page.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

inline void PrintUtf8(const std::wstring& text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    fwrite(out.data(), 1, out.size(), stdout);
    fflush(stdout);
}
