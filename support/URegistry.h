// Registry values and keys, always in the 32-bit view. Each call opens and closes
// its own key; failures are false, never exceptions.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// The access mask that selects the 32-bit registry view in either build.
constexpr REGSAM RegView = KEY_WOW64_32KEY;

bool ReadRegString(HKEY Root, const std::wstring& KeyPath, const std::wstring& ValueName,
                   std::wstring& Value);
bool ReadRegInteger(HKEY Root, const std::wstring& KeyPath, const std::wstring& ValueName,
                    int32_t& Value);
bool WriteRegString(HKEY Root, const std::wstring& KeyPath, const std::wstring& ValueName,
                    const std::wstring& Value);
bool WriteRegInteger(HKEY Root, const std::wstring& KeyPath, const std::wstring& ValueName,
                     int32_t Value);
bool CreateRegKey(HKEY Root, const std::wstring& KeyPath);
// Whether the value exists, whatever its type.
bool RegValueExists(HKEY Root, const std::wstring& KeyPath, const std::wstring& ValueName);
bool DeleteRegValue(HKEY Root, const std::wstring& KeyPath, const std::wstring& ValueName);
// What DeleteKeyTree does with the ancestors the deletion leaves empty: a key of our
// own (the product's) takes its emptied maker key with it; an entry in a list that
// belongs to the system (the uninstall entries) must leave the list as it found it,
// even when it was the only entry.
enum class TEmptyAncestors { Delete,
                             Keep };

// Deletes KeyPath with everything below it, then (Delete) every ancestor that leaves
// empty, up to but not including the key directly below the root.
bool DeleteKeyTree(HKEY Root, const std::wstring& KeyPath, TEmptyAncestors Ancestors = TEmptyAncestors::Delete);
void DeleteSubKeys(HKEY OpenKey);
// Deletes KeyPath when it holds no value and no subkey: a list of the system's that
// only this program's entries made (on a fresh machine) is not left behind empty.
void DeleteKeyIfEmpty(HKEY Root, const std::wstring& KeyPath);

// Registry roots as script rows and uninstall records store them: the low 32 bits
// of the predefined root handles.
enum TRegRootCode : uint32_t {
    rcClassesRoot = 0x80000000,
    rcCurrentUser = 0x80000001,
    rcLocalMachine = 0x80000002,
    rcUsers = 0x80000003,
};

// The predefined registry root of one of these codes, nullptr for any other value.
HKEY RegRootFromCode(uint32_t Code);
