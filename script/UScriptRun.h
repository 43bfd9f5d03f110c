// One run of the whole install script, row by row, as the progress page and the
// unattended installation both make it: every row runs, a failing row is reported
// and written to the text log, and the run goes on.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "uninstall/URollback.h"

class TScript;

// What the caller does around each row: the progress page shows the status and the
// error box and lets input through; the unattended installation prints the errors.
class TScriptRunObserver {
public:
    virtual ~TScriptRunObserver() = default;
    virtual void RowStarting(const std::wstring& /*Status*/) {}
    virtual void RowFailed(const std::wstring& /*ErrorText*/) {}
    virtual void RowDone(int32_t /*ProgressStep*/) {}
};

// The text that reports a failing row, as the progress page's error box shows it.
std::wstring RowErrorText(int32_t Row, int32_t Error, uint32_t TypeId, const std::wstring& LogText);

// What a failing row's result means, in a few words without a final stop: the
// system's text for a Windows error code, a phrase for the codes of our own (which
// mean different things for different row types); empty when there is none.
std::wstring ResultMeaning(uint32_t TypeId, int32_t Error);

// Runs the rows from Current to the end of a started script; returns the number of
// rows that failed. A stop asked for (TScript::RequestStop) ends it at the next
// row boundary; the row that was running when it came is not reported as failing.
int32_t RunScriptRows(TScript& Script, TScriptRunObserver& Observer);

// The one way a run ends without completing, for Cancel and for every failure that
// leaves the run no way on: call TScript::RequestStop(Reason), let RunScriptRows
// return, then call RollBackRun. It writes "Installation stopped (Reason)" to the
// text log, closes both logs and puts the machine back as it was before Start
// (the previous installation included), reporting each step to Observer.
// LogClosed, when given, is called once the text log is closed and before the
// rollback takes it away (to keep a copy of it).
TRollbackResult RollBackRun(TScript& Script, TRollbackObserver& Observer,
                            const std::function<void()>& LogClosed = nullptr);

// The run is complete and its installation record written: nothing can be rolled
// back any more; the journal and its copies are deleted.
void CommitRun();
