#include "support/UPaths.h"

#include "support/UPlatform.h"
#include "support/UText.h"

std::wstring PathJoin(const std::wstring& Dir, const std::wstring& Name) {
    if (Dir.empty()) return Name;
    if (Dir.back() == L'\\') return Dir + Name;
    if (!Name.empty() && Name.front() != L'\\') return Dir + L"\\" + Name;
    return Dir + Name;
}

std::wstring QuoteIfBlank(const std::wstring& Path) {
    return LastCharPos(Path, L' ') > 0 ? L"\"" + Path + L"\"" : Path;
}

bool IsPathSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsFullPath(const std::wstring& Path) {
    if (Path.size() >= 3 && Path[1] == L':' && IsPathSeparator(Path[2])) return true;
    return Path.size() >= 3 && IsPathSeparator(Path[0]) && IsPathSeparator(Path[1]) && !IsPathSeparator(Path[2]);
}

bool PathExists(const std::wstring& Path) { return GetFileAttributesW(Path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool FileExists(const std::wstring& Path) {
    DWORD attributes = GetFileAttributesW(Path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::wstring& Path) {
    DWORD attributes = GetFileAttributesW(Path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

namespace {

size_t LengthWithoutTrailingSeparators(const std::wstring& path) {
    size_t length = path.size();
    while (length > 1 && IsPathSeparator(path[length - 1])) --length;
    return length;
}

}  // namespace

bool IsPathAtOrBelow(const std::wstring& Path, const std::wstring& Dir) {
    const size_t dir = LengthWithoutTrailingSeparators(Dir);
    if (dir == 0 || Path.size() < dir || !SameTextIgnoringCase(Path.data(), dir, Dir.data(), dir)) return false;
    return Path.size() == dir || IsPathSeparator(Path[dir]);
}

bool IsPathBelow(const std::wstring& Path, const std::wstring& Dir) {
    return IsPathAtOrBelow(Path, Dir) && LengthWithoutTrailingSeparators(Path) > LengthWithoutTrailingSeparators(Dir);
}

bool PathLiesBelow(const std::wstring& File, const std::wstring& Dir) {
    if (File.empty() || Dir.empty()) return false;
    return IsPathBelow(GetFullPath(File), GetFullPath(Dir));
}
