#include "support/UProcess.h"

#include <shellapi.h>

#include <vector>

#include "support/WinHandles.h"

using brd::UniqueKernel;

namespace {

constexpr int StartTries = 4;
constexpr DWORD StartPauseMs = 250;

}  // namespace

DWORD StartProcess(const wchar_t* Application, const std::wstring& Command, bool InheritHandles, DWORD Flags,
                   const wchar_t* Directory, STARTUPINFOW& Startup, PROCESS_INFORMATION& Started) {
    DWORD error = 0;
    for (int attempt = 1; attempt <= StartTries; ++attempt) {
        if (attempt > 1) Sleep(StartPauseMs);
        // CreateProcessW may write into the command text, so every try gets a fresh copy.
        std::vector<wchar_t> buffer(Command.begin(), Command.end());
        buffer.push_back(L'\0');
        if (CreateProcessW(Application, buffer.data(), nullptr, nullptr, InheritHandles, Flags, nullptr, Directory,
                           &Startup, &Started))
            return 0;
        error = GetLastError();
    }
    return error;
}

int RunAndWait(const std::wstring& CommandLine, const std::wstring& Parameters) {
    std::wstring command = CommandLine;
    if (!Parameters.empty()) command += L" " + Parameters;
    return StartHiddenAndWait(command, INFINITE);
}

// The child gets the default security of the caller's token: a descriptor without
// an access list would let any local user take over a process running with the
// installer's rights.
int StartHiddenAndWait(const std::wstring& Command, uint32_t TimeoutMs) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    if (const DWORD error = StartProcess(nullptr, Command, false, CREATE_NO_WINDOW, nullptr, startup, process))
        return static_cast<int>(error);
    UniqueKernel processHandle(process.hProcess);
    UniqueKernel threadHandle(process.hThread);
    WaitForSingleObject(processHandle.get(), TimeoutMs);
    return 0;
}

std::vector<std::wstring> CommandLineArguments() {
    int count = 0;
    brd::UniqueLocal argv(reinterpret_cast<HLOCAL>(CommandLineToArgvW(GetCommandLineW(), &count)));
    auto* list = static_cast<wchar_t**>(argv.get());
    std::vector<std::wstring> args;
    for (int i = 1; list && i < count; ++i) args.emplace_back(list[i]);
    return args;
}
