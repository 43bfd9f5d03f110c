// Runs a command-line tool hidden and keeps what it prints: standard output and
// standard error through one pipe, read while the tool runs so that a full pipe
// never blocks it. The tool and every process it starts live in one job object, so
// a tool that outlives its time is ended with everything it started, and nothing
// is left running when the call returns.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// What a tool printed, in the bytes it wrote: the first HeadBytes and the last
// TailBytes. What lies between is counted, not kept, so a tool that prints without
// end costs a bounded amount of memory.
class TOutputKeeper {
public:
    TOutputKeeper(size_t HeadBytes, size_t TailBytes) : FHeadBytes(HeadBytes), FTailBytes(TailBytes) {}

    void Append(const char* Data, size_t Size);

    const std::string& Head() const { return FHead; }
    // The kept bytes after the head (at most TailBytes).
    std::string Tail() const;
    // The last Bytes bytes of what was kept.
    std::string Last(size_t Bytes) const;
    uint64_t Total() const { return FTotal; }
    // Bytes between the head and the tail that were not kept.
    uint64_t Dropped() const;

private:
    size_t FHeadBytes;
    size_t FTailBytes;
    std::string FHead;
    std::string FTail;  // grows to twice TailBytes before its front is cut
    uint64_t FTotal = 0;
};

struct TCapturedRun {
    bool TimedOut = false;  // ended by this call after the wait ran out
    uint32_t ExitCode = 0;  // the tool's exit code, or the code it was ended with
};

// The exit code a tool gets when it is ended after the time-out.
constexpr uint32_t CaptureTimeoutExitCode = 0x000005B4;  // ERROR_TIMEOUT

// Starts Command (no window, the caller's environment and current directory, input
// from the NUL device), keeps its output in Output and waits at most TimeoutMs
// (INFINITE: no limit). A tool still running then is ended together with every
// process it started; processes it left running after its own end are ended too.
// 0 when the tool was started, else the Windows error code of the start.
int RunCaptured(const std::wstring& Command, uint32_t TimeoutMs, TOutputKeeper& Output, TCapturedRun& Run);

// Ends the tool that RunCaptured waits for now, with its job, as a time-out would,
// and every tool started until ResumeCapturedRuns (the user cancelled the run).
// Callable from any thread.
void CancelCapturedRuns();
void ResumeCapturedRuns();
