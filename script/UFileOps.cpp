#include "script/UFileOps.h"

#include <windows.h>

#include <iterator>
#include <vector>

#include "catalogue/UDirCodes.h"
#include "catalogue/UProducts.h"
#include "support/UDirTree.h"
#include "support/UJournal.h"
#include "support/UPaths.h"
#include "support/UPlatform.h"
#include "support/UProcess.h"
#include "support/UResources.h"
#include "support/USharedFiles.h"
#include "support/UText.h"
#include "support/UTextFile.h"
#include "support/UVersionInfo.h"
#include "support/UbrdStringList.h"
#include "support/UWholeFile.h"
#include "support/WinHandles.h"

using brd::UniqueFile;
using brd::UniqueFind;
using brd::UniqueLocal;

namespace {

// The folder part of a path or pattern, up to and including its last separator; a
// forward slash separates as well, or a pattern such as Source/*.hpp would have its
// matches looked for in one folder and acted on in the one above.
std::wstring FolderOf(const std::wstring& Path) {
    for (size_t i = Path.size(); i > 0; --i)
        if (IsPathSeparator(Path[i - 1])) return Path.substr(0, i);
    return L"";
}

std::wstring NamePartOf(const std::wstring& Path) { return Path.substr(FolderOf(Path).size()); }

// Whether anything is at Path, which may also be a pattern ("Delphi7\*.bpl"): the
// check-file and write rows count a match of the pattern as present.
bool AnythingAt(const std::wstring& Path) {
    WIN32_FIND_DATAW data;
    UniqueFind find(FindFirstFileW(Path.c_str(), &data));
    return find.valid();
}

// ---------------------------------------------------------------- pattern matches

std::wstring Lowered(std::wstring Text) {
    if (!Text.empty()) CharLowerBuffW(Text.data(), static_cast<DWORD>(Text.size()));
    return Text;
}

// "*" and "?" over the whole name, without the DOS rules for dots.
bool GlobMatch(const wchar_t* Name, const wchar_t* Pattern) {
    const wchar_t* star = nullptr;
    const wchar_t* resume = nullptr;
    while (*Name) {
        if (*Pattern == L'*') {
            star = Pattern++;
            resume = Name;
        } else if (*Pattern == L'?' || *Pattern == *Name) {
            ++Pattern;
            ++Name;
        } else if (star) {
            Pattern = star + 1;
            Name = ++resume;
        } else {
            return false;
        }
    }
    while (*Pattern == L'*') ++Pattern;
    return *Pattern == L'\0';
}

// The system's search also matches a pattern against the short (8.3) names, so
// "*.hpp" finds "unit.hppx" through "UNIT~1.HPP". An entry found only through its
// short name is not what the pattern means.
bool MatchedByShortNameOnly(const WIN32_FIND_DATAW& Entry, const std::wstring& LoweredPattern) {
    if (Entry.cAlternateFileName[0] == L'\0') return false;
    const std::wstring longName = Lowered(Entry.cFileName);
    const std::wstring shortName = Lowered(Entry.cAlternateFileName);
    return !GlobMatch(longName.c_str(), LoweredPattern.c_str()) &&
           GlobMatch(shortName.c_str(), LoweredPattern.c_str());
}

// Calls Visit(name) for every plain file that a search for Pattern finds, in the
// order of the search, until Visit returns false. The result is 0, or the search's
// error: ERROR_FILE_NOT_FOUND when nothing matches, ERROR_PATH_NOT_FOUND when the
// folder is missing.
template <typename Visitor>
DWORD ForEachMatch(const std::wstring& Pattern, Visitor Visit) {
    const std::wstring namePattern = Lowered(NamePartOf(Pattern));
    WIN32_FIND_DATAW entry;
    UniqueFind find(FindFirstFileW(Pattern.c_str(), &entry));
    if (!find) {
        DWORD error = GetLastError();
        return error == ERROR_NO_MORE_FILES ? ERROR_FILE_NOT_FOUND : error;
    }
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (MatchedByShortNameOnly(entry, namePattern)) continue;
        if (!Visit(std::wstring(entry.cFileName))) break;
    } while (FindNextFileW(find.get(), &entry));
    return 0;
}

// ---------------------------------------------------------------- help files

// File Code (1..3) of the current environment's help files, in the folder of Dir;
// empty when there is no current environment or it has no such file.
std::wstring HelpFilePath(const TScriptItem& Item, const TRunContext& Run) {
    const TBorlandProduct* ide = ProductRow(Run.Ide.Row);
    if (!ide || Item.Code < 1 || Item.Code > ide->HelpStr.size()) return L"";
    const std::wstring& name = ide->HelpStr[Item.Code - 1];
    if (name.empty()) return L"";
    std::wstring path = PathJoin(DirCodeToPath(Item.Dir, Run), name);
    return IsFullPath(path) ? path : L"";
}

// Opens an existing file for reading and writing, shared with nobody, and reads it.
// 0, or mfOpenFailed, mfSizeFailed, mfReadFailed.
int32_t OpenTextForEdit(const std::wstring& Path, UniqueFile& File, std::string& Content) {
    if (Path.empty() || !KeepFileBeforeChange(Path)) return mfOpenFailed;
    File.reset(CreateFileW(Path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!File) return mfOpenFailed;
    switch (ReadWholeFile(File.get(), Content)) {
        case 0: return 0;
        case rfSizeFailed: return mfSizeFailed;
        default: return mfReadFailed;
    }
}

// Puts Content in place of the file that File has open, never in place: a write
// that fails (a full disk) leaves the user's file as it was. 0 or the error code.
int32_t RewriteWhole(UniqueFile& File, const std::wstring& Path, const std::string& Content) {
    File.reset();  // the new file is moved over it
    return WriteWholeFile(Path, Content.data(), Content.size(), true);
}

int32_t LastErrorOr(DWORD Fallback) {
    DWORD error = GetLastError();
    return static_cast<int32_t>(error ? error : Fallback);
}

// ---------------------------------------------------------------- temporary copies

// A new, empty file of a name of its own in the temporary directory; empty on failure.
std::wstring NewTempFile() {
    const std::wstring folder = GetTempDir();
    if (folder.empty()) return L"";
    wchar_t name[MAX_PATH];  // GetTempFileNameW writes at most MAX_PATH characters
    if (!GetTempFileNameW(folder.c_str(), L"cvl", 0, name)) return L"";
    NoteFileCreated(name);
    return name;
}

// The product version of payload resource ResId, read from a copy in the temporary
// directory that is removed again.
bool ResourceProductVersion(int ResId, uint32_t& VersionMS, uint32_t& VersionLS) {
    const std::wstring copy = NewTempFile();
    if (copy.empty()) return false;
    bool known = SaveResourceToFile(ResId, copy) == 0 && GetProductVersion(copy, VersionMS, VersionLS);
    DeleteFileW(copy.c_str());
    return known;
}

bool IsNewer(uint32_t MS, uint32_t LS, uint32_t ThanMS, uint32_t ThanLS) {
    return MS > ThanMS || (MS == ThanMS && LS > ThanLS);
}

}  // namespace

// ---------------------------------------------------------------- shared helpers

std::wstring SystemMessageText(uint32_t Code) {
    wchar_t* buffer = nullptr;
    DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, Code, 0,
        reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    UniqueLocal owner(buffer);
    std::wstring text = buffer && length ? std::wstring(buffer, length) : std::wstring();
    while (!text.empty() && (text.back() <= L' ' || text.back() == L'.')) text.pop_back();
    return text;
}

std::wstring RowPath(uint32_t Dir, const wchar_t* Name, const TRunContext& Run) {
    return PathJoin(DirCodeToPath(Dir, Run), FieldText(Name));
}

// ---------------------------------------------------------------- directories

int32_t ExecCreateDir(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText) {
    const std::wstring path = RowPath(Item.Dir, Item.Name, Run);
    const int32_t result = IsFullPath(path) ? CreateDirectoryPath(path) : ERROR_PATH_NOT_FOUND;
    LogText = L"Creating directory: " + path + Outcome(result == 0);
    if (result != 0) LogText += L". " + SystemMessageText(static_cast<uint32_t>(result));
    return result;
}

int32_t ExecClearDir(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText) {
    // DeleteDirTree refuses relative paths, roots and the system's own folders.
    const std::wstring path = RowPath(Item.Dir, Item.Name, Run);
    LogText = L"Clearing directory: " + path + Outcome(DeleteDirTree(path, true) == 0);
    return 0;
}

int32_t ExecSetCurrentDir(const TScriptItem& Item, TRunContext& Run, std::wstring&) {
    const std::wstring path = RowPath(Item.Dir, Item.Name, Run);
    if (!IsFullPath(path)) return ERROR_PATH_NOT_FOUND;
    return SetCurrentDirectoryW(path.c_str()) ? 0 : LastErrorOr(ERROR_PATH_NOT_FOUND);
}

// ---------------------------------------------------------------- payload resources

int32_t CopyResource(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText, bool Overwrite) {
    const std::wstring path = RowPath(Item.Dir, Item.Name, Run);
    LogText = L"Copying file: " + path;
    if (!IsFullPath(path)) {
        LogText += LogFail;
        return ERROR_PATH_NOT_FOUND;
    }
    if (!Overwrite && AnythingAt(path)) {
        LogText += LogAlready;
        return 0;
    }
    const int32_t result = SaveResourceToFile(static_cast<int>(Item.Code), path);
    LogText += Outcome(result == 0);
    return result;
}

int32_t ExecCopyResource(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText) { return CopyResource(Item, Run, LogText, true); }

int32_t ExecCopyResourceIfAbsent(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText) {
    return CopyResource(Item, Run, LogText, false);
}

int32_t ExecCopyResourceIfNewer(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText) {
    // The payload's version is read from a temporary copy of a name of its own: a
    // fixed name in the temporary directory could be someone else's file.
    const std::wstring path = RowPath(Item.Dir, Item.Name, Run);
    uint32_t installedMS = 0, installedLS = 0, payloadMS = 0, payloadLS = 0;
    if (!IsFullPath(path) || !GetProductVersion(path, installedMS, installedLS) ||
        !ResourceProductVersion(static_cast<int>(Item.Code), payloadMS, payloadLS) ||
        IsNewer(payloadMS, payloadLS, installedMS, installedLS))
        return CopyResource(Item, Run, LogText, true);
    LogText = L"Copying file: " + path + LogAlready;
    return 0;
}

// ---------------------------------------------------------------- copy, delete, check

namespace {

// A copy into the system folder is shared with the other programs that put the
// same file there: a copy that is there and newer stays, and the file's count of
// users goes up by one.
int32_t CopySharedFile(const std::wstring& source, const std::wstring& target, bool& kept) {
    const bool existed = FileExists(target);
    kept = existed && IsNewerVersion(target, source);
    if (!kept)
        if (const int error = CopyWholeFile(source, target)) return error;
    return AddSharedFileUse(target, existed) ? 0 : LastErrorOr(ERROR_WRITE_FAULT);
}

}  // namespace

int32_t ExecCopyFile(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText) {
    const std::wstring source = RowPath(Item.Dir, Item.Name, Run);
    const std::wstring target = Item.Target ? RowPath(Item.Target->Dir, Item.Target->Name, Run) : L"";
    int32_t result = ERROR_PATH_NOT_FOUND;
    bool kept = false;
    if (IsFullPath(source) && IsFullPath(target) && KeepFileBeforeChange(target)) {
        if (Item.Target->Dir == dcSystem)
            result = CopySharedFile(source, target, kept);
        else
            result = CopyWholeFile(source, target);
    }
    LogText = L"Copying file: from " + source + L" to " + target + L" " + (kept ? LogAlready : Outcome(result == 0));
    return result;
}

int32_t ExecCopyFiles(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText) {
    const std::wstring source = RowPath(Item.Dir, Item.Name, Run);
    const std::wstring target = RowPath(Item.Dir2, Item.Name2, Run);
    int32_t result = ERROR_PATH_NOT_FOUND;
    if (IsFullPath(source) && IsFullPath(target)) {
        const std::wstring from = FolderOf(source);
        const std::wstring to = FolderOf(target);
        result = 0;
        DWORD search = ForEachMatch(source, [&](const std::wstring& name) {
            result = KeepFileBeforeChange(to + name) ? CopyWholeFile(from + name, to + name)
                                                     : LastErrorOr(ERROR_WRITE_FAULT);
            return result == 0;
        });
        // No match is nothing to do; a source folder that is not there is a failure.
        if (search != 0 && search != ERROR_FILE_NOT_FOUND) result = static_cast<int32_t>(search);
    }
    LogText = L"Copying file: from " + source + L" to " + target + L" " + Outcome(result == 0);
    return result;
}

int32_t ExecDeleteFile(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText) {
    // A file that is not there is as good as deleted; other failures show in the log
    // only, the row result stays 0.
    const std::wstring path = RowPath(Item.Dir, Item.Name, Run);
    bool gone = false;
    if (IsFullPath(path)) {
        gone = KeepFileBeforeDeletion(path) && DeleteFileW(path.c_str()) != FALSE;
        if (!gone) {
            DWORD error = GetLastError();
            gone = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        }
    }
    LogText = L"Deleting file: " + path + Outcome(gone);
    return 0;
}

int32_t ExecDeleteFiles(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText) {
    // A pattern is never let loose on a drive root or one of the system's folders.
    const std::wstring pattern = RowPath(Item.Dir, Item.Name, Run);
    const std::wstring folder = FolderOf(pattern);
    bool done = false;
    if (IsFullPath(pattern) && !IsProtectedDirectory(folder)) {
        done = true;
        DWORD search = ForEachMatch(pattern, [&](const std::wstring& name) {
            if (!KeepFileBeforeDeletion(folder + name) || !DeleteFileW((folder + name).c_str())) done = false;
            return true;
        });
        if (search != 0 && search != ERROR_FILE_NOT_FOUND && search != ERROR_PATH_NOT_FOUND) done = false;
    }
    LogText = L"Deleting files: " + pattern + Outcome(done);
    return 0;
}

int32_t ExecCheckFile(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText) {
    const std::wstring path = RowPath(Item.Dir, Item.Name, Run);
    const bool present = IsFullPath(path) && AnythingAt(path);
    LogText = L"Check file: " + path + Outcome(present);
    return present ? 0 : cfMissing;
}

// ---------------------------------------------------------------- editing text files

int32_t ExecModifyFile(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText) {
    const std::wstring path = HelpFilePath(Item, Run);
    UniqueFile file;
    std::string content;
    const int32_t opened = OpenTextForEdit(path, file, content);
    if (opened == mfOpenFailed || opened == mfSizeFailed) return opened;
    LogText = L"Modifying file: " + path;
    if (opened != 0) {
        LogText += LogFail;
        return opened;
    }
    std::string line = AnsiFromWide(FieldText(Item.Name));
    if (StrPosA(AnsiLower(content), AnsiLower(line)) > 0) {
        LogText += LogAlready;
        return 0;
    }
    // The line brings its own line break; a file that already ends with one does not
    // get an empty line.
    line += "\r\n";
    const bool endsWithBreak = content.size() >= 2 && content.compare(content.size() - 2, 2, "\r\n") == 0;
    if (endsWithBreak && line.compare(0, 2, "\r\n") == 0) line.erase(0, 2);
    const int32_t result = RewriteWhole(file, path, content + line);
    LogText += Outcome(result == 0);
    return result;
}

int32_t ExecReplaceText(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText) {
    const std::wstring path = RowPath(Item.Dir, Item.Name, Run);
    UniqueFile file;
    std::string content;
    const int32_t opened = OpenTextForEdit(IsFullPath(path) ? path : L"", file, content);
    if (opened == mfOpenFailed || opened == mfSizeFailed) return opened;
    LogText = L"Replace text: File=" + path + L", FindText=" + FieldText(Item.Param) + L", ReplaceTo=" + FieldText(Item.Name2);
    if (opened != 0) {
        LogText += LogFail;
        return opened;
    }
    const std::string find = AnsiFromWide(FieldText(Item.Param));
    const int position = StrPosA(AnsiLower(content), AnsiLower(find));
    if (position == 0) {
        LogText += LogAlready;
        return 0;
    }
    const size_t start = static_cast<size_t>(position - 1);
    const std::string edited =
        content.substr(0, start) + AnsiFromWide(FieldText(Item.Name2)) + content.substr(start + find.size());
    const int32_t result = RewriteWhole(file, path, edited);
    LogText += Outcome(result == 0);
    return result;
}

int32_t ExecMergeFiles(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText) {
    const std::wstring source = RowPath(Item.Dir, Item.Name, Run);
    const std::wstring target = RowPath(Item.Dir2, Item.Name2, Run);
    LogText = L"Merging files: " + source + L", " + target;
    int32_t result = ERROR_PATH_NOT_FOUND;
    if (IsFullPath(source) && IsFullPath(target)) {
        TbrdStringList lines, merged;
        merged.SetDuplicates(dupIgnore);
        // A target that is there but cannot be read is left alone: writing the list
        // back would replace its lines with the source's.
        if (!lines.LoadFromFile(source) ||
            (!merged.LoadFromFile(target) && GetLastError() != ERROR_FILE_NOT_FOUND)) {
            result = LastErrorOr(ERROR_READ_FAULT);
        } else {
            for (int i = 0; i < lines.Count(); ++i)
                if (merged.IndexOf(lines.Get(i)) < 0) merged.Add(lines.Get(i));
            result = merged.SaveToFileA(target) ? 0 : LastErrorOr(ERROR_WRITE_FAULT);
        }
    }
    LogText += Outcome(result == 0);
    return result;
}

// ---------------------------------------------------------------- programs

int32_t ExecRunFile(const TScriptItem& Item, TRunContext&, std::wstring& LogText) {
    // The program's path is put in quotes when it holds a blank: unquoted, the system
    // would try "C:\Program.exe" first for a folder below "C:\Program Files".
    const std::wstring name = FieldText(Item.Name);
    const size_t blank = name.find(L' ');
    const std::wstring program = PathJoin(GetCurrentDir(), name.substr(0, blank));
    const std::wstring parameters = blank == std::wstring::npos ? L"" : name.substr(blank + 1);
    const std::wstring command = QuoteIfBlank(program);
    const int32_t result = RunAndWait(command, parameters);
    if (result == 0) LogText = L"Run file: " + command + (parameters.empty() ? L"" : L" " + parameters) + LogSuccess;
    return result;
}

// ---------------------------------------------------------------- dispatch

namespace {

// clang-format off
const TExecutorEntry FileExecutorRows[] = {
    // Type                    Executor
    {itModifyFile,             ExecModifyFile},
    {itDeleteFile,             ExecDeleteFile},
    {itCheckFile,              ExecCheckFile},
    {itCopyFiles,              ExecCopyFiles},
    {itDeleteFiles,            ExecDeleteFiles},
    {itMergeFiles,             ExecMergeFiles},
    {itReplaceText,            ExecReplaceText},
    {itRunFile,                ExecRunFile},
    {itCreateDir,              ExecCreateDir},
    {itCopyResource,           ExecCopyResource},
    {itClearDir,               ExecClearDir},
    {itSetCurrentDir,          ExecSetCurrentDir},
    {itCopyResourceIfAbsent,   ExecCopyResourceIfAbsent},
    {itCopyResourceIfNewer,    ExecCopyResourceIfNewer},
    {itCopyFile,               ExecCopyFile},
};
// clang-format on

}  // namespace

const TExecutorTable FileExecutors = {FileExecutorRows, std::size(FileExecutorRows)};
