#include "catalogue/UInstallChoice.h"

#include <windows.h>

#include <cwchar>

#include "catalogue/UProducts.h"
#include "support/UProduct.h"
#include "support/UPaths.h"
#include "support/URegistry.h"
#include "support/UText.h"
#include "support/WinHandles.h"

namespace {

// The folder that holds the first preselected IDE, so that the library lands beside
// it. Only that first row counts, even when its root is empty.
std::wstring FirstSelectedIdeParent(const TDetectedIdes& Detected) {
    for (int row = 1; row <= ProductCount; ++row) {
        const TDetectedIde& ide = Detected[static_cast<size_t>(row)];
        if (!ide.Selected) continue;
        std::wstring dir = ide.RootDir;
        if (!dir.empty() && dir.back() == L'\\') dir.pop_back();
        int cut = LastCharPos(dir, L'\\');
        return cut > 0 ? dir.substr(0, static_cast<size_t>(cut - 1)) : dir;
    }
    return L"";
}

bool HoldsEntries(const std::wstring& Dir) {
    WIN32_FIND_DATAW entry;
    brd::UniqueFind find(FindFirstFileW((Dir + L"\\*").c_str(), &entry));
    if (!find) return false;
    do {
        if (wcscmp(entry.cFileName, L".") != 0 && wcscmp(entry.cFileName, L"..") != 0) return true;
    } while (FindNextFileW(find.get(), &entry));
    return false;
}

bool IsLocalFullPath(const std::wstring& Dir) {
    if (Dir.size() < 3 || Dir[1] != L':' || !IsPathSeparator(Dir[2])) return false;
    const wchar_t drive = static_cast<wchar_t>(Dir[0] & ~0x20);
    return drive >= L'A' && drive <= L'Z';
}

// CON, PRN, AUX, NUL, COM1-9 and LPT1-9, with or without an extension, name
// devices in every folder.
bool IsDeviceName(const std::wstring& Component) {
    std::wstring stem = Component.substr(0, Component.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL"})
        if (SameTextIgnoringCase(stem, device)) return true;
    if (stem.size() != 4 || stem[3] < L'1' || stem[3] > L'9') return false;
    const std::wstring head = stem.substr(0, 3);
    return SameTextIgnoringCase(head, L"COM") || SameTextIgnoringCase(head, L"LPT");
}

std::wstring ComponentProblem(const std::wstring& Component) {
    if (Component.empty()) return L"it has an empty folder name (two backslashes in a row)";
    for (wchar_t c : Component) {
        if (c < 32) return L"it holds a control character";
        if (wcschr(L"\"<>|*?:", c)) return std::wstring(L"a folder name may not hold the character ") + c;
    }
    if (Component.back() == L' ' || Component.back() == L'.')
        return L"the folder name \"" + Component + L"\" ends in a " + (Component.back() == L' ' ? L"blank" : L"dot");
    if (IsDeviceName(Component)) return L"\"" + Component + L"\" is the name of a device, not of a folder";
    return L"";
}

}  // namespace

std::wstring InstallDirNameProblem(const std::wstring& Dir) {
    size_t start = 3;  // past "C:\"
    while (start < Dir.size()) {
        size_t end = Dir.find_first_of(L"\\/", start);
        if (end == std::wstring::npos) end = Dir.size();
        std::wstring problem = ComponentProblem(Dir.substr(start, end - start));
        if (!problem.empty()) return problem;
        start = end + 1;
    }
    return L"";
}

TPreviousInstall PrepareSelection(TInstallPlan& Plan, TSelectionList& Selection, TDetectedIdes& Detected) {
    TPreviousInstall previous = ReadPreviousInstall();
    Detected = DetectProducts();
    PresetFromPreviousInstall(previous, Selection, Detected);
    LoadCustomizeItems(Plan.CustomizeItems);
    return previous;
}

void ApplySelection(const TSelectionList& Selection, TInstallPlan& Plan) {
    Plan.Versions = CheckedInstallVersions(Selection);
    Plan.Items = CheckedInstallItems(Selection);
}

TInstallPlan NewInstallPlan(bool CopyOnlySwitch) {
    TInstallPlan plan;
    plan.CopyOnly = CopyOnlySwitch;
    return plan;
}

std::wstring WithProductWord(std::wstring Dir) {
    if (Dir.empty() || Dir.back() != L'\\') Dir += L'\\';
    return Dir + ProductWord;
}

std::wstring ProposedInstallDir(const std::wstring& PrevInstallPath, const TDetectedIdes& Detected) {
    if (!PrevInstallPath.empty()) return PrevInstallPath;
    std::wstring candidate = FirstSelectedIdeParent(Detected);
    if (candidate.empty()) ReadRegString(HKEY_LOCAL_MACHINE, WindowsCurrentVersionKey, ValProgramFilesDir, candidate);
    return candidate.empty() ? candidate : WithProductWord(candidate);
}

std::wstring TrimInstallDir(std::wstring Text) {
    if (!Text.empty() && (Text.back() == L'\\' || Text.back() == L'/')) Text.pop_back();
    return Text;
}

TInstallDirCheck CheckInstallDir(const std::wstring& Dir, const std::wstring& PrevInstallPath) {
    if (!IsLocalFullPath(Dir)) return dirNotFullPath;
    if (!InstallDirNameProblem(Dir).empty()) return dirBadName;
    bool previousDir = !PrevInstallPath.empty() && lstrcmpiW(PrevInstallPath.c_str(), Dir.c_str()) == 0;
    if (previousDir || !HoldsEntries(Dir)) return dirAcceptable;
    return dirHoldsFiles;
}
