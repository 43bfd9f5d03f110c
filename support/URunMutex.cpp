#include "support/URunMutex.h"

TRunMutex::~TRunMutex() {
    if (FOwned) ReleaseMutex(FMutex.get());
}

bool TRunMutex::Acquire() {
    if (FOwned) return true;
    FMutex.reset(CreateMutexW(nullptr, FALSE, RunMutexName));
    // Without the right to open the global name, another session's run holds it.
    if (!FMutex) return false;
    // A run that was killed leaves the mutex abandoned: ours now, and its journal
    // is rolled back by the caller.
    const DWORD waited = WaitForSingleObject(FMutex.get(), 0);
    FOwned = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    return FOwned;
}
