// One run of the whole install script, row by row, as the progress page and the
// unattended installation both make it: every row runs, a failing row is reported
// and written to the text log, and the run goes on.
#pragma once

#include <cstdint>
#include <string>

class TScript;

// What the caller does around each row: the progress page shows the status and the
// error box and lets input through; the unattended installation prints the errors.
class TScriptRunObserver {
public:
    virtual ~TScriptRunObserver() = default;
    virtual void RowStarting(const std::wstring& /*Status*/) {}
    virtual void RowFailed(const std::wstring& /*ErrorText*/) {}
    virtual void RowDone(int32_t /*ProgressStep*/) {}
    // The run ended before its last row, for Reason (words for the user).
    virtual void RunStopped(const std::wstring& /*Reason*/) {}
};

// The text that tells the user why a run was stopped.
std::wstring StoppedRunText(const std::wstring& Reason);

// The text that reports a failing row, as the progress page's error box shows it.
std::wstring RowErrorText(int32_t Row, int32_t Error, uint32_t TypeId, const std::wstring& LogText);

// What a failing row's result means, in a few words without a final stop: the
// system's text for a Windows error code, a phrase for the codes of our own (which
// mean different things for different row types); empty when there is none.
std::wstring ResultMeaning(uint32_t TypeId, int32_t Error);

// Runs the rows from Current to the end of a started script, or until the script
// asks to stop (then the stop counts as one failure, is logged and told to the
// observer, and the run is rolled back); returns the number of rows that failed.
int32_t RunScriptRows(TScript& Script, TScriptRunObserver& Observer);
