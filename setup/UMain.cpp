#include "setup/UMain.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "catalogue/UDirCodes.h"
#include "catalogue/UInstallChoice.h"
#include "pages/UWizardPages.h"
#include "resources/UResourceIds.h"
#include "script/UScriptItems.h"
#include "setup/UFrame.h"
#include "setup/USilent.h"
#include "uninstall/URollback.h"
#include "support/UConst.h"
#include "support/UDirTree.h"
#include "support/UGuard.h"
#include "support/UPaths.h"
#include "support/UPlatform.h"
#include "support/UProcess.h"
#include "support/URunMutex.h"
#include "support/UJournal.h"
#include "support/UResources.h"
#include "support/UText.h"
#include "support/WinHandles.h"

const wchar_t* const HelpCaption = L"Parameters description";
const wchar_t* const HelpText =
    L"Brindlecraft setup parameters description:\r\n"
    L"  /C - Copy files only. No package,help registration;\r\n"
    L"  /E - Enable controls even if previous version installed;\r\n"
    L"  /X - Extract files to the current directory. No dialog. No package,help registration;\r\n"
    L"  /? - Parameters description.";

TSwitchFlags ParseArguments(const std::vector<std::wstring>& Args) {
    TSwitchFlags flags;
    for (const std::wstring& arg : Args) {
        if (arg.size() != 2 || !IsSwitchPrefix(arg[0])) continue;
        wchar_t letter = AsciiUpper(arg[1]);
        flags.CopyOnly = letter == L'C';
        flags.EnableControls = letter == L'E';
        flags.ShowHelp = letter == L'H' || letter == L'?';
        flags.ExtractFiles = letter == L'X';
    }
    return flags;
}

void ParseCommandLine() {
    TSwitchFlags flags = ParseArguments(CommandLineArguments());
    CopyOnly = flags.CopyOnly;
    EnableControls = flags.EnableControls;
    ShowHelp = flags.ShowHelp;
    ExtractFiles = flags.ExtractFiles;
}

void ExtractAll() {
    // The current directory is taken at whatever length the platform reports, so a
    // deep directory is never cut into a different, shorter path.
    const TRunContext run = RunContextIn(GetCurrentDir());
    if (run.InstallDir.empty()) return;
    for (int i = 0; i < ScriptItemCount; ++i) {
        const TScriptItem& item = ScriptItems[i];
        switch (ItemType(item)) {
            case itCreateDir:
                CreateDirectoryPath(PathJoin(DirCodeToPath(item.Dir, run), item.Name));
                break;
            case itCopyResource:
                SaveResourceToFile(static_cast<int>(item.Code), PathJoin(DirCodeToPath(item.Dir, run), item.Name));
                break;
            default:
                break;
        }
    }
}

namespace {

// What an interrupted run left is put back before anything else happens.
std::wstring RecoverInterruptedRun() {
    TRollbackObserver quiet;
    return RecoveryMessage(RollBackJournal(quiet));
}

// Says that something failed that never should, on the caller's output or in a box.
int StoppedUnexpectedly(const wchar_t* Why, bool Quiet) {
    const std::wstring text = std::wstring(L"Setup stopped: ") + Why + L".";
    if (Quiet)
        PrintToCaller(text);
    else
        MessageBoxW(nullptr, text.c_str(), L"Install", MB_OK | MB_ICONERROR);
    return seUnexpected;
}

// 1 when steps of the run failed, as for an unattended installation; else 0.
int RunWizard() {
    brd::ComApartment com;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    RegisterLinkLabelClass();
    TInstallPlan plan = NewInstallPlan(CopyOnly);
    TSelectionList selection = NewSelectionList();
    TDetectedIdes detected;
    TRunOutcome outcome;
    std::wstring unexpected;
    {
        TFrame frame(CreatePages({plan, selection, detected, outcome}));
        INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_FRAME), nullptr, FrameDlgProc,
                                         reinterpret_cast<LPARAM>(&frame));
        if (result < 0) MessageBoxW(nullptr, L"Error in create dialog", L"Error", MB_OK);
        unexpected = frame.Unexpected;
    }
    // A run that was not completed (the wizard closed between its last row and the
    // Finish page, or on a failure that never should be) is not left half done.
    if (JournalIsOpen()) RecoverInterruptedRun();
    if (!unexpected.empty()) return StoppedUnexpectedly(unexpected.c_str(), false);
    if (!outcome.Unexpected.empty()) return seUnexpected;  // the progress page has said why
    if (!outcome.Stopped.empty()) return seCannotTake;     // the progress page has said why
    return outcome.Failures > 0 ? seRowsFailed : seSuccess;
}

// A damaged copy of the program would write damaged files, or an uninstaller that
// cannot remove them: every mode that writes refuses it before anything is written.
bool PayloadRefused(bool Quiet) {
    if (FirstDamagedPayloadResource() == 0) return false;
    if (Quiet)
        PrintToCaller(DamagedSetupText);
    else
        MessageBoxW(nullptr, DamagedSetupText, L"Install", MB_OK | MB_ICONERROR);
    return true;
}

// Help and extraction come first, as they always have; /silent replaces the wizard.
// Quiet is set once the mode is known: whether a failure is told on the caller's
// output rather than in a box. OneRun is held by the caller, so that a run stopped by
// a failure is rolled back before another can begin.
int RunSetupMode(bool& Quiet, TRunMutex& OneRun) {
    if (ShowHelp) {
        MessageBoxW(nullptr, HelpText, HelpCaption, MB_OK);
        return 0;
    }
    TSilentOptions silent = ParseSilentSwitches(CommandLineArguments());
    Quiet = ExtractFiles || silent.Silent;
    if (PayloadRefused(Quiet)) return seDamaged;
    if (ExtractFiles) {
        ExtractAll();
        return 0;
    }
    if (!OneRun.Acquire()) {
        if (silent.Silent)
            PrintToCaller(AnotherRunText);
        else
            MessageBoxW(nullptr, AnotherRunText, L"Install", MB_OK | MB_ICONINFORMATION);
        return silent.Silent ? seAnotherRun : 0;
    }
    const std::wstring recovered = RecoverInterruptedRun();
    if (silent.Silent) {
        if (!recovered.empty()) PrintToCaller(recovered);
        return RunSilent(silent, NewInstallPlan(CopyOnly), recovered);
    }
    if (!recovered.empty()) MessageBoxW(nullptr, recovered.c_str(), L"Install", MB_OK | MB_ICONINFORMATION);
    return RunWizard();
}

}  // namespace

// The one catch of the program's own thread: whatever a run had written is rolled
// back before the program ends.
int RunSetup() {
    bool quiet = ExtractFiles;
    TRunMutex oneRun;
    return Guarded([&] { return RunSetupMode(quiet, oneRun); },
                   [&](const wchar_t* Why) {
                       if (JournalIsOpen()) RecoverInterruptedRun();
                       return StoppedUnexpectedly(Why, quiet);
                   });
}
