// What the script engine calls to run one row, and how it finds the right call.
//
// An executor runs one row of the install script. It reads the row's fields and the
// run's context (the install directory, the IDE block, the help folder), and nothing
// else of the engine; only the row that names the help folder (itSetHelpDir)
// changes the context.
// It may set LogText, the row's line for install.log and the text of an error report:
// the engine empties LogText before the call and writes no line when the executor
// leaves it empty. The result is the row result: 0 for success, a small negative
// code of the executor's own, a Windows error code, or 1 for a file that the
// check-file row does not find. The engine, not the executor, writes the log line
// and the uninstall record of a row flagged ifLogUndo, whatever the result, unless
// a registration row found everything it would add already there; and the record
// of a copy into the system folder (UndoRecordOf).
//
// Each unit of executors (file operations, package compilation, IDE registration)
// publishes one TExecutorTable that maps row types (bits 0-15 of TypeId) to its
// executors. The engine looks a row's type up in the tables in turn; a type that no
// table lists runs nothing and succeeds. The control rows (conditional blocks,
// itSetIde, itLogConst) and itUninstallPrevious are the engine's own and are in no
// table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "catalogue/URunContext.h"
#include "script/UScriptItems.h"

using TExecutor = int32_t (*)(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText);

struct TExecutorEntry {
    uint32_t Type;  // bits 0-15 of TypeId
    TExecutor Execute;
};

struct TExecutorTable {
    const TExecutorEntry* Entries;
    size_t Count;
};

// The executor of Type in Table, nullptr when the table has none.
inline TExecutor FindExecutor(const TExecutorTable& Table, uint32_t Type) {
    for (size_t i = 0; i < Table.Count; ++i)
        if (Table.Entries[i].Type == Type) return Table.Entries[i].Execute;
    return nullptr;
}

// Texts that end a row's log text.
inline constexpr const wchar_t* LogSuccess = L"...Success";
inline constexpr const wchar_t* LogFail = L"...Fail";
inline constexpr const wchar_t* LogAlready = L"...Already";

inline const wchar_t* Outcome(bool Success) { return Success ? LogSuccess : LogFail; }

// A text field of a row, empty where the row has none.
inline std::wstring FieldText(const wchar_t* Value) { return Value ? Value : L""; }
