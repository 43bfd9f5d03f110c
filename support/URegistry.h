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
bool DeleteRegValue(HKEY Root, const std::wstring& KeyPath, const std::wstring& ValueName);
bool DeleteKeyTree(HKEY Root, const std::wstring& KeyPath);
void DeleteSubKeys(HKEY OpenKey);

// The predefined registry root whose handle has these low 32 bits (0x80000002 is
// HKEY_LOCAL_MACHINE), nullptr for any other value.
HKEY RegRootFromCode(uint32_t Code);
