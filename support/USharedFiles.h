// Files of the system folder that several programs install and use, counted as
// Windows counts them: one a program under
// HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\SharedDLLs, a
// REG_DWORD value named by the file's full path.
#pragma once

#include <cstdint>
#include <string>

inline constexpr const wchar_t* SharedDllsKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// The count of Path; 0 when it has none.
uint32_t SharedFileCount(const std::wstring& Path);

// One more user of Path. A file that was there before without a count starts at 1
// for its earlier owner. False when the count cannot be written.
bool AddSharedFileUse(const std::wstring& Path, bool ExistedBefore);

// One user fewer. True when that was the last one: the count is gone and the file
// may be deleted; false while others use it, and for a file without a count (its
// users are unknown, so it stays).
bool ReleaseSharedFileUse(const std::wstring& Path);

// Whether the version resource of Existing names a newer version than that of
// Replacement (product versions compared; a file without one is older).
bool IsNewerVersion(const std::wstring& Existing, const std::wstring& Replacement);
