// The exception policy.
//
// The program signals every failure as a result and throws nothing on purpose; only
// the standard library throws, when memory runs out (std::bad_alloc) or a string or
// vector would pass its limit (std::length_error). Such an exception must never
// unwind through user32 (a window or dialog procedure) or out of a thread's start,
// and it must not end the process with the runtime's abort status, which would read
// as one of the program's own exit statuses. So there is one catch at each
// boundary: each program's entry, every window and dialog procedure and the run's
// worker thread run their body through Guarded. An exception that escapes the body
// is named in a few words and handed to the boundary's OnEscape, which reports it (a
// box where there is a window, a line on the caller's output otherwise), has a run
// that was writing rolled back by the ordinary rollback, and ends the program with
// its exit status for it (setup.exe 9, unbrd.exe 8). Nothing else catches.
#pragma once

#include <exception>

// What the exception in flight is, in a few words ("out of memory"). Called only
// inside a catch block; allocates nothing.
const wchar_t* EscapedExceptionText() noexcept;

// Body(), or, when an exception escapes it, OnEscape(what it was): both return the
// boundary's result.
template <typename Body, typename OnEscape>
auto Guarded(Body&& body, OnEscape&& onEscape) noexcept -> decltype(body()) {
    try {
        return body();
    } catch (...) {
        return onEscape(EscapedExceptionText());
    }
}
