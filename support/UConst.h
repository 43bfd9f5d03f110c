// The switch flags of the command line and the registry key names the program works
// with. The install state is no global: the plan and the run context
// (catalogue/URunContext.h) travel as values.
#pragma once

#include <cstdint>
#include <string>

// Switch flags, set only by ParseCommandLine.
extern bool CopyOnly;
extern bool EnableControls;
extern bool ShowHelp;
extern bool ExtractFiles;

// The Customize dialog's checked entries until the stored choice is read.
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

// Resets the switch flags to their start-up state (the tests run many scenarios in
// one process).
void ResetSwitchFlags();
