#include "uninstall/UnDo.h"

#include <windows.h>

#include "catalogue/UDirCodes.h"
#include "catalogue/UIdeSettings.h"
#include "catalogue/UProducts.h"
#include "support/UDirTree.h"
#include "support/UJournal.h"
#include "support/UItemTypes.h"
#include "support/UPaths.h"
#include "support/UPlatform.h"
#include "support/UProcess.h"
#include "support/URegistry.h"
#include "support/UText.h"
#include "support/UTextFile.h"
#include "support/WinHandles.h"

namespace {

// The records carry no platform: the script's package and search-path rows all
// write the Win32 library key (none of them sets the Win64 option), and the Win64
// entries come from IDE-path rows, whose records name their value themselves.
constexpr TLibraryPlatform UndoLibraryPlatform = TLibraryPlatform::Win32;

// A directory can stay in use for a moment after a process that worked in it has
// ended (the console of the help batch file, a virus scanner): its removal is
// tried again for about a second.
constexpr int BusyDirRetries = 20;
constexpr DWORD BusyDirPauseMs = 50;

bool IsBusy(uint32_t deleteFlags) {
    constexpr uint32_t busy = (ddRemoveDirFailed | ddFileDeleteFailed) & 0x7FFFFFFF;
    return (deleteFlags & busy) != 0 && deleteFlags != ddRefused;
}

// ---------------------------------------------------------------- registry keys

// A key path of at least two levels: a damaged record must never name a whole
// top-level key such as "Software".
bool IsDeepKeyPath(const std::wstring& path) {
    int levels = 0;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos) end = path.size();
        if (end > start) ++levels;
        start = end + 1;
    }
    return levels >= 2;
}

// ---------------------------------------------------------------- help index files

// Writes a sibling file first and puts it in place only when it is complete, so a
// failing write never leaves the IDE's help file cut short.
void ReplaceWholeFile(const std::wstring& path, const std::string& data) {
    std::wstring temp = path + L".cvltmp";
    if (!KeepFileBeforeChange(path) || !KeepFileBeforeChange(temp)) return;
    {
        brd::UniqueFile file(
            CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return;
        DWORD written = 0;
        bool ok = data.empty() ||
                  (WriteFile(file.get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr) &&
                   written == data.size());
        if (!file.reset()) ok = false;
        if (!ok) {
            DeleteFileW(temp.c_str());
            return;
        }
    }
    if (!MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) DeleteFileW(temp.c_str());
}

// First occurrence of Pattern in Text that ends a line (is followed by the end of
// the text or a line break), so a longer line that merely begins with the appended
// text is never cut.
size_t FindAppendedText(const std::string& text, const std::string& pattern) {
    for (size_t pos = text.find(pattern); pos != std::string::npos; pos = text.find(pattern, pos + 1)) {
        size_t end = pos + pattern.size();
        if (end == text.size() || text[end] == '\r' || text[end] == '\n') return pos;
    }
    return std::string::npos;
}

// ---------------------------------------------------------------- dispatch

using TUndoFn = int (*)(const TUndoRecord&, TRunContext&, const std::wstring&);

template <int (*Action)(const TUndoRecord&, const TRunContext&)>
int WithoutKey(const TUndoRecord& record, TRunContext& run, const std::wstring&) {
    return Action(record, run);
}

int EnterBlock(const TUndoRecord& record, TRunContext& run, const std::wstring&) { return UndoSetIde(record, run); }

int WithKey(const TUndoRecord& record, TRunContext&, const std::wstring& key) {
    return UndoRegisterUninstall(record, key);
}

struct TUndoAction {
    uint32_t Type;
    TUndoFn Action;
    const wchar_t* Text;  // nullptr: the action line keeps the text before
};

// clang-format off
const TUndoAction UndoActions[] = {
    // Type                    Action                                  Action-line text
    {itRegisterPackage,      WithoutKey<UndoRegisterPackage>,  L"Unregistering package"},
    {itModifyFile,           WithoutKey<UndoModifyFile>,       L"Unregistering help"},
    {itModifyFileToo,        WithoutKey<UndoModifyFile>,       nullptr},
    {itDeleteFile,           WithoutKey<UndoDeleteFile>,       L"Removing file"},
    {itRegisterWinHelp,      WithoutKey<UndoRegisterWinHelp>,  L"Unregistering help"},
    {itCreateRegKey,         WithoutKey<UndoCreateRegKey>,     L"Removing registry key"},
    {itAddSearchPath,        WithoutKey<UndoAddSearchPath>,    L"Unregistering package"},
    {itRegisterHelp,         WithoutKey<UndoRegisterHelp>,     L"Unregistering help"},
    {itAddIdePath,           WithoutKey<UndoAddIdePath>,       L"Unregistering package"},
    {itSetIde,               EnterBlock,                        nullptr},
    {itCreateDir,            WithoutKey<UndoCreateDir>,        L"Removing directory"},
    {itCopyResource,         WithoutKey<UndoCopyFile>,         L"Removing file"},
    {itCopyResourceIfAbsent, WithoutKey<UndoCopyFile>,         L"Removing file"},
    {itCopyFile,             WithoutKey<UndoCopyFile>,         L"Removing file"},
    {itRegisterUninstall,    WithKey,                          L"Unregistering uninstall"},
};
// clang-format on

const TUndoAction* FindAction(uint32_t typeId) {
    for (const TUndoAction& a : UndoActions)
        if (a.Type == (typeId & itTypeMask)) return &a;
    return nullptr;
}

}  // namespace

int UndoRecord(const TUndoRecord& Record, TRunContext& Run, const std::wstring& UninstallKey) {
    const TUndoAction* action = FindAction(Record.TypeId);
    return action ? action->Action(Record, Run, UninstallKey) : 0;
}

const wchar_t* UndoActionText(uint32_t TypeId) {
    const TUndoAction* action = FindAction(TypeId);
    return action ? action->Text : nullptr;
}

std::wstring RecordPath(const TUndoRecord& Record, const TRunContext& Run) {
    std::wstring path = PathJoin(DirCodeToPath(Record.Dir, Run), Record.RecordName());
    return IsFullPath(path) ? path : L"";
}

// ---------------------------------------------------------------- actions

int UndoSetIde(const TUndoRecord& Record, TRunContext& Run) {
    Run.Ide = IdeBlock(static_cast<int32_t>(Record.Code), Record.RecordName());
    return 0;
}

int UndoCreateDir(const TUndoRecord& Record, const TRunContext& Run) {
    // DeleteDirTree refuses roots, relative paths and the system's own folders.
    std::wstring dir = RecordPath(Record, Run);
    if (dir.empty()) return 0;
    for (int attempt = 0; IsBusy(DeleteDirTree(dir, false)) && attempt < BusyDirRetries; ++attempt)
        Sleep(BusyDirPauseMs);
    return 0;
}

int UndoCopyFile(const TUndoRecord& Record, const TRunContext& Run) {
    std::wstring file = RecordPath(Record, Run);
    if (!file.empty() && KeepFileBeforeDeletion(file)) DeleteFileW(file.c_str());
    return 0;
}

int UndoDeleteFile(const TUndoRecord& Record, const TRunContext& Run) { return UndoCopyFile(Record, Run); }

int UndoRegisterWinHelp(const TUndoRecord& Record, const TRunContext&) {
    DeleteRegValue(HKEY_LOCAL_MACHINE, WindowsHelpKey, Record.RecordName());
    return 0;
}

int UndoCreateRegKey(const TUndoRecord& Record, const TRunContext&) {
    HKEY root = RegRootFromCode(Record.Code);
    std::wstring key = Record.RecordName();
    if (root && IsDeepKeyPath(key)) DeleteKeyTree(root, key);
    return 0;
}

int UndoRegisterUninstall(const TUndoRecord&, const std::wstring& UninstallKey) {
    // Without a name of its own the entry would be the whole list of uninstall entries.
    if (UninstallKey.empty() || UninstallKey.find(L'\\') != std::wstring::npos) return 0;
    // The list of uninstall entries is the system's: it stays even when ours was the
    // only entry in it.
    DeleteKeyTree(HKEY_LOCAL_MACHINE, UninstallKeyPrefix + UninstallKey, TEmptyAncestors::Keep);
    return 0;
}

int UndoRegisterHelp(const TUndoRecord&, const TRunContext& Run) {
    if (!IsFullPath(Run.InstallDir)) return ERROR_BAD_PATHNAME;
    // The batch file changes the product key's help values behind this program's back.
    if (!KeepRegTree(HKEY_LOCAL_MACHINE, ProductKey)) return ERROR_WRITE_FAULT;
    std::wstring previous = GetCurrentDir();
    SetCurrentDirectoryW(PathJoin(Run.InstallDir, HelpSubDir).c_str());
    int result = RunAndWait(QuoteIfBlank(PathJoin(Run.InstallDir, HelpUnregisterBatch)), L"");
    // Back to where the caller was: a current directory inside the installation
    // would keep its last record from removing the installation directory.
    SetCurrentDirectoryW(previous.c_str());
    return result;
}

int UndoModifyFile(const TUndoRecord& Record, const TRunContext& Run) {
    const TBorlandProduct* ide = BlockIde(Run);
    if (!ide || Record.Code < 1 || Record.Code > ide->HelpStr.size()) return 0;
    const std::wstring& helpFile = ide->HelpStr[Record.Code - 1];
    std::wstring file = PathJoin(DirCodeToPath(Record.Dir, Run), helpFile);
    std::string text = AnsiFromWide(Record.RecordName());
    if (helpFile.empty() || !IsFullPath(file) || text.empty()) return 0;

    std::string data;
    {
        brd::UniqueFile opened(
            CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!opened || ReadWholeFile(opened.get(), data) != 0) return 0;
    }
    size_t pos = FindAppendedText(AnsiLower(data), AnsiLower(text));
    if (pos == std::string::npos) return 0;
    data.erase(pos, text.size());
    ReplaceWholeFile(file, data);
    return 0;
}

int UndoAddSearchPath(const TUndoRecord& Record, const TRunContext& Run) {
    const TBorlandProduct* ide = BlockIde(Run);
    if (!ide) return 0;
    RemovePathEntry(LibraryKey(*ide, UndoLibraryPlatform), LibraryValueName(Run.Ide.Row), RecordPath(Record, Run));
    return 0;
}

int UndoRegisterPackage(const TUndoRecord& Record, const TRunContext& Run) {
    const TBorlandProduct* ide = BlockIde(Run);
    if (!ide) return 0;
    std::wstring package = RecordPath(Record, Run);
    if (package.empty()) return 0;
    DeleteRegValue(HKEY_CURRENT_USER, ide->RegKey + KnownPackagesSubKey, package);
    RemovePathEntry(LibraryKey(*ide, UndoLibraryPlatform), LibraryValueName(Run.Ide.Row), PackageFolder(package));
    return 0;
}

int UndoAddIdePath(const TUndoRecord& Record, const TRunContext& Run) {
    const TBorlandProduct* ide = BlockIde(Run);
    if (!ide) return 0;
    std::wstring key, valueName;
    if (!SplitIdeValuePath(*ide, Record.RecordName(), key, valueName)) return 0;
    RemovePathEntry(key, valueName, SearchPathLocation(static_cast<uint8_t>(Record.Code), Run));
    return 0;
}
