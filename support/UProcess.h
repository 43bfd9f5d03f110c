// Child processes and this process's own command line.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Starts a process as CreateProcessW does, with Command as its command line. A start
// that fails is tried again after a short pause, a few times: the reason may pass (a
// virus scanner or indexer holding the program file for a moment, memory or system
// resources short, a new process that ended while it was being set up).
// 0, or the Windows error code of the last try.
DWORD StartProcess(const wchar_t* Application, const std::wstring& Command, bool InheritHandles, DWORD Flags,
                   const wchar_t* Directory, STARTUPINFOW& Startup, PROCESS_INFORMATION& Started);

int RunAndWait(const std::wstring& CommandLine, const std::wstring& Parameters);
// Starts Command hidden, without a console window, in the current directory and with
// the caller's environment, and waits for it at most TimeoutMs (INFINITE: no limit).
// 0 when the process started, else the Windows error code of the start. A process
// still running after the wait is left to finish on its own.
int StartHiddenAndWait(const std::wstring& Command, uint32_t TimeoutMs);

// The arguments this process was started with, without its own name.
std::vector<std::wstring> CommandLineArguments();
