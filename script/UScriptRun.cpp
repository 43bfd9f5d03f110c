#include "script/UScriptRun.h"

#include <cwchar>
#include <vector>

#include "script/UScript.h"
#include "support/UCapture.h"
#include "support/UJournal.h"

// The whole text, however long the row's log text is.
std::wstring RowErrorText(int32_t Row, int32_t Error, uint32_t TypeId, const std::wstring& LogText) {
    const wchar_t* format = L"Error in ScriptItem=%d, ErrorCode=%xh ScriptItemId=%x with text\r\n";
    int length = _scwprintf(format, Row, static_cast<unsigned>(Error), TypeId);
    std::vector<wchar_t> head(static_cast<size_t>(length > 0 ? length : 0) + 1);
    swprintf(head.data(), head.size(), format, Row, static_cast<unsigned>(Error), TypeId);
    return head.data() + LogText;
}

int32_t RunScriptRows(TScript& Script, TScriptRunObserver& Observer) {
    int32_t failures = 0;
    std::wstring status;
    while (Script.Current < Script.Count() && !Script.StopRequested()) {
        Script.ItemText(status);
        Observer.RowStarting(status);
        const int32_t error = Script.ItemDoScript();
        if (error != 0 && !Script.StopRequested()) {
            ++failures;
            // The error's own text stays as it is; what a compiler printed goes below it.
            std::wstring text =
                RowErrorText(Script.Current, error, Script.ItemTypeId(), Script.LogString()) + Script.CompilerReport();
            // Whoever closes the error box or was not there to see it finds it in the log.
            Script.LogLine(text);
            Observer.RowFailed(text);
        }
        Observer.RowDone(Script.ItemProgressStep());
        Script.Current += 1;
    }
    return failures;
}

TRollbackResult RollBackRun(TScript& Script, TRollbackObserver& Observer) {
    Script.LogLine(L"Installation stopped (" + Script.StopReason() + L")");
    Script.Stop();
    JournalClose();
    TRollbackResult result = RollBackJournal(Observer);
    ResumeCapturedRuns();
    return result;
}

void CommitRun() { JournalCommit(); }
