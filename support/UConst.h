// Process-wide install state and the registry key names the program works with.
// One instance of each, shared by the entry, the pages, the script and the uninstaller
// on the one user-interface thread.
#pragma once

#include <cstdint>
#include <string>

// Switch flags, set only by ParseCommandLine.
extern bool CopyOnly;
extern bool EnableControls;
extern bool ShowHelp;
extern bool ExtractFiles;

// Install state.
extern std::wstring InstallDir;       // directory code 3
extern int32_t InstallVersions;       // environment mask: one bit per catalogue row
extern int32_t InstallItems;          // item mask: one bit per selection entry
extern int32_t CustomizeItems;        // Customize dialog's checked entries; 5 until read
extern int32_t FilesOnlyVersions;     // environment mask: IDEs that get files, no registration
extern int32_t CurrentIde;            // catalogue row 1..28 the script works on, 0 for none
extern std::wstring CurrentIdeName;   // that environment's folder below InstallDir
extern std::wstring HelpDir;

constexpr int32_t DefaultCustomizeItems = 5;

// Product key below HKEY_LOCAL_MACHINE and its seven values.
inline constexpr const wchar_t* ProductKey = L"Software\\Brindlecraft\\Corvane library";
inline constexpr const wchar_t* ValInstallVersions = L"InstallVersions";
inline constexpr const wchar_t* ValInstallItems = L"InstallItems";
inline constexpr const wchar_t* ValRootDir = L"RootDir";
inline constexpr const wchar_t* ValVersion = L"Version";
inline constexpr const wchar_t* ValType = L"Type";
inline constexpr const wchar_t* ValInstallDate = L"InstallDate";
inline constexpr const wchar_t* ValCustomizeItems = L"CustomizeItems";

// Windows uninstall entry below HKEY_LOCAL_MACHINE.
inline constexpr const wchar_t* UninstallName = L"cvlLib";
inline constexpr const wchar_t* UninstallEntry =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\cvlLib";
inline constexpr const wchar_t* ValDisplayName = L"DisplayName";
inline constexpr const wchar_t* ValUninstallString = L"UninstallString";

// Where the directory page looks for the default program folder.
inline constexpr const wchar_t* WindowsCurrentVersionKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion";
inline constexpr const wchar_t* ValProgramFilesDir = L"ProgramFilesDir";

// Resets every value above to its start-up state (the tests run many scenarios in
// one process).
void ResetInstallState();
