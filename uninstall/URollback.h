// Puts the machine back from the rollback journal of a run that did not commit:
// first the run's own uninstall log is replayed (newest record first, the records
// kept on a partial removal left alone), then every journal record, newest first,
// restores what the run had removed or changed. Each step is marked done in the
// journal when it is complete, so a rollback that is itself stopped is finished by
// the next one; at the end the journal and its copies are deleted.
#pragma once

#include <cstdint>
#include <string>

class TRollbackObserver {
public:
    virtual ~TRollbackObserver() = default;
    // Steps: how many steps the rollback takes; each Step call counts one down.
    virtual void RollbackStarting(int32_t /*Steps*/) {}
    virtual void RollbackStep(int32_t /*StepsLeft*/) {}
};

enum class TRollbackResult {
    NothingToDo,  // no journal on the machine
    RolledBack,   // the machine is back as it was before the run
    Damaged,      // the journal ended in damage: what was before it has been put back
    Unreadable,   // not a journal of this program: left where it is
};

// Rolls back the journal on the machine, whatever run left it. The caller holds the
// run mutex and has closed the journal it may have had open.
TRollbackResult RollBackJournal(TRollbackObserver& Observer);

// What the user is told after the rollback of an interrupted run at start-up; empty
// for NothingToDo.
std::wstring RecoveryMessage(TRollbackResult Result);
