#include "script/UScriptRun.h"

#include <cwchar>
#include <vector>

#include "catalogue/UInstallRecord.h"
#include "script/UCompile.h"
#include "script/UFileOps.h"
#include "script/URegister.h"
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

namespace {

struct TOwnCode {
    uint32_t Type;
    int32_t Error;
    const wchar_t* Meaning;
};
// clang-format off
const TOwnCode OwnCodes[] = {
    // Type                Error                  Meaning
    {itCompilePackage,     cpNoIde,               L"the row names no IDE"},
    {itCompilePackage,     cpIdeOutOfTable,       L"the row names an IDE that is not in the catalogue"},
    {itCompilePackage,     cpNoDelphiCompiler,    L"the IDE's compiler (bin\\dcc32.exe or bin\\dcc64.exe) is not there"},
    {itCompilePackage,     cpNoMake,              L"the IDE's bin\\make.exe is not there"},
    {itModifyFile,         mfOpenFailed,          L"the file is not there or is in use"},
    {itModifyFile,         mfSizeFailed,          L"the file's size is unknown or too large"},
    {itModifyFile,         mfReadFailed,          L"the file could not be read to its end"},
    {itReplaceText,        mfOpenFailed,          L"the file is not there or is in use"},
    {itReplaceText,        mfSizeFailed,          L"the file's size is unknown or too large"},
    {itReplaceText,        mfReadFailed,          L"the file could not be read to its end"},
    {itRegisterPackage,    rpKnownPackageFailed,  L"the Known Packages value could not be written"},
    {itRegisterPackage,    rpSearchPathUnread,    L"the search path value is missing or is not a string"},
    {itRegisterPackage,    rpSearchPathFailed,    L"the search path value could not be written"},
    {itRegisterPackage,    rpForceUpdateFailed,   L"the ForceEnvOptionsUpdate value could not be written"},
    {itAddSearchPath,      rpSearchPathUnread,    L"the search path value is missing or is not a string"},
    {itAddSearchPath,      rpSearchPathFailed,    L"the search path value could not be written"},
    {itAddIdePath,         rpSearchPathUnread,    L"the search path value is missing or is not a string"},
    {itAddIdePath,         rpSearchPathFailed,    L"the search path value could not be written"},
    {itRegisterWinHelp,    rwHelpFailed,          L"the help file's value could not be written"},
    {itRegisterUninstall,  ueCreateKeyFailed,     L"the uninstall key could not be created"},
    {itRegisterUninstall,  ueDisplayNameFailed,   L"its DisplayName could not be written"},
    {itRegisterUninstall,  ueUninstallStringFailed, L"its UninstallString could not be written"},
};
// clang-format on

// The row's text, then what its result means on a line of its own (unless the text
// already ends with it).
std::wstring WithMeaning(const std::wstring& Text, const std::wstring& Meaning) {
    if (Meaning.empty() || (Text.size() >= Meaning.size() &&
                            Text.compare(Text.size() - Meaning.size(), Meaning.size(), Meaning) == 0))
        return Text;
    const bool lineEnded = Text.size() >= 2 && Text.compare(Text.size() - 2, 2, L"\r\n") == 0;
    return Text + (lineEnded ? L"" : L"\r\n") + Meaning + L".";
}

}  // namespace

std::wstring ResultMeaning(uint32_t TypeId, int32_t Error) {
    const uint32_t type = TypeId & itTypeMask;
    for (const TOwnCode& own : OwnCodes)
        if (own.Type == type && own.Error == Error) return own.Meaning;
    if (Error <= 0 || type == itCheckFile) return L"";
    return SystemMessageText(static_cast<uint32_t>(Error));
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
            std::wstring text = WithMeaning(RowErrorText(Script.Current, error, Script.ItemTypeId(), Script.LogString()),
                                            ResultMeaning(Script.ItemTypeId(), error)) +
                                Script.CompilerReport();
            // Whoever closes the error box or was not there to see it finds it in the log.
            Script.LogLine(text);
            Observer.RowFailed(text);
        }
        Observer.RowDone(Script.ItemProgressStep());
        Script.Current += 1;
    }
    // The uninstall entry was registered early in the run; the size it shows is the
    // whole installation's only now.
    RecordInstalledSize(Script.Plan().Dir);
    return failures;
}

TRollbackResult RollBackRun(TScript& Script, TRollbackObserver& Observer, const std::function<void()>& LogClosed) {
    Script.LogLine(L"Installation stopped (" + Script.StopReason() + L")");
    Script.Stop();
    if (LogClosed) LogClosed();
    JournalClose();
    TRollbackResult result = RollBackJournal(Observer);
    ResumeCapturedRuns();
    return result;
}

void CommitRun() { JournalCommit(); }
