// The unit tests run side by side in one Wine machine, each test a process of its
// own: each keeps its rollback journal in a folder of its own, so that one test's
// commit does not take away the journal of another.
#include <windows.h>

#include <string>

#include "support/UJournal.h"

std::wstring JournalFolder() {
    return L"C:\\ProgramData\\Corvane library rollback (unit test " + std::to_wstring(GetCurrentProcessId()) + L")";
}
