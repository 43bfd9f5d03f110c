// TDeinstall replaying whole logs written by the real writer: silent and with a
// dialog that has the wizard frame's controls, full and partial.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "UndoLogTesting.h"
#include "catalogue/UDirCodes.h"
#include "resources/UResourceIds.h"
#include "setup/UFrame.h"
#include "support/UDirTree.h"
#include "support/UConst.h"
#include "support/URegistry.h"
#include "support/WinHandles.h"
#include "uninstall/UnDo.h"

using namespace cvltest;

namespace {

// A small installation below a scratch folder: directories, a kept template file
// and a kept registry key, an IDE block with a package registration.
class Deinstall : public ScratchInstallationTest {
protected:
    void SetUp() override {
        ScratchInstallationTest::SetUp();
        ide = key / L"ide";
        CreateDirectoryPath(InstallDir + L"\\Delphi7");
        CreateDirectoryPath(InstallDir + L"\\Source");
        WriteFileBytes(InstallDir + L"\\Source\\cvl.inc", "x");
        WriteFileBytes(InstallDir + L"\\cvTempls.ini", "settings");
        MakeRegisteredIde(9, ide, InstallDir + L"\\Delphi7\\dcl.bpl", InstallDir + L"\\Delphi7");
        WriteRegString(HKEY_LOCAL_MACHINE, key / L"Product", L"RootDir", InstallDir);
        productKey = key / L"Product";
    }

    std::vector<TScriptItem> Body() {
        return {
            Row(itCreateDir | Logged, L"", 0, dcRoot),
            Row(itCreateDir | Logged, L"Source", 0, dcRoot),
            Row(itCopyResourceIfAbsent | Kept, L"cvTempls.ini", 29, dcRoot),
            Row(itSetIde | Logged, L"Delphi7", 9),
            Row(itCreateDir | Logged, L"Delphi7", 0, dcRoot),
            Row(itRegisterPackage | Logged, L"Delphi7\\dcl.bpl", 0, dcRoot),
            Row(itSetIde | Logged, L"Delphi7", 9),
            Row(itCreateRegKey | Kept, productKey.c_str(), 0x80000002),
        };
    }

    std::wstring KnownPackage() {
        std::wstring v;
        return ReadRegString(HKEY_CURRENT_USER, ide + L"\\Known Packages", InstallDir + L"\\Delphi7\\dcl.bpl", v) ? v
                                                                                                                  : L"<missing>";
    }

    std::wstring ide;
    std::wstring productKey;
};

TEST_F(Deinstall, FullRemovalLeavesNothingAndInstallDirComesFromTheLog) {
    std::wstring inst = InstallDir;
    WriteLog(HeaderRows() + Body());
    TDeinstall d;
    ASSERT_EQ(Load(d, inst + L"\\uninst.log"), 0);
    EXPECT_EQ(d.InstallDir(), inst);
    EXPECT_EQ(d.DoDeinstall(), 0);
    EXPECT_EQ(d.InstallDir(), inst);
    EXPECT_FALSE(Exists(inst));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, productKey));
    std::wstring search;
    ReadRegString(HKEY_CURRENT_USER, ide + L"\\Library", L"Search Path", search);
    EXPECT_EQ(search, L"c:\\lib");
    EXPECT_EQ(KnownPackage(), L"<missing>");
    EXPECT_EQ(d.Context().Ide.Row, 0);  // the oldest record was written before any IDE block
}

TEST_F(Deinstall, PartialRemovalKeepsExactlyTheFlaggedRecords) {
    // The kept file lies outside the install directory, as the template file does.
    WriteFileBytes(dir / L"cvTempls.ini", "settings");
    std::vector<TScriptItem> body = Body();
    body[2] = Row(itCopyResourceIfAbsent | Kept, L"cvTempls.ini", 29, dcNone);
    std::wstring kept = dir / L"cvTempls.ini";
    body[2].Name = kept.c_str();
    WriteLog(HeaderRows() + body);
    TDeinstall d;
    d.flPartialUninstall = true;
    ASSERT_EQ(Load(d, LogPath()), 0);
    EXPECT_EQ(d.DoDeinstall(), 0);
    EXPECT_EQ(ReadFileBytes(kept), "settings");
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, productKey));
    EXPECT_FALSE(Exists(InstallDir));
    EXPECT_EQ(KnownPackage(), L"<missing>");
}

TEST_F(Deinstall, AMissingHelpBatchStopsNothing) {
    // What the batch file would remove, removed without it.
    const std::wstring helpKey = std::wstring(ProductKey) + HelpRegistrationSubKey;
    WriteRegString(HKEY_LOCAL_MACHINE, helpKey, L"Collection", L"C:\\x\\cvl.hxs");
    std::vector<TScriptItem> body = Body();
    body.insert(body.begin() + 3, Row(itRegisterHelp | Logged, L"help\\help_reg.bat"));
    WriteLog(HeaderRows() + body);
    TDeinstall d;
    ASSERT_EQ(Load(d, LogPath()), 0);
    EXPECT_EQ(d.DoDeinstall(), 0);
    EXPECT_TRUE(d.LeftOver().empty());
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, helpKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, productKey));
    EXPECT_EQ(KnownPackage(), L"<missing>");
    EXPECT_FALSE(Exists(InstallDir));
    DeleteKeyTree(HKEY_LOCAL_MACHINE, ProductKey);
}

// A file held open: everything else goes (read-only files too), the file and its folder are left for the
// restart, and the uninstall entry and the log stay until a later run finds
// nothing left.
TEST_F(Deinstall, AFileInUseKeepsTheEntryAndTheLogUntilALaterRun) {
    const std::wstring entry = std::wstring(UninstallKeyPrefix) + UninstallName;
    WriteRegString(HKEY_LOCAL_MACHINE, entry, ValDisplayName, L"Corvane library");
    WriteFileBytes(InstallDir + L"\\unbrd.exe", "program");
    // A read-only file is no reason to stay.
    WriteFileBytes(InstallDir + L"\\Delphi7\\ro.bpl", "r");
    SetFileAttributesW((InstallDir + L"\\Delphi7\\ro.bpl").c_str(), FILE_ATTRIBUTE_READONLY);
    std::vector<TScriptItem> body = Body();
    body.insert(body.begin() + 3, Row(itRegisterUninstall | Logged, L"unbrd.exe", 0, dcRoot));
    WriteLog(HeaderRows() + body);
    const std::wstring held = InstallDir + L"\\Source\\cvl.inc";
    {
        brd::UniqueFile open(CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        TDeinstall d;
        ASSERT_EQ(Load(d, LogPath()), 0);
        d.DoDeinstall();
        ASSERT_EQ(d.LeftOver().size(), 1u);
        EXPECT_EQ(d.LeftOver()[0].What, held);
        EXPECT_EQ(d.LeftOver()[0].Why, LeftInUseText);
        EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, entry));
        EXPECT_TRUE(Exists(LogPath()));
        EXPECT_TRUE(Exists(InstallDir + L"\\unbrd.exe"));
        EXPECT_FALSE(Exists(InstallDir + L"\\Delphi7"));
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, productKey));
    }
    TDeinstall again;
    ASSERT_EQ(Load(again, LogPath()), 0);
    again.DoDeinstall();
    EXPECT_TRUE(again.LeftOver().empty());
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, entry));
    EXPECT_FALSE(Exists(InstallDir));
}

TEST_F(Deinstall, ALogDamagedInTheMiddleIsUndoneOnlyDownToTheDamage) {
    WriteLog(HeaderRows() + Body());
    std::string bytes = ReadFileBytes(LogPath());
    // The record of the Delphi7 folder (fourth newest) loses its name length.
    size_t pos = bytes.size();
    for (int i = 0; i < 3; ++i) pos -= static_cast<uint8_t>(bytes[pos - 2]) | static_cast<uint8_t>(bytes[pos - 1]) << 8;
    size_t length = static_cast<uint8_t>(bytes[pos - 2]) | static_cast<uint8_t>(bytes[pos - 1]) << 8;
    bytes[pos - length + 12] = 0x7F;
    WriteFileBytes(LogPath(), bytes);

    TDeinstall d;
    ASSERT_EQ(Load(d, LogPath()), 0);
    EXPECT_FALSE(d.BodyIsWhole());
    EXPECT_EQ(d.DoDeinstall(), 0);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, productKey));  // newer than the damage
    EXPECT_EQ(KnownPackage(), L"<missing>");
    // clang-format off
    EXPECT_TRUE(IsDir(InstallDir + L"\\Delphi7"));                // the damaged record
    EXPECT_TRUE(Exists(InstallDir + L"\\Source\\cvl.inc"));        // older
    // clang-format on
}

// ---------------------------------------------------------------- with a dialog

// A window with the frame's controls that DoDeinstall works on.
class TestDialog {
public:
    TestDialog() {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        FWnd = CreateWindowExW(0, L"Static", L"test frame", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr,
                               nullptr);
        Add(L"Static", idcPageText, 0);
        Add(L"Button", idcProgressGroup, BS_GROUPBOX);
        Add(PROGRESS_CLASSW, idcProgressBar, 0);
        Add(L"Static", idcStatusLine, 0);
        Add(L"Button", idcNext, 0);
        Add(L"Button", idcCancel, 0);
    }
    ~TestDialog() { DestroyWindow(FWnd); }
    HWND get() const { return FWnd; }
    HWND item(int id) const { return GetDlgItem(FWnd, id); }
    std::wstring text(int id) const {
        wchar_t buf[512] = {};
        GetDlgItemTextW(FWnd, id, buf, 512);
        return buf;
    }

private:
    void Add(const wchar_t* cls, int id, DWORD style) {
        CreateWindowExW(0, cls, L"", WS_CHILD | style, 0, 0, 100, 20, FWnd,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }
    HWND FWnd;
};

TEST_F(Deinstall, DialogShowsTheRunAndGivesCancelBack) {
    WriteLog(HeaderRows() + Body());
    TestDialog dlg;
    TDeinstall d;
    d.sProductText = L"trial Delphi version of Corvane library v4.07";
    d.SetDialogHandle(dlg.get());
    ASSERT_EQ(Load(d, LogPath()), 0);
    DWORD start = GetTickCount();
    EXPECT_EQ(d.DoDeinstall(), 0);
    EXPECT_GE(GetTickCount() - start, 8u * 50 - 20);  // paced: 8 records
    EXPECT_EQ(dlg.text(idcPageText), L"Performing uninstall of the \"trial Delphi version of Corvane library v4.07\"...");
    // The oldest record is the install directory's own.
    EXPECT_EQ(dlg.text(idcStatusLine), L"Removing directory");
    for (int id : {idcProgressGroup, idcProgressBar, idcStatusLine})
        EXPECT_TRUE(GetWindowLongW(dlg.item(id), GWL_STYLE) & WS_VISIBLE) << id;
    EXPECT_FALSE(IsWindowEnabled(dlg.item(idcNext)));
    EXPECT_TRUE(IsWindowEnabled(dlg.item(idcCancel)));
    PBRANGE range{};
    SendMessageW(dlg.item(idcProgressBar), PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(SendMessageW(dlg.item(idcProgressBar), PBM_GETPOS, 0, 0), range.iHigh);
    EXPECT_FALSE(Exists(InstallDir));
}

TEST_F(Deinstall, DialogSaysSkippingForKeptRecordsAndCancelComesBackAfterAStop) {
    // Newest first: the kept key (skipped), the IDE block, then the missing help batch.
    std::vector<TScriptItem> body = Body();
    body.insert(body.begin() + 3, Row(itRegisterHelp | Logged, L"help\\help_reg.bat"));
    body.push_back(Row(itCreateRegKey | Kept, productKey.c_str(), 0x80000002));
    WriteLog(HeaderRows() + std::vector<TScriptItem>(body.end() - 1, body.end()));
    TestDialog dlg;
    {
        TDeinstall d;
        d.flPartialUninstall = true;
        d.SetDialogHandle(dlg.get());
        ASSERT_EQ(Load(d, LogPath()), 0);
        d.DoDeinstall();
        EXPECT_EQ(dlg.text(idcStatusLine), L"Skipping");
        EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, productKey));
    }
    WriteLog(HeaderRows() + body);
    TDeinstall d;
    d.SetDialogHandle(dlg.get());
    ASSERT_EQ(Load(d, LogPath()), 0);
    d.DoDeinstall();
    EXPECT_EQ(dlg.text(idcStatusLine), L"Removing directory");
    EXPECT_TRUE(IsWindowEnabled(dlg.item(idcCancel)));
    // A missing batch file stops nothing any more.
    EXPECT_FALSE(Exists(InstallDir + L"\\cvTempls.ini"));
}

TEST_F(Deinstall, ALongBodyStillRunsTheBarFromStartToEnd) {
    // Five IDE records of 20000 bytes each: 100080 bytes, beyond the bar's 16 bits.
    std::wstring longName(20000, L'n');
    std::vector<TScriptItem> body(5, Row(itSetIde | Logged, longName.c_str(), 9));
    WriteLog(HeaderRows() + body);
    TestDialog dlg;
    TDeinstall d;
    d.SetDialogHandle(dlg.get());
    ASSERT_EQ(Load(d, LogPath()), 0);
    d.DoDeinstall();
    PBRANGE range{};
    SendMessageW(dlg.item(idcProgressBar), PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_GT(range.iHigh, 40000);
    EXPECT_LE(range.iHigh, 65535);
    EXPECT_EQ(SendMessageW(dlg.item(idcProgressBar), PBM_GETPOS, 0, 0), range.iHigh);
}

}  // namespace
