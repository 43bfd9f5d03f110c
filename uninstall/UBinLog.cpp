#include "uninstall/UBinLog.h"

#include "catalogue/UInstallRecord.h"
#include "support/UConst.h"
#include "support/UUtils.h"
#include "uninstall/UUndoLog.h"

int BinLogOpen(brd::UniqueFile& Log) {
    Log.reset();
    CreateDirectoryPath(InstallDir);
    std::wstring path = PathJoin(InstallDir, UninstallLogFileName);
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

void BinLogAddItem(const brd::UniqueFile& Log, const TScriptItem& Item) { BinLogWrite(Log, MakeUndoRecord(Item)); }

void BinLogClose(brd::UniqueFile& Log) { Log.reset(); }

std::wstring LogConstText(uint32_t Code) {
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

std::string MakeUndoRecord(const TScriptItem& Item) {
    std::wstring name = Item.Name ? Item.Name : L"";
    uint32_t dir = Item.Dir;
    switch (ItemType(Item)) {
        case itLogConst:
            name = LogConstText(Item.Code);
            break;
        case itCopyFile:
            // The copy is what the installation added; the source is not removed. A
            // row without a target records no path at all.
            name = Item.Target && Item.Target->Name ? Item.Target->Name : L"";
            dir = Item.Target ? Item.Target->Dir : dcNone;
            break;
        default:
            break;
    }
    return EncodeUndoRecord(Item.TypeId, Item.Code, dir, name);
}
