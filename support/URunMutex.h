// One installation or removal of the library at a time: setup.exe in every mode
// that writes and unbrd.exe hold one named mutex for their whole run. The name is
// in the global namespace, so runs in other logon sessions see it too.
#pragma once

#include "support/WinHandles.h"

inline constexpr const wchar_t* RunMutexName = L"Global\\Brindlecraft.CorvaneLibrary.SetupRun";

// The text a second run shows or prints before it ends without changing anything.
inline constexpr const wchar_t* AnotherRunText =
    L"Another installation or removal of Corvane library is running. Wait until it has finished, then try again.";

class TRunMutex {
public:
    TRunMutex() = default;
    TRunMutex(const TRunMutex&) = delete;
    TRunMutex& operator=(const TRunMutex&) = delete;
    ~TRunMutex();

    // True when this process now holds the mutex (also when a run that held it was
    // ended without releasing it); false when another run holds it.
    bool Acquire();

private:
    brd::UniqueKernel FMutex;
    bool FOwned = false;
};
