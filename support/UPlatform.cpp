#include "support/UPlatform.h"

#include <vector>

uint32_t OSPlatformId = 0;

void ReadOSPlatform() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);  // 276 bytes: the plain record
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (GetVersionExW(&info)) OSPlatformId = info.dwPlatformId;
#pragma GCC diagnostic pop
}

namespace {
// The unit's initialisation: the platform id is known before any mode starts.
const bool OSPlatformRead = (ReadOSPlatform(), true);
}  // namespace

void RestrictDllSearchPath() {
    // Takes the current directory out of the search order on every system, and, where
    // the system has it, limits the default search to the system directory.
    SetDllDirectoryW(L"");
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// ---------------------------------------------------------------- platform directories

namespace {

// Calls a query of the shape UINT f(wchar_t* buffer, UINT size) that returns the
// needed size when the buffer is too small, with no fixed limit on the length.
template <typename Query>
std::wstring QueryPath(Query query) {
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    for (int attempt = 0; attempt < 4; ++attempt) {
        auto length = static_cast<size_t>(query(buffer.data(), static_cast<UINT>(buffer.size())));
        if (length == 0) return L"";
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(length + 1);
    }
    return L"";
}

}  // namespace

std::wstring GetCurrentDir() {
    return QueryPath([](wchar_t* b, UINT n) { return GetCurrentDirectoryW(n, b); });
}
std::wstring GetWindowsDir() {
    return QueryPath([](wchar_t* b, UINT n) { return GetWindowsDirectoryW(b, n); });
}
std::wstring GetSystemDir() {
    return QueryPath([](wchar_t* b, UINT n) { return GetSystemDirectoryW(b, n); });
}
std::wstring GetTempDir() {
    return QueryPath([](wchar_t* b, UINT n) { return GetTempPathW(n, b); });
}
std::wstring GetFullPath(const std::wstring& Path) {
    return QueryPath([&](wchar_t* b, UINT n) { return GetFullPathNameW(Path.c_str(), n, b, nullptr); });
}
