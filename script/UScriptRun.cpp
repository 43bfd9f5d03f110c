#include "script/UScriptRun.h"

#include <cwchar>
#include <vector>

#include "script/UScript.h"

// The whole text, however long the row's log text is.
std::wstring RowErrorText(int32_t Row, int32_t Error, uint32_t TypeId, const std::wstring& LogText) {
    const wchar_t* format = L"Error in ScriptItem=%d, ErrorCode=%xh ScriptItemId=%x with text\r\n";
    int length = _scwprintf(format, Row, static_cast<unsigned>(Error), TypeId);
    std::vector<wchar_t> head(static_cast<size_t>(length > 0 ? length : 0) + 1);
    swprintf(head.data(), head.size(), format, Row, static_cast<unsigned>(Error), TypeId);
    return head.data() + LogText;
}

std::wstring StoppedRunText(const std::wstring& Reason) {
    return L"The installation was stopped: " + Reason + L".";
}

namespace {

// The one place where a stopped run is put back: what it removed or changed is
// restored from what was kept before each change, what it added is removed.
void RollBackStoppedRun(TScript& Script) { Script.Stop(); }

}  // namespace

int32_t RunScriptRows(TScript& Script, TScriptRunObserver& Observer) {
    int32_t failures = 0;
    std::wstring status;
    while (Script.Current < Script.Count() && !Script.StopRequested()) {
        Script.ItemText(status);
        Observer.RowStarting(status);
        const int32_t error = Script.ItemDoScript();
        if (error != 0) {
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
    if (Script.StopRequested()) {
        const std::wstring text = StoppedRunText(Script.StopReason());
        Script.LogLine(text);
        RollBackStoppedRun(Script);
        Observer.RunStopped(text);
        ++failures;
    }
    return failures;
}
