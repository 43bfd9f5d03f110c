// Executor of the compile rows: starts the IDE's command-line compiler on a package
// project in the current directory and waits for it. Whether the package was built
// is told by the check row that follows; this row tells whether the compiler could
// be started and how it ended, and keeps its output in a log beside the project.
// Signatures and conventions: script/UExecutor.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "script/UExecutor.h"

// itCompilePackage.
extern const TExecutorTable CompileExecutors;

// Results besides 0 and the Windows error code of a start that failed.
// clang-format off
constexpr int32_t cpNoIde = -1;            // Code is 0: no IDE named
constexpr int32_t cpIdeOutOfTable = -2;    // the lowest bit of Code lies past the last catalogue row
constexpr int32_t cpNoDelphiCompiler = -3; // bin\dcc32.exe or bin\dcc64.exe is not there
constexpr int32_t cpNoMake = -4;           // bin\make.exe is not there
// clang-format on

struct TCompileOutcome;

// Runs the compiler of the row's IDE on the row's project; Outcome says what the
// compiler did (nothing ran when the result is not 0).
int32_t CompilePackage(const TScriptItem& Item, const TRunContext& Run, std::wstring& LogText, TCompileOutcome& Outcome);
// The same as a row executor, for callers that do not need the outcome.
int32_t ExecCompilePackage(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText);

// How long a compile row waits for its compiler: 45000 ms. The definition lives in
// a file of its own (UCompileTimeout.cpp) so that test programs can link a shorter
// one in its place; nothing the setup program reads at run time changes it.
constexpr uint32_t DefaultCompileTimeoutMs = 45000;
uint32_t CompileTimeoutMs();

// What the compiler of the last compile row did, for the report of a check row
// that finds its package missing.
struct TCompileOutcome {
    // clang-format off
    bool Ran = false;           // the compiler was started
    bool TimedOut = false;      // and ended after the wait ran out
    uint32_t ExitCode = 0;
    uint32_t TimeoutMs = 0;     // the wait it had
    std::wstring LogPath;       // <project name without extension>.log beside the project
    uint32_t LogError = 0;      // 0: the log was written; else the Windows error code
    uint64_t OutputBytes = 0;   // how much the compiler printed
    std::string LastOutput;     // the end of what it printed, in its own bytes
    // clang-format on
};

// The output log keeps the first and the last part of a compiler's output and a
// note of how much lies between.
constexpr size_t CompileLogHeadBytes = 2 * 1024 * 1024;
constexpr size_t CompileLogTailBytes = 1024 * 1024;
// The end of the output a report can show.
constexpr size_t CompileReportBytes = 8 * 1024;

// The log of project Name (relative to the current directory, as the compiler
// takes it): Name without its extension, + ".log".
std::wstring CompileLogPath(const std::wstring& Name);

// The second line of a compile row's log text: the exit code or the time-out, and
// where the output is.
std::wstring CompileOutcomeLine(const TCompileOutcome& Outcome);

// What an error report adds below a check row that finds no package after a
// compile: the last lines of the compiler's output and the log's path, starting
// with a blank line.
std::wstring CompileReport(const TCompileOutcome& Outcome);
