#include "catalogue/UInstallChoice.h"

#include <windows.h>

#include "catalogue/UProducts.h"
#include "support/UProduct.h"
#include "support/UPaths.h"
#include "support/URegistry.h"
#include "support/UText.h"
#include "support/WinHandles.h"

namespace {

// The folder that holds the first preselected IDE, so that the library lands beside
// it. Only that first row counts, even when its root is empty.
std::wstring FirstSelectedIdeParent() {
    for (int row = 1; row <= ProductCount; ++row) {
        const TDetectedIde& ide = DetectedIdes[static_cast<size_t>(row)];
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

}  // namespace

TPreviousInstall PrepareSelection(TInstallPlan& Plan) {
    TPreviousInstall previous = ReadPreviousInstall();
    DetectProducts();
    PresetFromPreviousInstall(previous);
    LoadCustomizeItems(Plan.CustomizeItems);
    return previous;
}

void ApplySelection(TInstallPlan& Plan) {
    Plan.Versions = CheckedInstallVersions();
    Plan.Items = CheckedInstallItems();
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

std::wstring ProposedInstallDir(const std::wstring& PrevInstallPath) {
    if (!PrevInstallPath.empty()) return PrevInstallPath;
    std::wstring candidate = FirstSelectedIdeParent();
    if (candidate.empty()) ReadRegString(HKEY_LOCAL_MACHINE, WindowsCurrentVersionKey, ValProgramFilesDir, candidate);
    return candidate.empty() ? candidate : WithProductWord(candidate);
}

std::wstring TrimInstallDir(std::wstring Text) {
    if (!Text.empty() && (Text.back() == L'\\' || Text.back() == L'/')) Text.pop_back();
    return Text;
}

TInstallDirCheck CheckInstallDir(const std::wstring& Dir, const std::wstring& PrevInstallPath) {
    if (!IsFullPath(Dir)) return dirNotFullPath;
    bool previousDir = !PrevInstallPath.empty() && lstrcmpiW(PrevInstallPath.c_str(), Dir.c_str()) == 0;
    if (previousDir || !HoldsEntries(Dir)) return dirAcceptable;
    return dirHoldsFiles;
}
