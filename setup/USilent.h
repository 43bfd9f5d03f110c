// Unattended installation for build machines and scripts:
//
//   setup.exe /silent [/dir=PATH] [/ides=NAMES|found] [/items=help,demos] [/log=PATH]
//
// No window and no message box: the same run as the wizard's progress page, then the
// installation record as the Finish page writes it. What is not given is what the
// wizard's pages would propose. The long switches are arguments that the classic
// switch parser skips, so /C, /E, /X and /? keep their meaning.
#pragma once

#include <string>
#include <vector>

#include "catalogue/UProducts.h"
#include "catalogue/URunContext.h"

// Exit statuses of an unattended installation.
enum TSilentExit : int {
    seSuccess = 0,        // every row succeeded
    seRowsFailed = 1,     // the run completed, but rows (or its record, or the log copy) failed
    seBadArguments = 2,   // nothing was written
    seNothingChosen = 3,  // neither an environment nor a component: nothing was written
    seIdeRunning = 4,     // an IDE the run would change is running: nothing was written
    seAnotherRun = 6,     // another installation or removal is running: nothing was written
    seDamaged = 7,        // the program's payload is not what the build recorded: nothing was written
    seCannotTake = 8,     // the machine cannot take the installation (folder, space, log): nothing was
                          // written, or a drive filled up or the uninstall log failed while it ran: rolled back
    seUnexpected = 9,     // something failed that never should (out of memory): what the run wrote is rolled back
};

struct TSilentOptions {
    bool Silent = false;
    bool HasDir = false;
    std::wstring Dir;
    bool HasIdes = false;
    std::vector<std::wstring> Ides;  // catalogue names, or "found"; "Delphi7!": files only
    bool HasItems = false;
    std::vector<std::wstring> Items;  // "help", "demos"
    bool HasLog = false;
    std::wstring LogPath;
    std::wstring Error;  // the first argument not understood; empty when all were
};

// The long switches among the arguments 1..n. Two-character arguments belong to the
// classic parser and are passed over; every other argument must be a long switch.
TSilentOptions ParseSilentSwitches(const std::vector<std::wstring>& Args);

// One environment of an unattended installation.
struct TIdeChoice {
    int Row = 0;             // catalogue row
    bool FilesOnly = false;  // the library's files without compiling or registering
};

// Everything an unattended run needs, decided before anything is written: the plan
// the engine runs (Install) and the environments it names, and the selection list
// the switches check entries of, as a user would on the selection page.
struct TSilentPlan {
    std::vector<TIdeChoice> Ides;
    TInstallPlan Install;
    TSelectionList Selection = NewSelectionList();
    TDetectedIdes Detected;  // what detection found and the preselection chose
};

// Resolves the switches against the detected environments and the previous
// installation, as the pages would: checks the selection entries, builds the masks
// and the directory into Plan.Install, which holds the copy-only switch already.
// Returns seSuccess, or the status to end with and in Message why.
int PlanSilentRun(const TSilentOptions& Options, TSilentPlan& Plan, std::wstring& Message);

// The part of PlanSilentRun after detection and preselection: the switches applied
// to the catalogue as it stands, with the previous installation's directory.
int ApplySilentChoice(const TSilentOptions& Options, const std::wstring& PreviousDir, TSilentPlan& Plan,
                      std::wstring& Message);

// Prints a line where the caller can see it: the inherited standard output, or the
// console of the parent process; nowhere when there is neither.
void PrintToCaller(const std::wstring& Line);

// The whole unattended installation for the parsed switches, starting from Plan (the
// copy-only switch); returns the exit status.
// RecoveryNote: what the rollback of an interrupted run at start-up said, for the
// text log of this run.
int RunSilent(const TSilentOptions& Options, const TInstallPlan& Plan, const std::wstring& RecoveryNote = L"");
