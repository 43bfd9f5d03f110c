#include "support/URegistry.h"

#include <algorithm>
#include <vector>

#include "support/UJournal.h"
#include "support/UPlatform.h"
#include "support/UText.h"
#include "support/WinHandles.h"

using brd::UniqueKey;

namespace {

UniqueKey OpenKey(HKEY root, const std::wstring& path, REGSAM access) {
    UniqueKey key;
    if (RegOpenKeyExW(root, path.c_str(), 0, access | RegView, key.put()) != ERROR_SUCCESS) key.release();
    return key;
}

UniqueKey CreateKey(HKEY root, const std::wstring& path) {
    UniqueKey key;
    if (!KeepRegKeyBeforeCreation(root, path)) return key;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | RegView,
                        nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        key.release();
    return key;
}

}  // namespace

bool ReadRegString(HKEY Root, const std::wstring& KeyPath, const std::wstring& ValueName,
                   std::wstring& Value) {
    Value.clear();
    UniqueKey key = OpenKey(Root, KeyPath, KEY_READ);
    if (!key) return false;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key.get(), ValueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;  // a REG_EXPAND_SZ value counts as absent
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
    DWORD read = size;
    if (RegQueryValueExW(key.get(), ValueName.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(data.data()), &read) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    size_t length = std::min<size_t>(read, size) / sizeof(wchar_t);
    // Drop the stored terminator; a value written without one keeps its last character.
    if (length > 0 && data[length - 1] == L'\0') --length;
    Value.assign(data.data(), length);
    return true;
}

bool ReadRegInteger(HKEY Root, const std::wstring& KeyPath, const std::wstring& ValueName,
                    int32_t& Value) {
    Value = 0;
    UniqueKey key = OpenKey(Root, KeyPath, KEY_READ);
    if (!key) return false;
    int32_t data = 0;
    DWORD size = sizeof(data);
    if (RegQueryValueExW(key.get(), ValueName.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&data),
                         &size) != ERROR_SUCCESS)
        return false;
    Value = data;
    return true;
}

bool WriteRegString(HKEY Root, const std::wstring& KeyPath, const std::wstring& ValueName,
                    const std::wstring& Value) {
    UniqueKey key = CreateKey(Root, KeyPath);
    if (!key || !KeepRegValueBeforeChange(Root, KeyPath, ValueName)) return false;
    auto bytes = static_cast<DWORD>((Value.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), ValueName.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(Value.c_str()), bytes) == ERROR_SUCCESS;
}

bool WriteRegInteger(HKEY Root, const std::wstring& KeyPath, const std::wstring& ValueName,
                     int32_t Value) {
    UniqueKey key = CreateKey(Root, KeyPath);
    if (!key || !KeepRegValueBeforeChange(Root, KeyPath, ValueName)) return false;
    return RegSetValueExW(key.get(), ValueName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&Value),
                          sizeof(Value)) == ERROR_SUCCESS;
}

bool CreateRegKey(HKEY Root, const std::wstring& KeyPath) { return CreateKey(Root, KeyPath).valid(); }

bool RegValueExists(HKEY Root, const std::wstring& KeyPath, const std::wstring& ValueName) {
    UniqueKey key = OpenKey(Root, KeyPath, KEY_READ);
    return key && RegQueryValueExW(key.get(), ValueName.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool DeleteRegValue(HKEY Root, const std::wstring& KeyPath, const std::wstring& ValueName) {
    UniqueKey key = OpenKey(Root, KeyPath, KEY_WRITE);
    if (!key || !KeepRegValueBeforeChange(Root, KeyPath, ValueName)) return false;
    return RegDeleteValueW(key.get(), ValueName.c_str()) == ERROR_SUCCESS;
}

void DeleteSubKeys(HKEY OpenKey) {
    DWORD count = 0, longest = 0;
    if (RegQueryInfoKeyW(OpenKey, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
        count == 0)
        return;
    std::vector<wchar_t> name(longest + 1);
    for (DWORD index = count; index-- > 0;) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumKeyExW(OpenKey, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            continue;
        UniqueKey sub;
        if (RegOpenKeyExW(OpenKey, name.data(), 0, KEY_READ | KEY_WRITE | RegView, sub.put()) != ERROR_SUCCESS)
            continue;
        // On the NT family a key that still has subkeys cannot be deleted in one call.
        if (OSPlatformId == VER_PLATFORM_WIN32_NT) DeleteSubKeys(sub.get());
        RegDeleteKeyExW(OpenKey, name.data(), RegView, 0);
    }
}

void DeleteKeyIfEmpty(HKEY Root, const std::wstring& KeyPath) {
    DWORD subKeys = 0, values = 0;
    {
        UniqueKey key = OpenKey(Root, KeyPath, KEY_READ);
        if (!key || RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr,
                                     nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return;
    }
    if (subKeys == 0 && values == 0) DeleteKeyTree(Root, KeyPath, TEmptyAncestors::Keep);
}

bool DeleteKeyTree(HKEY Root, const std::wstring& KeyPath, TEmptyAncestors Ancestors) {
    {
        UniqueKey key = OpenKey(Root, KeyPath, KEY_READ | KEY_WRITE);
        if (!key || !KeepRegTree(Root, KeyPath)) return false;
        DeleteSubKeys(key.get());
    }
    // Delete the key itself, then every ancestor it leaves empty, up to but not
    // including the key directly below the root.
    std::wstring path = KeyPath;
    for (;;) {
        int k = LastCharPos(path, L'\\');
        if (k == 0) break;
        std::wstring parentPath = path.substr(0, k - 1);
        std::wstring child = path.substr(k);
        UniqueKey parent = OpenKey(Root, parentPath, KEY_READ | KEY_WRITE);
        if (!parent) break;
        DWORD subKeys = 0, values = 0;
        if (RegQueryInfoKeyW(parent.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values,
                             nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        // An ancestor goes only when it is left empty; it is kept like the key.
        if (!KeepRegTree(Root, path)) break;
        RegDeleteKeyExW(parent.get(), child.c_str(), RegView, 0);
        if (Ancestors == TEmptyAncestors::Keep || values > 0 || subKeys > 1) break;
        path = parentPath;
    }
    return true;
}

namespace {

struct TRegRoot {
    uint32_t Code;
    HKEY Root;
};

// clang-format off
const TRegRoot RegRoots[] = {
    {rcClassesRoot, HKEY_CLASSES_ROOT},
    {rcCurrentUser, HKEY_CURRENT_USER},
    {rcLocalMachine, HKEY_LOCAL_MACHINE},
    {rcUsers, HKEY_USERS},
};
// clang-format on

}  // namespace

HKEY RegRootFromCode(uint32_t Code) {
    for (const TRegRoot& r : RegRoots)
        if (r.Code == Code) return r.Root;
    return nullptr;
}
