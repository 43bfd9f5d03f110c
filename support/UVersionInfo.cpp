#include "support/UVersionInfo.h"

#include <vector>

#include "support/UPaths.h"
#include "support/UPlatform.h"
#include "support/WinHandles.h"

using brd::UniqueModule;

namespace {

// version.dll is not one of the DLLs the system always takes from its own directory,
// so it is loaded at run time, and only from there.
struct VersionApi {
    using SizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
    using InfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
    using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);

    UniqueModule module;
    SizeFn size = nullptr;
    InfoFn info = nullptr;
    QueryFn query = nullptr;

    VersionApi() {
        module.reset(LoadLibraryExW(L"version.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
        if (!module) module.reset(LoadLibraryW(PathJoin(GetSystemDir(), L"version.dll").c_str()));
        if (!module) return;
        size = reinterpret_cast<SizeFn>(Proc("GetFileVersionInfoSizeW"));
        info = reinterpret_cast<InfoFn>(Proc("GetFileVersionInfoW"));
        query = reinterpret_cast<QueryFn>(Proc("VerQueryValueW"));
    }
    void* Proc(const char* name) { return reinterpret_cast<void*>(GetProcAddress(module.get(), name)); }
    bool Ready() const { return size && info && query; }
};

}  // namespace

bool GetProductVersion(const std::wstring& FileName, uint32_t& VersionMS, uint32_t& VersionLS) {
    static VersionApi api;
    if (!api.Ready()) return false;
    DWORD handle = 0;
    DWORD size = api.size(FileName.c_str(), &handle);
    if (size == 0) return false;
    std::vector<BYTE> data(size);
    if (!api.info(FileName.c_str(), 0, size, data.data())) return false;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!api.query(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) || !fixed ||
        fixedSize < sizeof(VS_FIXEDFILEINFO))
        return false;
    VersionMS = fixed->dwProductVersionMS;
    VersionLS = fixed->dwProductVersionLS;
    return true;
}
