// Stand-in IDE installations for unit tests: the IDE's own registry key with
// "RootDir" (Software\Borland..., Software\CodeGear..., Software\Embarcadero...) and,
// below a scratch folder, the root, bin\ with the compilers and Help\ with the help
// index files. The IDE keys cannot be scratch keys, so every test that writes them
// holds IdeKeysLock for its whole run: two test processes may run at once.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "Scratch.h"
#include "catalogue/UProducts.h"
#include "support/UDirTree.h"

namespace cvltest {

// Holds a named mutex for the life of the object, or gives up after a minute so that
// two tests that take locks in different orders cannot hang each other for good.
class TestMutex {
public:
    explicit TestMutex(const std::wstring& name) : FMutex(CreateMutexW(nullptr, FALSE, name.c_str())) {
        // An abandoned mutex (a test that crashed) is owned all the same.
        if (FMutex && WaitForSingleObject(FMutex, 60000) == WAIT_TIMEOUT) {
            CloseHandle(FMutex);
            FMutex = nullptr;
        }
    }
    ~TestMutex() {
        if (FMutex) {
            ReleaseMutex(FMutex);
            CloseHandle(FMutex);
        }
    }
    TestMutex(const TestMutex&) = delete;
    TestMutex& operator=(const TestMutex&) = delete;

private:
    HANDLE FMutex;
};

// Serialises the test processes that write "RootDir" into the IDEs' keys. Taken
// for a whole test, before any StandInIde.
class IdeKeysLock : public TestMutex {
public:
    IdeKeysLock() : TestMutex(L"CvlTestIdeRootDirs") {}
};

// The lock of one catalogue row's keys that the registration tests take as well.
inline std::wstring IdeRowMutexName(int row) { return L"CvlTestIdeRow" + std::to_wstring(row); }

inline bool KeyIsEmpty(HKEY root, const std::wstring& path, REGSAM view) {
    HKEY key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
    DWORD subKeys = 1, values = 1;
    LONG status = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr,
                                   nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && subKeys == 0 && values == 0;
}

// Deletes "RootDir" below path, then the key and every parent this leaves empty, up
// to but not including the key directly below the root. What others keep in the
// IDE's key (packages, library paths) stays.
inline void RemoveRootDir(HKEY root, std::wstring path, REGSAM view = KEY_WOW64_32KEY) {
    HKEY key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_SET_VALUE | view, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, L"RootDir");
        RegCloseKey(key);
    }
    while (path.find(L'\\') != std::wstring::npos && KeyIsEmpty(root, path, view)) {
        RegDeleteKeyExW(root, path.c_str(), view, 0);
        path.resize(path.rfind(L'\\'));
    }
}

// Removes what stand-ins of a row may have left in both hives.
inline void RemoveIdeKeys(int row) {
    RemoveRootDir(HKEY_LOCAL_MACHINE, BorlandProducts[row].RegKey);
    RemoveRootDir(HKEY_CURRENT_USER, BorlandProducts[row].RegKey);
}

inline void WriteRootDir(HKEY hive, int row, DWORD type, const std::wstring& value) {
    SetRawValue(hive, BorlandProducts[row].RegKey, L"RootDir", type, value.c_str(),
                static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// One stand-in installation of catalogue row Row in the folder Root, holding the
// row's lock (make several in ascending row order). Removes the row's "RootDir"
// values in both hives before and after; the folder belongs to the caller's scratch
// folder.
class StandInIde {
public:
    struct Options {
        HKEY Hive = HKEY_LOCAL_MACHINE;
        DWORD Type = REG_SZ;
        std::wstring Value;      // the text stored as "RootDir"; empty: Root itself
        bool Registry = true;    // write "RootDir"
        bool Files = true;       // create the folders and files
        bool Bin = true;
        bool Dcc32 = true;
        bool Dcc64 = true;       // only where the IDE has 64-bit platforms
        bool Make = true;
    };

    StandInIde(int row, std::wstring root) : StandInIde(row, std::move(root), Options()) {}
    StandInIde(int row, std::wstring root, const Options& options)
        : FRowLock(IdeRowMutexName(row)), FRow(row), FRoot(std::move(root)) {
        RemoveIdeKeys(FRow);
        if (options.Files) CreateFiles(options);
        if (options.Registry) WriteRootDir(options.Hive, FRow, options.Type, options.Value.empty() ? FRoot : options.Value);
    }
    ~StandInIde() { RemoveIdeKeys(FRow); }
    StandInIde(const StandInIde&) = delete;
    StandInIde& operator=(const StandInIde&) = delete;

    const std::wstring& root() const { return FRoot; }
    std::wstring operator/(const std::wstring& name) const { return FRoot + L"\\" + name; }

private:
    void CreateFiles(const Options& options) {
        const TBorlandProduct& product = BorlandProducts[FRow];
        ASSERT_EQ(CreateDirectoryPath(FRoot + L"\\Help"), 0);
        for (const std::wstring& name : product.HelpStr)
            if (!name.empty()) WriteFileBytes(*this / (L"Help\\" + name), ":Link stand-in.hlp\r\n");
        if (!options.Bin) return;
        ASSERT_EQ(CreateDirectoryPath(FRoot + L"\\bin"), 0);
        const std::string stub = "stand-in compiler placeholder\r\n";
        if (options.Dcc32) WriteFileBytes(*this / L"bin\\dcc32.exe", stub);
        if (options.Dcc64 && product.Is32and64) WriteFileBytes(*this / L"bin\\dcc64.exe", stub);
        if (options.Make) WriteFileBytes(*this / L"bin\\make.exe", stub);
    }

    TestMutex FRowLock;
    int FRow;
    std::wstring FRoot;
};

}  // namespace cvltest
