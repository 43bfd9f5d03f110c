#include "script/UCompile.h"

#include <windows.h>

#include <iterator>

#include "catalogue/UProducts.h"
#include "script/UFileOps.h"
#include "support/UCapture.h"
#include "support/UJournal.h"
#include "support/UPaths.h"
#include "support/UPlatform.h"
#include "support/UProcess.h"
#include "support/UWholeFile.h"

namespace {

// The command-line tools below an IDE's root, and what follows the tool on the
// command line before the package project's name.
struct TCompileTool {
    const wchar_t* File;
    const wchar_t* Separator;
    int32_t MissingResult;
};

// clang-format off
const TCompileTool Dcc32 = {L"bin\\dcc32.exe", L" ",   cpNoDelphiCompiler};
const TCompileTool Dcc64 = {L"bin\\dcc64.exe", L" ",   cpNoDelphiCompiler};
const TCompileTool Make  = {L"bin\\make.exe",  L" /f", cpNoMake};
// clang-format on

const TCompileTool& ToolFor(const TBorlandProduct& Ide, uint32_t Options) {
    if (!Ide.IsDelphi) return Make;  // C++Builder has no 64-bit switch of its own
    return Options == coWin64 ? Dcc64 : Dcc32;
}

std::wstring ToolName(const TCompileTool& Tool) {
    std::wstring file = Tool.File;
    return file.substr(file.find(L'\\') + 1);
}

// The output as the compiler wrote it; a middle part past the head is left out
// with a note of its size. Written whole, like every file of the run. 0, or the
// Windows error code.
uint32_t WriteCompileLog(const std::wstring& Path, const TOutputKeeper& Output) {
    if (!KeepFileBeforeChange(Path)) return ERROR_WRITE_FAULT;
    std::string text = Output.Head();
    if (Output.Dropped() > 0)
        text += "\r\n\r\n[... " + std::to_string(Output.Dropped()) + " bytes of the compiler's output left out here ...]\r\n\r\n";
    text += Output.Tail();
    return static_cast<uint32_t>(WriteWholeFile(Path, text.data(), text.size()));
}

}  // namespace

std::wstring CompileLogPath(const std::wstring& Name) {
    const size_t slash = Name.find_last_of(L"\\/");
    const size_t dot = Name.find_last_of(L'.');
    const bool hasExtension = dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash);
    return PathJoin(GetCurrentDir(), (hasExtension ? Name.substr(0, dot) : Name) + L".log");
}

int32_t CompilePackage(const TScriptItem& Item, const TRunContext& Run, std::wstring& LogText, TCompileOutcome& Outcome) {
    Outcome = TCompileOutcome{};
    if (Item.Code == 0) return cpNoIde;
    const int row = ProductRowByLowestBit(static_cast<int32_t>(Item.Code));
    const TBorlandProduct* ide = ProductRow(row);
    if (!ide) return cpIdeOutOfTable;
    const std::wstring root = IdeRootOf(row, Run);

    const std::wstring name = FieldText(Item.Name);
    const TCompileTool& tool = ToolFor(*ide, Item.Options);
    // A root that detection left empty or relative would make the tool's path point
    // into whatever the current drive or folder holds.
    const std::wstring toolPath = IsFullPath(root) ? PathJoin(root, tool.File) : L"";
    if (toolPath.empty() || !FileExists(toolPath)) {
        LogText = L"Compiling package, cannot find " + ToolName(tool) + L": " + name + LogFail;
        return tool.MissingResult;
    }
    // The tool's path is quoted when it holds a blank: unquoted, "C:\Program Files
    // (x86)\..." would first start C:\Program.exe. The project's name goes as it is.
    TOutputKeeper output(CompileLogHeadBytes, CompileLogTailBytes);
    TCapturedRun run;
    const uint32_t timeoutMs = CompileTimeoutMs();
    const int32_t result = RunCaptured(QuoteIfBlank(toolPath) + tool.Separator + name, timeoutMs, output, run);
    if (result != 0) return result;

    Outcome.Ran = true;
    Outcome.TimedOut = run.TimedOut;
    Outcome.ExitCode = run.ExitCode;
    Outcome.TimeoutMs = timeoutMs;
    Outcome.LogPath = CompileLogPath(name);
    Outcome.LogError = WriteCompileLog(Outcome.LogPath, output);
    Outcome.OutputBytes = output.Total();
    Outcome.LastOutput = output.Last(CompileReportBytes);
    LogText = L"Compiling package: " + name + LogSuccess + L"\r\n" + CompileOutcomeLine(Outcome);
    return 0;
}

int32_t ExecCompilePackage(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText) {
    TCompileOutcome outcome;
    return CompilePackage(Item, Run, LogText, outcome);
}

namespace {

// clang-format off
const TExecutorEntry CompileExecutorRows[] = {
    // Type               Executor
    {itCompilePackage,    ExecCompilePackage},
};
// clang-format on

}  // namespace

const TExecutorTable CompileExecutors = {CompileExecutorRows, std::size(CompileExecutorRows)};
