// Helpers every subsystem uses to touch the machine: registry values and keys,
// directory codes, path joining, directory creation and removal, payload resources,
// product versions and hidden child processes. Failures are results, never
// exceptions: Booleans for the registry, Windows error codes or flag bits for files.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// Directory codes of script rows, uninstall records and extract mode.
enum TDirCode : uint32_t {
    dcNone = 0,
    dcWindows = 1,
    dcIdeRoot = 2,
    dcRoot = 3,
    dcIdeHelp = 4,
    dcTemp = 5,
    dcSystem = 6,
};

// Result flags of DeleteDirTree, ORed over the whole tree; 0 is complete success.
constexpr uint32_t ddFileDeleteFailed = 0x80000002;
constexpr uint32_t ddListCloseFailed = 0x80000004;
constexpr uint32_t ddRemoveDirFailed = 0x80000008;
constexpr uint32_t ddCheckCloseFailed = 0x80000010;
constexpr uint32_t ddDirNotFound = 0x80000020;
// The directory is no place to delete a tree in (empty, relative, a root, or one of
// the system's own folders); nothing was touched.
constexpr uint32_t ddRefused = 0x80000040;

// The platform id of the running system (2: NT family), read once at start-up.
extern uint32_t OSPlatformId;
void ReadOSPlatform();

// Limits DLL loading to the system directory for the rest of the process, so that
// a DLL planted beside setup.exe (a downloads folder) is never loaded.
void RestrictDllSearchPath();

// Text searches. 1-based positions, 0 when absent or when either text is empty.
int StrPosW(const std::wstring& Text, const std::wstring& Pattern);
int StrPosA(const std::string& Text, const std::string& Pattern);
int LastCharPos(const std::wstring& Text, wchar_t Ch);

// Registry, always in the 32-bit view. Each call opens and closes its own key.
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

// The access mask that selects the 32-bit registry view in either build.
constexpr REGSAM RegView = KEY_WOW64_32KEY;

// Paths.
std::wstring DirCodeToPath(uint32_t Code);
std::wstring SearchPathLocation(uint8_t Code);
std::wstring PathJoin(const std::wstring& Dir, const std::wstring& Name);
// Puts Path between double quotes when it holds a blank, for command lines.
std::wstring QuoteIfBlank(const std::wstring& Path);
// Whether Path names a place on a drive or share by itself ("C:\...", "\\server\...").
// Paths that do not would be taken relative to whatever the current directory is.
bool IsFullPath(const std::wstring& Path);

// Files and processes.
int CreateDirectoryPath(const std::wstring& Path);
uint32_t DeleteDirTree(const std::wstring& Dir, bool KeepDir);
// Whether DeleteDirTree would refuse Dir (see ddRefused).
bool IsProtectedDirectory(const std::wstring& Dir);
int SaveResourceToFile(int ResId, const std::wstring& FileName);
bool GetProductVersion(const std::wstring& FileName, uint32_t& VersionMS, uint32_t& VersionLS);
int RunAndWait(const std::wstring& CommandLine, const std::wstring& Parameters);
// Starts Command hidden, without a console window, in the current directory and with
// the caller's environment, and waits for it at most TimeoutMs (INFINITE: no limit).
// 0 when the process started, else the Windows error code of the start. A process
// still running after the wait is left to finish on its own.
int StartHiddenAndWait(const std::wstring& Command, uint32_t TimeoutMs);

// The predefined registry root whose handle has these low 32 bits (0x80000002 is
// HKEY_LOCAL_MACHINE), nullptr for any other value.
HKEY RegRootFromCode(uint32_t Code);

// Platform queries that report the length they need instead of a fixed buffer.
std::wstring GetCurrentDir();
std::wstring GetWindowsDir();
std::wstring GetSystemDir();
std::wstring GetTempDir();
