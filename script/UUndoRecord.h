// The undo record each logged row of the script leaves in the uninstall log.
#pragma once

#include <string>

#include "catalogue/URunContext.h"
#include "script/UScriptItems.h"
#include "support/WinHandles.h"

// The record BinLogAddItem writes for Item: header rows (itLogConst) carry the
// product constant chosen by their Code (the install directory that of Run),
// copy-file rows their target.
std::string MakeUndoRecord(const TScriptItem& Item, const TRunContext& Run);

// Appends the undo record of the row that has just run; 0 or the Windows error code.
int BinLogAddItem(const brd::UniqueFile& Log, const TScriptItem& Item, const TRunContext& Run);

// Whether the row that has just run, with LogText as its log text, leaves an undo
// record, and which: a row flagged ifLogUndo does, unless it is a registration
// row that found everything it would add already there ("...Already"); a package
// row's Code then tells which of its two settings was there. A copy into the
// system folder that succeeded, or found a newer copy there, leaves an
// itSharedFile record whether flagged or not.
bool UndoRecordOf(TScriptItem& Item, const std::wstring& LogText);

// A merge row's target file before the row runs.
struct TMergeTarget {
    bool Existed = false;
    std::string Bytes;
};
TMergeTarget MergeTargetBefore(const TScriptItem& Item, const TRunContext& Run);

// The itMergedLines record of a merge row that has run: true, with Item's type, code
// and name (Name keeps the name's text) set, when it added lines to its target.
bool MergedLinesRecordOf(TScriptItem& Item, const TMergeTarget& Before, const TRunContext& Run, std::wstring& Name);
