// The IDEs' own state that an installation must respect.
//
// A running IDE writes its package list and library paths back to the registry when
// it closes, so whatever setup or the uninstaller changes there while it runs is
// undone, or half undone, later. Both therefore look for running IDE programs below
// the root folders of the IDEs they are about to touch, and wait until the user has
// closed them.
//
// An IDE that has never been started under this Windows account has no settings key
// below HKEY_CURRENT_USER. Writing into it would create the key, and the IDE's first
// start would then take the settings as present and not copy its defaults: it would
// open without its standard packages. Such an IDE gets the library's files only; the
// script engine passes over its registration rows (the plan's FilesOnlyVersions).
//
// Nothing here depends on a wizard page, so the wizard, the uninstaller and an
// unattended run call the same functions.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/UProducts.h"

// ---------------------------------------------------------------- running IDEs

// delphi32.exe (Delphi 3 to 7), bcb.exe (C++Builder) or bds.exe (Delphi 2005 on), in
// any letter case.
bool IsIdeProgramName(const std::wstring& FileName);

struct TRunningIde {
    std::wstring Root;     // the root, as passed in, that Program lies below; empty: unknown
    std::wstring Program;  // the full path of the running program (its bare name when unknown)
    uint32_t ProcessId = 0;
};

// The running IDE programs that lie below one of Roots. An IDE program whose path
// cannot be read might belong to any of them, so it is reported with an empty Root.
// Empty roots are ignored; no roots, no result.
std::vector<TRunningIde> FindRunningIdes(const std::vector<std::wstring>& Roots);

// The root folders of the catalogue rows whose bits are in VersionsMask, or whose
// numbers are in Rows, as Detected has them; rows without a root are left out.
std::vector<std::wstring> IdeRootsOfVersions(int32_t VersionsMask, const TDetectedIdes& Detected);
std::vector<std::wstring> IdeRootsOfRows(const std::vector<int32_t>& Rows, const TDetectedIdes& Detected);

// The environments a run that installs Versions touches: those chosen, and those of
// the previous installation, which the run removes first.
int32_t VersionsTouchedByRun(int32_t Versions);

// One line per running program: "Delphi 7: C:\...\bin\delphi32.exe", the IDE named
// by the row whose root Detected has it at.
std::wstring RunningIdesList(const std::vector<TRunningIde>& Running, const TDetectedIdes& Detected);

// The question of AskToCloseRunningIdes. CancelMeaning completes "or Cancel ...".
std::wstring RunningIdesText(const std::vector<TRunningIde>& Running, const TDetectedIdes& Detected,
                             const std::wstring& CancelMeaning);

// Asks the user to close the IDEs that run below Roots until none runs (true) or the
// user gives up with Cancel (false). Retry looks again.
bool AskToCloseRunningIdes(HWND Owner, const std::vector<std::wstring>& Roots, const TDetectedIdes& Detected,
                           const wchar_t* Caption, const std::wstring& CancelMeaning);

// ---------------------------------------------------------------- IDEs never started

// Whether catalogue row Row has its key below HKEY_CURRENT_USER (32-bit view).
bool IdeHasUserKey(int Row);

// The rows of VersionsMask whose key is missing below HKEY_CURRENT_USER.
int32_t NeverStartedVersions(int32_t VersionsMask);

// Whether the script registers nothing with catalogue row Row: its bit is in
// FilesOnlyVersions.
bool IdeIsFilesOnly(int Row, int32_t FilesOnlyVersions);

// The name the user knows an IDE by: its entry in the selection list ("Delphi 7"),
// else its internal name.
std::wstring IdeDisplayName(int Row);

// Tells which IDEs of VersionsMask were never started and what that means; the
// answer OK goes on with files only, Cancel goes back.
std::wstring NeverStartedText(int32_t VersionsMask);
