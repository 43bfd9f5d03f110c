// The script engine: runs the install script one row per call for the progress
// page, evaluates the conditional blocks, dispatches each row to its executor, and
// keeps the two logs of the run: the text log "install.log" and the uninstall log
// "uninst.log". The caller advances Current; no row result stops the run.
//
// The engine takes the plan when it is made and keeps it; it owns the run's context
// (the install directory, the IDE block, the help folder), which the control rows
// change and the executors read.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>
#include <utility>

#include "catalogue/URunContext.h"
#include "script/UCompile.h"
#include "script/UScriptItems.h"
#include "support/WinHandles.h"

struct TUndoLogHeader;

class TScript {
public:
    // Create, for Plan on a machine where detection found Detected. The program runs
    // ScriptItems; tests hand in tables of their own.
    TScript(TInstallPlan Plan, const TDetectedIdes& Detected, const TScriptItem* Items = ScriptItems,
            int32_t Count = ScriptItemCount)
        : FPlan(std::move(Plan)), FDetected(Detected), FRun(RunContextIn(FPlan.Dir)), FItems(Items), FCount(Count) {
        FRun.Detected = &FDetected;
    }
    virtual ~TScript();  // Destroy: Stop, then gone

    TScript(const TScript&) = delete;
    TScript& operator=(const TScript&) = delete;

    int32_t Count() const { return FCount; }
    int32_t ProgressCount() const { return Count(); }
    int32_t ItemProgressStep() const { return 1; }
    // The status text of the current row; other rows leave Text as it was.
    void ItemText(std::wstring& Text) const;

    // Opens the rollback journal (after rolling back one that a stopped run left),
    // removes the previous installation, opens both logs, starts at row 0. Not 0
    // when the journal cannot be opened: then nothing has been changed and the run
    // must not go on (StopReason says why).
    int32_t Start();
    // Runs row Current: 0 for success, else the executor's result.
    int32_t ItemDoScript();
    // Closes the uninstall log, then the text log.
    int32_t Stop();

    // Asks the run to stop at the next row boundary; callable from any thread (the
    // Cancel of the wizard, a failure that leaves the run no way on). RunScriptRows
    // then returns, and the caller rolls the run back with RollBackRun.
    void RequestStop(const std::wstring& Reason);
    // A stop was asked for, or keeping the old state of something failed.
    bool StopRequested() const;
    std::wstring StopReason() const;
    // What the rollback of an interrupted run before this one said; empty when none.
    const std::wstring& RecoveryNote() const { return FRecoveryNote; }

    int32_t Current = 0;
    // The whole TypeId of row Current, flags included; 0 past the end.
    uint32_t ItemTypeId() const { return Current >= 0 && Current < FCount ? FItems[Current].TypeId : 0; }
    const std::wstring& LogString() const { return FLogText; }
    // Adds a line of the caller's own to the text log.
    void LogLine(const std::wstring& Line) { WriteLogLine(Line); }
    // For a check row that failed right after a compile of the same IDE block: what
    // the compiler printed last and where its log is, to add below the error; empty
    // for every other row.
    const std::wstring& CompilerReport() const { return FCompilerReport; }
    // The environments in whose blocks rows failed, by catalogue name, in run order.
    const std::vector<std::wstring>& FailedIdes() const { return FFailedIdes; }
    bool LogEnable() const { return FLogEnable; }
    void SetLogEnable(bool Value) { FLogEnable = Value; }

    // The plan as the run uses it: Start adds the IDEs never started to its files-only
    // environments.
    const TInstallPlan& Plan() const { return FPlan; }
    // Where the run stands: the IDE block of the row just run, its help folder.
    const TRunContext& Context() const { return FRun; }

    // The text log's three opening lines.
    static std::wstring StartLine();
    static std::wstring RootPathLine(const TInstallPlan& Plan);
    static std::wstring ProductsLine(const TInstallPlan& Plan, const TDetectedIdes& Detected);

private:
    int32_t OpenTextLog();
    void StopForUninstallLog(uint32_t Error);
    void StopIfDiskFull();
    void WriteLogLine(const std::wstring& Line);
    int32_t UninstallPrevious();
    static bool IsLeftInTarget(const TUndoLogHeader& Log, const std::wstring& Target);
    bool PassesOverForFilesOnly(const TScriptItem& Item) const;
    int32_t BeginBlock(const TScriptItem& Item);
    int32_t Dispatch(const TScriptItem& Item);
    bool SkipsRow(const TScriptItem& Item);
    void FollowCompile(const TScriptItem& Item, int32_t Result);
    bool WasNotBuilt(const TScriptItem& Item) const;
    void NoteFailedIde();

    TInstallPlan FPlan;
    const TDetectedIdes FDetected;
    TRunContext FRun;
    const TScriptItem* FItems;
    int32_t FCount;
    int32_t FSkipTypeId = 0;  // 0: no skip; else the end type that ends it
    uint32_t FSkipCode = 0;   // the label that end row must carry
    std::wstring FLogText;
    brd::UniqueFile FLogHandle;
    bool FLogEnable = true;
    brd::UniqueFile FBinLogHandle;
    TCompileOutcome FLastCompile;  // of the row just run, when it was a compile (the compile fills it)
    bool FLastCompileFailed = false;
    std::vector<std::wstring> FUnbuilt;  // packages whose compile or check failed, as their rows name them
    std::vector<std::wstring> FFailedIdes;
    int32_t FLastCompileIde = 0;
    std::wstring FCompilerReport;
    std::atomic<bool> FStopRequested{false};
    mutable std::mutex FStopLock;  // guards FStopReason
    std::wstring FStopReason;
    std::wstring FRecoveryNote;
};
