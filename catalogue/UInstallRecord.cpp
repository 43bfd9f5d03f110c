#include "catalogue/UInstallRecord.h"

#include <windows.h>

#include "catalogue/UProducts.h"
#include "support/UPaths.h"
#include "support/UProduct.h"
#include "support/URegistry.h"
#include "support/UText.h"

namespace {

// The log path taken from an uninstall command is cut to this many characters.
constexpr size_t MaxUninstallLogLength = 255;

// What detection found for the environment a selection entry stands for; nothing for
// the optional components, which are always available.
const TDetectedIde* EntryIde(const TSelectionItem& Item) {
    const int row = ProductRowById(Item.ProductId);
    return row ? &DetectedIdes[static_cast<size_t>(row)] : nullptr;
}

std::wstring ShortDateToday() {
    int length = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, nullptr, 0);
    if (length <= 0) return L"";
    std::wstring date(static_cast<size_t>(length), L'\0');
    length = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date.data(), length);
    date.resize(length > 0 ? static_cast<size_t>(length - 1) : 0);
    return date;
}

}  // namespace

// ---------------------------------------------------------------- product key

TPreviousInstall ReadPreviousInstall(const std::wstring& Key) {
    TPreviousInstall previous;
    ReadRegInteger(HKEY_LOCAL_MACHINE, Key, ValInstallVersions, previous.InstallVersions);
    ReadRegString(HKEY_LOCAL_MACHINE, Key, ValVersion, previous.Version);
    ReadRegInteger(HKEY_LOCAL_MACHINE, Key, ValInstallItems, previous.InstallItems);
    return previous;
}

void PresetFromPreviousInstall(const TPreviousInstall& Previous) {
    const bool versionsRecorded = IsRecordedMask(Previous.InstallVersions);
    for (int row = 1; row <= ProductCount; ++row) {
        TDetectedIde& ide = DetectedIdes[static_cast<size_t>(row)];
        ide.Selected = ide.Exists && (!versionsRecorded || (BorlandProducts[row].InternalId & Previous.InstallVersions) > 0);
    }
    // With a recorded choice, the entries it names are checked again when still
    // available and the others keep their state; without one, every preselected
    // environment and every component is checked.
    const bool itemsRecorded = IsRecordedMask(Previous.InstallItems);
    for (TSelectionItem& item : SelectionItems) {
        const TDetectedIde* ide = EntryIde(item);
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
    return record;
}

std::vector<TRecordValue> InstallRecordValues(const TInstallRecord& Record, const std::wstring& Key) {
    const HKEY root = HKEY_LOCAL_MACHINE;
    auto integer = [&](const wchar_t* name, int32_t value) {
        return TRecordValue{name, [=] { return WriteRegInteger(root, Key, name, value); }};
    };
    auto text = [&](const wchar_t* name, const std::wstring& value) {
        return TRecordValue{name, [=] { return WriteRegString(root, Key, name, value); }};
    };
    return {
        integer(ValInstallVersions, Record.InstallVersions),
        integer(ValInstallItems, Record.InstallItems),
        text(ValRootDir, Record.RootDir),
        text(ValVersion, Record.Version),
        text(ValType, Record.Type),
        text(ValInstallDate, Record.InstallDate),
        integer(ValCustomizeItems, Record.CustomizeItems),
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

int32_t RegisterUninstallEntry(const std::wstring& Dir, const std::wstring& Key) {
    HKEY root = HKEY_LOCAL_MACHINE;
    if (!CreateRegKey(root, Key)) return ueCreateKeyFailed;
    if (!WriteRegString(root, Key, ValDisplayName, UninstallDisplayName())) return ueDisplayNameFailed;
    if (!WriteRegString(root, Key, ValUninstallString, UninstallCommand(Dir))) return ueUninstallStringFailed;
    return ueSuccess;
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
    return text.substr(static_cast<size_t>(pos), MaxUninstallLogLength);
}

std::wstring FindPreviousUninstallLog(const std::wstring& Key) {
    std::wstring displayName, command;
    if (!ReadRegString(HKEY_LOCAL_MACHINE, Key, ValDisplayName, displayName) ||
        !ReadRegString(HKEY_LOCAL_MACHINE, Key, ValUninstallString, command))
        return L"";
    return UninstallLogFromCommand(command);
}
