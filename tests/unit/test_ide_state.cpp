// The IDEs' own state: running IDE programs below the chosen roots (real processes of
// the stand-in IDE program), IDEs without a settings key below HKEY_CURRENT_USER, and
// how the engine and the uninstall log treat them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FreshState.h"
#include "IdeTesting.h"
#include "Scratch.h"
#include "ScriptRunTesting.h"
#include "UndoLogTesting.h"
#include "catalogue/UDirCodes.h"
#include "catalogue/UIdeState.h"
#include "catalogue/UProducts.h"
#include "support/UConst.h"
#include "support/UDirTree.h"
#include "support/UPaths.h"
#include "support/URegistry.h"
#include "uninstall/UDeinstall.h"
#include "uninstall/UUndoLog.h"

using namespace cvltest;

namespace {

std::vector<DWORD> Ids(const std::vector<TRunningIde>& running) {
    std::vector<DWORD> ids;
    for (const TRunningIde& ide : running) ids.push_back(ide.ProcessId);
    return ids;
}

}  // namespace

TEST(IdeState, IdeProgramNamesInAnyCase) {
    const struct {
        const wchar_t* name;
        bool ide;
    } cases[] = {
        {L"delphi32.exe", true},
        {L"DELPHI32.EXE", true},
        {L"bds.exe", true},
        {L"Bcb.exe", true},
        {L"dcc32.exe", false},
        {L"bds", false},
        {L"bds.exe.bak", false},
        {L"xbds.exe", false},
        {L"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsIdeProgramName(c.name), c.ide) << Narrow(c.name);
}

TEST(IdeState, PathLiesBelowOnlyInsideTheFolder) {
    const struct {
        const wchar_t* file;
        const wchar_t* dir;
        bool below;
    } cases[] = {
        {L"C:\\IDE\\Delphi7\\bin\\delphi32.exe", L"C:\\IDE\\Delphi7", true},
        {L"c:\\ide\\delphi7\\BIN\\delphi32.exe", L"C:\\IDE\\Delphi7", true},
        {L"C:\\IDE\\Delphi7\\bin\\delphi32.exe", L"C:\\IDE\\Delphi7\\\\", true},
        {L"C:\\IDE\\Delphi7\\delphi32.exe", L"C:\\IDE\\Delphi7", true},
        {L"C:\\IDE\\Delphi7\\..\\Delphi6\\bin\\delphi32.exe", L"C:\\IDE\\Delphi7", false},
        {L"C:\\IDE\\Delphi70\\bin\\delphi32.exe", L"C:\\IDE\\Delphi7", false},
        {L"C:\\IDE\\Delphi7", L"C:\\IDE\\Delphi7", false},
        {L"C:\\IDE\\Delphi7\\", L"C:\\IDE\\Delphi7", false},
        {L"D:\\IDE\\Delphi7\\bin\\delphi32.exe", L"C:\\IDE\\Delphi7", false},
        {L"C:\\IDE\\Delphi7\\bin\\delphi32.exe", L"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PathLiesBelow(c.file, c.dir), c.below) << Narrow(c.file) << " in " << Narrow(c.dir);
}

TEST(IdeState, FindsARunningIdeProgramBelowItsRootOnly) {
    ScratchDir dir;
    const std::wstring root = dir / L"Delphi7", sibling = dir / L"Delphi70";
    ASSERT_EQ(CreateDirectoryPath(root + L"\\bin"), 0);
    ASSERT_EQ(CreateDirectoryPath(sibling + L"\\bin"), 0);
    RunningStandInIde ide(root + L"\\bin\\delphi32.exe");
    RunningStandInIde other(sibling + L"\\bin\\bds.exe");

    std::vector<TRunningIde> running = FindRunningIdes({dir / L"Other", root});
    ASSERT_EQ(Ids(running), std::vector<DWORD>{ide.Id()});
    EXPECT_EQ(running[0].Root, root);
    EXPECT_TRUE(PathLiesBelow(running[0].Program, root + L"\\bin")) << Narrow(running[0].Program);
    // Another spelling of the same root, as a registry value may hold it.
    EXPECT_EQ(Ids(FindRunningIdes({dir / L"DELPHI7\\"})), std::vector<DWORD>{ide.Id()});
    EXPECT_EQ(Ids(FindRunningIdes({sibling})), std::vector<DWORD>{other.Id()});
    EXPECT_TRUE(FindRunningIdes({}).empty());
    EXPECT_TRUE(FindRunningIdes({L""}).empty());

    ide.Stop();
    ASSERT_TRUE(ide.Ended(10000));
    EXPECT_TRUE(FindRunningIdes({root}).empty());
}

TEST(IdeState, OtherProgramsBelowARootDoNotCount) {
    // This test program runs from its own folder, under a name that is no IDE's.
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder(self);
    folder.resize(folder.rfind(L'\\'));
    EXPECT_TRUE(FindRunningIdes({folder}).empty());
}

TEST(IdeState, RootsOfTheChosenRowsAsDetected) {
    ResetCatalogue();
    TDetectedIdes detected;
    detected[9].RootDir = L"C:\\Borland\\Delphi7";
    detected[16].RootDir = L"C:\\Embarcadero\\9.0";
    EXPECT_EQ(IdeRootsOfVersions(0x8100, detected), (std::vector<std::wstring>{L"C:\\Borland\\Delphi7", L"C:\\Embarcadero\\9.0"}));
    EXPECT_EQ(IdeRootsOfVersions(0x8000 | 0x1, detected), (std::vector<std::wstring>{L"C:\\Embarcadero\\9.0"}));  // row 1 has none
    EXPECT_EQ(IdeRootsOfRows({16, 0, 29, 9}, detected),
              (std::vector<std::wstring>{L"C:\\Embarcadero\\9.0", L"C:\\Borland\\Delphi7"}));
    EXPECT_NE(RunningIdesList({{L"C:\\Borland\\Delphi7", L"C:\\Borland\\Delphi7\\bin\\delphi32.exe", 1}}, detected)
                  .find(L"Delphi 7: C:\\Borland\\Delphi7\\bin\\delphi32.exe"),
              std::wstring::npos);
    ResetCatalogue();
}

TEST(IdeState, NeverStartedMeansNoKeyBelowTheCurrentUser) {
    TestMutex lock(IdeRowMutexName(2));
    const std::wstring key = BorlandProducts[2].RegKey;
    DeleteKeyTree(HKEY_CURRENT_USER, key);
    EXPECT_FALSE(IdeHasUserKey(2));
    EXPECT_EQ(NeverStartedVersions(0x2 | 0x80000000), 0x2);
    EXPECT_NE(NeverStartedText(0x2).find(L"Delphi 4 has never been started"), std::wstring::npos);

    ASSERT_TRUE(CreateRegKey(HKEY_CURRENT_USER, key));
    EXPECT_TRUE(IdeHasUserKey(2));
    EXPECT_EQ(NeverStartedVersions(0x2), 0);
    DeleteKeyTree(HKEY_CURRENT_USER, key);

    EXPECT_FALSE(IdeHasUserKey(0));
    EXPECT_FALSE(IdeHasUserKey(29));
    EXPECT_EQ(IdeDisplayName(8), L"CBuilder6");  // no entry in the selection list
    EXPECT_NE(NeverStartedText(0x100 | 0x8000000).find(L"Delphi 7 and RAD Studio 11 have never been started"),
              std::wstring::npos);
}

// ---------------------------------------------------------------- the engine

class FilesOnlyEngine : public FreshStateTest {
protected:
    void SetUp() override {
        FreshStateTest::SetUp();
        InstallDir = Dir.path() + L"\\lib";
        plan.Dir = InstallDir;
        DeleteKeyTree(HKEY_CURRENT_USER, Key());
    }
    void TearDown() override {
        DeleteKeyTree(HKEY_CURRENT_USER, Key());
        FreshStateTest::TearDown();
    }
    static std::wstring Key() { return BorlandProducts[Row].RegKey; }

    // An IDE block of Delphi 7 with the three kinds of registration row.
    std::vector<TScriptItem> Block() const {
        return {
            cvltest::Row(itSetIde | ifLogUndo, L"Delphi7", Row),
            cvltest::Row(itRegisterPackage | ifLogUndo, L"Delphi7\\dclcvl70.bpl", 0, dcRoot),
            cvltest::Row(itAddIdePath | ifLogUndo, L"\\Library\\Search Path", 2),
            cvltest::Row(itAddSearchPath | ifLogUndo, L"Delphi7\\Extra", 0, dcRoot),
            cvltest::Row(itSetIde | ifLogUndo, L"Delphi7", Row),
        };
    }

    std::vector<uint32_t> RecordTypes() const {
        std::string bytes = ReadFileBytes(InstallDir + L"\\uninst.log");
        std::vector<uint8_t> buf(bytes.begin(), bytes.end());
        std::vector<uint32_t> types;
        size_t p = UndoLogMagicSize;
        std::string record;
        TUndoRecord decoded;
        while (size_t length = ForwardRecordLength(buf, p, UndoLogMagicSize, buf.size())) {
            record.assign(reinterpret_cast<const char*>(&buf[p]), length);
            p += length;
            if (DecodeUndoRecord(record, decoded)) types.push_back(decoded.Type());
        }
        return types;
    }

    // Runs Block() with plan; ran is the plan as the run used it.
    std::vector<int32_t> RunBlock() { return RunAsProgressPage(plan, Block(), nullptr, &ran); }

    static constexpr int Row = 9;
    TestMutex FLock{IdeRowMutexName(Row)};
    ScratchDir Dir;
    std::wstring InstallDir;
    TInstallPlan plan;
    TInstallPlan ran;
};

TEST_F(FilesOnlyEngine, ANeverStartedIdeGetsNoKeyLogLinesAndNoRecords) {
    plan.Versions = 0x100;
    EXPECT_EQ(RunBlock(), (std::vector<int32_t>{0, 0, 0, 0, 0}));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Key())) << "the IDE's settings key was created";
    EXPECT_EQ(ran.FilesOnlyVersions, 0x100);
    const std::wstring log = InstallLogText(InstallDir);
    const std::wstring skipped = L"...Skipped: Delphi7 has never been started, files only\r\n";
    for (const std::wstring& line :
         {L"Registering package: " + InstallDir + L"\\Delphi7\\dclcvl70.bpl" + skipped,
          L"Adding search path: " + InstallDir + L"\\Delphi7" + skipped,
          L"Adding search path: " + InstallDir + L"\\Delphi7\\Extra" + skipped})
        EXPECT_NE(log.find(line), std::wstring::npos) << Narrow(line) << "\nin\n"
                                                      << Narrow(log);
    EXPECT_EQ(RecordTypes(), (std::vector<uint32_t>{itSetIde, itSetIde}));
}

TEST_F(FilesOnlyEngine, WithTheUserKeyTheIdeIsRegisteredAsBefore) {
    plan.Versions = 0x100;
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, Key() + L"\\Library", L"Search Path", L"$(DELPHI)\\Lib"));
    EXPECT_EQ(RunBlock(), (std::vector<int32_t>{0, 0, 0, 0, 0}));
    EXPECT_EQ(ran.FilesOnlyVersions, 0);
    std::wstring description;
    EXPECT_TRUE(ReadRegString(HKEY_CURRENT_USER, Key() + L"\\Known Packages", InstallDir + L"\\Delphi7\\dclcvl70.bpl",
                              description));
    // The IDE path row finds the folder the package row has added ("...Already"):
    // it leaves nothing of its own to undo, so no record.
    EXPECT_EQ(RecordTypes(), (std::vector<uint32_t>{itSetIde, itRegisterPackage, itAddSearchPath, itSetIde}));
    EXPECT_EQ(InstallLogText(InstallDir).find(L"Skipped"), std::wstring::npos);
}

TEST_F(FilesOnlyEngine, TheFlagOfTheRunIsHonouredWhateverTheKey) {
    // The user chose files only; the key is there all the same.
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, Key() + L"\\Library", L"Search Path", L"$(DELPHI)\\Lib"));
    plan.Versions = 0x100;
    plan.FilesOnlyVersions = 0x100;
    RunBlock();
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Key() + L"\\Known Packages"));
    std::wstring path;
    ASSERT_TRUE(ReadRegString(HKEY_CURRENT_USER, Key() + L"\\Library", L"Search Path", path));
    EXPECT_EQ(path, L"$(DELPHI)\\Lib");
    EXPECT_EQ(RecordTypes(), (std::vector<uint32_t>{itSetIde, itSetIde}));
}

// ---------------------------------------------------------------- the uninstall log

TEST_F(UninstallTest, LoggedIdesAreTheRowsOfTheSetIdeRecordsOnce) {
    ScratchDir dir;
    WriteLog(dir.path(), HeaderRows() + std::vector<TScriptItem>{
                                            Row(itCreateDir | Logged, L"", 0, dcRoot),
                                            Row(itSetIde | Logged, L"Delphi7", 9),
                                            Row(itCreateDir | Logged, L"Delphi7", 0, dcRoot),
                                            Row(itSetIde | Logged, L"Delphi7", 9),
                                            Row(itSetIde | Logged, L"RADStudio9", 16),
                                            Row(itSetIde | Logged, L"broken", 40),
                                            Row(itSetIde | Logged, L"RADStudio9", 16),
                                        });
    TDeinstall d;
    ASSERT_EQ(Load(d, LogPath(dir.path())), 0);
    EXPECT_EQ(d.LoggedIdes(), (std::vector<int32_t>{16, 9}));  // read backward, newest first
    EXPECT_TRUE(d.BodyIsWhole());                              // the walk leaves the reader where it was
}
