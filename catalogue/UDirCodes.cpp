#include "catalogue/UDirCodes.h"

#include "catalogue/UProducts.h"
#include "support/UPaths.h"
#include "support/UPlatform.h"

std::wstring IdeRootOf(int32_t Row, const TRunContext& Run) {
    return Run.Detected ? DetectedRoot(*Run.Detected, Row) : L"";
}

TIdeBlock IdeBlock(int32_t Row, const std::wstring& Folder, const TRunContext& Run) {
    return {Row, Folder, IdeRootOf(Row, Run)};
}

std::wstring DirCodeToPath(uint32_t Code, const TRunContext& Run) {
    const bool inIde = ProductRow(Run.Ide.Row) != nullptr;
    switch (Code) {
        case dcWindows: return GetWindowsDir();
        case dcIdeRoot: return inIde ? Run.Ide.Root : L"";
        case dcRoot: return Run.InstallDir;
        case dcIdeHelp: return inIde ? Run.Ide.Root + L"\\Help\\" : L"";
        case dcTemp: return GetTempDir();
        case dcSystem: return GetSystemDir();
        default: return L"";
    }
}

std::wstring SearchPathLocation(uint8_t Code, const TRunContext& Run) {
    const std::wstring& dir = Run.InstallDir;
    switch (Code & 0x7F) {  // bit 7 belongs to the caller
        case plInstallDir: return dir;
        case plSource: return PathJoin(dir, L"Source");
        case plIdeFolder: return PathJoin(dir, Run.Ide.Folder);
        case plIdeWin32: return PathJoin(dir, Run.Ide.Folder + L"\\Win32");
        case plIdeWin64: return PathJoin(dir, Run.Ide.Folder + L"\\Win64");
        default: return L"";
    }
}
