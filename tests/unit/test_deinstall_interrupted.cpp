// Logs of installations that were stopped: cut inside an IDE block (its closing
// itSetIde never written) or in the middle of the last record's write. Each record
// is undone with the IDE that was current when it was written.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "ScriptRunTesting.h"
#include "UndoLogTesting.h"
#include "catalogue/UDirCodes.h"
#include "resources/UResourceIds.h"
#include "setup/UFrame.h"
#include "support/UDirTree.h"
#include "support/UProduct.h"
#include "support/URegistry.h"
#include "uninstall/UnDo.h"

using namespace cvltest;

namespace {

class InterruptedLog : public ScratchInstallationTest {
protected:
    void SetUp() override {
        ScratchInstallationTest::SetUp();
        d7 = key / L"Delphi7";
        xe2 = key / L"XE2";
        CatalogueRowForTests(16).RegKey = xe2;
        CreateDirectoryPath(InstallDir + L"\\Delphi7");
        CreateDirectoryPath(InstallDir + L"\\RADStudio9\\Win32");
        MakeRegisteredIde(9, d7, Package(L"Delphi7\\dclcvl70.bpl"), InstallDir + L"\\Delphi7");
        WriteRegString(HKEY_CURRENT_USER, xe2 + L"\\Known Packages", Package(L"RADStudio9\\Win32\\dclcvl160.bpl"),
                       L"Corvane");
        WriteRegString(HKEY_CURRENT_USER, xe2 + L"\\C++\\Paths\\Win32", L"LibraryPath",
                       L"$(BDSLIB);" + InstallDir + L"\\RADStudio9\\Win32");
    }

    std::wstring Package(const std::wstring& name) { return InstallDir + L"\\" + name; }

    std::wstring Value(const std::wstring& k, const std::wstring& name) {
        std::wstring v;
        return ReadRegString(HKEY_CURRENT_USER, k, name, v) ? v : L"<missing>";
    }

    // The log of an installation stopped inside Delphi 7's block, after the design
    // package was registered.
    std::vector<TScriptItem> CutInsideDelphi7() {
        return HeaderRows() + std::vector<TScriptItem>{
                                  Row(itCreateDir | Logged, L"", 0, dcRoot),
                                  Row(itSetIde | Logged, L"Delphi7", 9),
                                  Row(itCreateDir | Logged, L"Delphi7", 0, dcRoot),
                                  Row(itRegisterPackage | Logged, L"Delphi7\\dclcvl70.bpl", 0, dcRoot),
                              };
    }

    std::wstring d7, xe2;
};

// Every user of the replay: silent and with a dialog, full and partial.
TEST_F(InterruptedLog, ALogCutInsideAnIdeBlockRemovesThatIdesRegistration) {
    struct Case {
        const char* what;
        bool dialog;
        bool partial;
    };
    const Case cases[] = {
        {"silent", false, false}, {"silent partial", false, true}, {"dialog", true, false}, {"dialog partial", true, true}};
    for (const Case& c : cases) {
        SetUp();
        WriteLog(CutInsideDelphi7());
        HWND frame = CreateWindowExW(0, L"Static", L"frame", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
        CreateWindowExW(0, L"Static", L"", WS_CHILD, 0, 0, 10, 10, frame,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(idcStatusLine)), nullptr, nullptr);
        int32_t ideAfter = -1;
        {
            TDeinstall d;
            d.flPartialUninstall = c.partial;
            if (c.dialog) d.SetDialogHandle(frame);
            ASSERT_EQ(Load(d, LogPath()), 0) << c.what;
            EXPECT_FALSE(d.LogIsCut()) << c.what;  // whole records: only the block is open
            EXPECT_EQ(d.DoDeinstall(), 0) << c.what;
            ideAfter = d.Context().Ide.Row;
        }
        DestroyWindow(frame);
        EXPECT_FALSE(Exists(InstallDir)) << c.what;
        EXPECT_EQ(Value(d7 + L"\\Known Packages", Package(L"Delphi7\\dclcvl70.bpl")), L"<missing>") << c.what;
        EXPECT_EQ(Value(d7 + L"\\Library", L"Search Path"), L"c:\\lib") << c.what;
        EXPECT_EQ(ideAfter, 0) << c.what;  // the oldest record was written before any block
    }
}

// Two blocks, the second cut: each block's records act on their own IDE, and the
// records of the closed first block on Delphi 7 also when read after XE2's.
TEST_F(InterruptedLog, EachBlockIsUndoneWithItsOwnIde) {
    WriteLog(CutInsideDelphi7() + std::vector<TScriptItem>{
                                      Row(itSetIde | Logged, L"Delphi7", 9),
                                      Row(itSetIde | Logged, L"RADStudio9", 16),
                                      Row(itCreateDir | Logged, L"RADStudio9", 0, dcRoot),
                                      Row(itRegisterPackage | Logged, L"RADStudio9\\Win32\\dclcvl160.bpl", 0, dcRoot),
                                      Row(itAddIdePath | Logged, L"\\C++\\Paths\\Win32\\LibraryPath", 3),
                                  });
    TDeinstall d;
    ASSERT_EQ(Load(d, LogPath()), 0);
    d.DoDeinstall();
    EXPECT_EQ(Value(xe2 + L"\\Known Packages", Package(L"RADStudio9\\Win32\\dclcvl160.bpl")), L"<missing>");
    EXPECT_EQ(Value(xe2 + L"\\C++\\Paths\\Win32", L"LibraryPath"), L"$(BDSLIB)");
    EXPECT_EQ(Value(d7 + L"\\Known Packages", Package(L"Delphi7\\dclcvl70.bpl")), L"<missing>");
    EXPECT_EQ(Value(d7 + L"\\Library", L"Search Path"), L"c:\\lib");
    EXPECT_FALSE(Exists(InstallDir));
}

// A stop in the middle of a write leaves the last record short, at any byte: the
// records before it are read and undone, and the log says it was cut.
TEST_F(InterruptedLog, ALogCutInsideItsLastRecordIsReadUpToTheLastWholeRecord) {
    WriteLog(CutInsideDelphi7());
    const std::string whole = ReadFileBytes(LogPath());
    const size_t lastSize = 16 + std::string("Delphi7\\dclcvl70.bpl").size();
    for (size_t keep = 1; keep < lastSize; ++keep) {
        WriteFileBytes(LogPath(), whole.substr(0, whole.size() - lastSize + keep));
        TDeinstall d;
        ASSERT_EQ(Load(d, LogPath()), 0) << keep;
        EXPECT_TRUE(d.LogIsCut()) << keep;
        EXPECT_TRUE(d.BodyIsWhole()) << keep;
        std::vector<TUndoRecord> body = TDeinstallProbe::Body(d);
        ASSERT_EQ(body.size(), 3u) << keep;
        EXPECT_EQ(body[0].Name, "Delphi7") << keep;  // newest whole record first
        EXPECT_EQ(body[0].Type(), static_cast<uint32_t>(itCreateDir)) << keep;
    }

    // Undone: the folder goes; the package's registration was never logged, so it
    // is what the user is told may be left.
    WriteFileBytes(LogPath(), whole.substr(0, whole.size() - 5));
    TDeinstall d;
    ASSERT_EQ(Load(d, LogPath()), 0);
    d.DoDeinstall();
    EXPECT_FALSE(Exists(InstallDir));
    EXPECT_EQ(Value(d7 + L"\\Library", L"Search Path"), L"c:\\lib;" + InstallDir + L"\\Delphi7");
}

// Reading a cut log tells all a caller decides by and changes nothing; the replay
// of what was read then removes the installation and tells its observer each step.
TEST_F(InterruptedLog, ReadingChangesNothingAndTheReplayReportsEachRecord) {
    WriteLog(CutInsideDelphi7());
    const std::string whole = ReadFileBytes(LogPath());
    WriteFileBytes(LogPath(), whole.substr(0, whole.size() - 5));
    const TUndoLogContent log = ReadUndoLog(LogPath());
    ASSERT_EQ(log.Result, 0);
    EXPECT_TRUE(log.Cut);
    EXPECT_TRUE(log.Whole);
    EXPECT_EQ(log.Header.InstallDir, InstallDir);
    EXPECT_EQ(log.Ides, (std::vector<int32_t>{9}));
    ASSERT_EQ(log.Records.size(), 3u);
    EXPECT_EQ(log.Records[0].Ide, 9);  // the newest record lies in Delphi 7's block
    EXPECT_TRUE(IsDir(InstallDir + L"\\Delphi7"));
    EXPECT_EQ(ReadUndoLog(dir / L"missing.log").Result, duOpenFailed);

    struct Recorder : TReplayObserver {
        std::vector<std::wstring> actions;
        size_t done = 0;
        bool ended = false;
        void RecordStarting(const std::wstring& text) override { actions.push_back(text); }
        void RecordDone(size_t bytes) override { done = bytes; }
        void ReplayEnded() override { ended = true; }
    } recorder;
    EXPECT_EQ(ReplayUndoLog(log, false, recorder).Ide.Row, 0);
    EXPECT_EQ(recorder.actions, (std::vector<std::wstring>{L"Removing directory", L"Removing directory",
                                                           L"Removing directory"}));
    EXPECT_EQ(recorder.done, log.BodySize);
    EXPECT_TRUE(recorder.ended);
    EXPECT_FALSE(Exists(InstallDir));
}

TEST_F(InterruptedLog, ACutInTheHeaderUndoesNothing) {
    std::vector<TScriptItem> rows = CutInsideDelphi7();
    WriteLog(std::vector<TScriptItem>(rows.begin(), rows.begin() + 7));
    const std::string header = ReadFileBytes(LogPath());
    WriteFileBytes(LogPath(), header.substr(0, header.size() - 3));  // inside the marker
    TDeinstall d;
    ASSERT_EQ(Load(d, LogPath()), 0);
    EXPECT_TRUE(d.LogIsCut());
    d.DoDeinstall();
    EXPECT_TRUE(IsDir(InstallDir + L"\\Delphi7"));
    EXPECT_EQ(d.ProductName, L"Corvane library");
}

// Damage that is no short write is not taken for one: the reading still ends there.
TEST_F(InterruptedLog, DamageInTheMiddleIsNoCut) {
    WriteLog(CutInsideDelphi7());
    std::string bytes = ReadFileBytes(LogPath());
    const size_t lastSize = 16 + std::string("Delphi7\\dclcvl70.bpl").size();
    bytes[bytes.size() - lastSize - 2] = 0x7F;  // trailer of the Delphi7 folder's record
    WriteFileBytes(LogPath(), bytes);
    TDeinstall d;
    ASSERT_EQ(Load(d, LogPath()), 0);
    EXPECT_FALSE(d.LogIsCut());
    EXPECT_FALSE(d.BodyIsWhole());
    d.DoDeinstall();
    // The newest record lies beyond the damage and is undone as the old replay did:
    // with no IDE current, so nothing of Delphi 7 changes.
    EXPECT_TRUE(IsDir(InstallDir + L"\\Delphi7"));
    EXPECT_NE(Value(d7 + L"\\Known Packages", Package(L"Delphi7\\dclcvl70.bpl")), L"<missing>");
}

// Setup run again over an installation stopped before it registered its uninstall
// entry: the log that run left in the folder is replayed first. A log there that
// names another folder was not written by a run into this one and stays unread.
TEST_F(InterruptedLog, SetupReplaysTheLogAStoppedRunLeftInItsFolder) {
    const std::vector<TScriptItem> rows =
        HeaderRows() + std::vector<TScriptItem>{Row(itCreateDir | Logged, L"", 0, dcRoot),
                                                Row(itCreateDir | Logged, L"Source", 0, dcRoot)};
    auto setup = [this, &rows] {
        TInstallPlan plan;
        plan.Dir = InstallDir;
        RunAsProgressPage(plan, rows);
    };
    setup();
    WriteFileBytes(InstallDir + L"\\Source\\stray.txt", "x");
    setup();
    EXPECT_FALSE(Exists(InstallDir + L"\\Source\\stray.txt"));
    EXPECT_FALSE(Exists(InstallDir + L"\\Delphi7"));
    EXPECT_TRUE(IsDir(InstallDir + L"\\Source"));

    const std::wstring elsewhere = dir / L"Elsewhere";
    cvltest::WriteLog(elsewhere, rows);
    ASSERT_TRUE(CopyFileW((elsewhere + L"\\uninst.log").c_str(), (InstallDir + L"\\uninst.log").c_str(), FALSE));
    WriteFileBytes(InstallDir + L"\\Source\\stray.txt", "x");
    setup();
    EXPECT_TRUE(Exists(InstallDir + L"\\Source\\stray.txt"));
}

}  // namespace
