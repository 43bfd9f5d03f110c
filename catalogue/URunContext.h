// The values one run works with, passed to whatever reads them.
//
// TInstallPlan is what the user (or the unattended switches) chose. It is built in
// catalogue/UInstallChoice by the wizard's pages and by the unattended run; the
// script engine takes a copy when it is made and nobody changes it afterwards.
//
// TRunContext is where a run stands: the install directory its paths resolve
// against, the IDE block it is in and that block's help folder. Whoever walks the
// rows owns it: the script engine for the script, the replay for an uninstall log.
// Executors and undo actions receive it as a parameter; only the walker (and the
// rows that open a block or name the help folder, through it) changes it.
#pragma once

#include <cstdint>
#include <string>

#include "catalogue/UProducts.h"
#include "support/UConst.h"

struct TInstallPlan {
    // clang-format off
    std::wstring Dir;                                 // the install directory (directory code 3)
    int32_t Versions = 0;                             // environment mask: one bit per catalogue row
    int32_t Items = 0;                                // item mask: one bit per selection entry
    int32_t CustomizeItems = DefaultCustomizeItems;   // the Customize dialog's checked entries
    int32_t FilesOnlyVersions = 0;                    // environments that get files, no registration
    bool CopyOnly = false;                            // files only, nothing compiled or registered
    // clang-format on
};

// The IDE block being worked on: the catalogue row of its itSetIde, the IDE's folder
// below the install directory, and the IDE's root as detection found it when the
// block was entered. Row 0 outside a block.
struct TIdeBlock {
    int32_t Row = 0;
    std::wstring Folder;
    std::wstring Root;
};

struct TRunContext {
    std::wstring InstallDir;
    TIdeBlock Ide;
    std::wstring HelpDir;  // set by the help-folder row, read by the help registration
    // What detection found on this machine, owned by whoever walks the rows; nullptr
    // where no IDE is known (every IDE block then has an empty root).
    const TDetectedIdes* Detected = nullptr;
};

// The block of catalogue row Row, with the IDE's root as Run's detection found it; a
// row outside 1..28 names no IDE and gets no root.
TIdeBlock IdeBlock(int32_t Row, const std::wstring& Folder, const TRunContext& Run);

// The root of catalogue row Row as Run's detection found it; empty when unknown.
std::wstring IdeRootOf(int32_t Row, const TRunContext& Run);

// A context at the start of a run in Dir: no IDE block, no help folder.
inline TRunContext RunContextIn(const std::wstring& Dir) {
    TRunContext run;
    run.InstallDir = Dir;
    return run;
}
