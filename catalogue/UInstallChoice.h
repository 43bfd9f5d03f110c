// What the wizard's pages propose and how a choice becomes the plan of the run
// (TInstallPlan): the preselection of environments and components, the masks, the
// install directory and its acceptance. The pages and the unattended installation
// both build their plan with these functions, so that a choice made either way
// installs the same thing.
#pragma once

#include <cstdint>
#include <string>

#include "catalogue/UInstallRecord.h"
#include "catalogue/UProducts.h"
#include "catalogue/URunContext.h"

// Reads the previous installation's record, detects the environments into Detected,
// presets its rows (Selected) and the entries of Selection (Checked) from both, and
// takes the stored "CustomizeItems" into Plan. Returns the previous record as read.
TPreviousInstall PrepareSelection(TInstallPlan& Plan, TSelectionList& Selection, TDetectedIdes& Detected);

// The plan's environment and item masks from the checked selection entries.
void ApplySelection(const TSelectionList& Selection, TInstallPlan& Plan);

// A plan for a run of this process: the copy-only switch taken in, all else empty.
TInstallPlan NewInstallPlan(bool CopyOnlySwitch);

// Dir followed by a separator and the product's folder name.
std::wstring WithProductWord(std::wstring Dir);

// The directory the directory page proposes: the previous installation's, else a
// sibling of the first preselected environment's folder, else the program folder;
// empty when none of them is known.
std::wstring ProposedInstallDir(const std::wstring& PrevInstallPath, const TDetectedIdes& Detected);

// The directory as typed: one trailing separator removed.
std::wstring TrimInstallDir(std::wstring Text);

enum TInstallDirCheck {
    dirAcceptable,   // a full path, empty or missing, or the previous installation's
    dirNotFullPath,  // empty, relative, drive-relative or not on a local drive
    dirHoldsFiles,   // a folder of other files, which a removal would delete with it
    dirBadName,      // a name Windows refuses for a folder: InstallDirNameProblem says why
};

// Why Windows would refuse Dir, a full local path, as a folder: a character that
// names may not hold, a component ending in a blank or a dot, a device name; empty
// when it would take it.
std::wstring InstallDirNameProblem(const std::wstring& Dir);

// The uninstaller removes the install directory with everything in it, so it must
// be a real absolute path, and a folder that already holds other files needs the
// user's consent.
TInstallDirCheck CheckInstallDir(const std::wstring& Dir, const std::wstring& PrevInstallPath);
