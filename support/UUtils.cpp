#include "support/UUtils.h"

#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "catalogue/UProducts.h"
#include "support/UConst.h"
#include "support/WinHandles.h"

using brd::UniqueFile;
using brd::UniqueFind;
using brd::UniqueKernel;
using brd::UniqueKey;
using brd::UniqueModule;

uint32_t OSPlatformId = 0;

void ReadOSPlatform() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);  // 276 bytes: the plain record
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (GetVersionExW(&info)) OSPlatformId = info.dwPlatformId;
#pragma GCC diagnostic pop
}

namespace {
// The unit's initialisation: the platform id is known before any mode starts.
const bool OSPlatformRead = (ReadOSPlatform(), true);
}  // namespace

void RestrictDllSearchPath() {
    // Takes the current directory out of the search order on every system, and, where
    // the system has it, limits the default search to the system directory.
    SetDllDirectoryW(L"");
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// ---------------------------------------------------------------- text searches

namespace {

template <typename Str>
int FirstPos(const Str& text, const Str& pattern) {
    if (text.empty() || pattern.empty()) return 0;
    auto pos = text.find(pattern);
    return pos == Str::npos ? 0 : static_cast<int>(pos) + 1;
}

}  // namespace

int StrPosW(const std::wstring& Text, const std::wstring& Pattern) { return FirstPos(Text, Pattern); }

int StrPosA(const std::string& Text, const std::string& Pattern) { return FirstPos(Text, Pattern); }

int LastCharPos(const std::wstring& Text, wchar_t Ch) {
    for (size_t i = Text.size(); i > 0; --i)
        if (Text[i - 1] == Ch) return static_cast<int>(i);
    return 0;
}

// ---------------------------------------------------------------- registry

namespace {

UniqueKey OpenKey(HKEY root, const std::wstring& path, REGSAM access) {
    UniqueKey key;
    if (RegOpenKeyExW(root, path.c_str(), 0, access | RegView, key.put()) != ERROR_SUCCESS) key.release();
    return key;
}

UniqueKey CreateKey(HKEY root, const std::wstring& path) {
    UniqueKey key;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | RegView,
                        nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        key.release();
    return key;
}

}  // namespace

bool ReadRegString(HKEY Root, const std::wstring& KeyPath, const std::wstring& ValueName,
                   std::wstring& Value) {
    Value.clear();
    UniqueKey key = OpenKey(Root, KeyPath, KEY_READ);
    if (!key) return false;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key.get(), ValueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;  // a REG_EXPAND_SZ value counts as absent
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
    DWORD read = size;
    if (RegQueryValueExW(key.get(), ValueName.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(data.data()), &read) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    size_t length = std::min<size_t>(read, size) / sizeof(wchar_t);
    // Drop the stored terminator; a value written without one keeps its last character.
    if (length > 0 && data[length - 1] == L'\0') --length;
    Value.assign(data.data(), length);
    return true;
}

bool ReadRegInteger(HKEY Root, const std::wstring& KeyPath, const std::wstring& ValueName,
                    int32_t& Value) {
    Value = 0;
    UniqueKey key = OpenKey(Root, KeyPath, KEY_READ);
    if (!key) return false;
    int32_t data = 0;
    DWORD size = sizeof(data);
    if (RegQueryValueExW(key.get(), ValueName.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&data),
                         &size) != ERROR_SUCCESS)
        return false;
    Value = data;
    return true;
}

bool WriteRegString(HKEY Root, const std::wstring& KeyPath, const std::wstring& ValueName,
                    const std::wstring& Value) {
    UniqueKey key = CreateKey(Root, KeyPath);
    if (!key) return false;
    auto bytes = static_cast<DWORD>((Value.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), ValueName.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(Value.c_str()), bytes) == ERROR_SUCCESS;
}

bool WriteRegInteger(HKEY Root, const std::wstring& KeyPath, const std::wstring& ValueName,
                     int32_t Value) {
    UniqueKey key = CreateKey(Root, KeyPath);
    if (!key) return false;
    return RegSetValueExW(key.get(), ValueName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&Value),
                          sizeof(Value)) == ERROR_SUCCESS;
}

bool CreateRegKey(HKEY Root, const std::wstring& KeyPath) { return CreateKey(Root, KeyPath).valid(); }

bool DeleteRegValue(HKEY Root, const std::wstring& KeyPath, const std::wstring& ValueName) {
    UniqueKey key = OpenKey(Root, KeyPath, KEY_WRITE);
    if (!key) return false;
    return RegDeleteValueW(key.get(), ValueName.c_str()) == ERROR_SUCCESS;
}

void DeleteSubKeys(HKEY OpenKey) {
    DWORD count = 0, longest = 0;
    if (RegQueryInfoKeyW(OpenKey, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
        count == 0)
        return;
    std::vector<wchar_t> name(longest + 1);
    for (DWORD index = count; index-- > 0;) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumKeyExW(OpenKey, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            continue;
        UniqueKey sub;
        if (RegOpenKeyExW(OpenKey, name.data(), 0, KEY_READ | KEY_WRITE | RegView, sub.put()) != ERROR_SUCCESS)
            continue;
        // On the NT family a key that still has subkeys cannot be deleted in one call.
        if (OSPlatformId == VER_PLATFORM_WIN32_NT) DeleteSubKeys(sub.get());
        RegDeleteKeyExW(OpenKey, name.data(), RegView, 0);
    }
}

bool DeleteKeyTree(HKEY Root, const std::wstring& KeyPath) {
    {
        UniqueKey key = OpenKey(Root, KeyPath, KEY_READ | KEY_WRITE);
        if (!key) return false;
        DeleteSubKeys(key.get());
    }
    // Delete the key itself, then every ancestor it leaves empty, up to but not
    // including the key directly below the root.
    std::wstring path = KeyPath;
    for (;;) {
        int k = LastCharPos(path, L'\\');
        if (k == 0) break;
        std::wstring parentPath = path.substr(0, k - 1);
        std::wstring child = path.substr(k);
        UniqueKey parent = OpenKey(Root, parentPath, KEY_READ | KEY_WRITE);
        if (!parent) break;
        DWORD subKeys = 0, values = 0;
        if (RegQueryInfoKeyW(parent.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values,
                             nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        RegDeleteKeyExW(parent.get(), child.c_str(), RegView, 0);
        if (values > 0 || subKeys > 1) break;
        path = parentPath;
    }
    return true;
}

// ---------------------------------------------------------------- platform directories

namespace {

// Calls a query of the shape UINT f(wchar_t* buffer, UINT size) that returns the
// needed size when the buffer is too small, with no fixed limit on the length.
template <typename Query>
std::wstring QueryPath(Query query) {
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    for (int attempt = 0; attempt < 4; ++attempt) {
        auto length = static_cast<size_t>(query(buffer.data(), static_cast<UINT>(buffer.size())));
        if (length == 0) return L"";
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(length + 1);
    }
    return L"";
}

}  // namespace

std::wstring GetCurrentDir() {
    return QueryPath([](wchar_t* b, UINT n) { return GetCurrentDirectoryW(n, b); });
}
std::wstring GetWindowsDir() {
    return QueryPath([](wchar_t* b, UINT n) { return GetWindowsDirectoryW(b, n); });
}
std::wstring GetSystemDir() {
    return QueryPath([](wchar_t* b, UINT n) { return GetSystemDirectoryW(b, n); });
}
std::wstring GetTempDir() {
    return QueryPath([](wchar_t* b, UINT n) { return GetTempPathW(n, b); });
}

// ---------------------------------------------------------------- paths

std::wstring DirCodeToPath(uint32_t Code) {
    const TBorlandProduct* ide = ProductRow(CurrentIde);
    switch (Code) {
        case dcWindows: return GetWindowsDir();
        case dcIdeRoot: return ide ? ide->RootDir : L"";
        case dcRoot: return InstallDir;
        case dcIdeHelp: return ide ? ide->RootDir + L"\\Help\\" : L"";
        case dcTemp: return GetTempDir();
        case dcSystem: return GetSystemDir();
        default: return L"";
    }
}

std::wstring SearchPathLocation(uint8_t Code) {
    switch (Code & 0x7F) {  // bit 7 belongs to the caller
        case 0: return InstallDir;
        case 1: return PathJoin(InstallDir, L"Source");
        case 2: return PathJoin(InstallDir, CurrentIdeName);
        case 3: return PathJoin(InstallDir, CurrentIdeName + L"\\Win32");
        case 4: return PathJoin(InstallDir, CurrentIdeName + L"\\Win64");
        default: return L"";
    }
}

std::wstring PathJoin(const std::wstring& Dir, const std::wstring& Name) {
    if (Dir.empty()) return Name;
    if (Dir.back() == L'\\') return Dir + Name;
    if (!Name.empty() && Name.front() != L'\\') return Dir + L"\\" + Name;
    return Dir + Name;
}

std::wstring QuoteIfBlank(const std::wstring& Path) {
    return LastCharPos(Path, L' ') > 0 ? L"\"" + Path + L"\"" : Path;
}

// ---------------------------------------------------------------- directories

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsDirectory(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Length of the part of an absolute path that names a volume and cannot be created:
// "C:" or "\\server\share" (also behind the "\\?\" and "\\?\UNC\" prefixes).
size_t VolumePrefixLength(const std::wstring& path) {
    size_t start = 0;
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) {
        start = 8;
    } else if (path.compare(0, 4, L"\\\\?\\") == 0) {
        start = 4;
        if (path.size() >= start + 2 && path[start + 1] == L':') return start + 2;
        return start;
    } else if (path.size() >= 2 && path[1] == L':') {
        return 2;
    } else if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        start = 2;
    } else {
        return 0;
    }
    // Server and share.
    size_t pos = start;
    for (int part = 0; part < 2 && pos <= path.size(); ++part) {
        while (pos < path.size() && !IsSeparator(path[pos])) ++pos;
        if (part == 0 && pos < path.size()) ++pos;
    }
    return pos;
}

}  // namespace

int CreateDirectoryPath(const std::wstring& Path) {
    const size_t volume = VolumePrefixLength(Path);
    for (size_t i = volume; i <= Path.size(); ++i) {
        if (i < Path.size() && !IsSeparator(Path[i])) continue;
        if (i == 0 || IsSeparator(Path[i - 1]) || Path[i - 1] == L':') continue;  // drive or empty part
        std::wstring prefix = Path.substr(0, i);
        if (!CreateDirectoryW(prefix.c_str(), nullptr)) {
            DWORD error = GetLastError();
            // "Already exists" is success only when it is a directory, not a file in the way.
            if (error != ERROR_ALREADY_EXISTS || !IsDirectory(prefix)) return static_cast<int>(error);
        }
    }
    return 0;
}

namespace {

std::wstring StripTrailingSeparators(std::wstring path) {
    while (path.size() > 1 && IsSeparator(path.back())) path.pop_back();
    return path;
}

std::wstring FullPath(const std::wstring& path) {
    std::wstring full = QueryPath([&](wchar_t* b, UINT n) { return GetFullPathNameW(path.c_str(), n, b, nullptr); });
    return StripTrailingSeparators(full);
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

// True when folder lies at or below dir.
bool Contains(const std::wstring& dir, const std::wstring& folder) {
    if (folder.size() < dir.size()) return false;
    if (!SamePath(dir, folder.substr(0, dir.size()))) return false;
    return folder.size() == dir.size() || IsSeparator(folder[dir.size()]);
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::wstring result;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path)) && path) result = path;
    CoTaskMemFree(path);
    return result;
}

std::vector<std::wstring> SystemFolders() {
    static const KNOWNFOLDERID* const ids[] = {
        &FOLDERID_Windows,          &FOLDERID_System,           &FOLDERID_SystemX86,
        &FOLDERID_ProgramFiles,     &FOLDERID_ProgramFilesX86,  &FOLDERID_ProgramFilesCommon,
        &FOLDERID_ProgramFilesCommonX86, &FOLDERID_ProgramData, &FOLDERID_UserProfiles,
        &FOLDERID_Profile,          &FOLDERID_Public,           &FOLDERID_Desktop,
        &FOLDERID_Documents,        &FOLDERID_Downloads,        &FOLDERID_Music,
        &FOLDERID_Pictures,         &FOLDERID_Videos,           &FOLDERID_RoamingAppData,
        &FOLDERID_LocalAppData,     &FOLDERID_StartMenu,        &FOLDERID_Programs,
        &FOLDERID_Startup,          &FOLDERID_Favorites,        &FOLDERID_Templates,
        &FOLDERID_CommonStartMenu,  &FOLDERID_CommonPrograms,   &FOLDERID_PublicDesktop,
        &FOLDERID_PublicDocuments,  &FOLDERID_Fonts,
    };
    std::vector<std::wstring> folders{GetWindowsDir(), GetSystemDir(), GetTempDir(),
                                      PathJoin(GetWindowsDir(), L"Temp")};
    for (const KNOWNFOLDERID* id : ids) folders.push_back(KnownFolder(*id));
    std::vector<std::wstring> result;
    for (const auto& f : folders)
        if (!f.empty()) result.push_back(FullPath(f));
    return result;
}

bool IsLink(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

uint32_t DeleteTree(const std::wstring& dir, bool keepDir);

uint32_t DeleteEntries(const std::wstring& dir) {
    uint32_t flags = 0;
    WIN32_FIND_DATAW entry;
    UniqueFind find(FindFirstFileW((dir + L"\\*.*").c_str(), &entry));
    if (!find) return 0;
    do {
        std::wstring path = dir + L"\\" + entry.cFileName;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // Skips "." and ".." and, as the uninstall log expects, any dot-folder.
            if (entry.cFileName[0] == L'.') continue;
            // A junction or directory link is removed itself; its target is not entered.
            if (IsLink(entry.dwFileAttributes)) {
                if (!RemoveDirectoryW(path.c_str())) flags |= ddRemoveDirFailed;
                continue;
            }
            flags |= DeleteTree(path, false);
        } else if (!DeleteFileW(path.c_str())) {
            flags |= ddFileDeleteFailed;
        }
    } while (FindNextFileW(find.get(), &entry));
    if (!find.reset()) flags |= ddListCloseFailed;
    return flags;
}

uint32_t DeleteTree(const std::wstring& dir, bool keepDir) {
    uint32_t flags = 0;
    DWORD attributes = GetFileAttributesW(dir.c_str());
    bool link = attributes != INVALID_FILE_ATTRIBUTES && IsLink(attributes);
    if (!link) flags |= DeleteEntries(dir);
    if (keepDir) return flags;
    WIN32_FIND_DATAW data;
    UniqueFind check(FindFirstFileW(dir.c_str(), &data));
    if (!check) return flags | ddDirNotFound;
    if (!RemoveDirectoryW(dir.c_str())) flags |= ddRemoveDirFailed;
    if (!check.reset()) flags |= ddCheckCloseFailed;
    return flags;
}

}  // namespace

bool IsFullPath(const std::wstring& Path) {
    if (Path.size() >= 3 && Path[1] == L':' && IsSeparator(Path[2])) return true;
    return Path.size() >= 3 && IsSeparator(Path[0]) && IsSeparator(Path[1]) && !IsSeparator(Path[2]);
}

bool IsProtectedDirectory(const std::wstring& Dir) {
    if (!IsFullPath(Dir)) return true;
    std::wstring full = FullPath(Dir);
    if (full.empty() || full.size() <= VolumePrefixLength(full) + 1) return true;  // drive or share root
    for (const auto& folder : SystemFolders())
        if (Contains(full, folder)) return true;  // the folder itself or one of its ancestors
    return false;
}

uint32_t DeleteDirTree(const std::wstring& Dir, bool KeepDir) {
    if (IsProtectedDirectory(Dir)) return ddRefused;
    return DeleteTree(StripTrailingSeparators(Dir), KeepDir);
}

// ---------------------------------------------------------------- resources, versions, processes

int SaveResourceToFile(int ResId, const std::wstring& FileName) {
    HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(ResId), L"CVLIB");
    if (!info) return static_cast<int>(GetLastError());
    DWORD size = SizeofResource(nullptr, info);
    HGLOBAL loaded = LoadResource(nullptr, info);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data && size > 0) return static_cast<int>(GetLastError());
    UniqueFile file(CreateFileW(FileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!file) return static_cast<int>(GetLastError());
    DWORD written = 0;
    int result = 0;
    if (!WriteFile(file.get(), data, size, &written, nullptr) || written != size)
        result = static_cast<int>(GetLastError() ? GetLastError() : ERROR_WRITE_FAULT);
    if (!file.reset() && result == 0) result = static_cast<int>(GetLastError());
    return result;
}

namespace {

// version.dll is not one of the DLLs the system always takes from its own directory,
// so it is loaded at run time, and only from there.
struct VersionApi {
    using SizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
    using InfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
    using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);

    UniqueModule module;
    SizeFn size = nullptr;
    InfoFn info = nullptr;
    QueryFn query = nullptr;

    VersionApi() {
        module.reset(LoadLibraryExW(L"version.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
        if (!module) module.reset(LoadLibraryW(PathJoin(GetSystemDir(), L"version.dll").c_str()));
        if (!module) return;
        size = reinterpret_cast<SizeFn>(Proc("GetFileVersionInfoSizeW"));
        info = reinterpret_cast<InfoFn>(Proc("GetFileVersionInfoW"));
        query = reinterpret_cast<QueryFn>(Proc("VerQueryValueW"));
    }
    void* Proc(const char* name) { return reinterpret_cast<void*>(GetProcAddress(module.get(), name)); }
    bool Ready() const { return size && info && query; }
};

}  // namespace

bool GetProductVersion(const std::wstring& FileName, uint32_t& VersionMS, uint32_t& VersionLS) {
    static VersionApi api;
    if (!api.Ready()) return false;
    DWORD handle = 0;
    DWORD size = api.size(FileName.c_str(), &handle);
    if (size == 0) return false;
    std::vector<BYTE> data(size);
    if (!api.info(FileName.c_str(), 0, size, data.data())) return false;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!api.query(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) || !fixed ||
        fixedSize < sizeof(VS_FIXEDFILEINFO))
        return false;
    VersionMS = fixed->dwProductVersionMS;
    VersionLS = fixed->dwProductVersionLS;
    return true;
}

int RunAndWait(const std::wstring& CommandLine, const std::wstring& Parameters) {
    std::wstring command = CommandLine;
    if (!Parameters.empty()) command += L" " + Parameters;
    return StartHiddenAndWait(command, INFINITE);
}

// The child gets the default security of the caller's token: a descriptor without
// an access list would let any local user take over a process running with the
// installer's rights.
int StartHiddenAndWait(const std::wstring& Command, uint32_t TimeoutMs) {
    std::vector<wchar_t> buffer(Command.begin(), Command.end());
    buffer.push_back(L'\0');  // CreateProcessW may write into the command text
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process))
        return static_cast<int>(GetLastError());
    UniqueKernel processHandle(process.hProcess);
    UniqueKernel threadHandle(process.hThread);
    WaitForSingleObject(processHandle.get(), TimeoutMs);
    return 0;
}

namespace {

struct TRegRoot {
    uint32_t Code;
    HKEY Root;
};

// clang-format off
const TRegRoot RegRoots[] = {
    {0x80000000, HKEY_CLASSES_ROOT},
    {0x80000001, HKEY_CURRENT_USER},
    {0x80000002, HKEY_LOCAL_MACHINE},
    {0x80000003, HKEY_USERS},
};
// clang-format on

}  // namespace

HKEY RegRootFromCode(uint32_t Code) {
    for (const TRegRoot& r : RegRoots)
        if (r.Code == Code) return r.Root;
    return nullptr;
}
