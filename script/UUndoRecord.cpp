#include "script/UUndoRecord.h"

#include "catalogue/UDirCodes.h"
#include "uninstall/UBinLog.h"
#include "uninstall/UUndoLog.h"

std::string MakeUndoRecord(const TScriptItem& Item, const TRunContext& Run) {
    std::wstring name = Item.Name ? Item.Name : L"";
    uint32_t dir = Item.Dir;
    switch (ItemType(Item)) {
        case itLogConst:
            name = LogConstText(Item.Code, Run.InstallDir);
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

int BinLogAddItem(const brd::UniqueFile& Log, const TScriptItem& Item, const TRunContext& Run) {
    return BinLogWrite(Log, MakeUndoRecord(Item, Run));
}
