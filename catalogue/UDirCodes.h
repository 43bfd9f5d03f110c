// Directory codes of script rows, uninstall records and extract mode, and the
// folders they stand for where a run stands (the installation directory, the IDE of
// the current block).
#pragma once

#include <cstdint>
#include <string>

#include "catalogue/URunContext.h"

enum TDirCode : uint32_t {
    dcNone = 0,
    dcWindows = 1,
    dcIdeRoot = 2,
    dcRoot = 3,
    dcIdeHelp = 4,
    dcTemp = 5,
    dcSystem = 6,
};

// Location codes of IDE-path rows: the folder a search-path entry names.
enum TPathLocation : uint8_t {
    plInstallDir = 0,
    plSource = 1,
    plIdeFolder = 2,  // the install directory\<the IDE block's folder>
    plIdeWin32 = 3,
    plIdeWin64 = 4,
};

std::wstring DirCodeToPath(uint32_t Code, const TRunContext& Run);
// The folder of an IDE-path row's location code (only the low 7 bits count).
std::wstring SearchPathLocation(uint8_t Code, const TRunContext& Run);
