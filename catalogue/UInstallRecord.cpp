#include "catalogue/UInstallRecord.h"

#include <windows.h>

#include "catalogue/UProducts.h"
#include "script/UScriptItems.h"
#include "support/UUtils.h"

namespace {

// The log path taken from an uninstall command is cut to this many characters.
constexpr size_t MaxUninstallLogLength = 255;

// The environment a selection entry stands for; none for the optional components,
// which are always available.
const TBorlandProduct* EntryProduct(const TSelectionItem& Item) { return ProductRow(ProductRowById(Item.ProductId)); }

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
        TBorlandProduct& product = BorlandProducts[row];
        product.Selected = product.Exists && (!versionsRecorded || (product.InternalId & Previous.InstallVersions) > 0);
    }
    // With a recorded choice, the entries it names are checked again when still
    // available and the others keep their state; without one, every preselected
    // environment and every component is checked.
    const bool itemsRecorded = IsRecordedMask(Previous.InstallItems);
    for (TSelectionItem& item : SelectionItems) {
        const TBorlandProduct* product = EntryProduct(item);
        if (!itemsRecorded)
            item.Checked = product == nullptr || product->Selected;
        else if ((item.Mask & Previous.InstallItems) > 0)
            item.Checked = product == nullptr || product->Exists;
    }
}

bool LoadCustomizeItems(const std::wstring& Key) {
    int32_t stored = 0;
    if (!ReadRegInteger(HKEY_LOCAL_MACHINE, Key, ValCustomizeItems, stored)) return false;
    CustomizeItems = stored;
    return true;
}

std::wstring ReadPreviousInstallDir(const std::wstring& Key) {
    std::wstring dir;
    ReadRegString(HKEY_LOCAL_MACHINE, Key, ValRootDir, dir);
    return dir;
}

TInstallRecord CurrentInstallRecord() {
    TInstallRecord record;
    record.InstallVersions = InstallVersions;
    record.InstallItems = InstallItems;
    record.RootDir = InstallDir;
    record.Version = ProductVersion;
    record.Type = EditionText;
    record.InstallDate = ShortDateToday();
    record.CustomizeItems = CustomizeItems;
    return record;
}

bool WriteInstallRecord(const TInstallRecord& Record, const std::wstring& Key) {
    HKEY root = HKEY_LOCAL_MACHINE;
    return WriteRegInteger(root, Key, ValInstallVersions, Record.InstallVersions) &&
           WriteRegInteger(root, Key, ValInstallItems, Record.InstallItems) &&
           WriteRegString(root, Key, ValRootDir, Record.RootDir) &&
           WriteRegString(root, Key, ValVersion, Record.Version) &&
           WriteRegString(root, Key, ValType, Record.Type) &&
           WriteRegString(root, Key, ValInstallDate, Record.InstallDate) &&
           WriteRegInteger(root, Key, ValCustomizeItems, Record.CustomizeItems);
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
