#include "script/UCompile.h"

#include <windows.h>

#include <iterator>

#include "catalogue/UProducts.h"
#include "script/UFileOps.h"
#include "support/UPaths.h"
#include "support/UProcess.h"

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

constexpr uint32_t Win64Compiler = 1;  // Options of a compile row

uint32_t TimeoutOverrideMs = 0;

const TCompileTool& ToolFor(const TBorlandProduct& Ide, uint32_t Options) {
    if (!Ide.IsDelphi) return Make;  // C++Builder has no 64-bit switch of its own
    return Options == Win64Compiler ? Dcc64 : Dcc32;
}

std::wstring ToolName(const TCompileTool& Tool) {
    std::wstring file = Tool.File;
    return file.substr(file.find(L'\\') + 1);
}

uint32_t TimeoutFromEnvironment() {
    wchar_t text[16] = {};
    DWORD length = GetEnvironmentVariableW(L"CVL_COMPILE_TIMEOUT_MS", text, static_cast<DWORD>(std::size(text)));
    if (length == 0 || length >= std::size(text)) return DefaultCompileTimeoutMs;
    wchar_t* end = nullptr;
    unsigned long value = wcstoul(text, &end, 10);
    if (end == text || *end != L'\0') return DefaultCompileTimeoutMs;
    return value < DefaultCompileTimeoutMs ? static_cast<uint32_t>(value) : DefaultCompileTimeoutMs;
}

}  // namespace

uint32_t CompileTimeoutMs() { return TimeoutOverrideMs ? TimeoutOverrideMs : TimeoutFromEnvironment(); }

void SetCompileTimeoutMs(uint32_t Ms) { TimeoutOverrideMs = Ms < DefaultCompileTimeoutMs ? Ms : DefaultCompileTimeoutMs; }

int32_t ExecCompilePackage(const TScriptItem& Item, std::wstring& LogText) {
    if (Item.Code == 0) return cpNoIde;
    const TBorlandProduct* ide = ProductRow(ProductRowByLowestBit(static_cast<int32_t>(Item.Code)));
    if (!ide) return cpIdeOutOfTable;

    const std::wstring name = FieldText(Item.Name);
    const TCompileTool& tool = ToolFor(*ide, Item.Options);
    // A root that detection left empty or relative would make the tool's path point
    // into whatever the current drive or folder holds.
    const std::wstring toolPath = IsFullPath(ide->RootDir) ? PathJoin(ide->RootDir, tool.File) : L"";
    if (toolPath.empty() || !FileExists(toolPath)) {
        LogText = L"Compiling package, cannot find " + ToolName(tool) + L": " + name + LogFail;
        return tool.MissingResult;
    }
    // The tool's path is quoted when it holds a blank: unquoted, "C:\Program Files
    // (x86)\..." would first start C:\Program.exe. The project's name goes as it is.
    const int32_t result = StartHiddenAndWait(QuoteIfBlank(toolPath) + tool.Separator + name, CompileTimeoutMs());
    if (result != 0) return result;
    LogText = L"Compiling package: " + name + LogSuccess;
    return 0;
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
