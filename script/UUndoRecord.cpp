#include "script/UUndoRecord.h"

#include "catalogue/UDirCodes.h"
#include "script/UExecutor.h"
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
        case itSharedFile:
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

void BinLogAddItem(const brd::UniqueFile& Log, const TScriptItem& Item, const TRunContext& Run) {
    BinLogWrite(Log, MakeUndoRecord(Item, Run));
}

namespace {

bool EndsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool PackageRecordOf(TScriptItem& Item, const std::wstring& LogText) {
    const size_t lineBreak = LogText.find(L"\r\n");
    const bool known = EndsWith(LogText.substr(0, lineBreak), LogAlready);
    const bool onPath = lineBreak != std::wstring::npos && EndsWith(LogText, LogAlready);
    if (known && (onPath || lineBreak == std::wstring::npos)) return false;
    Item.Code = (known ? uint32_t{pkKnownPackageWasThere} : 0u) | (onPath ? uint32_t{pkSearchPathWasThere} : 0u);
    return true;
}

}  // namespace

bool UndoRecordOf(TScriptItem& Item, const std::wstring& LogText) {
    const uint32_t type = ItemType(Item);
    if (type == itCopyFile && Item.Target && Item.Target->Dir == dcSystem) {
        if (EndsWith(LogText, LogFail)) return false;
        Item.TypeId = itSharedFile | ifLogUndo;
        return true;
    }
    if (!(Item.TypeId & ifLogUndo)) return false;
    switch (type) {
        case itAddSearchPath:
        case itAddIdePath: return !EndsWith(LogText, LogAlready);
        case itRegisterPackage: return PackageRecordOf(Item, LogText);
        default: return true;
    }
}
