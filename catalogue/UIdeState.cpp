#include "catalogue/UIdeState.h"

#include <tlhelp32.h>

#include "catalogue/UInstallRecord.h"
#include "catalogue/UProducts.h"
#include "support/UPaths.h"
#include "support/UPlatform.h"
#include "support/UProduct.h"
#include "support/UText.h"
#include "support/URegistry.h"
#include "support/WinHandles.h"

namespace {

const wchar_t* const IdePrograms[] = {L"delphi32.exe", L"bcb.exe", L"bds.exe"};

std::wstring FileNameOf(const std::wstring& Path) {
    size_t slash = Path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? Path : Path.substr(slash + 1);
}

// "C:\IDE\.\bin" and "c:/ide/bin" name one folder; the comparison needs one spelling.
std::wstring Normalised(const std::wstring& Path) {
    std::wstring full = GetFullPath(Path);
    return full.empty() ? Path : full;
}

// The full path of a process's program; empty when the process cannot be asked.
std::wstring ProgramPathOf(DWORD ProcessId) {
    brd::UniqueKernel process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, ProcessId));
    if (!process) return L"";
    std::wstring path(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD length = static_cast<DWORD>(path.size());
        if (QueryFullProcessImageNameW(process.get(), 0, path.data(), &length)) {
            path.resize(length);
            return path;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return L"";
        path.resize(path.size() * 2);
    }
    return L"";
}

// The first of Roots that Program lies below, nullptr when none.
const std::wstring* RootHolding(const std::vector<std::wstring>& Roots, const std::wstring& Program) {
    for (const std::wstring& root : Roots)
        if (!root.empty() && PathLiesBelow(Program, root)) return &root;
    return nullptr;
}

// The catalogue row whose root is Root, 0 when none.
int RowOfRoot(const std::wstring& Root, const TDetectedIdes& Detected) {
    if (Root.empty()) return 0;
    std::wstring wanted = Normalised(Root);
    while (!wanted.empty() && wanted.back() == L'\\') wanted.pop_back();
    for (int row = 1; row <= ProductCount; ++row) {
        const std::wstring& dir = Detected[static_cast<size_t>(row)].RootDir;
        if (!dir.empty() && SameTextIgnoringCase(Normalised(dir), wanted)) return row;
    }
    return 0;
}

std::wstring JoinNames(const std::vector<std::wstring>& Names) {
    std::wstring text;
    for (size_t i = 0; i < Names.size(); ++i) {
        if (i > 0) text += (i + 1 == Names.size()) ? L" and " : L", ";
        text += Names[i];
    }
    return text;
}

}  // namespace

// ---------------------------------------------------------------- running IDEs

bool IsIdeProgramName(const std::wstring& FileName) {
    for (const wchar_t* name : IdePrograms)
        if (SameTextIgnoringCase(FileName, name)) return true;
    return false;
}

std::vector<TRunningIde> FindRunningIdes(const std::vector<std::wstring>& Roots) {
    std::vector<TRunningIde> running;
    bool anyRoot = false;
    for (const std::wstring& root : Roots) anyRoot = anyRoot || !root.empty();
    if (!anyRoot) return running;
    // Without a process list there is nothing to go by; the IDEs are then taken as closed,
    // as before this check existed.
    brd::UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return running;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        if (!IsIdeProgramName(FileNameOf(entry.szExeFile))) continue;
        std::wstring program = ProgramPathOf(entry.th32ProcessID);
        if (program.empty()) {
            running.push_back({L"", entry.szExeFile, entry.th32ProcessID});
        } else if (const std::wstring* root = RootHolding(Roots, program)) {
            running.push_back({*root, program, entry.th32ProcessID});
        }
    }
    return running;
}

std::vector<std::wstring> IdeRootsOfVersions(int32_t VersionsMask, const TDetectedIdes& Detected) {
    std::vector<int32_t> rows;
    for (int row = 1; row <= ProductCount; ++row)
        if ((BorlandProducts[row].InternalId & VersionsMask) != 0) rows.push_back(row);
    return IdeRootsOfRows(rows, Detected);
}

std::vector<std::wstring> IdeRootsOfRows(const std::vector<int32_t>& Rows, const TDetectedIdes& Detected) {
    std::vector<std::wstring> roots;
    for (int32_t row : Rows) {
        const std::wstring& root = DetectedRoot(Detected, row);
        if (!root.empty()) roots.push_back(root);
    }
    return roots;
}

std::wstring RunningIdesList(const std::vector<TRunningIde>& Running, const TDetectedIdes& Detected) {
    std::wstring text;
    for (const TRunningIde& ide : Running) {
        int row = RowOfRoot(ide.Root, Detected);
        std::wstring name = row ? IdeDisplayName(row) : L"An IDE";
        text += L"    " + name + L": " + ide.Program + L"\r\n";
    }
    return text;
}

std::wstring RunningIdesText(const std::vector<TRunningIde>& Running, const TDetectedIdes& Detected,
                             const std::wstring& CancelMeaning) {
    return L"Please close the IDE first:\r\n\r\n" + RunningIdesList(Running, Detected) +
           L"\r\nA running IDE writes its package list and library paths back when it closes, which would undo "
           L"the changes to its settings.\r\n\r\nClick Retry when it is closed, or Cancel " +
           CancelMeaning + L".";
}

bool AskToCloseRunningIdes(HWND Owner, const std::vector<std::wstring>& Roots, const TDetectedIdes& Detected,
                           const wchar_t* Caption, const std::wstring& CancelMeaning) {
    for (;;) {
        std::vector<TRunningIde> running = FindRunningIdes(Roots);
        if (running.empty()) return true;
        std::wstring text = RunningIdesText(running, Detected, CancelMeaning);
        if (MessageBoxW(Owner, text.c_str(), Caption, MB_RETRYCANCEL | MB_ICONWARNING) != IDRETRY) return false;
    }
}

// ---------------------------------------------------------------- IDEs never started

bool IdeHasUserKey(int Row) {
    const TBorlandProduct* product = ProductRow(Row);
    if (!product) return false;
    brd::UniqueKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, product->RegKey.c_str(), 0, KEY_READ | RegView, key.put()) != ERROR_SUCCESS) {
        key.release();
        return false;
    }
    return true;
}

int32_t NeverStartedVersions(int32_t VersionsMask) {
    int32_t never = 0;
    for (int row = 1; row <= ProductCount; ++row) {
        const int32_t bit = BorlandProducts[row].InternalId;
        if ((bit & VersionsMask) != 0 && !IdeHasUserKey(row)) never |= bit;
    }
    return never;
}

bool IdeIsFilesOnly(int Row, int32_t FilesOnlyVersions) {
    const TBorlandProduct* product = ProductRow(Row);
    return product && (product->InternalId & FilesOnlyVersions) != 0;
}

std::wstring IdeDisplayName(int Row) {
    const TBorlandProduct* product = ProductRow(Row);
    if (!product) return L"";
    static const TSelectionList entries = NewSelectionList();
    for (const TSelectionItem& item : entries)
        if (item.ProductId == product->InternalId) return item.Caption;
    return product->Name;
}

std::wstring NeverStartedText(int32_t VersionsMask) {
    std::vector<std::wstring> names;
    for (int row = 1; row <= ProductCount; ++row)
        if ((BorlandProducts[row].InternalId & VersionsMask) != 0) names.push_back(IdeDisplayName(row));
    const bool one = names.size() == 1;
    return JoinNames(names) + (one ? L" has" : L" have") +
           L" never been started under this Windows account, so " + (one ? L"it has" : L"they have") +
           L" no settings of " + (one ? L"its" : L"their") + L" own yet.\r\n\r\n" +
           L"An IDE must be started once and closed again before " + ProductName +
           L" can be registered with it; registering it now would keep the IDE from setting up its standard "
           L"packages.\r\n\r\n" +
           L"Click OK to install only the library's files for " + (one ? L"it" : L"them") +
           L" (start the IDE once and run Setup again later to register it), or Cancel to go back and change "
           L"your choice.";
}

int32_t VersionsTouchedByRun(int32_t Versions) {
    const TPreviousInstall previous = ReadPreviousInstall();
    return Versions | (IsRecordedMask(previous.InstallVersions) ? previous.InstallVersions : 0);
}
