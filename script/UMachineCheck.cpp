#include "script/UMachineCheck.h"

#include <windows.h>

#include <map>
#include <vector>

#include "catalogue/UProducts.h"
#include "script/UFileOps.h"
#include "script/UScriptItems.h"
#include "support/UPaths.h"
#include "support/UPlatform.h"
#include "support/UProduct.h"
#include "support/WinHandles.h"

namespace {

// Room kept free beyond what the payload needs: the texts, logs and edited files of
// the run. What each environment's compiler writes comes on top.
constexpr uint64_t SpareBytes = 2ull << 20;
constexpr uint64_t CompiledBytesPerIde = 4ull << 20;

std::wstring ParentOf(const std::wstring& Path) {
    size_t cut = Path.find_last_of(L"\\/");
    if (cut == std::wstring::npos || cut < 2) return L"";
    return Path.substr(0, cut == 2 ? 3 : cut);  // "C:\" keeps its separator
}

// The deepest folder of Path that exists, Path itself included; empty when none does.
std::wstring ExistingAncestor(std::wstring Path) {
    while (!Path.empty() && !DirectoryExists(Path)) {
        std::wstring parent = ParentOf(Path);
        if (parent == Path) return L"";
        Path = parent;
    }
    return Path;
}

std::wstring WithReason(const std::wstring& Text, DWORD Error) {
    std::wstring reason = SystemMessageText(Error);
    return reason.empty() ? Text + L"." : Text + L": " + reason + L".";
}

// Creates a file in Dir and removes it again; 0 or the Windows error code.
DWORD ProbeFileIn(const std::wstring& Dir) {
    const std::wstring probe = PathJoin(Dir, L"~cvlprobe" + std::to_wstring(GetCurrentProcessId()) + L".tmp");
    brd::UniqueFile file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return file ? 0 : GetLastError();
}

// Creates a folder with a file in it below Existing and removes both; 0 or the
// Windows error code.
DWORD ProbeFolderIn(const std::wstring& Existing) {
    const std::wstring probe = PathJoin(Existing, L"~cvlprobe" + std::to_wstring(GetCurrentProcessId()));
    if (!CreateDirectoryW(probe.c_str(), nullptr)) return GetLastError();
    DWORD result = ProbeFileIn(probe);
    RemoveDirectoryW(probe.c_str());
    return result;
}

std::wstring FolderProblem(const std::wstring& Dir) {
    if (PathExists(Dir) && !DirectoryExists(Dir)) return L"The install folder " + Dir + L" is a file.";
    if (DirectoryExists(Dir)) {
        DWORD error = ProbeFileIn(Dir);
        return error ? WithReason(L"Setup cannot write to the folder " + Dir, error) : L"";
    }
    const std::wstring existing = ExistingAncestor(ParentOf(Dir));
    if (existing.empty()) return WithReason(L"The folder " + Dir + L" cannot be created", ERROR_PATH_NOT_FOUND);
    DWORD error = ProbeFolderIn(existing);
    return error ? WithReason(L"The folder " + Dir + L" cannot be created", error) : L"";
}

// The logs of an earlier run are rewritten: one that another program holds open, or
// that is read-only, would stop the run halfway.
std::wstring LogProblem(const std::wstring& Dir) {
    for (const wchar_t* name : {L"uninst.log", L"install.log"}) {
        const std::wstring path = PathJoin(Dir, name);
        if (!FileExists(path)) continue;
        brd::UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!file) return WithReason(L"The log " + path + L" cannot be written", GetLastError());
    }
    return L"";
}

uint64_t PayloadBytes() {
    uint64_t total = 0;
    for (int i = 0; i < ScriptItemCount; ++i) {
        if (ItemType(ScriptItems[i]) != itCopyResource) continue;
        if (HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(ScriptItems[i].Code), L"CVLIB"))
            total += SizeofResource(nullptr, info);
    }
    return total;
}

// The drive (volume) that Path lies on, as its root folder.
std::wstring VolumeOf(const std::wstring& Path) {
    std::vector<wchar_t> root(Path.size() + 2, L'\0');
    if (GetVolumePathNameW(Path.c_str(), root.data(), static_cast<DWORD>(root.size()))) return root.data();
    return Path.substr(0, 3);
}

std::wstring SpaceProblem(const std::wstring& Dir, int32_t Versions, const TDetectedIdes& Detected) {
    std::map<std::wstring, uint64_t> needed;  // volume root -> bytes, by the text of the root
    int ides = 0;
    std::vector<std::wstring> places{Dir, GetSystemDir()};
    for (int row = 1; row <= ProductCount; ++row) {
        if (!(BorlandProducts[row].InternalId & Versions)) continue;
        ++ides;
        const std::wstring& root = Detected[static_cast<size_t>(row)].RootDir;
        if (!root.empty()) places.push_back(root);
    }
    std::map<std::wstring, std::wstring> existing;  // volume root -> a folder on it
    for (size_t i = 0; i < places.size(); ++i) {
        const std::wstring folder = ExistingAncestor(places[i]);
        if (folder.empty()) continue;
        const std::wstring volume = VolumeOf(folder);
        existing.emplace(volume, folder);
        uint64_t& bytes = needed[volume];
        if (bytes == 0) bytes = SpareBytes;
        if (i == 0) bytes += PayloadBytes() + CompiledBytesPerIde * static_cast<uint64_t>(ides);
    }
    for (const auto& [volume, bytes] : needed) {
        ULARGE_INTEGER free{};
        if (!GetDiskFreeSpaceExW(existing[volume].c_str(), &free, nullptr, nullptr)) continue;
        if (free.QuadPart >= bytes) continue;
        return L"The drive " + volume + L" has " + std::to_wstring(free.QuadPart / 1024) +
               L" KB free; the installation needs about " + std::to_wstring(bytes / 1024) + L" KB there.";
    }
    return L"";
}

}  // namespace

std::wstring MachineProblem(const std::wstring& Dir, int32_t Versions, const TDetectedIdes& Detected) {
    std::wstring problem = FolderProblem(Dir);
    if (problem.empty()) problem = LogProblem(Dir);
    if (problem.empty()) problem = SpaceProblem(Dir, Versions, Detected);
    return problem;
}
