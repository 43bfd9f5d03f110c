#include "uninstall/UBinLog.h"

#include "catalogue/UInstallRecord.h"
#include "support/UDirTree.h"
#include "support/UJournal.h"
#include "support/UPaths.h"
#include "support/UProduct.h"
#include "uninstall/UUndoLog.h"

int BinLogOpen(brd::UniqueFile& Log, const std::wstring& Dir) {
    Log.reset();
    CreateDirectoryPath(Dir);
    std::wstring path = PathJoin(Dir, UninstallLogFileName);
    if (!KeepFileBeforeChange(path)) return -1;
    Log.reset(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!Log) return -1;
    BinLogWrite(Log, std::string(UndoLogMagic, UndoLogMagicSize));
    return 0;
}

void BinLogWrite(const brd::UniqueFile& Log, const std::string& Bytes) {
    if (!Log) return;
    DWORD written = 0;
    WriteFile(Log.get(), Bytes.data(), static_cast<DWORD>(Bytes.size()), &written, nullptr);
}

void BinLogClose(brd::UniqueFile& Log) { Log.reset(); }

std::wstring LogConstText(uint32_t Code, const std::wstring& InstallDir) {
    switch (Code) {
        case hcProductName: return ProductName;
        case hcProductVersion: return ProductVersion;
        case hcProductType: return EditionText;
        case hcInstallDir: return InstallDir;
        case hcProductRegKey: return ProductKey;
        case hcUninstallKey: return UninstallName;
        default: return L"";
    }
}
