// The undo actions: one per kind of uninstall record, each reversing what the
// script row that wrote the record did to the machine. They keep no state of their
// own; they read the replay's context (the log's install directory and the IDE block
// the record belongs to) and the IDE catalogue, and only UndoSetIde changes the
// context. An action that cannot undo everything it should does what it can and
// adds what stays to the removal's list; the run goes on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/URunContext.h"
#include "uninstall/UUndoLog.h"

// One thing a removal leaves on the machine, and why.
struct TLeftOver {
    std::wstring What;
    std::wstring Why;
};

// What the actions of one removal share beyond the run context.
struct TUndoLedger {
    std::wstring UninstallKey;  // the uninstall entry's key name, from the log header
    // Files that stay while anything is left (the log, the uninstaller the entry
    // starts), so that the removal can be run again.
    std::vector<std::wstring> KeepWhileLeft;
    std::vector<TLeftOver> Left;  // what could not be undone so far
    // The uninstaller's removal: what is in use is deleted at the next restart. A
    // replay within a run (an update, a rollback) schedules nothing of the kind.
    bool DeleteAtRestart = false;
};

// Runs the action of Record's type in Run; types without an action do nothing.
void UndoRecord(const TUndoRecord& Record, TRunContext& Run, TUndoLedger& Ledger);
// The same for a record undone on its own; UninstallKey is the uninstall entry's
// key name from the log header. 0 when nothing was left.
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
int UndoCreateDir(const TUndoRecord& Record, const TRunContext& Run, TUndoLedger& Ledger);
int UndoCopyFile(const TUndoRecord& Record, const TRunContext& Run, TUndoLedger& Ledger);
int UndoDeleteFile(const TUndoRecord& Record, const TRunContext& Run, TUndoLedger& Ledger);
int UndoSharedFile(const TUndoRecord& Record, const TRunContext& Run, TUndoLedger& Ledger);
int UndoRegisterWinHelp(const TUndoRecord& Record, const TRunContext& Run);
int UndoCreateRegKey(const TUndoRecord& Record, const TRunContext& Run);
int UndoRegisterUninstall(const TUndoRecord& Record, const std::wstring& UninstallKey);
int UndoRegisterHelp(const TUndoRecord& Record, const TRunContext& Run, TUndoLedger& Ledger);
int UndoModifyFile(const TUndoRecord& Record, const TRunContext& Run);
int UndoAddSearchPath(const TUndoRecord& Record, const TRunContext& Run);
int UndoMergedLines(const TUndoRecord& Record, const TRunContext& Run);
int UndoRegisterPackage(const TUndoRecord& Record, const TRunContext& Run);
int UndoAddIdePath(const TUndoRecord& Record, const TRunContext& Run);

// Below HKEY_LOCAL_MACHINE.
inline constexpr const wchar_t* WindowsHelpKey = L"Software\\Microsoft\\Windows\\Help";
inline constexpr const wchar_t* UninstallKeyPrefix = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
// The help unregistration batch file, below the install directory.
inline constexpr const wchar_t* HelpSubDir = L"help";
inline constexpr const wchar_t* HelpUnregisterBatch = L"help\\help_unreg.bat";
// What the help registration batch file writes, below the product key.
inline constexpr const wchar_t* HelpRegistrationSubKey = L"\\Help";

// Texts of what a removal leaves and why.
inline constexpr const wchar_t* LeftInUseText = L"in use; it will be deleted when Windows restarts";
