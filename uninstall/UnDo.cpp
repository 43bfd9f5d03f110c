#include "uninstall/UnDo.h"

#include <windows.h>

#include "catalogue/UProducts.h"
#include "script/UScriptItems.h"
#include "support/UConst.h"
#include "support/UUtils.h"
#include "support/WinHandles.h"

namespace {

// The catalogue row of the IDE the records of the current block belong to.
const TBorlandProduct* CurrentProduct() { return ProductRow(CurrentIde); }

std::wstring SearchPathValueName() { return CurrentIde == 1 ? Delphi3SearchPathValue : SearchPathValue; }

// The key the package registration added the folder to: IDEs with Win32 and Win64
// settings keep their search path per platform, and the registration rows of the
// script write the Win32 one.
std::wstring LibraryKey(const TBorlandProduct& ide) {
    return ide.RegKey + (ide.Is32and64 ? LibraryWin32SubKey : LibrarySubKey);
}

bool EqualIgnoringCase(const wchar_t* a, size_t aLength, const std::wstring& b) {
    return CompareStringOrdinal(a, static_cast<int>(aLength), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

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

bool ReadWholeFile(const std::wstring& path, std::string& data) {
    brd::UniqueFile file(
        CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFF) return false;
    data.assign(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!data.empty() && (!ReadFile(file.get(), data.data(), static_cast<DWORD>(data.size()), &read, nullptr) ||
                          read != data.size()))
        return false;
    return true;
}

// Writes a sibling file first and puts it in place only when it is complete, so a
// failing write never leaves the IDE's help file cut short.
void ReplaceWholeFile(const std::wstring& path, const std::string& data) {
    std::wstring temp = path + L".cvltmp";
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

std::string LowerAnsi(std::string text) {
    if (!text.empty()) CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::string ToAnsi(const std::wstring& text) {
    if (text.empty()) return {};
    int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
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

using TUndoFn = int (*)(const TUndoRecord&, const std::wstring&);

template <int (*Action)(const TUndoRecord&)>
int WithoutKey(const TUndoRecord& record, const std::wstring&) {
    return Action(record);
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
    {0x0019,                 WithoutKey<UndoModifyFile>,       nullptr},
    {itDeleteFile,           WithoutKey<UndoDeleteFile>,       L"Removing file"},
    {itRegisterWinHelp,      WithoutKey<UndoRegisterWinHelp>,  L"Unregistering help"},
    {itCreateRegKey,         WithoutKey<UndoCreateRegKey>,     L"Removing registry key"},
    {itAddSearchPath,        WithoutKey<UndoAddSearchPath>,    L"Unregistering package"},
    {itRegisterHelp,         WithoutKey<UndoRegisterHelp>,     L"Unregistering help"},
    {itAddIdePath,           WithoutKey<UndoAddIdePath>,       L"Unregistering package"},
    {itSetIde,               WithoutKey<UndoSetIde>,           nullptr},
    {itCreateDir,            WithoutKey<UndoCreateDir>,        L"Removing directory"},
    {itCopyResource,         WithoutKey<UndoCopyFile>,         L"Removing file"},
    {itCopyResourceIfAbsent, WithoutKey<UndoCopyFile>,         L"Removing file"},
    {itCopyFile,             WithoutKey<UndoCopyFile>,         L"Removing file"},
    {itRegisterUninstall,    UndoRegisterUninstall,            L"Unregistering uninstall"},
};
// clang-format on

const TUndoAction* FindAction(uint32_t typeId) {
    for (const TUndoAction& a : UndoActions)
        if (a.Type == (typeId & itTypeMask)) return &a;
    return nullptr;
}

}  // namespace

int UndoRecord(const TUndoRecord& Record, const std::wstring& UninstallKey) {
    const TUndoAction* action = FindAction(Record.TypeId);
    return action ? action->Action(Record, UninstallKey) : 0;
}

const wchar_t* UndoActionText(uint32_t TypeId) {
    const TUndoAction* action = FindAction(TypeId);
    return action ? action->Text : nullptr;
}

std::wstring RecordPath(const TUndoRecord& Record) {
    std::wstring path = PathJoin(DirCodeToPath(Record.Dir), Record.RecordName());
    return IsFullPath(path) ? path : L"";
}

// ---------------------------------------------------------------- actions

int UndoSetIde(const TUndoRecord& Record) {
    CurrentIde = static_cast<int32_t>(Record.Code);
    CurrentIdeName = Record.RecordName();
    return 0;
}

int UndoCreateDir(const TUndoRecord& Record) {
    // DeleteDirTree refuses roots, relative paths and the system's own folders.
    std::wstring dir = RecordPath(Record);
    if (dir.empty()) return 0;
    for (int attempt = 0; IsBusy(DeleteDirTree(dir, false)) && attempt < BusyDirRetries; ++attempt)
        Sleep(BusyDirPauseMs);
    return 0;
}

int UndoCopyFile(const TUndoRecord& Record) {
    std::wstring file = RecordPath(Record);
    if (!file.empty()) DeleteFileW(file.c_str());
    return 0;
}

int UndoDeleteFile(const TUndoRecord& Record) { return UndoCopyFile(Record); }

int UndoRegisterWinHelp(const TUndoRecord& Record) {
    DeleteRegValue(HKEY_LOCAL_MACHINE, WindowsHelpKey, Record.RecordName());
    return 0;
}

int UndoCreateRegKey(const TUndoRecord& Record) {
    HKEY root = RegRootFromCode(Record.Code);
    std::wstring key = Record.RecordName();
    if (root && IsDeepKeyPath(key)) DeleteKeyTree(root, key);
    return 0;
}

int UndoRegisterUninstall(const TUndoRecord&, const std::wstring& UninstallKey) {
    // Without a name of its own the entry would be the whole list of uninstall entries.
    if (UninstallKey.empty() || UninstallKey.find(L'\\') != std::wstring::npos) return 0;
    DeleteKeyTree(HKEY_LOCAL_MACHINE, UninstallKeyPrefix + UninstallKey);
    return 0;
}

int UndoRegisterHelp(const TUndoRecord&) {
    if (!IsFullPath(InstallDir)) return ERROR_BAD_PATHNAME;
    std::wstring previous = GetCurrentDir();
    SetCurrentDirectoryW(PathJoin(InstallDir, HelpSubDir).c_str());
    int result = RunAndWait(QuoteIfBlank(PathJoin(InstallDir, HelpUnregisterBatch)), L"");
    // Back to where the caller was: a current directory inside the installation
    // would keep its last record from removing the installation directory.
    SetCurrentDirectoryW(previous.c_str());
    return result;
}

int UndoModifyFile(const TUndoRecord& Record) {
    const TBorlandProduct* ide = CurrentProduct();
    if (!ide || Record.Code < 1 || Record.Code > ide->HelpStr.size()) return 0;
    const std::wstring& helpFile = ide->HelpStr[Record.Code - 1];
    std::wstring file = PathJoin(DirCodeToPath(Record.Dir), helpFile);
    std::string text = ToAnsi(Record.RecordName());
    if (helpFile.empty() || !IsFullPath(file) || text.empty()) return 0;

    std::string data;
    if (!ReadWholeFile(file, data)) return 0;
    size_t pos = FindAppendedText(LowerAnsi(data), LowerAnsi(text));
    if (pos == std::string::npos) return 0;
    data.erase(pos, text.size());
    ReplaceWholeFile(file, data);
    return 0;
}

size_t FindPathEntry(const std::wstring& Value, const std::wstring& Entry) {
    if (Entry.empty()) return std::wstring::npos;
    size_t start = 0;
    for (;;) {
        size_t end = Value.find(L';', start);
        if (end == std::wstring::npos) end = Value.size();
        if (EqualIgnoringCase(Value.data() + start, end - start, Entry)) return start;
        if (end == Value.size()) return std::wstring::npos;
        start = end + 1;
    }
}

void RemovePathEntry(const std::wstring& Key, const std::wstring& ValueName, const std::wstring& Entry) {
    std::wstring value;
    if (!ReadRegString(HKEY_CURRENT_USER, Key, ValueName, value)) return;
    size_t pos = FindPathEntry(value, Entry);
    if (pos == std::wstring::npos) return;
    size_t end = pos + Entry.size();
    if (end < value.size()) {
        value.erase(pos, Entry.size() + 1);  // the entry and the ";" after it
    } else {
        value.erase(pos);  // the last entry, and the ";" that led to it
        if (!value.empty() && value.back() == L';') value.pop_back();
    }
    WriteRegString(HKEY_CURRENT_USER, Key, ValueName, value);
}

int UndoAddSearchPath(const TUndoRecord& Record) {
    const TBorlandProduct* ide = CurrentProduct();
    if (!ide) return 0;
    RemovePathEntry(LibraryKey(*ide), SearchPathValueName(), RecordPath(Record));
    return 0;
}

int UndoRegisterPackage(const TUndoRecord& Record) {
    const TBorlandProduct* ide = CurrentProduct();
    if (!ide) return 0;
    std::wstring package = RecordPath(Record);
    if (package.empty()) return 0;
    DeleteRegValue(HKEY_CURRENT_USER, ide->RegKey + KnownPackagesSubKey, package);
    int slash = LastCharPos(package, L'\\');
    std::wstring folder = slash > 0 ? package.substr(0, static_cast<size_t>(slash - 1)) : package;
    RemovePathEntry(LibraryKey(*ide), SearchPathValueName(), folder);
    return 0;
}

int UndoAddIdePath(const TUndoRecord& Record) {
    const TBorlandProduct* ide = CurrentProduct();
    if (!ide) return 0;
    std::wstring path = ide->RegKey + Record.RecordName();
    int slash = LastCharPos(path, L'\\');
    if (slash <= 1) return 0;
    std::wstring key = path.substr(0, static_cast<size_t>(slash - 1));
    std::wstring valueName = path.substr(static_cast<size_t>(slash));
    RemovePathEntry(key, valueName, SearchPathLocation(static_cast<uint8_t>(Record.Code)));
    return 0;
}
