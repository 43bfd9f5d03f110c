// Executors of the script rows that tell the IDEs and Windows about the installed
// library: the design-time package and the search paths in the IDE's keys below
// HKEY_CURRENT_USER, the help files, the help batch file, the uninstall entry and the
// product key. Signatures and conventions: script/UExecutor.h.
#pragma once

#include <cstdint>
#include <string>

#include "script/UExecutor.h"

// itRegisterPackage, itAddIdePath, itAddSearchPath, itSetHelpDir, itRegisterWinHelp,
// itRegisterHelp, itRegisterUninstall, itCreateRegKey.
extern const TExecutorTable RegisterExecutors;

// Results besides 0 and Windows error codes.
constexpr int32_t rpKnownPackageFailed = -1;  // itRegisterPackage: the Known Packages value
constexpr int32_t rpSearchPathUnread = -2;    // itRegisterPackage, itAddSearchPath: no such value
constexpr int32_t rpSearchPathFailed = -3;    // the search-path value could not be written
constexpr int32_t rpForceUpdateFailed = -4;   // itRegisterPackage: "ForceEnvOptionsUpdate"
constexpr int32_t rwHelpFailed = -1;          // itRegisterWinHelp: the value could not be written

// Options of itRegisterPackage and itAddSearchPath.
constexpr uint32_t spMissingIsNoError = 0x1;  // itAddSearchPath only
constexpr uint32_t spWin64Library = 0x2;

int32_t ExecRegisterPackage(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText);
int32_t ExecAddIdePath(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText);
int32_t ExecAddSearchPath(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText);
// Names the help folder in Run, where itRegisterWinHelp finds it.
int32_t ExecSetHelpDir(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText);
int32_t ExecRegisterWinHelp(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText);
int32_t ExecRegisterHelp(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText);
int32_t ExecRegisterUninstall(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText);
int32_t ExecCreateRegKey(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText);

// Whether rows of this type write the IDE's settings below HKEY_CURRENT_USER: the
// rows the engine passes over for an IDE that gets the library's files only.
bool WritesIdeSettings(uint32_t Type);

// The log line of such a row passed over for the current IDE, such as
// "Registering package: C:\...\dclcvl70.bpl...Skipped: Delphi7 has never been started, files only".
std::wstring FilesOnlyLogText(const TScriptItem& Item, const TRunContext& Run);

// "Trial Delphi version of Corvane library v4.07": the description of the
// design-time package in the IDE's Known Packages.
std::wstring PackageDescription();

