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
#include "support/UConst.h"
#include "support/UProcess.h"
#include "support/USharedFiles.h"
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

// ---------------------------------------------------------------- what stays

void NoteLeft(TUndoLedger& ledger, const std::wstring& what, const std::wstring& why) {
    ledger.Left.push_back({what, why});
}

std::wstring ErrorText(DWORD error) { return L"cannot be removed (Windows error " + std::to_wstring(error) + L")"; }

// A file or folder that cannot be deleted now, most often because a program holds
// it open, is deleted by the system at the next restart; folders are scheduled
// after the files in them, since the system works through the list in order. Not
// within a run, which may still be rolled back and must find its files again.
bool DeleteAtRestart(const TUndoLedger& ledger, const std::wstring& path) {
    return ledger.DeleteAtRestart && !JournalIsOpen() && MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

void LeaveForRestart(TUndoLedger& ledger, const std::wstring& path, DWORD error) {
    for (const TLeftOver& left : ledger.Left)
        if (left.What == path) return;  // a folder and the folder above it both name it
    if (DeleteAtRestart(ledger, path))
        NoteLeft(ledger, path, LeftInUseText);
    else
        NoteLeft(ledger, path, ErrorText(error));
}

bool IsAncestorOfAny(const std::wstring& dir, const std::vector<std::wstring>& paths) {
    for (const std::wstring& path : paths)
        if (PathLiesBelow(path, dir)) return true;
    return false;
}

std::vector<std::wstring> PathsOf(const std::vector<TStayedPath>& stayed, bool folders) {
    std::vector<std::wstring> paths;
    for (const TStayedPath& s : stayed)
        if (s.Folder == folders) paths.push_back(s.Path);
    return paths;
}

// What of a tree's removal really stayed: a folder that holds only kept files, or
// stayed files, is no leftover of its own.
std::vector<TStayedPath> RealLeftovers(const std::vector<TStayedPath>& stayed, const std::vector<std::wstring>& keep) {
    const std::vector<std::wstring> files = PathsOf(stayed, false);
    std::vector<TStayedPath> real;
    for (const TStayedPath& s : stayed) {
        if (s.Folder && (IsAncestorOfAny(s.Path, keep) || IsAncestorOfAny(s.Path, files))) continue;
        real.push_back(s);
    }
    return real;
}

// One removal of a tree, tried again while something in it is busy; what it could
// not delete in the end.
std::vector<TStayedPath> RemoveTree(const std::wstring& dir, const std::vector<std::wstring>& keep,
                                    const TUndoLedger& ledger) {
    std::vector<TStayedPath> stayed, real;
    for (int attempt = 0;; ++attempt) {
        stayed.clear();
        if (DeleteDirTreeExcept(dir, keep, stayed) == ddRefused) return {};
        real = RealLeftovers(stayed, keep);
        if (real.empty() || attempt >= BusyDirRetries) break;
        Sleep(BusyDirPauseMs);
    }
    // The folders that hold what stayed go at the restart after it.
    for (const TStayedPath& s : stayed)
        if (s.Folder && !IsAncestorOfAny(s.Path, keep) && IsAncestorOfAny(s.Path, PathsOf(real, false)))
            DeleteAtRestart(ledger, s.Path);
    return real;
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

using TUndoFn = int (*)(const TUndoRecord&, TRunContext&, TUndoLedger&);

template <int (*Action)(const TUndoRecord&, const TRunContext&)>
int WithoutKey(const TUndoRecord& record, TRunContext& run, TUndoLedger&) {
    return Action(record, run);
}

template <int (*Action)(const TUndoRecord&, const TRunContext&, TUndoLedger&)>
int WithLedger(const TUndoRecord& record, TRunContext& run, TUndoLedger& ledger) {
    return Action(record, run, ledger);
}

int EnterBlock(const TUndoRecord& record, TRunContext& run, TUndoLedger&) { return UndoSetIde(record, run); }

int WithKey(const TUndoRecord& record, TRunContext&, TUndoLedger& ledger) {
    return UndoRegisterUninstall(record, ledger.UninstallKey);
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
    {itDeleteFile,           WithLedger<UndoDeleteFile>,       L"Removing file"},
    {itRegisterWinHelp,      WithoutKey<UndoRegisterWinHelp>,  L"Unregistering help"},
    {itCreateRegKey,         WithoutKey<UndoCreateRegKey>,     L"Removing registry key"},
    {itAddSearchPath,        WithoutKey<UndoAddSearchPath>,    L"Unregistering package"},
    {itRegisterHelp,         WithLedger<UndoRegisterHelp>,     L"Unregistering help"},
    {itAddIdePath,           WithoutKey<UndoAddIdePath>,       L"Unregistering package"},
    {itSetIde,               EnterBlock,                        nullptr},
    {itCreateDir,            WithLedger<UndoCreateDir>,        L"Removing directory"},
    {itCopyResource,         WithLedger<UndoCopyFile>,         L"Removing file"},
    {itCopyResourceIfAbsent, WithLedger<UndoCopyFile>,         L"Removing file"},
    {itCopyFile,             WithLedger<UndoCopyFile>,         L"Removing file"},
    {itSharedFile,           WithLedger<UndoSharedFile>,       L"Removing file"},
    {itMergedLines,          WithoutKey<UndoMergedLines>,      L"Unregistering help"},
    {itRegisterUninstall,    WithKey,                          L"Unregistering uninstall"},
};
// clang-format on

const TUndoAction* FindAction(uint32_t typeId) {
    for (const TUndoAction& a : UndoActions)
        if (a.Type == (typeId & itTypeMask)) return &a;
    return nullptr;
}

}  // namespace

void UndoRecord(const TUndoRecord& Record, TRunContext& Run, TUndoLedger& Ledger) {
    if (const TUndoAction* action = FindAction(Record.TypeId)) action->Action(Record, Run, Ledger);
}

int UndoRecord(const TUndoRecord& Record, TRunContext& Run, const std::wstring& UninstallKey) {
    TUndoLedger ledger;
    ledger.UninstallKey = UninstallKey;
    UndoRecord(Record, Run, ledger);
    return ledger.Left.empty() ? 0 : 1;
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
    Run.Ide = IdeBlock(static_cast<int32_t>(Record.Code), Record.RecordName(), Run);
    return 0;
}

int UndoCreateDir(const TUndoRecord& Record, const TRunContext& Run, TUndoLedger& Ledger) {
    // DeleteDirTreeExcept refuses roots, relative paths and the system's own folders.
    std::wstring dir = RecordPath(Record, Run);
    if (dir.empty()) return 0;
    const std::vector<TStayedPath> stayed = RemoveTree(dir, Ledger.KeepWhileLeft, Ledger);
    for (const TStayedPath& s : stayed) LeaveForRestart(Ledger, s.Path, s.Error);
    if (!Ledger.Left.empty() || !DirectoryExists(dir)) return static_cast<int>(stayed.size());
    // Nothing is left: the files kept for another run go as well.
    for (const std::wstring& kept : Ledger.KeepWhileLeft)
        if (PathLiesBelow(kept, dir) && KeepFileBeforeChange(kept)) DeleteFileForced(kept);
    for (const TStayedPath& s : RemoveTree(dir, {}, Ledger)) LeaveForRestart(Ledger, s.Path, s.Error);
    return 0;
}

int UndoCopyFile(const TUndoRecord& Record, const TRunContext& Run, TUndoLedger& Ledger) {
    std::wstring file = RecordPath(Record, Run);
    if (file.empty() || !KeepFileBeforeDeletion(file) || DeleteFileForced(file)) return 0;
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return 0;
    LeaveForRestart(Ledger, file, error);
    return 1;
}

int UndoDeleteFile(const TUndoRecord& Record, const TRunContext& Run, TUndoLedger& Ledger) {
    return UndoCopyFile(Record, Run, Ledger);
}

int UndoSharedFile(const TUndoRecord& Record, const TRunContext& Run, TUndoLedger& Ledger) {
    // The file goes with its last user; while others count, it stays.
    const std::wstring file = RecordPath(Record, Run);
    if (file.empty() || !ReleaseSharedFileUse(file)) return 0;
    return UndoCopyFile(Record, Run, Ledger);
}

int UndoRegisterWinHelp(const TUndoRecord& Record, const TRunContext&) {
    DeleteRegValue(HKEY_LOCAL_MACHINE, WindowsHelpKey, Record.RecordName());
    DeleteKeyIfEmpty(HKEY_LOCAL_MACHINE, WindowsHelpKey);
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

namespace {

// The help unregistration batch file, run from its folder. Its path must fit the
// limits of a command and a current directory.
int RunHelpUnregisterBatch(const std::wstring& installDir) {
    if (!IsFullPath(installDir)) return ERROR_BAD_PATHNAME;
    const std::wstring batch = PathJoin(installDir, HelpUnregisterBatch);
    if (batch.size() >= MAX_PATH) return ERROR_FILENAME_EXCED_RANGE;
    if (!FileExists(batch)) return ERROR_FILE_NOT_FOUND;
    std::wstring previous = GetCurrentDir();
    SetCurrentDirectoryW(PathJoin(installDir, HelpSubDir).c_str());
    int result = RunAndWait(QuoteIfBlank(batch), L"");
    // Back to where the caller was: a current directory inside the installation
    // would keep its last record from removing the installation directory.
    SetCurrentDirectoryW(previous.c_str());
    return result;
}

bool RegKeyExists(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | RegView, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// Where the batch file also registers the help collection with it.
bool HelpTwoRuntimePresent() {
    wchar_t path[MAX_PATH];
    DWORD length = ExpandEnvironmentStringsW(L"%CommonProgramFiles%\\Microsoft Shared\\Help\\hxds.dll", path, MAX_PATH);
    return length > 0 && length <= MAX_PATH && FileExists(path);
}

}  // namespace

int UndoRegisterHelp(const TUndoRecord&, const TRunContext& Run, TUndoLedger& Ledger) {
    // The batch file changes the product key's help values behind this program's back.
    if (!KeepRegTree(HKEY_LOCAL_MACHINE, ProductKey)) return ERROR_WRITE_FAULT;
    const int batch = RunHelpUnregisterBatch(Run.InstallDir);
    // The batch file may be gone, or lie too deep to run: the registry key it
    // writes is removed here in any case (the batch leaves nothing to do then).
    const std::wstring key = std::wstring(ProductKey) + HelpRegistrationSubKey;
    if (RegKeyExists(HKEY_LOCAL_MACHINE, key)) DeleteKeyTree(HKEY_LOCAL_MACHINE, key, TEmptyAncestors::Keep);
    int left = 0;
    if (RegKeyExists(HKEY_LOCAL_MACHINE, key)) {
        NoteLeft(Ledger, L"HKEY_LOCAL_MACHINE\\" + key, ErrorText(ERROR_ACCESS_DENIED));
        ++left;
    }
    if (batch != 0 && HelpTwoRuntimePresent()) {
        NoteLeft(Ledger, L"The help collection registered with Microsoft Help 2",
                 L"cannot be removed: " + std::wstring(HelpUnregisterBatch) + L" could not run (Windows error " +
                     std::to_wstring(batch) + L")");
        ++left;
    }
    return left;
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

namespace {

// Removes the first whole line of Text whose content (without its line end) is
// Line, with its line end; false when there is none.
bool EraseWholeLine(std::string& text, const std::string& line) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        const size_t next = end == std::string::npos ? text.size() : end + 1;
        if (end == std::string::npos) end = text.size();
        size_t contentEnd = end;
        if (contentEnd > start && text[contentEnd - 1] == '\r') --contentEnd;
        if (text.compare(start, contentEnd - start, line) == 0) {
            text.erase(start, next - start);
            return true;
        }
        start = next;
    }
    return false;
}

}  // namespace

int UndoMergedLines(const TUndoRecord& Record, const TRunContext& Run) {
    const std::wstring name = Record.RecordName();
    const size_t split = name.find(L'\n');
    if (split == std::wstring::npos) return 0;
    const std::wstring file = PathJoin(DirCodeToPath(Record.Dir, Run), name.substr(0, split));
    if (!IsFullPath(file)) return 0;
    std::string data;
    {
        brd::UniqueFile opened(
            CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!opened || ReadWholeFile(opened.get(), data) != 0) return 0;
    }
    const std::string lines = AnsiFromWide(name.substr(split + 1));
    bool changed = false;
    for (size_t start = 0; start <= lines.size();) {
        size_t end = lines.find("\r\n", start);
        if (end == std::string::npos) end = lines.size();
        changed = EraseWholeLine(data, lines.substr(start, end - start)) || changed;
        start = end + 2;
    }
    if (data.empty() && (Record.Code & mlFileMade)) {
        if (KeepFileBeforeChange(file)) DeleteFileW(file.c_str());
    } else if (changed) {
        ReplaceWholeFile(file, data);
    }
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
    if (!(Record.Code & pkKnownPackageWasThere))
        DeleteRegValue(HKEY_CURRENT_USER, ide->RegKey + KnownPackagesSubKey, package);
    if (!(Record.Code & pkSearchPathWasThere))
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
