#include "support/UDirTree.h"

#include <shlobj.h>

#include <vector>

#include "support/UJournal.h"
#include "support/UPaths.h"
#include "support/UPlatform.h"
#include "support/WinHandles.h"

using brd::UniqueFind;

namespace {

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
    } else if (path.size() >= 2 && IsPathSeparator(path[0]) && IsPathSeparator(path[1])) {
        start = 2;
    } else {
        return 0;
    }
    // Server and share.
    size_t pos = start;
    for (int part = 0; part < 2 && pos <= path.size(); ++part) {
        while (pos < path.size() && !IsPathSeparator(path[pos])) ++pos;
        if (part == 0 && pos < path.size()) ++pos;
    }
    return pos;
}

}  // namespace

int CreateDirectoryPath(const std::wstring& Path) {
    const size_t volume = VolumePrefixLength(Path);
    for (size_t i = volume; i <= Path.size(); ++i) {
        if (i < Path.size() && !IsPathSeparator(Path[i])) continue;
        if (i == 0 || IsPathSeparator(Path[i - 1]) || Path[i - 1] == L':') continue;  // drive or empty part
        std::wstring prefix = Path.substr(0, i);
        if (!DirectoryExists(prefix) && !KeepDirBeforeCreation(prefix)) return ERROR_WRITE_FAULT;
        if (!CreateDirectoryW(prefix.c_str(), nullptr)) {
            DWORD error = GetLastError();
            // "Already exists" is success only when it is a directory, not a file in the way.
            if (error != ERROR_ALREADY_EXISTS || !DirectoryExists(prefix)) return static_cast<int>(error);
        }
    }
    return 0;
}

namespace {

std::wstring StripTrailingSeparators(std::wstring path) {
    while (path.size() > 1 && IsPathSeparator(path.back())) path.pop_back();
    return path;
}

std::wstring FullPath(const std::wstring& path) { return StripTrailingSeparators(GetFullPath(path)); }

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::wstring result;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path)) && path) result = path;
    CoTaskMemFree(path);
    return result;
}

std::vector<std::wstring> SystemFolders() {
    static const KNOWNFOLDERID* const ids[] = {
        // clang-format off
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
        // clang-format on
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

bool IsProtectedDirectory(const std::wstring& Dir) {
    if (!IsFullPath(Dir)) return true;
    std::wstring full = FullPath(Dir);
    if (full.empty() || full.size() <= VolumePrefixLength(full) + 1) return true;  // drive or share root
    for (const auto& folder : SystemFolders())
        if (IsPathAtOrBelow(folder, full)) return true;  // the folder itself or one of its ancestors
    return false;
}

uint32_t DeleteDirTree(const std::wstring& Dir, bool KeepDir) {
    if (IsProtectedDirectory(Dir)) return ddRefused;
    bool moved = false;
    if (!KeepTreeBeforeRemoval(Dir, &moved)) return ddRemoveDirFailed;
    if (moved) {
        // The rollback journal holds the tree now; an emptied folder stays.
        if (KeepDir) CreateDirectoryW(StripTrailingSeparators(Dir).c_str(), nullptr);
        return 0;
    }
    return DeleteTree(StripTrailingSeparators(Dir), KeepDir);
}

uint64_t DirTreeSize(const std::wstring& Dir) {
    uint64_t size = 0;
    WIN32_FIND_DATAW entry;
    UniqueFind find(FindFirstFileW((Dir + L"\\*").c_str(), &entry));
    if (!find) return 0;
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (wcscmp(entry.cFileName, L".") == 0 || wcscmp(entry.cFileName, L"..") == 0) continue;
            if (!IsLink(entry.dwFileAttributes)) size += DirTreeSize(Dir + L"\\" + entry.cFileName);
        } else {
            size += (static_cast<uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
        }
    } while (FindNextFileW(find.get(), &entry));
    return size;
}
