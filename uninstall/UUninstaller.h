// unbrd.exe, the uninstaller the Windows uninstall entry starts with the path of
// the uninstall log:
//
//   unbrd.exe [/S] [/P] LOGFILE
//     /S  silent: no dialog and no message boxes; what goes wrong is written to
//         standard error instead
//     /P  partial: keep the records flagged to be kept (the product key and the
//         template settings file)
//
// A program cannot delete its own file while it runs, so a copy of unbrd.exe that
// lies inside the installation it removes hands the work to a copy of itself in
// the temporary directory, which the system deletes when it exits. The original
// waits for that copy and ends with its exit code, so that whoever started the
// original (start /wait, a deployment tool) learns the outcome once the removal is
// over. Meanwhile the copy moves the original's file out of the installation
// (Windows renames a running program's file, though it does not delete it), puts
// it back when the installation stays, and deletes it after the original ended.
// The hand-over passes the switches /W:<handle> (the original's process),
// /R:<handle> (the pipe on which the copy reports its exit code) and /O:<path>
// (the original's file).
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "uninstall/UDeinstall.h"

struct TUnbrdOptions {
    std::wstring LogFile;
    bool Silent = false;
    bool Partial = false;
    HANDLE WaitFor = nullptr;   // the process that handed over, to wait for
    HANDLE ReportTo = nullptr;  // its end of the pipe that takes this run's exit code
    std::wstring Original;      // its file
    bool Valid = true;          // false: an unknown switch or a second file name
};

TUnbrdOptions ParseUnbrdArguments(const std::vector<std::wstring>& Args);

// Exit codes.
constexpr int euRemoved = 0;    // removed
constexpr int euCancelled = 1;  // the user chose not to remove
constexpr int euBadLog = 2;     // missing or damaged log: nothing removed
constexpr int euUsage = 3;      // no log named, or an unknown switch
// The log ends inside a record (its installation was stopped in the middle of a
// write): everything its whole records name has been removed; the step that
// record was written for may remain.
constexpr int euCutLog = 4;
constexpr int euIdeRunning = 5;  // silent: an IDE the installation was made for is running; nothing removed
constexpr int euAnotherRun = 6;  // another installation or removal of the library is running; nothing removed
// Something the log records could not be removed: the uninstall entry and the log
// stay, so that the removal can be run again; what is left is listed.
constexpr int euIncomplete = 7;
// Something failed that never should (memory ran out): the removal stopped where it
// was; the uninstall entry and the log stay, so that it can be run again.
constexpr int euUnexpected = 8;

// The whole program for the process's command line.
int RunUninstaller();

// The removal as the uninstaller's window shows it: the first line names the
// product, the progress controls appear, every record takes a moment so that the
// user can follow it, and Next and Cancel stay disabled until the replay ends
// (Cancel comes back then, Next does not). Dlg has the wizard frame's controls.
class TRemovalProgress : public TReplayObserver {
public:
    TRemovalProgress(HWND Dlg, std::wstring ProductText) : FDlg(Dlg), FProductText(std::move(ProductText)) {}
    void ReplayStarting(size_t BodySize) override;
    void RecordStarting(const std::wstring& ActionText) override;
    void RecordDone(size_t BytesDone) override;
    void ReplayEnded() override;

private:
    HWND FDlg;
    std::wstring FProductText;
    size_t FProgressDivisor = 1;  // keeps a long body inside the bar's 16-bit range
};
