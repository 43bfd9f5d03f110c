#include "script/UUndoRecord.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "catalogue/UDirCodes.h"
#include "script/UExecutor.h"
#include "script/UFileOps.h"
#include "support/UPaths.h"
#include "support/UTextFile.h"
#include "uninstall/UBinLog.h"
#include "uninstall/UUndoLog.h"

std::string MakeUndoRecord(const TScriptItem& Item, const TRunContext& Run) {
    std::wstring name = Item.Name ? Item.Name : L"";
    uint32_t dir = Item.Dir;
    switch (ItemType(Item)) {
        case itLogConst:
            name = LogConstText(Item.Code, Run.InstallDir);
            break;
        case itMergedLines:
            dir = Item.Dir2;
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

int BinLogAddItem(const brd::UniqueFile& Log, const TScriptItem& Item, const TRunContext& Run) {
    return BinLogWrite(Log, MakeUndoRecord(Item, Run));
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

namespace {

bool ReadFileBytes(const std::wstring& path, std::string& bytes) {
    brd::UniqueFile file(
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && ReadWholeFile(file.get(), bytes) == 0;
}

// The lines of a text, without their line ends.
std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

}  // namespace

TMergeTarget MergeTargetBefore(const TScriptItem& Item, const TRunContext& Run) {
    TMergeTarget target;
    if (ItemType(Item) != itMergeFiles) return target;
    const std::wstring path = RowPath(Item.Dir2, Item.Name2, Run);
    target.Existed = IsFullPath(path) && ReadFileBytes(path, target.Bytes);
    return target;
}

// The lines now in the target that were not there before, each as often as it was
// added.
bool MergedLinesRecordOf(TScriptItem& Item, const TMergeTarget& Before, const TRunContext& Run, std::wstring& Name) {
    const std::wstring path = RowPath(Item.Dir2, Item.Name2, Run);
    std::string after;
    if (!Item.Name2 || !IsFullPath(path) || !ReadFileBytes(path, after)) return false;
    std::vector<std::string> old = LinesOf(Before.Bytes);
    std::string added;
    size_t count = 0;
    for (const std::string& line : LinesOf(after)) {
        auto found = std::find(old.begin(), old.end(), line);
        if (found != old.end()) {
            old.erase(found);
            continue;
        }
        added += (count++ ? "\r\n" : "") + line;
    }
    if (count == 0) return false;
    Name = std::wstring(Item.Name2) + L"\n" + WideFromAnsi(added.data(), added.size());
    Item.TypeId = itMergedLines | ifLogUndo;
    Item.Code = Before.Existed ? 0 : mlFileMade;
    Item.Name = Name.c_str();
    return true;
}
