#include "support/UCapture.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "support/UProcess.h"
#include "support/WinHandles.h"

using brd::UniqueFile;
using brd::UniqueKernel;

// ---------------------------------------------------------------- output keeper

void TOutputKeeper::Append(const char* Data, size_t Size) {
    FTotal += Size;
    const size_t toHead = std::min(Size, FHeadBytes - FHead.size());
    FHead.append(Data, toHead);
    Data += toHead;
    Size -= toHead;
    if (Size == 0 || FTailBytes == 0) return;
    if (Size >= FTailBytes) {
        FTail.assign(Data + Size - FTailBytes, FTailBytes);
        return;
    }
    FTail.append(Data, Size);
    // Cutting the front only now and then keeps appending cheap.
    if (FTail.size() > 2 * FTailBytes) FTail.erase(0, FTail.size() - FTailBytes);
}

std::string TOutputKeeper::Tail() const {
    return FTail.size() > FTailBytes ? FTail.substr(FTail.size() - FTailBytes) : FTail;
}

uint64_t TOutputKeeper::Dropped() const {
    const size_t tail = std::min(FTail.size(), FTailBytes);
    return FTotal - FHead.size() - tail;
}

std::string TOutputKeeper::Last(size_t Bytes) const {
    // Head and tail are one piece of output only when nothing between them was dropped.
    std::string kept = Dropped() == 0 ? FHead + Tail() : Tail();
    return kept.size() > Bytes ? kept.substr(kept.size() - Bytes) : kept;
}

// ---------------------------------------------------------------- running

namespace {

constexpr DWORD PollMs = 10;
// How long ended processes get to go away, and how long the pipe is read after
// everything has ended (a process outside the job may still hold it open).
constexpr DWORD EndWaitMs = 5000;
constexpr DWORD DrainMs = 500;
// One read pass takes at most this much, so that a tool that prints without a
// pause still lets the caller look at the clock.
constexpr size_t ReadPassBytes = 1 << 20;

// Reads what the pipe holds now, without blocking. False once the pipe is broken:
// every process that could write to it has closed it.
bool ReadAvailable(HANDLE Pipe, TOutputKeeper& Output, bool& GotAny) {
    std::vector<char> buffer(size_t{64} * 1024);
    for (size_t pass = 0; pass < ReadPassBytes;) {
        DWORD available = 0;
        if (!PeekNamedPipe(Pipe, nullptr, 0, nullptr, &available, nullptr)) return false;
        if (available == 0) return true;
        DWORD got = 0;
        const DWORD want = std::min<DWORD>(available, static_cast<DWORD>(buffer.size()));
        if (!ReadFile(Pipe, buffer.data(), want, &got, nullptr)) return false;
        Output.Append(buffer.data(), got);
        GotAny = GotAny || got > 0;
        pass += got;
    }
    return true;
}

// A job that ends its processes when its last handle closes, so that even a setup
// that is itself ended leaves no compiler behind. Without job support (a system
// that does not nest jobs, and the setup already runs in one) the tool runs alone.
std::atomic<bool> CaptureCancelled{false};

UniqueKernel JobFor(HANDLE Process) {
    UniqueKernel job(CreateJobObjectW(nullptr, nullptr));
    if (!job) return job;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof(limits)) ||
        !AssignProcessToJobObject(job.get(), Process))
        job.reset();
    return job;
}

bool JobIsEmpty(HANDLE Job) {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
    if (!QueryInformationJobObject(Job, JobObjectBasicAccountingInformation, &info, sizeof(info), nullptr))
        return true;  // nothing to wait for that could be seen
    return info.ActiveProcesses == 0;
}

// Ends what still runs: the whole job, or the tool alone when it has no job, and
// waits until it is gone, so that no file of the tool's folder is still in use.
void EndAll(HANDLE Job, HANDLE Process, bool TimedOut) {
    if (Job)
        TerminateJobObject(Job, CaptureTimeoutExitCode);
    else if (TimedOut)
        TerminateProcess(Process, CaptureTimeoutExitCode);
    WaitForSingleObject(Process, EndWaitMs);
    for (DWORD waited = 0; Job && waited < EndWaitMs && !JobIsEmpty(Job); waited += PollMs) Sleep(PollMs);
}

void Drain(HANDLE Pipe, TOutputKeeper& Output) {
    const ULONGLONG started = GetTickCount64();
    for (;;) {
        bool got = false;
        if (!ReadAvailable(Pipe, Output, got)) return;
        if (GetTickCount64() - started >= DrainMs) return;
        if (!got) Sleep(PollMs);
    }
}

// The attribute list that limits what a child inherits; get() is nullptr when the
// system cannot make it, and the child then inherits every inheritable handle.
class TInheritList {
public:
    TInheritList(HANDLE* Handles, size_t Count) {
        SIZE_T size = 0;
        InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        FBuffer.resize(size);
        auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(FBuffer.data());
        if (size == 0 || !InitializeProcThreadAttributeList(list, 1, 0, &size)) return;
        FList = list;
        if (!UpdateProcThreadAttribute(FList, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, Handles, Count * sizeof(HANDLE),
                                       nullptr, nullptr)) {
            DeleteProcThreadAttributeList(FList);
            FList = nullptr;
        }
    }
    ~TInheritList() {
        if (FList) DeleteProcThreadAttributeList(FList);
    }
    TInheritList(const TInheritList&) = delete;
    TInheritList& operator=(const TInheritList&) = delete;
    LPPROC_THREAD_ATTRIBUTE_LIST get() const { return FList; }

private:
    std::vector<char> FBuffer;
    LPPROC_THREAD_ATTRIBUTE_LIST FList = nullptr;
};

bool TimeIsUp(ULONGLONG Started, uint32_t TimeoutMs) {
    return TimeoutMs != INFINITE && GetTickCount64() - Started >= TimeoutMs;
}

}  // namespace

void CancelCapturedRuns() { CaptureCancelled = true; }

void ResumeCapturedRuns() { CaptureCancelled = false; }

int RunCaptured(const std::wstring& Command, uint32_t TimeoutMs, TOutputKeeper& Output, TCapturedRun& Run) {
    Run = TCapturedRun{};
    // Only the pipe's writing end and the input are inheritable: nothing else this
    // process has open is created so.
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    UniqueKernel readEnd, writeEnd;
    if (!CreatePipe(readEnd.put(), writeEnd.put(), &inheritable, 0)) return static_cast<int>(GetLastError());
    SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
    // A tool that asks for input gets the end of its input at once instead of waiting.
    UniqueFile input(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                 OPEN_EXISTING, 0, nullptr));

    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof(startup);
    startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.StartupInfo.wShowWindow = SW_HIDE;
    startup.StartupInfo.hStdInput = input ? input.get() : nullptr;
    startup.StartupInfo.hStdOutput = writeEnd.get();
    startup.StartupInfo.hStdError = writeEnd.get();
    // The tool inherits these two handles and no other, whatever else this process
    // holds as inheritable (its own standard handles, for one).
    HANDLE inherited[] = {writeEnd.get(), input ? input.get() : writeEnd.get()};
    TInheritList inheritList(inherited, input ? 2 : 1);
    startup.lpAttributeList = inheritList.get();
    const DWORD extended = inheritList.get() ? EXTENDED_STARTUPINFO_PRESENT : 0;
    PROCESS_INFORMATION started{};
    // Suspended until it is in its job, so that nothing it starts escapes the job.
    if (const DWORD error = StartProcess(nullptr, Command, true, CREATE_NO_WINDOW | CREATE_SUSPENDED | extended,
                                         nullptr, startup.StartupInfo, started))
        return static_cast<int>(error);
    UniqueKernel process(started.hProcess);
    UniqueKernel thread(started.hThread);
    // The pipe breaks when the last writer is gone only if this end is closed here.
    writeEnd.reset();
    input.reset();
    UniqueKernel job = JobFor(process.get());
    ResumeThread(thread.get());

    const ULONGLONG startTime = GetTickCount64();
    bool pipeOpen = true;
    for (;;) {
        bool got = false;
        if (pipeOpen) pipeOpen = ReadAvailable(readEnd.get(), Output, got);
        if (WaitForSingleObject(process.get(), got ? 0 : PollMs) == WAIT_OBJECT_0) break;
        if (TimeIsUp(startTime, TimeoutMs) || CaptureCancelled) {
            Run.TimedOut = true;
            break;
        }
    }
    EndAll(job.get(), process.get(), Run.TimedOut);
    if (pipeOpen) Drain(readEnd.get(), Output);
    DWORD exitCode = 0;
    Run.ExitCode = GetExitCodeProcess(process.get(), &exitCode) ? exitCode : CaptureTimeoutExitCode;
    return 0;
}
