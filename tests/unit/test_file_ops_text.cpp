// The executors that edit 8-bit text files in place: appending a help index line,
// merging alias files and replacing text, on Wine's real file system.
#include <gtest/gtest.h>

#include "FileOpsTesting.h"
#include "catalogue/UDirCodes.h"
#include "support/UDirTree.h"

using namespace cvltest;

namespace {

constexpr int Delphi7 = 9;  // help files d7.ohi, d7.ohl, d7.als

// Delphi 7 is the current environment, installed in <scratch>\IDE.
class ModifyFile : public FileOpsTest {
protected:
    void SetUp() override {
        FileOpsTest::SetUp();
        detected[Delphi7].RootDir = Path(L"IDE");
        EnterIde(Delphi7);
        CreateDirectoryPath(Path(L"IDE\\Help"));
    }
    const std::wstring help = Path(L"IDE\\Help\\d7.ohi");
};

TEST_F(ModifyFile, AppendsTheLineOnce) {
    const wchar_t* const link = L"\r\n:Link cvlib.hlp";
    struct Case {
        std::string before;
        const wchar_t* line;
        std::string after;  // empty: unchanged
        const wchar_t* suffix;
    };
    const Case cases[] = {
        {"", link, "\r\n:Link cvlib.hlp\r\n", L"...Success"},
        {":Link d7.hlp\r\n", link, ":Link d7.hlp\r\n:Link cvlib.hlp\r\n", L"...Success"},
        {":Link d7.hlp", link, ":Link d7.hlp\r\n:Link cvlib.hlp\r\n", L"...Success"},
        {"x\r\n", L":Index y", "x\r\n:Index y\r\n", L"...Success"},
        {":Link d7.hlp\r\n:LINK CVLIB.HLP\r\n", link, "", L"...Already"},
    };
    for (const Case& c : cases) {
        WriteFileBytes(help, c.before);
        EXPECT_EQ(Run(ExecModifyFile, Row(itModifyFile, c.line, 1, dcIdeHelp)), 0);
        EXPECT_EQ(ReadFileBytes(help), c.after.empty() ? c.before : c.after);
        EXPECT_EQ(log, L"Modifying file: " + help + c.suffix);
    }
}

TEST_F(ModifyFile, WithoutItsFileNothingIsWritten) {
    struct Case {
        int ide;
        uint32_t code;
    };
    // No help file yet; no current environment; no help file number 4; Delphi 3 has
    // no second help file.
    for (Case c : {Case{Delphi7, 1}, Case{0, 1}, Case{Delphi7, 4}, Case{1, 2}}) {
        EnterIde(c.ide);
        EXPECT_EQ(Run(ExecModifyFile, Row(itModifyFile, L":Link cvlib.hlp", c.code, dcIdeHelp)), mfOpenFailed);
        EXPECT_EQ(log, L"");
    }
    EXPECT_FALSE(Exists(help));
}

TEST_F(ModifyFile, AFileInUseIsNotTouched) {
    WriteFileBytes(help, "x\r\n");
    brd::UniqueFile lock(CreateFileW(help.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(Run(ExecModifyFile, Row(itModifyFile, L":Link cvlib.hlp", 1, dcIdeHelp)), mfOpenFailed);
    lock.reset();
    EXPECT_EQ(ReadFileBytes(help), "x\r\n");
}

using MergeFiles = FileOpsTest;

TEST_F(MergeFiles, AddsTheMissingLinesInOrder) {
    struct Case {
        const char* what;
        std::string target;  // "<missing>": no file
        std::string merged;
    };
    const Case cases[] = {
        {"sorted target", "alpha\r\ngamma\r\n", "alpha\r\nbeta\r\ndelta\r\ngamma\r\nGamma\r\n"},
        {"missing target", "<missing>", "alpha\r\nbeta\r\ndelta\r\nGamma\r\n"},
        // The search misses alpha in an unsorted file and adds it once more.
        {"unsorted target", "zeta\r\nalpha\r\n", "alpha\r\nbeta\r\ndelta\r\nGamma\r\nzeta\r\nalpha\r\n"},
    };
    WriteFileBytes(Path(L"cvlib.als"), "beta\r\nalpha\r\ndelta\r\nGamma\r\nbeta\r\n");
    for (const Case& c : cases) {
        DeleteFileW(Path(L"d7.als").c_str());
        if (c.target != "<missing>") WriteFileBytes(Path(L"d7.als"), c.target);
        EXPECT_EQ(Run(ExecMergeFiles, Row(itMergeFiles, L"cvlib.als", 0, dcRoot).Second(L"d7.als", dcRoot)), 0) << c.what;
        EXPECT_EQ(ReadFileBytes(Path(L"d7.als")), c.merged) << c.what;
        EXPECT_EQ(log, L"Merging files: " + Path(L"cvlib.als") + L", " + Path(L"d7.als") + L"...Success");
    }
}

TEST_F(MergeFiles, ATargetThatCannotBeReadIsKept) {
    WriteFileBytes(Path(L"cvlib.als"), "alpha\r\n");
    WriteFileBytes(Path(L"d7.als"), "zeta\r\n");
    brd::UniqueFile lock(CreateFileW(Path(L"d7.als").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(Run(ExecMergeFiles, Row(itMergeFiles, L"cvlib.als", 0, dcRoot).Second(L"d7.als", dcRoot)), ERROR_SHARING_VIOLATION);
    lock.reset();
    EXPECT_EQ(log, L"Merging files: " + Path(L"cvlib.als") + L", " + Path(L"d7.als") + L"...Fail");
    EXPECT_EQ(ReadFileBytes(Path(L"d7.als")), "zeta\r\n");

    EXPECT_EQ(Run(ExecMergeFiles, Row(itMergeFiles, L"missing.als", 0, dcRoot).Second(L"d7.als", dcRoot)), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReadFileBytes(Path(L"d7.als")), "zeta\r\n");
    EXPECT_EQ(Run(ExecMergeFiles, Row(itMergeFiles, L"cvlib.als", 0, dcRoot).Second(L"d7.als", dcIdeHelp)),
              ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(Exists(Path(L"cwd\\d7.als")));
}

using ReplaceText = FileOpsTest;

TEST_F(ReplaceText, ReplacesTheFirstOccurrenceInAnyCase) {
    struct Case {
        std::string before;
        const wchar_t* find;
        const wchar_t* replace;
        std::string after;
        const wchar_t* suffix;
    };
    const Case cases[] = {
        {"Hello World, hello", L"HELLO", L"Bye", "Bye World, hello", L"...Success"},
        {"abcdef", L"cd", L"", "abef", L"...Success"},
        {"abcdef", L"f", L"fghij", "abcdefghij", L"...Success"},
        {"abcdef", L"xyz", L"q", "abcdef", L"...Already"},
        {"abcdef", nullptr, L"q", "abcdef", L"...Already"},
    };
    for (const Case& c : cases) {
        WriteFileBytes(Path(L"f.txt"), c.before);
        EXPECT_EQ(Run(ExecReplaceText, Row(itReplaceText, L"f.txt", 0, dcRoot).Second(c.replace, dcRoot).WithParam(c.find)), 0);
        EXPECT_EQ(ReadFileBytes(Path(L"f.txt")), c.after);
        EXPECT_EQ(log, L"Replace text: File=" + Path(L"f.txt") + L", FindText=" + (c.find ? c.find : L"") +
                           L", ReplaceTo=" + c.replace + c.suffix);
    }
    EXPECT_EQ(Run(ExecReplaceText, Row(itReplaceText, L"missing.txt", 0, dcRoot).Second(L"b", dcRoot).WithParam(L"a")), mfOpenFailed);
    EXPECT_EQ(log, L"");
}

}  // namespace
