#include "uninstall/URollback.h"

#include <set>

#include "support/UJournal.h"
#include "support/UProduct.h"
#include "uninstall/UDeinstall.h"

namespace {

bool IsStateRecord(TJournalKind kind) {
    return kind != TJournalKind::RunLog && kind != TJournalKind::LogReplayed && kind != TJournalKind::Done;
}

// The run's uninstall log undoes what the run made outside this program's sight (a
// help registration by its batch file); the journal then puts back the exact state.
void ReplayRunLog(const std::wstring& Path) {
    const TUndoLogContent log = ReadUndoLog(Path);
    TReplayObserver quiet;
    if (log.Result == 0) ReplayUndoLog(log, true, quiet);
}

TJournalRecord Mark(TJournalKind kind, uint32_t index = 0) {
    TJournalRecord record;
    record.Kind = kind;
    record.Index = index;
    return record;
}

}  // namespace

TRollbackResult RollBackJournal(TRollbackObserver& Observer) {
    JournalClose();
    const std::wstring file = JournalFile();
    if (!JournalLeftOver()) {
        DeleteJournal();  // the copies of a commit that was cut short
        return TRollbackResult::NothingToDo;
    }
    TJournalContents journal = ReadJournal(file);
    if (!journal.Readable) return TRollbackResult::Unreadable;
    if (journal.Damaged) TruncateJournal(file, journal.WholeLength);

    std::set<uint32_t> done;
    bool replayed = false;
    std::wstring runLog;
    for (const TJournalRecord& record : journal.Records) {
        if (record.Kind == TJournalKind::Done) done.insert(record.Index);
        if (record.Kind == TJournalKind::LogReplayed) replayed = true;
        if (record.Kind == TJournalKind::RunLog) runLog = record.Path;
    }
    int32_t left = 1;
    for (size_t i = 0; i < journal.Records.size(); ++i)
        if (IsStateRecord(journal.Records[i].Kind) && done.count(static_cast<uint32_t>(i)) == 0) ++left;
    Observer.RollbackStarting(left);

    if (!runLog.empty() && !replayed) {
        ReplayRunLog(runLog);
        AppendJournalRecord(file, Mark(TJournalKind::LogReplayed));
    }
    Observer.RollbackStep(--left);
    const std::wstring folder = JournalFolder();
    for (size_t i = journal.Records.size(); i-- > 0;) {
        const TJournalRecord& record = journal.Records[i];
        if (!IsStateRecord(record.Kind) || done.count(static_cast<uint32_t>(i)) != 0) continue;
        RestoreJournalRecord(record, folder);
        AppendJournalRecord(file, Mark(TJournalKind::Done, static_cast<uint32_t>(i)));
        Observer.RollbackStep(--left);
    }
    DeleteJournal();
    return journal.Damaged ? TRollbackResult::Damaged : TRollbackResult::RolledBack;
}

std::wstring RecoveryMessage(TRollbackResult Result) {
    const std::wstring name = std::wstring(ProductName) + L" v" + ProductVersion;
    switch (Result) {
        case TRollbackResult::RolledBack:
            return L"An installation of " + name +
                   L" was interrupted before it was complete. The computer has been put back as it was before "
                   L"that installation.";
        case TRollbackResult::Damaged:
            return L"An installation of " + name +
                   L" was interrupted before it was complete, and the end of its rollback journal is damaged. "
                   L"Everything the journal still records has been put back.";
        case TRollbackResult::Unreadable:
            return L"An installation of " + name + L" was interrupted, but its rollback journal " + JournalFile() +
                   L" cannot be read. Nothing has been changed.";
        default: return L"";
    }
}
