#include "catalogue/UDirCodes.h"

#include "catalogue/UProducts.h"
#include "support/UConst.h"
#include "support/UPaths.h"
#include "support/UPlatform.h"

std::wstring DirCodeToPath(uint32_t Code) {
    const TBorlandProduct* ide = ProductRow(CurrentIde);
    switch (Code) {
        case dcWindows: return GetWindowsDir();
        case dcIdeRoot: return ide ? ide->RootDir : L"";
        case dcRoot: return InstallDir;
        case dcIdeHelp: return ide ? ide->RootDir + L"\\Help\\" : L"";
        case dcTemp: return GetTempDir();
        case dcSystem: return GetSystemDir();
        default: return L"";
    }
}

std::wstring SearchPathLocation(uint8_t Code) {
    switch (Code & 0x7F) {  // bit 7 belongs to the caller
        case plInstallDir: return InstallDir;
        case plSource: return PathJoin(InstallDir, L"Source");
        case plIdeFolder: return PathJoin(InstallDir, CurrentIdeName);
        case plIdeWin32: return PathJoin(InstallDir, CurrentIdeName + L"\\Win32");
        case plIdeWin64: return PathJoin(InstallDir, CurrentIdeName + L"\\Win64");
        default: return L"";
    }
}
