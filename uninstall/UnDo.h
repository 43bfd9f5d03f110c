// The undo actions: one per kind of uninstall record, each reversing what the
// script row that wrote the record did to the machine. They keep no state of their
// own; they read the replay's context (the log's install directory and the IDE block
// the record belongs to) and the IDE catalogue, and only UndoSetIde changes the
// context. Every action returns 0 to let the run go on; only the help
// unregistration can stop it, with the error of starting its batch file.
#pragma once

#include <cstdint>
#include <string>

#include "catalogue/URunContext.h"
#include "uninstall/UUndoLog.h"

// Runs the action of Record's type in Run; types without an action do nothing.
// UninstallKey is the uninstall entry's key name from the log header.
int UndoRecord(const TUndoRecord& Record, TRunContext& Run, const std::wstring& UninstallKey);

// What the uninstaller's action line shows while a record of this type is undone;
// nullptr for types that keep the text of the record before.
const wchar_t* UndoActionText(uint32_t TypeId);

// The machine path a record names: its name below its directory code. Empty when
// that does not give an absolute path (an IDE code while no IDE is current, a log
// without an install directory): nothing relative to the current directory is ever
// touched.
std::wstring RecordPath(const TUndoRecord& Record, const TRunContext& Run);

int UndoSetIde(const TUndoRecord& Record, TRunContext& Run);
int UndoCreateDir(const TUndoRecord& Record, const TRunContext& Run);
int UndoCopyFile(const TUndoRecord& Record, const TRunContext& Run);
int UndoDeleteFile(const TUndoRecord& Record, const TRunContext& Run);
int UndoRegisterWinHelp(const TUndoRecord& Record, const TRunContext& Run);
int UndoCreateRegKey(const TUndoRecord& Record, const TRunContext& Run);
int UndoRegisterUninstall(const TUndoRecord& Record, const std::wstring& UninstallKey);
int UndoRegisterHelp(const TUndoRecord& Record, const TRunContext& Run);
int UndoModifyFile(const TUndoRecord& Record, const TRunContext& Run);
int UndoAddSearchPath(const TUndoRecord& Record, const TRunContext& Run);
int UndoRegisterPackage(const TUndoRecord& Record, const TRunContext& Run);
int UndoAddIdePath(const TUndoRecord& Record, const TRunContext& Run);

// Below HKEY_LOCAL_MACHINE.
inline constexpr const wchar_t* WindowsHelpKey = L"Software\\Microsoft\\Windows\\Help";
inline constexpr const wchar_t* UninstallKeyPrefix = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
// The help unregistration batch file, below the install directory.
inline constexpr const wchar_t* HelpSubDir = L"help";
inline constexpr const wchar_t* HelpUnregisterBatch = L"help\\help_unreg.bat";
