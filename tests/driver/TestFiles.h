// Files that the test programs write byte for byte: scratch files, stand-in IDEs'
// files, the effects of a simulated installation.
#pragma once

#include <windows.h>

#include <string>

#include "support/WinHandles.h"

namespace cvltest {

// Writes Bytes to Path: the whole file (CREATE_ALWAYS), or appended to a file that
// exists (OPEN_EXISTING).
inline bool WriteBytesToFile(const std::wstring& Path, const std::string& Bytes, DWORD Disposition = CREATE_ALWAYS) {
    const DWORD access = Disposition == OPEN_EXISTING ? FILE_APPEND_DATA : GENERIC_WRITE;
    brd::UniqueFile file(CreateFileW(Path.c_str(), access, 0, nullptr, Disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.get(), Bytes.data(), static_cast<DWORD>(Bytes.size()), &written, nullptr) &&
           written == Bytes.size();
}

}  // namespace cvltest
