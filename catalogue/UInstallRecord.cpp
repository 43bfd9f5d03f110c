#include "catalogue/UInstallRecord.h"

#include <windows.h>

#include "catalogue/UProducts.h"
#include "support/UDirTree.h"
#include "support/UPaths.h"
#include "support/UProduct.h"
#include "support/URegistry.h"
#include "support/UText.h"

namespace {

// The values of one key below HKEY_LOCAL_MACHINE, each written when its turn comes.
struct TValuesOfKey {
    std::wstring Key;
    TRecordValue Integer(const wchar_t* Name, int32_t Value) const {
        return TRecordValue{Name, [Key = Key, Name, Value] { return WriteRegInteger(HKEY_LOCAL_MACHINE, Key, Name, Value); }};
    }
    TRecordValue Text(const wchar_t* Name, const std::wstring& Value) const {
        return TRecordValue{Name, [Key = Key, Name, Value] { return WriteRegString(HKEY_LOCAL_MACHINE, Key, Name, Value); }};
    }
};

// What detection found for the environment a selection entry stands for; nothing for
// the optional components, which are always available.
const TDetectedIde* EntryIde(const TSelectionItem& Item, const TDetectedIdes& Detected) {
    const int row = ProductRowById(Item.ProductId);
    return row ? &Detected[static_cast<size_t>(row)] : nullptr;
}

std::wstring ShortDateToday() {
    int length = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, nullptr, 0);
    if (length <= 0) return L"";
    std::wstring date(static_cast<size_t>(length), L'\0');
    length = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date.data(), length);
    date.resize(length > 0 ? static_cast<size_t>(length - 1) : 0);
    return date;
}

// The kilobytes of the files below Dir, rounded up; capped, never wrapped, in the
// DWORD that holds it.
int32_t TreeSizeKb(const std::wstring& Dir) {
    const uint64_t kb = (DirTreeSize(Dir) + 1023) / 1024;
    return static_cast<int32_t>(kb > 0x7FFFFFFF ? 0x7FFFFFFF : kb);
}

}  // namespace

// ---------------------------------------------------------------- product key

TPreviousInstall ReadPreviousInstall(const std::wstring& Key) {
    TPreviousInstall previous;
    ReadRegInteger(HKEY_LOCAL_MACHINE, Key, ValInstallVersions, previous.InstallVersions);
    ReadRegString(HKEY_LOCAL_MACHINE, Key, ValVersion, previous.Version);
    ReadRegInteger(HKEY_LOCAL_MACHINE, Key, ValInstallItems, previous.InstallItems);
    ReadRegInteger(HKEY_LOCAL_MACHINE, Key, ValFilesOnlyVersions, previous.FilesOnlyVersions);
    return previous;
}

void PresetFromPreviousInstall(const TPreviousInstall& Previous, TSelectionList& Selection, TDetectedIdes& Detected) {
    const bool versionsRecorded = IsRecordedMask(Previous.InstallVersions);
    for (int row = 1; row <= ProductCount; ++row) {
        TDetectedIde& ide = Detected[static_cast<size_t>(row)];
        ide.Selected = ide.Exists && (!versionsRecorded || (BorlandProducts[row].InternalId & Previous.InstallVersions) > 0);
    }
    // With a recorded choice, the entries it names are checked again when still
    // available and the others keep their state; without one, every preselected
    // environment and every component is checked.
    const bool itemsRecorded = IsRecordedMask(Previous.InstallItems);
    for (TSelectionItem& item : Selection) {
        const TDetectedIde* ide = EntryIde(item, Detected);
        if (!itemsRecorded)
            item.Checked = ide == nullptr || ide->Selected;
        else if ((item.Mask & Previous.InstallItems) > 0)
            item.Checked = ide == nullptr || ide->Exists;
    }
}

bool LoadCustomizeItems(int32_t& Items, const std::wstring& Key) {
    int32_t stored = 0;
    if (!ReadRegInteger(HKEY_LOCAL_MACHINE, Key, ValCustomizeItems, stored)) return false;
    Items = stored;
    return true;
}

std::wstring ReadPreviousInstallDir(const std::wstring& Key) {
    std::wstring dir;
    ReadRegString(HKEY_LOCAL_MACHINE, Key, ValRootDir, dir);
    return dir;
}

TInstallRecord CurrentInstallRecord(const TInstallPlan& Plan) {
    TInstallRecord record;
    record.InstallVersions = Plan.Versions;
    record.InstallItems = Plan.Items;
    record.RootDir = Plan.Dir;
    record.Version = ProductVersion;
    record.Type = EditionText;
    record.InstallDate = ShortDateToday();
    record.CustomizeItems = Plan.CustomizeItems;
    record.FilesOnlyVersions = Plan.FilesOnlyVersions & Plan.Versions;
    return record;
}

std::vector<TRecordValue> InstallRecordValues(const TInstallRecord& Record, const std::wstring& Key) {
    const TValuesOfKey key{Key};
    return {
        key.Integer(ValInstallVersions, Record.InstallVersions),
        key.Integer(ValInstallItems, Record.InstallItems),
        key.Text(ValRootDir, Record.RootDir),
        key.Text(ValVersion, Record.Version),
        key.Text(ValType, Record.Type),
        key.Text(ValInstallDate, Record.InstallDate),
        key.Integer(ValCustomizeItems, Record.CustomizeItems),
        key.Integer(ValFilesOnlyVersions, Record.FilesOnlyVersions),
    };
}

bool WriteInOrder(const std::vector<TRecordValue>& Values) {
    for (const TRecordValue& value : Values)
        if (!value.Write()) return false;  // the values after a failure stay as they were
    return true;
}

bool WriteInstallRecord(const TInstallRecord& Record, const std::wstring& Key) {
    return WriteInOrder(InstallRecordValues(Record, Key));
}

// ---------------------------------------------------------------- uninstall entry

std::wstring UninstallDisplayName() {
    return std::wstring(MakerName) + L" " + ProductName + L" v" + ProductVersion;
}

std::wstring UninstallCommand(const std::wstring& Dir) {
    return QuoteIfBlank(PathJoin(Dir, UninstallerFileName)) + L" " +
           QuoteIfBlank(PathJoin(Dir, UninstallLogFileName));
}

std::wstring QuietUninstallCommand(const std::wstring& Dir) {
    return QuoteIfBlank(PathJoin(Dir, UninstallerFileName)) + L" /S " +
           QuoteIfBlank(PathJoin(Dir, UninstallLogFileName));
}

std::wstring TodayYmd() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t text[16];
    swprintf(text, 16, L"%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
    return text;
}

namespace {

// The values Apps & Features and deployment tools read, in the order they are written.
std::vector<TRecordValue> UninstallDetails(const std::wstring& Dir, const std::wstring& Key,
                                           const std::wstring& Today) {
    const TValuesOfKey key{Key};
    return {
        key.Text(ValDisplayVersion, ProductVersion),
        key.Text(ValPublisher, MakerName),
        // The uninstaller carries the product's icon.
        key.Text(ValDisplayIcon, PathJoin(Dir, UninstallerFileName)),
        key.Text(ValInstallLocation, Dir),
        // The size so far; the end of the run sets it to the whole installation's.
        key.Integer(ValEstimatedSize, TreeSizeKb(Dir)),
        key.Text(ValQuietUninstallString, QuietUninstallCommand(Dir)),
        key.Integer(ValNoModify, 1),
        key.Integer(ValNoRepair, 1),
        key.Text(ValURLInfoAbout, MakerWebSite),
        key.Text(ValEntryInstallDate, Today),
        key.Integer(ValVersionMajor, ProductVersionMajor),
        key.Integer(ValVersionMinor, ProductVersionMinor),
    };
}

}  // namespace

int32_t RegisterUninstallEntry(const std::wstring& Dir, const std::wstring& Key, const std::wstring& Today) {
    HKEY root = HKEY_LOCAL_MACHINE;
    if (!CreateRegKey(root, Key)) return ueCreateKeyFailed;
    if (!WriteRegString(root, Key, ValDisplayName, UninstallDisplayName())) return ueDisplayNameFailed;
    if (!WriteRegString(root, Key, ValUninstallString, UninstallCommand(Dir))) return ueUninstallStringFailed;
    if (!WriteInOrder(UninstallDetails(Dir, Key, Today))) return ueDetailsFailed;
    return ueSuccess;
}

bool RecordInstalledSize(const std::wstring& Dir, const std::wstring& Key) {
    std::wstring command;
    if (!ReadRegString(HKEY_LOCAL_MACHINE, Key, ValUninstallString, command)) return false;
    return WriteRegInteger(HKEY_LOCAL_MACHINE, Key, ValEstimatedSize, TreeSizeKb(Dir));
}

std::wstring UninstallLogFromCommand(const std::wstring& UninstallString) {
    if (UninstallString.empty()) return L"";
    // A quoted log ends the command with its closing quote and starts after the last
    // quote but one; an unquoted log follows the last blank.
    std::wstring text = UninstallString;
    wchar_t separator = L' ';
    if (text.back() == L'"') {
        text.pop_back();
        separator = L'"';
    }
    int pos = LastCharPos(text, separator);
    if (pos == 0) return L"";
    return text.substr(static_cast<size_t>(pos));  // whole: a cut path would miss the installation
}

std::wstring FindPreviousUninstallLog(const std::wstring& Key) {
    std::wstring displayName, command;
    if (!ReadRegString(HKEY_LOCAL_MACHINE, Key, ValDisplayName, displayName) ||
        !ReadRegString(HKEY_LOCAL_MACHINE, Key, ValUninstallString, command))
        return L"";
    return UninstallLogFromCommand(command);
}
