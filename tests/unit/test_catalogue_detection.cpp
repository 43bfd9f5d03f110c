// IDE detection against Wine's real registry and file system: stand-in IDEs in the
// IDEs' own keys (both hives, 32-bit view) and scratch folders.
#include <gtest/gtest.h>

#include "Scratch.h"
#include "StandInIde.h"
#include "catalogue/UProducts.h"
#include "support/UDirTree.h"
#include "support/WinHandles.h"

using namespace cvltest;

namespace {

StandInIde::Change InHive(HKEY hive) {
    return [hive](StandInIdeLayout& s) { s.Hive = hive; };
}

StandInIde::Change WithType(DWORD type) {
    return [type](StandInIdeLayout& s) { s.Type = type; };
}

StandInIde::Change WithValue(const std::wstring& value) {
    return [value](StandInIdeLayout& s) { s.RootDir = value; };
}

StandInIde::Change Without(bool StandInIdeLayout::*part) {
    return [part](StandInIdeLayout& s) { s.*part = false; };
}

StandInIde::Change WithoutTool(StandInTools tool) {
    return [tool](StandInIdeLayout& s) { s.Tools &= ~tool; };
}

// Writes "RootDir" where only a 64-bit program would look for it.
void WriteRootDirIn64BitView(int row, const std::wstring& value) {
    brd::UniqueKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, BorlandProducts[row].RegKey.c_str(), 0, nullptr, 0,
                              KEY_WRITE | KEY_WOW64_64KEY, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key.get(), L"RootDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// Takes the 64-bit view's value away again, also when the test stops early.
struct Remove64BitViewRootDir {
    int Row;
    ~Remove64BitViewRootDir() { RemoveRootDir(HKEY_LOCAL_MACHINE, BorlandProducts[Row].RegKey, KEY_WOW64_64KEY); }
};

struct Expected {
    int Row;
    bool Exists;
    std::wstring RootDir;
    const char* What;
};

void ExpectRows(const TDetectedIdes& detected, const std::vector<Expected>& rows) {
    for (const Expected& e : rows) {
        const TDetectedIde& p = detected[static_cast<size_t>(e.Row)];
        EXPECT_EQ(p.Exists, e.Exists) << "row " << e.Row << ": " << e.What;
        EXPECT_EQ(p.RootDir, e.RootDir) << "row " << e.Row << ": " << e.What;
    }
}

class CatalogueDetection : public ::testing::Test {
protected:
    void SetUp() override { ResetCatalogue(); }
    void TearDown() override { ResetCatalogue(); }

    IdeKeysLock FLock;  // held for the whole test: the IDE keys are shared by all tests
    ScratchDir FDir;
};

TEST_F(CatalogueDetection, FindsOnlyCompleteInstallationsAndKeepsWhatWasRead) {
    const ScratchDir& d = FDir;
    // In ascending row order: each stand-in holds its row's lock.
    StandInIde delphi3(1, d / L"D3", WithType(REG_EXPAND_SZ));
    ASSERT_TRUE(WriteRootDir(HKEY_CURRENT_USER, 1, REG_SZ, d / L"D3"));
    StandInIde delphi4(2, d / L"D4", WithValue(d / L"D4\\\\"));
    StandInIde delphi5(3, d / L"D5", InHive(HKEY_CURRENT_USER));
    StandInIde cbuilder4(5, d / L"CB4", WithoutTool(ToolMake));
    StandInIde cbuilder5(6, d / L"CB5", WithoutTool(ToolDcc32));
    StandInIde delphi6(7, d / L"D6", WithType(REG_EXPAND_SZ));
    StandInIde delphi7(9, d / L"D7");
    StandInIde delphi2005(10, d / L"D2005", InHive(HKEY_CURRENT_USER));
    ASSERT_TRUE(WriteRootDir(HKEY_LOCAL_MACHINE, 10, REG_SZ, d / L"Deleted"));
    StandInIde bds2006(11, d / L"BDS2006", WithoutTool(ToolDcc32));
    StandInIde bds2007(12, d / L"BDS2007", Without(&StandInIdeLayout::Bin));
    StandInIde bds2009(13, d / L"BDS2009", WithType(REG_DWORD));
    StandInIde bds2010(14, d / L"BDS2010", Without(&StandInIdeLayout::Registry));
    Remove64BitViewRootDir remove64{14};
    WriteRootDirIn64BitView(14, d / L"BDS2010");
    StandInIde xe(15, d / L"XE", WithoutTool(ToolDcc32));
    ASSERT_TRUE(CreateDirectoryW((xe / L"bin\\dcc32.exe").c_str(), nullptr));
    StandInIde xe2(16, d / L"XE2", Without(&StandInIdeLayout::Registry));
    ASSERT_TRUE(WriteRootDir(HKEY_LOCAL_MACHINE, 16, REG_SZ, L""));
    StandInIde xe3(17, d / L"XE3", WithValue(d / L"XE3\\bin\\dcc32.exe"));

    const TDetectedIdes detected = DetectProducts();

    ExpectRows(detected, {
                             // clang-format off
        {9,  true,  d / L"D7",      "complete, machine-wide"},
        {3,  true,  d / L"D5",      "complete, current user only"},
        {2,  true,  d / L"D4",      "trailing backslashes are removed"},
        {7,  false, L"",            "REG_EXPAND_SZ counts as missing"},
        {1,  true,  d / L"D3",      "REG_EXPAND_SZ machine-wide, REG_SZ for the user"},
        {10, false, d / L"Deleted", "the machine-wide value wins even when its folder is gone"},
        {5,  false, d / L"CB4",     "C++Builder needs make.exe, dcc32.exe is not enough"},
        {6,  true,  d / L"CB5",     "C++Builder with make.exe and no dcc32.exe"},
                             // clang-format on
                             {11, false, d / L"BDS2006", "Delphi needs dcc32.exe"},
                             {12, false, d / L"BDS2007", "no bin folder"},
                             // clang-format off
        {13, false, L"",            "a DWORD is no root directory"},
        {14, false, L"",            "a value in the 64-bit view is not seen"},
        {15, false, d / L"XE",      "dcc32.exe is a folder"},
        {16, false, L"",            "empty value"},
                             // clang-format on
                             {17, false, d / L"XE3\\bin\\dcc32.exe", "the root is a file"},
                         });
    for (int row = 18; row <= ProductCount; ++row) EXPECT_FALSE(detected[row].Exists) << "row " << row;
}

TEST_F(CatalogueDetection, RunningAgainRepeatsTheWholeDetection) {
    {
        StandInIde delphi7(9, FDir / L"D7");
        StandInIde studio11(28, FDir / L"RAD11", InHive(HKEY_CURRENT_USER));
        const TDetectedIdes first = DetectProducts();
        ExpectRows(first, {{9, true, FDir / L"D7", "found"}, {28, true, FDir / L"RAD11", "found"}});
        EXPECT_FALSE(first[8].Exists);

        ASSERT_TRUE(DeleteFileW((delphi7 / L"bin\\dcc32.exe").c_str()));
        ExpectRows(DetectProducts(), {{9, false, FDir / L"D7", "compiler gone, root kept"}, {28, true, FDir / L"RAD11", "still found"}});
    }
    // The stand-ins have removed their keys.
    ExpectRows(DetectProducts(), {{9, false, L"", "key gone"}, {28, false, L"", "key gone"}});
}

TEST_F(CatalogueDetection, ARootWithBlanksAndNoHelpFolderIsFound) {
    StandInIde studio(27, FDir / L"Program Files (x86)\\Embarcadero\\Studio\\21.0");
    ASSERT_EQ(DeleteDirTree(studio / L"Help", false), 0u);
    ExpectRows(DetectProducts(), {{27, true, studio.root(), "help folder is not probed"}});
}

}  // namespace
