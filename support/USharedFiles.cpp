#include "support/USharedFiles.h"

#include <windows.h>

#include "support/URegistry.h"
#include "support/UVersionInfo.h"
#include "support/WinHandles.h"

namespace {

brd::UniqueKey OpenSharedDlls(REGSAM access) {
    brd::UniqueKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, SharedDllsKey, 0, access | RegView, key.put()) != ERROR_SUCCESS) return {};
    return key;
}

}  // namespace

uint32_t SharedFileCount(const std::wstring& Path) {
    brd::UniqueKey key = OpenSharedDlls(KEY_READ);
    DWORD type = 0, count = 0, size = sizeof(count);
    if (!key || RegQueryValueExW(key.get(), Path.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&count), &size) !=
                    ERROR_SUCCESS)
        return 0;
    // A value of another type is no count this program can trust.
    return type == REG_DWORD && size == sizeof(count) ? count : 0;
}

bool AddSharedFileUse(const std::wstring& Path, bool ExistedBefore) {
    uint32_t count = SharedFileCount(Path);
    if (count == 0 && ExistedBefore) count = 1;
    return WriteRegInteger(HKEY_LOCAL_MACHINE, SharedDllsKey, Path, static_cast<int32_t>(count + 1));
}

bool ReleaseSharedFileUse(const std::wstring& Path) {
    const uint32_t count = SharedFileCount(Path);
    if (count == 0) return false;
    if (count > 1) {
        WriteRegInteger(HKEY_LOCAL_MACHINE, SharedDllsKey, Path, static_cast<int32_t>(count - 1));
        return false;
    }
    DeleteRegValue(HKEY_LOCAL_MACHINE, SharedDllsKey, Path);
    DeleteKeyIfEmpty(HKEY_LOCAL_MACHINE, SharedDllsKey);
    return true;
}

bool IsNewerVersion(const std::wstring& Existing, const std::wstring& Replacement) {
    uint32_t existingMs = 0, existingLs = 0, replacementMs = 0, replacementLs = 0;
    if (!GetProductVersion(Existing, existingMs, existingLs)) return false;
    if (!GetProductVersion(Replacement, replacementMs, replacementLs)) return true;
    return existingMs > replacementMs || (existingMs == replacementMs && existingLs > replacementLs);
}
