// Stand-in IDE installations for unit tests (tests/driver/StandInIdeBuilder.h):
// the IDE's own registry key with "RootDir" (Software\Borland...,
// Software\CodeGear..., Software\Embarcadero...) and, below a scratch folder, the
// root, bin\ with the compilers and Help\ with the help index files. The IDE keys
// cannot be scratch keys, so every test that writes them holds IdeKeysLock for its
// whole run: two test processes may run at once.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "Scratch.h"
#include "catalogue/UProducts.h"
#include "support/WinHandles.h"
#include "tests/driver/StandInIdeBuilder.h"

namespace cvltest {

// Holds a named mutex for the life of the object, or gives up after a minute so that
// two tests that take locks in different orders cannot hang each other for good.
class TestMutex {
public:
    explicit TestMutex(const std::wstring& name) : FMutex(CreateMutexW(nullptr, FALSE, name.c_str())) {
        // An abandoned mutex (a test that crashed) is owned all the same.
        if (FMutex && WaitForSingleObject(FMutex.get(), 60000) == WAIT_TIMEOUT) FMutex.reset();
    }
    ~TestMutex() {
        if (FMutex) ReleaseMutex(FMutex.get());
    }
    TestMutex(const TestMutex&) = delete;
    TestMutex& operator=(const TestMutex&) = delete;

private:
    brd::UniqueKernel FMutex;
};

// Serialises the test processes that write "RootDir" into the IDEs' keys. Taken
// for a whole test, before any StandInIde.
class IdeKeysLock : public TestMutex {
public:
    IdeKeysLock() : TestMutex(L"CvlTestIdeRootDirs") {}
};

// The lock of one catalogue row's keys that the registration tests take as well.
inline std::wstring IdeRowMutexName(int row) { return L"CvlTestIdeRow" + std::to_wstring(row); }

// Removes what stand-ins of a row may have left in both hives.
inline void RemoveIdeKeys(int row) {
    RemoveRootDir(HKEY_LOCAL_MACHINE, BorlandProducts[row].RegKey);
    RemoveRootDir(HKEY_CURRENT_USER, BorlandProducts[row].RegKey);
}

// One stand-in installation of catalogue row Row in the folder Root, holding the
// row's lock (make several in ascending row order): the usual one (placeholder
// compilers, "RootDir" in HKLM), or as Change makes it. Removes the row's "RootDir"
// values in both hives before and after; the folder belongs to the caller's scratch
// folder.
class StandInIde {
public:
    using Change = std::function<void(StandInIdeLayout&)>;

    StandInIde(int row, std::wstring root, const Change& change = nullptr)
        : FRowLock(IdeRowMutexName(row)), FLayout(row, std::move(root)) {
        if (change) change(FLayout);
        RemoveIdeKeys(FLayout.Row);
        std::wstring error;
        EXPECT_TRUE(BuildStandInIde(FLayout, error)) << Narrow(error);
    }
    ~StandInIde() { RemoveIdeKeys(FLayout.Row); }
    StandInIde(const StandInIde&) = delete;
    StandInIde& operator=(const StandInIde&) = delete;

    const std::wstring& root() const { return FLayout.Root; }
    std::wstring operator/(const std::wstring& name) const { return FLayout.Root + L"\\" + name; }

private:
    TestMutex FRowLock;
    StandInIdeLayout FLayout;
};

}  // namespace cvltest
