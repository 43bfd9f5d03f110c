// scriptrun.exe: runs the whole install script through TScript exactly as the
// progress page does, without the wizard, for engine-level end-to-end tests.
//
//   scriptrun INSTALLDIR VERSIONS ITEMS [/C] [/record] [/stopat:N] [/compiletimeout MS]
//             [/cancelat:N] [/cancelonfile:PATH] [/killinrollback:K] [/killatrecord:K]
//             [/stopbeforecommit] [/stopincommit]
//
// VERSIONS and ITEMS are the environment and item masks (0x... allowed). The IDEs
// are detected first; a detected IDE whose bit is in VERSIONS counts as chosen. /C
// runs copy-only, /record also writes the installation record as the Finish page
// does. /stopat:N ends the process the hard way, as a kill does, just before row N
// runs: nothing is closed or finished. Every failing row is printed as
// "row N: error X type Y: text"; the exit status is the number of failing rows (at
// most 255). What the engine adds to a row's error (a compiler's last output lines)
// follows the row, indented by four blanks. A run that the engine stops (it cannot
// write its uninstall log) ends with "stopped at row N: reason" and counts as one
// more failure. /compiletimeout shortens the compile
// wait of this test program.
//
// /cancelat:N stops the run before row N as the wizard's Cancel does and rolls it
// back (exit status 98); /cancelonfile:PATH does so as soon as PATH exists (while
// a compile runs, say); /killinrollback:K then ends the process the hard way after
// K steps of that rollback. /killatrecord:K ends it right after the rollback
// journal's K-th record, before the change that record guards. /stopbeforecommit ends the process the hard way after
// the last row and the record, before the run commits; /stopincommit in the middle
// of the commit, once the journal file is gone and before its copies are. A run begins by rolling back
// what an interrupted run left, as setup.exe does; that is printed.
#include <windows.h>

#include "tests/driver/Utf8Output.h"

#include <cstdio>
#include <cwchar>
#include <string>

#include "catalogue/UInstallRecord.h"
#include "catalogue/UProducts.h"
#include "script/UScript.h"
#include "script/UScriptRun.h"
#include "tests/driver/TestCompileTimeout.h"
#include "support/UConst.h"
#include "support/UJournal.h"

namespace {

int StopAtRow = -1;
int CancelAtRow = -1;
int KillInRollback = -1;
uint32_t KillAtRecord = 0;
std::wstring CancelFile;
TScript* RunningScript = nullptr;

void KillAtJournalRecord(uint32_t Records) {
    if (Records == KillAtRecord) TerminateProcess(GetCurrentProcess(), 99);
}

// Cancels the run as soon as CancelFile appears.
DWORD WINAPI WatchCancelFile(void*) {
    while (GetFileAttributesW(CancelFile.c_str()) == INVALID_FILE_ATTRIBUTES) Sleep(50);
    RunningScript->RequestStop(L"cancelled by the user");
    return 0;
}
bool StopBeforeCommit = false;

// Ends the process the hard way after a number of rollback steps.
class TKillingObserver : public TRollbackObserver {
public:
    void RollbackStarting(int32_t Steps) override { FSteps = Steps; }
    void RollbackStep(int32_t StepsLeft) override {
        if (KillInRollback >= 0 && FSteps - StepsLeft >= KillInRollback) TerminateProcess(GetCurrentProcess(), 97);
    }

private:
    int32_t FSteps = 0;
};

// A compiler's report below its row, every line indented by four blanks.
void PrintIndented(const std::wstring& Report) {
    size_t start = 0;
    while (start < Report.size()) {
        size_t end = Report.find(L"\r\n", start);
        if (end == std::wstring::npos) end = Report.size();
        if (end > start) PrintUtf8(L"    " + Report.substr(start, end - start) + L"\n");
        start = end + 2;
    }
}

int RunScript(const TInstallPlan& plan, const TDetectedIdes& detected) {
    int failures = 0;
    TScript script(plan, detected);
    RunningScript = &script;
    if (!CancelFile.empty()) CloseHandle(CreateThread(nullptr, 0, WatchCancelFile, nullptr, 0, nullptr));
    script.Start();
    if (!script.RecoveryNote().empty()) PrintUtf8(script.RecoveryNote() + L"\n");
    std::wstring status;
    while (script.Current < script.Count() && !script.StopRequested()) {
        if (script.Current == StopAtRow) TerminateProcess(GetCurrentProcess(), 99);
        if (script.Current == CancelAtRow) script.RequestStop(L"cancelled by the user");
        if (script.StopRequested()) break;
        script.ItemText(status);
        int32_t error = script.ItemDoScript();
        if (error != 0) {
            wchar_t head[128];
            swprintf(head, 128, L"row %d: error %X type %X: ", script.Current, static_cast<unsigned>(error),
                     static_cast<unsigned>(ScriptItems[script.Current].TypeId));
            PrintUtf8(head + script.LogString() + L"\n");
            PrintIndented(script.CompilerReport());
            ++failures;
        }
        script.Current += script.ItemProgressStep();
    }
    if (script.StopRequested()) {
        TKillingObserver observer;
        RollBackRun(script, observer);
        PrintUtf8(L"stopped (" + script.StopReason() + L"), rolled back\n");
        return -1;
    }
    return failures;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        PrintUtf8(L"usage: scriptrun INSTALLDIR VERSIONS ITEMS [/C] [/record] [/stopat:N] [/compiletimeout MS]\n");
        return 255;
    }
    TInstallPlan plan;
    plan.Dir = argv[1];
    plan.Versions = static_cast<int32_t>(wcstoul(argv[2], nullptr, 0));
    plan.Items = static_cast<int32_t>(wcstoul(argv[3], nullptr, 0));
    bool record = false;
    for (int i = 4; i < argc; ++i) {
        if (_wcsicmp(argv[i], L"/C") == 0) plan.CopyOnly = true;
        if (_wcsicmp(argv[i], L"/record") == 0) record = true;
        if (_wcsnicmp(argv[i], L"/stopat:", 8) == 0) StopAtRow = static_cast<int>(wcstol(argv[i] + 8, nullptr, 10));
        if (_wcsnicmp(argv[i], L"/cancelat:", 10) == 0) CancelAtRow = static_cast<int>(wcstol(argv[i] + 10, nullptr, 10));
        if (_wcsnicmp(argv[i], L"/killinrollback:", 16) == 0)
            KillInRollback = static_cast<int>(wcstol(argv[i] + 16, nullptr, 10));
        if (_wcsicmp(argv[i], L"/stopbeforecommit") == 0) StopBeforeCommit = true;
        if (_wcsicmp(argv[i], L"/stopincommit") == 0) JournalCommittingHook = [] { TerminateProcess(GetCurrentProcess(), 99); };
        if (_wcsnicmp(argv[i], L"/cancelonfile:", 14) == 0) CancelFile = argv[i] + 14;
        if (_wcsnicmp(argv[i], L"/killatrecord:", 14) == 0) KillAtRecord = static_cast<uint32_t>(wcstoul(argv[i] + 14, nullptr, 10));
        if (_wcsicmp(argv[i], L"/compiletimeout") == 0 && i + 1 < argc)
            TestCompileTimeoutMs = static_cast<uint32_t>(wcstoul(argv[++i], nullptr, 0));
    }
    if (KillAtRecord > 0) JournalWrittenHook = KillAtJournalRecord;
    TDetectedIdes detected = DetectProducts();
    for (int row = 1; row <= ProductCount; ++row) {
        TDetectedIde& ide = detected[static_cast<size_t>(row)];
        ide.Selected = ide.Exists && (BorlandProducts[row].InternalId & plan.Versions) != 0;
    }
    int failures = RunScript(plan, detected);
    if (failures < 0) return 98;
    if (record && !WriteInstallRecord(CurrentInstallRecord(plan))) {
        PrintUtf8(L"the installation record could not be written\n");
        ++failures;
    }
    if (StopBeforeCommit) TerminateProcess(GetCurrentProcess(), 99);
    CommitRun();
    return failures > 255 ? 255 : failures;
}
