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
