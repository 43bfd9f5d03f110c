// The undo actions: one per kind of uninstall record, each reversing what the
// script row that wrote the record did to the machine. They keep no state of their
// own; they read InstallDir, read and set CurrentIde and CurrentIdeName, and read
// the IDE catalogue. Every action returns 0 to let the run go on; only the help
// unregistration can stop it, with the error of starting its batch file.
#pragma once

#include <cstdint>
#include <string>

#include "uninstall/UUndoLog.h"

// Runs the action of Record's type; types without an action do nothing. UninstallKey
// is the uninstall entry's key name from the log header.
int UndoRecord(const TUndoRecord& Record, const std::wstring& UninstallKey);

// What the uninstaller's action line shows while a record of this type is undone;
// nullptr for types that keep the text of the record before.
const wchar_t* UndoActionText(uint32_t TypeId);

// The machine path a record names: its name below its directory code. Empty when
// that does not give an absolute path (an IDE code while no IDE is current, a log
// without an install directory): nothing relative to the current directory is ever
// touched.
std::wstring RecordPath(const TUndoRecord& Record);

int UndoSetIde(const TUndoRecord& Record);
int UndoCreateDir(const TUndoRecord& Record);
int UndoCopyFile(const TUndoRecord& Record);
int UndoDeleteFile(const TUndoRecord& Record);
int UndoRegisterWinHelp(const TUndoRecord& Record);
int UndoCreateRegKey(const TUndoRecord& Record);
int UndoRegisterUninstall(const TUndoRecord& Record, const std::wstring& UninstallKey);
int UndoRegisterHelp(const TUndoRecord& Record);
int UndoModifyFile(const TUndoRecord& Record);
int UndoAddSearchPath(const TUndoRecord& Record);
int UndoRegisterPackage(const TUndoRecord& Record);
int UndoAddIdePath(const TUndoRecord& Record);

// Position (0-based) of Entry as a whole entry of the ";"-separated list Value,
// ignoring letter case; npos when absent. "c:\lib" is found in "x;C:\Lib;y" but
// not in "c:\lib2" or "c:\library". The adding side uses the same test.
size_t FindPathEntry(const std::wstring& Value, const std::wstring& Entry);

// Removes the first whole occurrence of Entry, with its separator, from the
// HKEY_CURRENT_USER value Key\ValueName. A value that lacks the entry or does not
// exist is left as it is.
void RemovePathEntry(const std::wstring& Key, const std::wstring& ValueName, const std::wstring& Entry);

// Below an IDE's key.
inline constexpr const wchar_t* KnownPackagesSubKey = L"\\Known Packages";
inline constexpr const wchar_t* LibrarySubKey = L"\\Library";
inline constexpr const wchar_t* LibraryWin32SubKey = L"\\Library\\Win32";
inline constexpr const wchar_t* Delphi3SearchPathValue = L"SearchPath";
inline constexpr const wchar_t* SearchPathValue = L"Search Path";
// Below HKEY_LOCAL_MACHINE.
inline constexpr const wchar_t* WindowsHelpKey = L"Software\\Microsoft\\Windows\\Help";
inline constexpr const wchar_t* UninstallKeyPrefix = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
// The help unregistration batch file, below the install directory.
inline constexpr const wchar_t* HelpSubDir = L"help";
inline constexpr const wchar_t* HelpUnregisterBatch = L"help\\help_unreg.bat";
