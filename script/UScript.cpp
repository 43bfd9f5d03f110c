#include "script/UScript.h"

#include <windows.h>

#include "catalogue/UIdeSettings.h"
#include "catalogue/UIdeState.h"
#include "catalogue/UInstallRecord.h"
#include "catalogue/UProducts.h"
#include "script/UCompile.h"
#include "script/UExecutor.h"
#include "script/UFileOps.h"
#include "script/URegister.h"
#include "script/UUndoRecord.h"
#include "support/UCapture.h"
#include "support/UConst.h"
#include "support/UDirTree.h"
#include "support/UJournal.h"
#include "support/UPaths.h"
#include "support/UProduct.h"
#include "support/UText.h"
#include "support/UWholeFile.h"
#include "uninstall/UBinLog.h"
#include "uninstall/UDeinstall.h"
#include "uninstall/URollback.h"

namespace {

const TExecutorTable* const ExecutorTables[] = {&FileExecutors, &CompileExecutors, &RegisterExecutors};

TExecutor ExecutorOf(uint32_t type) {
    for (const TExecutorTable* table : ExecutorTables)
        if (TExecutor executor = FindExecutor(*table, type)) return executor;
    return nullptr;
}

bool IsFileOrControlRow(uint32_t typeId) { return (typeId & (itFileClass | itControlClass)) != 0; }

}  // namespace

// An IDE that gets the library's files only keeps its settings untouched.
bool TScript::PassesOverForFilesOnly(const TScriptItem& Item) const {
    return WritesIdeSettings(ItemType(Item)) && IdeIsFilesOnly(FRun.Ide.Row, FPlan.FilesOnlyVersions);
}

TScript::~TScript() { Stop(); }

void TScript::ItemText(std::wstring& Text) const {
    if (Current < 0 || Current >= Count()) return;
    switch (ItemType(FItems[Current])) {
        case itCompilePackage: Text = L"Compiling package"; break;
        case itCreateDir: Text = L"Creating directory"; break;
        case itCopyResource: Text = L"Copying file"; break;
        default: break;
    }
}

// ---------------------------------------------------------------- start and stop

int32_t TScript::Start() {
    ResumeCapturedRuns();
    TRollbackObserver quiet;
    FRecoveryNote = RecoveryMessage(RollBackJournal(quiet));
    if (!JournalBegin()) {
        RequestStop(L"the rollback journal " + JournalFile() + L" could not be created");
        return -1;
    }
    UninstallPrevious();
    // Whoever chose the IDEs, a never-started one is not registered into.
    FPlan.FilesOnlyVersions |= NeverStartedVersions(FPlan.Versions);
    if (FLogEnable) OpenTextLog();
    // A run that cannot record what it does must not go on doing it.
    if (BinLogOpen(FBinLogHandle, FPlan.Dir) < 0)
        StopForUninstallLog(GetLastError());
    else
        JournalNoteRunLog(PathJoin(FPlan.Dir, UninstallLogFileName));
    Current = 0;
    return 0;
}

void TScript::RequestStop(const std::wstring& Reason) {
    {
        std::lock_guard<std::mutex> lock(FStopLock);
        if (FStopRequested) return;  // the first reason stays
        FStopReason = Reason;
        FStopRequested = true;
    }
    CancelCapturedRuns();  // a compiler running now ends with its job
}

bool TScript::StopRequested() const { return FStopRequested || JournalFailed(); }

std::wstring TScript::StopReason() const {
    std::lock_guard<std::mutex> lock(FStopLock);
    if (FStopRequested) return FStopReason;
    return JournalFailed() ? L"the old state of a file or registry entry could not be kept" : L"";
}

void TScript::StopForUninstallLog(uint32_t Error) {
    std::wstring reason = L"the uninstall log " + PathJoin(FPlan.Dir, UninstallLogFileName) + L" could not be written";
    const std::wstring why = SystemMessageText(Error);
    RequestStop(why.empty() ? reason : reason + L": " + why);
}

// The run made sure of the room it needs before it began: a disk that fills up
// now was filled by something else, and going on would only leave a broken
// installation. A compiler that cannot write its output is a failing row.
void TScript::StopIfDiskFull() {
    const TFailedWrite failed = LastFailedWrite();
    if (IsDiskFull(failed.Error)) RequestStop(L"the disk is full: " + failed.Path + L" could not be written");
}

int32_t TScript::Stop() {
    BinLogClose(FBinLogHandle);
    if (FLogEnable) FLogHandle.reset();
    return 0;
}

// The previous installation goes first. Its records flagged to be kept (the product
// key and the user's template settings file) stay: an update keeps the user's
// settings, and this run writes the product key anew.
int32_t TScript::UninstallPrevious() {
    std::wstring log = FindPreviousUninstallLog();
    const bool registered = !log.empty();
    // An installation stopped before it registered its uninstall entry, or a removal
    // stopped after it took the entry away, leaves its log in its folder. This run
    // truncates that log, so it is replayed now or never.
    if (!registered) log = PathJoin(FPlan.Dir, L"uninst.log");
    const TUndoLogContent previous = ReadUndoLog(log);
    TReplayObserver quiet;
    if (previous.Result == 0 && (registered || IsLeftInTarget(previous.Header, FPlan.Dir)))
        ReplayUndoLog(previous, true, quiet);
    if (registered) FLogText += LogSuccess;
    return 0;
}

// Only a log of this product that names the folder it lies in counts as left there
// by a stopped run; any other file of that name is not ours to replay.
bool TScript::IsLeftInTarget(const TUndoLogHeader& Log, const std::wstring& Target) {
    auto same = [](const std::wstring& a, const std::wstring& b) {
        return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                    TRUE) == CSTR_EQUAL;
    };
    return !Target.empty() && same(Log.UninstallKey, UninstallName) && same(Log.InstallDir, Target);
}

// ---------------------------------------------------------------- text log

std::wstring TScript::StartLine() {
    return std::wstring(L"Start installation for ") + EditionText + L" of " + ProductName + L" v" + ProductVersion;
}

std::wstring TScript::RootPathLine(const TInstallPlan& Plan) { return L"RootPath: " + Plan.Dir; }

std::wstring TScript::ProductsLine(const TInstallPlan& Plan, const TDetectedIdes& Detected) {
    std::wstring names;
    for (int row = 1; row <= ProductCount; ++row) {
        const TBorlandProduct& product = BorlandProducts[row];
        if ((product.InternalId & Plan.Versions) != 0 && Detected[static_cast<size_t>(row)].Selected)
            names += product.Name + L",";
    }
    if (!names.empty()) names.pop_back();
    return L"Borland products: " + names;
}

int32_t TScript::OpenTextLog() {
    CreateDirectoryPath(FPlan.Dir);
    std::wstring path = PathJoin(FPlan.Dir, L"install.log");
    if (!KeepFileBeforeChange(path)) return -1;
    FLogHandle.reset(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!FLogHandle) return -1;
    FLogEnable = true;
    WriteLogLine(StartLine());
    WriteLogLine(RootPathLine(FPlan));
    WriteLogLine(ProductsLine(FPlan, FDetected));
    return 0;
}

namespace {

// Writes Text whole at the end of Log and flushes it, so that a run that is killed
// or fills the disk leaves whole lines; a line that cannot be written whole is taken
// back. 0, or the Windows error code when it could not be written.
DWORD AppendWholeLine(HANDLE Log, const std::wstring& Text) {
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(Log, LARGE_INTEGER{}, &start, FILE_END)) return GetLastError();
    const DWORD size = static_cast<DWORD>(Text.size() * sizeof(wchar_t));
    DWORD written = 0;
    SetLastError(0);
    if (WriteFile(Log, Text.data(), size, &written, nullptr) && written == size) {
        FlushFileBuffers(Log);
        return 0;
    }
    const DWORD error = GetLastError() ? GetLastError() : ERROR_DISK_FULL;  // a short write is a full disk
    SetFilePointerEx(Log, start, nullptr, FILE_BEGIN);
    SetEndOfFile(Log);
    return error;
}

}  // namespace

// UTF-16LE without a byte-order mark, one write per line; a line that fails is
// tried once more (a full disk may have room again once a temporary file is gone).
// A log that misses lines tells no longer what the run did: a full disk stops it.
void TScript::WriteLogLine(const std::wstring& Line) {
    if (!FLogEnable || !FLogHandle) return;
    const std::wstring text = Line + L"\r\n";
    DWORD error = AppendWholeLine(FLogHandle.get(), text);
    if (error != 0) error = AppendWholeLine(FLogHandle.get(), text);
    if (IsDiskFull(static_cast<int>(error)))
        RequestStop(L"the disk is full: " + PathJoin(FPlan.Dir, L"install.log") + L" could not be written");
}

// ---------------------------------------------------------------- rows

// While a block is skipped, every row up to the first end row of the block's end
// type and label is passed over; that end row ends the skip.
bool TScript::SkipsRow(const TScriptItem& Item) {
    if (FSkipTypeId <= 0) return false;
    if (static_cast<int32_t>(ItemType(Item)) == FSkipTypeId && Item.Code == FSkipCode) {
        FSkipTypeId = 0;
        FSkipCode = 0;
    }
    return true;
}

int32_t TScript::BeginBlock(const TScriptItem& Item) {
    const uint32_t type = ItemType(Item);
    bool runs = false;
    switch (type) {
        case itIfVersions: runs = (Item.Code & static_cast<uint32_t>(FPlan.Versions)) != 0; break;
        case itIfItems: runs = (Item.Code & static_cast<uint32_t>(FPlan.Items)) != 0; break;
        case itIfCustomize: runs = (Item.Code & static_cast<uint32_t>(FPlan.CustomizeItems)) != 0; break;
        case itIfNotCustomize: runs = (Item.Code & static_cast<uint32_t>(FPlan.CustomizeItems)) == 0; break;
        case itIfFileExists: runs = ExecCheckFile(Item, FRun, FLogText) == 0; break;
        default: break;
    }
    if (!runs) {
        FSkipTypeId = static_cast<int32_t>(type + 1);
        FSkipCode = Item.Code;
    }
    return 0;
}

int32_t TScript::Dispatch(const TScriptItem& Item) {
    const uint32_t type = ItemType(Item);
    switch (type) {
        case itIfVersions:
        case itIfItems:
        case itIfCustomize:
        case itIfNotCustomize:
        case itIfFileExists: return BeginBlock(Item);
        case itSetIde: FRun.Ide = IdeBlock(static_cast<int32_t>(Item.Code), FieldText(Item.Name), FRun); return 0;
        case itUninstallPrevious: return UninstallPrevious();
        case itCompilePackage: return CompilePackage(Item, FRun, FLogText, FLastCompile);
        default: break;
    }
    TExecutor executor = ExecutorOf(type);
    return executor ? executor(Item, FRun, FLogText) : 0;
}

// A check row that follows a compile tells whether the package was built; when it
// was not, the compiler's own words say why. Only the row right after the compile
// gets them, and only in the same IDE block.
void TScript::FollowCompile(const TScriptItem& Item, int32_t Result) {
    const uint32_t type = ItemType(Item);
    const bool followsCompile = FLastCompileIde == FRun.Ide.Row && (FLastCompile.Ran || FLastCompileFailed);
    if (type == itCheckFile && Result != 0 && FLastCompile.Ran && FLastCompileIde == FRun.Ide.Row)
        FCompilerReport = CompileReport(FLastCompile);
    // A package file left by an earlier build is not this run's package.
    if (type == itCheckFile && followsCompile && (Result != 0 || FLastCompileFailed))
        FUnbuilt.push_back(RowPath(Item.Dir, Item.Name, FRun));
    if (type != itCompilePackage) FLastCompile = TCompileOutcome{};
    FLastCompileFailed = type == itCompilePackage && Result != 0;
    FLastCompileIde = FRun.Ide.Row;
}

// The IDE would look for a package that is not there at every start.
bool TScript::WasNotBuilt(const TScriptItem& Item) const {
    if (ItemType(Item) != itRegisterPackage) return false;
    const std::wstring package = RowPath(Item.Dir, Item.Name, FRun);
    for (const std::wstring& unbuilt : FUnbuilt)
        if (SameTextIgnoringCase(unbuilt, package)) return true;
    return false;
}

void TScript::NoteFailedIde() {
    const int32_t row = FRun.Ide.Row;
    if (row < 1 || row > ProductCount) return;
    const std::wstring& name = BorlandProducts[row].Name;
    for (const std::wstring& failed : FFailedIdes)
        if (failed == name) return;
    FFailedIdes.push_back(name);
}

int32_t TScript::ItemDoScript() {
    if (Current < 0 || Current >= Count()) return 0;
    const TScriptItem item = FItems[Current];
    FCompilerReport.clear();
    if (SkipsRow(item)) return 0;
    FLogText.clear();
    if (FPlan.CopyOnly && !IsFileOrControlRow(item.TypeId)) return 0;
    if (PassesOverForFilesOnly(item)) {
        // Not run, so nothing to undo: the row leaves its log line and no record.
        FLogText = FilesOnlyLogText(item, FRun);
        WriteLogLine(FLogText);
        return 0;
    }
    if (WasNotBuilt(item)) {
        // Not run, so nothing to undo; the failing compile or check row was reported.
        FLogText = L"Registering package: " + RowPath(item.Dir, item.Name, FRun) + L"...Skipped: the package was not built";
        WriteLogLine(FLogText);
        return 0;
    }
    const TMergeTarget mergeTarget = MergeTargetBefore(item, FRun);
    ForgetFailedWrite();
    const int32_t result = Dispatch(item);
    StopIfDiskFull();
    FollowCompile(item, result);
    if (result != 0) NoteFailedIde();
    if (FLogEnable && !FLogText.empty()) WriteLogLine(FLogText);
    TScriptItem record = item;
    std::wstring recordName;
    if (ItemType(item) == itMergeFiles ? MergedLinesRecordOf(record, mergeTarget, FRun, recordName)
                                       : UndoRecordOf(record, FLogText))
        if (const int error = BinLogAddItem(FBinLogHandle, record, FRun))
            StopForUninstallLog(static_cast<uint32_t>(error));
    return result;
}
