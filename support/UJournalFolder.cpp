// Where the rollback journal lives: one folder for the machine, so that the next
// start of setup.exe or unbrd.exe, in any account, finds a run that did not end.
// Alone in its file on purpose: the unit tests, which run side by side in one
// Wine machine, link a definition of their own (a folder per test process), and
// the programs keep this one.
#include <windows.h>
#include <shlobj.h>

#include "support/UJournal.h"
#include "support/UPaths.h"

namespace {

std::wstring ProgramDataDir() {
    PWSTR path = nullptr;
    std::wstring result;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_ProgramData, KF_FLAG_DONT_VERIFY, nullptr, &path)) && path)
        result = path;
    CoTaskMemFree(path);
    return result;
}

}  // namespace

std::wstring JournalFolder() {
    const std::wstring data = ProgramDataDir();
    return data.empty() ? L"" : PathJoin(data, L"Corvane library rollback");
}
