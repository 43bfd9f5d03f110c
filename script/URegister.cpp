#include "script/URegister.h"

#include <windows.h>

#include <iterator>

#include "catalogue/UDirCodes.h"
#include "catalogue/UIdeSettings.h"
#include "catalogue/UInstallRecord.h"
#include "catalogue/UProducts.h"
#include "script/UFileOps.h"
#include "support/UConst.h"
#include "support/UJournal.h"
#include "support/UPaths.h"
#include "support/UProcess.h"
#include "support/UProduct.h"
#include "support/URegistry.h"
#include "support/UText.h"
#include "uninstall/UnDo.h"

namespace {

// Delphi 2007, 2009 and 2010 read their library settings again at start-up only when
// told so in their "Globals" key.
constexpr int FirstForcedUpdateRow = 12;
constexpr int LastForcedUpdateRow = 14;

TLibraryPlatform LibraryPlatform(uint32_t Options) {
    return (Options & spWin64Library) ? TLibraryPlatform::Win64 : TLibraryPlatform::Win32;
}

// The shared tail of the search-path executors, for a LogText that already names
// the folder.
int32_t AddPathEntryLogged(const std::wstring& Key, const std::wstring& ValueName, const std::wstring& Value,
                           const std::wstring& Folder, std::wstring& LogText) {
    switch (AddPathEntry(Key, ValueName, Value, Folder)) {
        case TPathAdd::Already: LogText += LogAlready; return 0;
        case TPathAdd::Added: LogText += LogSuccess; return 0;
        default: return rpSearchPathFailed;
    }
}

}  // namespace

std::wstring PackageDescription() {
    std::wstring text = std::wstring(EditionText) + L" of " + ProductName + L" v" + ProductVersion;
    text[0] = AsciiUpper(text[0]);
    return text;
}

bool WritesIdeSettings(uint32_t Type) {
    return Type == itRegisterPackage || Type == itAddSearchPath || Type == itAddIdePath;
}

std::wstring FilesOnlyLogText(const TScriptItem& Item, const TRunContext& Run) {
    const TBorlandProduct* ide = BlockIde(Run);
    std::wstring text;
    switch (ItemType(Item)) {
        case itRegisterPackage: text = L"Registering package: " + RowPath(Item.Dir, Item.Name, Run); break;
        case itAddSearchPath: text = L"Adding search path: " + RowPath(Item.Dir, Item.Name, Run); break;
        default: text = L"Adding search path: " + SearchPathLocation(static_cast<uint8_t>(Item.Code), Run); break;
    }
    return text + L"...Skipped: " + (ide ? ide->Name : std::wstring(L"the IDE")) +
           L" has never been started, files only";
}

int32_t ExecRegisterPackage(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText) {
    const TBorlandProduct* ide = BlockIde(Run);
    const std::wstring package = RowPath(Item.Dir, Item.Name, Run);
    // Outside an IDE block there is no key to write to, and a relative package path
    // would mean nothing to the IDE.
    if (!ide || !IsFullPath(package)) return rpKnownPackageFailed;
    // A value that is there already (the user's own registration) stays as it is.
    const std::wstring packagesKey = ide->RegKey + KnownPackagesSubKey;
    const bool known = RegValueExists(HKEY_CURRENT_USER, packagesKey, package);
    if (!known && !WriteRegString(HKEY_CURRENT_USER, packagesKey, package, PackageDescription()))
        return rpKnownPackageFailed;
    LogText = L"Registering package: " + package + (known ? LogAlready : LogSuccess);

    const std::wstring key = LibraryKey(*ide, LibraryPlatform(Item.Options));
    const std::wstring valueName = LibraryValueName(Run.Ide.Row);
    std::wstring value;
    if (!ReadRegString(HKEY_CURRENT_USER, key, valueName, value)) return rpSearchPathUnread;
    const std::wstring folder = PackageFolder(package);
    LogText += L"\r\nAdding search path: " + folder;
    switch (AddPathEntry(key, valueName, value, folder)) {
        case TPathAdd::Already: LogText += LogAlready; return 0;
        case TPathAdd::WriteFailed: return rpSearchPathFailed;
        case TPathAdd::Added: break;
    }
    if (Run.Ide.Row >= FirstForcedUpdateRow && Run.Ide.Row <= LastForcedUpdateRow &&
        !WriteRegString(HKEY_CURRENT_USER, ide->RegKey + GlobalsSubKey, ForceEnvOptionsUpdateValue, L"1"))
        return rpForceUpdateFailed;
    LogText += LogSuccess;
    return 0;
}

int32_t ExecAddIdePath(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText) {
    // An IDE that lacks the key, the value or a block to belong to is passed over.
    const TBorlandProduct* ide = BlockIde(Run);
    if (!ide) return 0;
    std::wstring key, valueName;
    if (!SplitIdeValuePath(*ide, FieldText(Item.Name), key, valueName)) return 0;
    const std::wstring folder = SearchPathLocation(static_cast<uint8_t>(Item.Code), Run);
    std::wstring value;
    if (folder.empty() || !ReadRegString(HKEY_CURRENT_USER, key, valueName, value)) return 0;
    LogText = L"Adding search path: " + folder;
    return AddPathEntryLogged(key, valueName, value, folder, LogText);
}

int32_t ExecAddSearchPath(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText) {
    const TBorlandProduct* ide = BlockIde(Run);
    const std::wstring folder = RowPath(Item.Dir, Item.Name, Run);
    const bool ownPlace = Item.Param && *Item.Param && Item.Name2 && *Item.Name2;
    const int32_t missing = (Item.Options & spMissingIsNoError) ? 0 : rpSearchPathUnread;
    if (!ide || !IsFullPath(folder)) return missing;
    const std::wstring key =
        ownPlace ? ide->RegKey + L"\\" + Item.Param : LibraryKey(*ide, LibraryPlatform(Item.Options));
    const std::wstring valueName = ownPlace ? Item.Name2 : LibraryValueName(Run.Ide.Row);
    std::wstring value;
    if (!ReadRegString(HKEY_CURRENT_USER, key, valueName, value)) return missing;
    LogText = L"Adding search path: " + folder;
    return AddPathEntryLogged(key, valueName, value, folder, LogText);
}

int32_t ExecSetHelpDir(const TScriptItem& Item, TRunContext& Run, std::wstring&) {
    Run.HelpDir = RowPath(Item.Dir, Item.Name, Run);
    return 0;
}

int32_t ExecRegisterWinHelp(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText) {
    const std::wstring name = FieldText(Item.Name);
    // An empty name would overwrite the key's default value.
    const bool written = !name.empty() && WriteRegString(HKEY_LOCAL_MACHINE, WindowsHelpKey, name, Run.HelpDir);
    LogText = L"Registering windows help: " + name + Outcome(written);
    return written ? 0 : rwHelpFailed;
}

int32_t ExecRegisterHelp(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText) {
    if (!IsFullPath(Run.InstallDir)) return ERROR_BAD_PATHNAME;
    SetCurrentDirectoryW(PathJoin(Run.InstallDir, HelpSubDir).c_str());
    const std::wstring batch = PathJoin(Run.InstallDir, FieldText(Item.Name));
    // Quoted when it holds a blank, or "C:\Program Files\..." would start C:\Program.exe.
    // The batch file writes the product key's help values behind this program's back:
    // the key is kept first.
    const int32_t result = KeepRegTree(HKEY_LOCAL_MACHINE, ProductKey) ? RunAndWait(QuoteIfBlank(batch), L"")
                                                                       : ERROR_WRITE_FAULT;
    if (result == 0) LogText = L"Register help: " + batch + LogSuccess;
    return result;
}

int32_t ExecRegisterUninstall(const TScriptItem&, TRunContext& Run, std::wstring& LogText) {
    const int32_t result = RegisterUninstallEntry(Run.InstallDir);
    LogText = std::wstring(L"Registering Uninstall: ") + UninstallerFileName + Outcome(result == ueSuccess);
    return result;
}

int32_t ExecCreateRegKey(const TScriptItem& Item, TRunContext&, std::wstring& LogText) {
    // The row is there for its uninstall record; the values come with the Finish page.
    HKEY root = RegRootFromCode(Item.Code);
    if (root && Item.Name && *Item.Name) CreateRegKey(root, Item.Name);
    LogText.clear();
    return 0;
}

namespace {

// clang-format off
const TExecutorEntry RegisterExecutorRows[] = {
    // Type                  Executor
    {itRegisterPackage,      ExecRegisterPackage},
    {itRegisterWinHelp,      ExecRegisterWinHelp},
    {itSetHelpDir,           ExecSetHelpDir},
    {itCreateRegKey,         ExecCreateRegKey},
    {itAddSearchPath,        ExecAddSearchPath},
    {itRegisterHelp,         ExecRegisterHelp},
    {itAddIdePath,           ExecAddIdePath},
    {itRegisterUninstall,    ExecRegisterUninstall},
};
// clang-format on

}  // namespace

const TExecutorTable RegisterExecutors = {RegisterExecutorRows, std::size(RegisterExecutorRows)};
