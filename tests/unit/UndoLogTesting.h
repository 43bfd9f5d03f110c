// Shared by the uninstall tests: writing logs with the real writer from script
// rows, walking a TDeinstall's body, and putting the catalogue back.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FreshState.h"
#include "RowTesting.h"
#include "Scratch.h"
#include "catalogue/UProducts.h"
#include "script/UScriptItems.h"
#include "script/UUndoRecord.h"
#include "support/UConst.h"
#include "support/URegistry.h"
#include "uninstall/UBinLog.h"
#include "uninstall/UDeinstall.h"
#include "uninstall/UUndoLog.h"

// Reads the private body of a TDeinstall record by record.
struct TDeinstallProbe {
    static std::vector<TUndoRecord> Body(TDeinstall& d) {
        std::vector<TUndoRecord> records;
        d.P = d.PBegin;
        std::string bytes;
        while (d.ReadNextRecord(bytes)) {
            TUndoRecord r;
            EXPECT_TRUE(DecodeUndoRecord(bytes, r));
            records.push_back(r);
        }
        return records;
    }
    static bool Backward(const TDeinstall& d) { return d.ReadBackward; }
    static const std::string& Version(const TDeinstall& d) { return d.FUnInstFileVersion; }
};

namespace cvltest {

constexpr uint32_t Logged = ifLogUndo;
constexpr uint32_t Kept = ifLogUndo | ifKeepOnPartial;

// The seven header rows, in the script's order of codes.
inline std::vector<TScriptItem> HeaderRows() {
    std::vector<TScriptItem> rows;
    for (uint32_t code : {hcProductName, hcProductVersion, hcProductType, hcInstallDir, hcProductRegKey,
                          hcUninstallKey, hcReadBackward})
        rows.push_back(Row(itLogConst | Logged, nullptr, code));
    return rows;
}

inline std::vector<TScriptItem> operator+(std::vector<TScriptItem> a, const std::vector<TScriptItem>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Writes Dir\uninst.log from rows with the writer the engine uses, for a run in Dir.
inline void WriteLog(const std::wstring& Dir, const std::vector<TScriptItem>& rows) {
    brd::UniqueFile log;
    ASSERT_EQ(BinLogOpen(log, Dir), 0);
    const TRunContext run = RunContextIn(Dir);
    for (const TScriptItem& row : rows) BinLogAddItem(log, row, run);
    BinLogClose(log);
}

inline std::wstring LogPath(const std::wstring& Dir) { return Dir + L"\\uninst.log"; }

// Loads and prepares a log; the result of PrepareUninstFile.
inline int32_t Load(TDeinstall& d, const std::wstring& file) {
    int32_t result = d.PrepareUninstFile(file);
    if (result == 0) {
        EXPECT_EQ(d.PrepareDeinstall(), 0);
    }
    return result;
}

// Catalogue row Row's settings key moved to Key (a scratch key) and left as an
// installation leaves it: Package registered with the IDE and Folder on its library
// search path, after a folder of the user's own, c:\lib.
inline void MakeRegisteredIde(int Row, const std::wstring& Key, const std::wstring& Package,
                              const std::wstring& Folder) {
    CatalogueRowForTests(Row).RegKey = Key;
    WriteRegString(HKEY_CURRENT_USER, Key + L"\\Known Packages", Package, L"Corvane");
    WriteRegString(HKEY_CURRENT_USER, Key + L"\\Library", L"Search Path", L"c:\\lib;" + Folder);
}

// The uninstall tests' fixture: switch flags and catalogue fresh.
using UninstallTest = FreshStateTest;

// An installation to remove: InstallDir is a folder below a scratch folder (so that
// files beside it stay outside), and its keys go below a scratch key.
class ScratchInstallationTest : public UninstallTest {
protected:
    void SetUp() override {
        UninstallTest::SetUp();
        InstallDir = dir / L"lib";
    }
    // The log of the installation, in its directory.
    void WriteLog(const std::vector<TScriptItem>& rows) const { cvltest::WriteLog(InstallDir, rows); }
    std::wstring LogPath() const { return cvltest::LogPath(InstallDir); }

    ScratchDir dir;
    ScratchKey key;
    std::wstring InstallDir;
};

}  // namespace cvltest
