// Text searches, path joining, directory codes and search-path locations.
#include <gtest/gtest.h>

#include "FreshState.h"
#include "catalogue/UDirCodes.h"
#include "catalogue/UProducts.h"
#include "support/UPaths.h"
#include "support/UPlatform.h"
#include "support/UText.h"

using cvltest::FreshStateTest;

namespace {

struct StrPosCase {
    const wchar_t* text;
    const wchar_t* pattern;
    int expected;
};

TEST(StrPos, FindsTheFirstOccurrenceOneBased) {
    const StrPosCase cases[] = {
        // clang-format off
        {L"aaab", L"aab", 2}, {L"abc", L"a", 1},    {L"abc", L"c", 3},  {L"abc", L"abcd", 0},
        {L"abc", L"", 0},     {L"", L"a", 0},       {L"ABC", L"b", 0},  {L"x\\y\\z", L"\\", 2},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StrPosW(c.text, c.pattern), c.expected) << "text " << testing::PrintToString(std::wstring(c.text));
        std::string narrowText(c.text, c.text + wcslen(c.text)), narrowPattern(c.pattern, c.pattern + wcslen(c.pattern));
        EXPECT_EQ(StrPosA(narrowText, narrowPattern), c.expected);
    }
}

TEST(StrPos, ComparesBytesIncludingHighAndZeroBytes) {
    std::string text("ab\0\xE9z", 5);
    EXPECT_EQ(StrPosA(text, std::string("\0\xE9", 2)), 3);
}

TEST(LastCharPos, ScansFromTheEnd) {
    EXPECT_EQ(LastCharPos(L"C:\\a\\b", L'\\'), 5);
    EXPECT_EQ(LastCharPos(L"abc", L'\\'), 0);
    EXPECT_EQ(LastCharPos(L"", L'\\'), 0);
    EXPECT_EQ(LastCharPos(L"C:\\Program Files\\x", L' '), 11);
}

TEST(PathJoin, PutsExactlyOneBackslashBetweenDirAndName) {
    struct Case {
        const wchar_t *dir, *name, *expected;
    } cases[] = {
        // clang-format off
        {L"C:\\X", L"Source", L"C:\\X\\Source"},  {L"C:\\X\\", L"Source", L"C:\\X\\Source"},
        {L"C:\\X", L"\\Help", L"C:\\X\\Help"},    {L"C:\\X\\", L"\\Help", L"C:\\X\\\\Help"},
        {L"", L"a.txt", L"a.txt"},                {L"C:\\X", L"", L"C:\\X"},
        // clang-format on
        {L"", L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(PathJoin(c.dir, c.name), c.expected);
}

TEST(QuoteIfBlank, QuotesOnlyPathsWithABlank) {
    EXPECT_EQ(QuoteIfBlank(L"C:\\Program Files\\IDE\\bin\\dcc32.exe"), L"\"C:\\Program Files\\IDE\\bin\\dcc32.exe\"");
    EXPECT_EQ(QuoteIfBlank(L"C:\\IDE\\bin\\dcc32.exe"), L"C:\\IDE\\bin\\dcc32.exe");
}

class DirCodes : public FreshStateTest {};

TEST_F(DirCodes, IdeCodesNeedACurrentIdeInRange) {
    TDetectedIdes detected;
    detected[9].RootDir = L"C:\\IDE";
    TRunContext run;
    run.Detected = &detected;
    for (int ide : {0, 29, -1}) {
        run.Ide = IdeBlock(ide, L"", run);
        EXPECT_EQ(DirCodeToPath(dcIdeRoot, run), L"") << ide;
        EXPECT_EQ(DirCodeToPath(dcIdeHelp, run), L"") << ide;
    }
    run.Ide = IdeBlock(9, L"", run);
    EXPECT_EQ(DirCodeToPath(dcIdeRoot, run), L"C:\\IDE");
    EXPECT_EQ(DirCodeToPath(dcIdeHelp, run), L"C:\\IDE\\Help\\");
    EXPECT_EQ(PathJoin(DirCodeToPath(dcIdeHelp, run), L"d7.ohi"), L"C:\\IDE\\Help\\d7.ohi");
}

TEST_F(DirCodes, PlatformDirectories) {
    wchar_t windows[MAX_PATH], system[MAX_PATH], temp[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    GetSystemDirectoryW(system, MAX_PATH);
    GetTempPathW(MAX_PATH, temp);
    TRunContext run;
    EXPECT_EQ(DirCodeToPath(dcWindows, run), windows);
    EXPECT_EQ(DirCodeToPath(dcSystem, run), system);
    EXPECT_EQ(DirCodeToPath(dcTemp, run), temp);
    EXPECT_EQ(DirCodeToPath(dcTemp, run).back(), L'\\');
    EXPECT_EQ(DirCodeToPath(dcNone, run), L"");
    EXPECT_EQ(DirCodeToPath(7, run), L"");
    EXPECT_EQ(DirCodeToPath(0x80000003, run), L"");
    run.InstallDir = L"C:\\Lib";
    EXPECT_EQ(DirCodeToPath(dcRoot, run), L"C:\\Lib");
}

TEST_F(DirCodes, SearchPathLocationsIgnoreBitSeven) {
    TRunContext run = RunContextIn(L"C:\\Lib");
    run.Ide.Folder = L"Delphi7";
    EXPECT_EQ(SearchPathLocation(0, run), L"C:\\Lib");
    EXPECT_EQ(SearchPathLocation(1, run), L"C:\\Lib\\Source");
    EXPECT_EQ(SearchPathLocation(2, run), L"C:\\Lib\\Delphi7");
    EXPECT_EQ(SearchPathLocation(3, run), L"C:\\Lib\\Delphi7\\Win32");
    EXPECT_EQ(SearchPathLocation(4, run), L"C:\\Lib\\Delphi7\\Win64");
    EXPECT_EQ(SearchPathLocation(0x83, run), SearchPathLocation(3, run));
    EXPECT_EQ(SearchPathLocation(5, run), L"");
    EXPECT_EQ(SearchPathLocation(0x7F, run), L"");
}

TEST(Platform, ReadsTheNtFamilyPlatformId) {
    ReadOSPlatform();
    EXPECT_EQ(OSPlatformId, 2u);
}

}  // namespace
