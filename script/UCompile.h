// Executor of the compile rows: starts the IDE's command-line compiler on a package
// project in the current directory and waits for it. Whether the package was built
// is told by the check row that follows; this row tells only whether the compiler
// could be started. Signatures and conventions: script/UExecutor.h.
#pragma once

#include <cstdint>
#include <string>

#include "script/UExecutor.h"

// itCompilePackage.
extern const TExecutorTable CompileExecutors;

// Results besides 0 and the Windows error code of a start that failed.
constexpr int32_t cpNoIde = -1;            // Code is 0: no IDE named
constexpr int32_t cpIdeOutOfTable = -2;    // the lowest bit of Code lies past the last catalogue row
constexpr int32_t cpNoDelphiCompiler = -3; // bin\dcc32.exe or bin\dcc64.exe is not there
constexpr int32_t cpNoMake = -4;           // bin\make.exe is not there

int32_t ExecCompilePackage(const TScriptItem& Item, std::wstring& LogText);

// How long a compile row waits for its compiler. The environment variable
// CVL_COMPILE_TIMEOUT_MS (a number of milliseconds) can shorten it for tests of a
// compiler that hangs; nothing makes it longer than the default.
constexpr uint32_t DefaultCompileTimeoutMs = 45000;
uint32_t CompileTimeoutMs();
// Sets the wait for this process (tests); 0 goes back to the default rule above.
void SetCompileTimeoutMs(uint32_t Ms);

