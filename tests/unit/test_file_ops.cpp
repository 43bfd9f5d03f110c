// The file executors that create, clear and enter directories, write payload
// resources, copy, delete and check files and run programs, against Wine's real file
// system in a scratch install directory.
#include <gtest/gtest.h>

#include "FileOpsTesting.h"
#include "catalogue/UDirCodes.h"
#include "support/UDirTree.h"
#include "support/UPaths.h"
#include "support/UPlatform.h"

using namespace cvltest;

namespace {

TEST(FileExecutors, EveryFileRowTypeHasItsExecutor) {
    const std::pair<uint32_t, TExecutor> expected[] = {
        {itCreateDir, ExecCreateDir},         {itCopyResource, ExecCopyResource},
        {itCopyResourceIfAbsent, ExecCopyResourceIfAbsent}, {itCopyResourceIfNewer, ExecCopyResourceIfNewer},
        {itClearDir, ExecClearDir},           {itSetCurrentDir, ExecSetCurrentDir},
        {itCopyFile, ExecCopyFile},           {itCopyFiles, ExecCopyFiles},
        {itDeleteFile, ExecDeleteFile},       {itDeleteFiles, ExecDeleteFiles},
        {itCheckFile, ExecCheckFile},         {itModifyFile, ExecModifyFile},
        {itMergeFiles, ExecMergeFiles},       {itReplaceText, ExecReplaceText},
        {itRunFile, ExecRunFile},
    };
    for (const auto& [type, executor] : expected) EXPECT_EQ(FindExecutor(FileExecutors, type), executor) << type;
    EXPECT_EQ(FileExecutors.Count, std::size(expected));
    EXPECT_EQ(FindExecutor(FileExecutors, itCompilePackage), nullptr);
    EXPECT_EQ(FindExecutor(FileExecutors, itIfFileExists), nullptr);  // the engine's own
}

TEST(FileExecutors, SystemMessageTextIsTrimmed) {
    const std::wstring text = SystemMessageText(ERROR_FILE_NOT_FOUND);
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.back(), L'.');
    EXPECT_GT(text.back(), L' ');
}

using CreateDir = FileOpsTest;

TEST_F(CreateDir, CreatesMissingLevelsAndAcceptsExistingOnes) {
    EXPECT_EQ(Run(ExecCreateDir, Row(itCreateDir, L"a\\b", 0, dcRoot)), 0);
    EXPECT_EQ(log, L"Creating directory: " + Path(L"a\\b") + L"...Success");
    EXPECT_TRUE(IsDir(Path(L"a\\b")));
    EXPECT_EQ(Run(ExecCreateDir, Row(itCreateDir, L"a\\b", 0, dcRoot)), 0);
    EXPECT_EQ(log, L"Creating directory: " + Path(L"a\\b") + L"...Success");
    EXPECT_EQ(Run(ExecCreateDir, Row(itCreateDir, L"", 0, dcRoot)), 0);  // the install directory itself
    EXPECT_EQ(log, L"Creating directory: " + dir.path() + L"...Success");
}

TEST_F(CreateDir, AFailureCarriesTheSystemsMessage) {
    WriteFileBytes(Path(L"file"), "x");
    const int32_t result = Run(ExecCreateDir, Row(itCreateDir, L"file\\sub", 0, dcRoot));
    ASSERT_NE(result, 0);
    EXPECT_EQ(log, L"Creating directory: " + Path(L"file\\sub") + L"...Fail. " +
                       SystemMessageText(static_cast<uint32_t>(result)));
}

TEST_F(CreateDir, AnUnresolvedDirectoryCreatesNothingInTheCurrentOne) {
    // dcIdeRoot before any itSetIde resolves to nothing.
    EXPECT_EQ(Run(ExecCreateDir, Row(itCreateDir, L"Help", 0, dcIdeRoot)), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(log, L"Creating directory: Help...Fail. " + SystemMessageText(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(Exists(Path(L"cwd\\Help")));
}

using CopyResource = FileOpsTest;

TEST_F(CopyResource, OverwritesOrKeepsWhatIsThere) {
    struct Case {
        uint32_t type;
        const char* before;  // nullptr: no file
        std::string after;
        const wchar_t* suffix;
    };
    const Case cases[] = {
        {itCopyResource, nullptr, Resource(ResPlain), L"...Success"},
        {itCopyResource, "older file, longer than the resource itself", Resource(ResPlain), L"...Success"},
        {itCopyResourceIfAbsent, nullptr, Resource(ResPlain), L"...Success"},
        {itCopyResourceIfAbsent, "the user's own", "the user's own", L"...Already"},
    };
    for (const Case& c : cases) {
        DeleteFileW(Path(L"f.bin").c_str());
        if (c.before) WriteFileBytes(Path(L"f.bin"), c.before);
        TExecutor executor = FindExecutor(FileExecutors, c.type);
        EXPECT_EQ(Run(executor, Row(c.type, L"f.bin", ResPlain, dcRoot)), 0);
        EXPECT_EQ(ReadFileBytes(Path(L"f.bin")), c.after);
        EXPECT_EQ(log, L"Copying file: " + Path(L"f.bin") + c.suffix);
    }
}

TEST_F(CopyResource, AnythingFoundCountsAsPresent) {
    CreateDirectoryPath(Path(L"f.bin"));
    EXPECT_EQ(Run(ExecCopyResourceIfAbsent, Row(itCopyResourceIfAbsent, L"f.bin", ResPlain, dcRoot)), 0);
    EXPECT_EQ(log, L"Copying file: " + Path(L"f.bin") + L"...Already");
}

TEST_F(CopyResource, FailuresGiveTheWindowsError) {
    EXPECT_EQ(Run(ExecCopyResource, Row(itCopyResource, L"missing\\f.bin", ResPlain, dcRoot)), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(log, L"Copying file: " + Path(L"missing\\f.bin") + L"...Fail");
    EXPECT_NE(Run(ExecCopyResource, Row(itCopyResource, L"f.bin", 999, dcRoot)), 0);
    EXPECT_EQ(log, L"Copying file: " + Path(L"f.bin") + L"...Fail");
    EXPECT_EQ(Run(ExecCopyResource, Row(itCopyResource, L"f.bin", ResPlain, dcIdeRoot)), ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(Exists(Path(L"cwd\\f.bin")));
}

using CopyIfNewer = FileOpsTest;

TEST_F(CopyIfNewer, ComparesProductVersions) {
    struct Case {
        const char* what;
        std::string installed;  // empty: no file
        uint32_t resource;
        bool copied;
    };
    const Case cases[] = {
        {"no installed file", "", ResOld, true},
        {"installed file without version", "plain text", ResOld, true},
        {"older installed", Resource(ResOld), ResNew, true},
        {"same version", Resource(ResOld), ResOld, false},
        {"newer installed", Resource(ResNew), ResOld, false},
        {"payload without version", Resource(ResNew), ResPlain, true},
    };
    for (const Case& c : cases) {
        DeleteFileW(Path(L"lib.dll").c_str());
        if (!c.installed.empty()) WriteFileBytes(Path(L"lib.dll"), c.installed);
        EXPECT_EQ(Run(ExecCopyResourceIfNewer, Row(itCopyResourceIfNewer, L"lib.dll", c.resource, dcRoot)), 0) << c.what;
        EXPECT_EQ(ReadFileBytes(Path(L"lib.dll")), c.copied ? Resource(c.resource) : c.installed) << c.what;
        EXPECT_EQ(log, L"Copying file: " + Path(L"lib.dll") + (c.copied ? L"...Success" : L"...Already")) << c.what;
    }
}

TEST_F(CopyIfNewer, LeavesTheTemporaryDirectoryAsItWas) {
    // A file of the row's name in the temporary directory belongs to someone else.
    const std::wstring theirs = PathJoin(GetTempDir(), L"cvltest_lib.dll");
    WriteFileBytes(theirs, "someone else's");
    WriteFileBytes(Path(L"cvltest_lib.dll"), Resource(ResOld));
    WIN32_FIND_DATAW data;
    auto countTemp = [&] {
        int n = 0;
        brd::UniqueFind find(FindFirstFileW(PathJoin(GetTempDir(), L"cvl*.tmp").c_str(), &data));
        if (!find) return 0;
        do ++n;
        while (FindNextFileW(find.get(), &data));
        return n;
    };
    const int before = countTemp();
    EXPECT_EQ(Run(ExecCopyResourceIfNewer, Row(itCopyResourceIfNewer, L"cvltest_lib.dll", ResNew, dcRoot)), 0);
    EXPECT_EQ(Run(ExecCopyResourceIfNewer, Row(itCopyResourceIfNewer, L"cvltest_lib.dll", ResPlain, dcRoot)), 0);
    EXPECT_EQ(ReadFileBytes(theirs), "someone else's");
    EXPECT_EQ(countTemp(), before);
    DeleteFileW(theirs.c_str());
}

using ClearDir = FileOpsTest;

TEST_F(ClearDir, EmptiesTheDirectoryAndKeepsIt) {
    CreateDirectoryPath(Path(L"ide\\sub"));
    WriteFileBytes(Path(L"ide\\a.bpl"), "a");
    WriteFileBytes(Path(L"ide\\sub\\b.dcu"), "b");
    EXPECT_EQ(Run(ExecClearDir, Row(itClearDir, L"\\ide", 0, dcRoot)), 0);  // a leading backslash changes nothing
    EXPECT_EQ(log, L"Clearing directory: " + Path(L"ide") + L"...Success");
    EXPECT_TRUE(IsDir(Path(L"ide")));
    EXPECT_FALSE(Exists(Path(L"ide\\a.bpl")));
    EXPECT_FALSE(Exists(Path(L"ide\\sub")));
}

TEST_F(ClearDir, FailuresAreLoggedOnly) {
    CreateDirectoryPath(Path(L"ide"));
    WriteFileBytes(Path(L"ide\\in use.dcu"), "x");
    brd::UniqueFile lock(CreateFileW(Path(L"ide\\in use.dcu").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(Run(ExecClearDir, Row(itClearDir, L"ide", 0, dcRoot)), 0);
    lock.reset();
    EXPECT_EQ(log, L"Clearing directory: " + Path(L"ide") + L"...Fail");
    WriteFileBytes(Path(L"cwd\\keep.txt"), "k");
    EXPECT_EQ(Run(ExecClearDir, Row(itClearDir, L"", 0, dcIdeRoot)), 0);
    EXPECT_EQ(log, L"Clearing directory: ...Fail");
    EXPECT_TRUE(Exists(Path(L"cwd\\keep.txt")));
}

using SetCurrentDir = FileOpsTest;

TEST_F(SetCurrentDir, EntersTheDirectory) {
    CreateDirectoryPath(Path(L"Delphi7"));
    EXPECT_EQ(Run(ExecSetCurrentDir, Row(itSetCurrentDir, L"Delphi7", 0, dcRoot)), 0);
    EXPECT_EQ(GetCurrentDir(), Path(L"Delphi7"));
    EXPECT_EQ(log, L"");
    EXPECT_EQ(Run(ExecSetCurrentDir, Row(itSetCurrentDir, L"missing", 0, dcRoot)), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Run(ExecSetCurrentDir, Row(itSetCurrentDir, L"Delphi7", 0, dcIdeRoot)), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(GetCurrentDir(), Path(L"Delphi7"));
}

using CopyFileRow = FileOpsTest;

TEST_F(CopyFileRow, ReplacesTheTarget) {
    const TScriptTarget target{L"out\\cvl70.bpl", dcRoot};
    CreateDirectoryPath(Path(L"out"));
    WriteFileBytes(Path(L"cvl70.bpl"), "new");
    WriteFileBytes(Path(L"out\\cvl70.bpl"), "old");
    const TScriptItem row = Row(itCopyFile, L"cvl70.bpl", 0, dcRoot).WithTarget(&target);
    EXPECT_EQ(Run(ExecCopyFile, row), 0);
    EXPECT_EQ(ReadFileBytes(Path(L"out\\cvl70.bpl")), "new");
    EXPECT_EQ(log, L"Copying file: from " + Path(L"cvl70.bpl") + L" to " + Path(L"out\\cvl70.bpl") + L" ...Success");
    DeleteFileW(Path(L"cvl70.bpl").c_str());
    EXPECT_EQ(Run(ExecCopyFile, row), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(log, L"Copying file: from " + Path(L"cvl70.bpl") + L" to " + Path(L"out\\cvl70.bpl") + L" ...Fail");
}

// Source\ with headers, a file whose extension only begins like the pattern's, and
// a folder that matches the pattern; a decoy header in the install directory.
class Patterns : public FileOpsTest {
protected:
    void SetUp() override {
        FileOpsTest::SetUp();
        CreateDirectoryPath(Path(L"Source\\folder.hpp"));
        CreateDirectoryPath(Path(L"BDS2006"));
        for (const wchar_t* name : {L"a.hpp", L"B.HPP", L"unit.hppx", L"unit.pas"})
            WriteFileBytes(Path(L"Source\\") + name, "source");
        WriteFileBytes(Path(L"decoy.hpp"), "decoy");
        WriteFileBytes(Path(L"BDS2006\\a.hpp"), "old");
    }
};

TEST_F(Patterns, CopyFilesCopiesTheMatchesOnly) {
    for (const wchar_t* source : {L"Source\\*.hpp", L"Source/*.hpp"}) {
        EXPECT_EQ(Run(ExecCopyFiles, Row(itCopyFiles, source, 0, dcRoot).Second(L"BDS2006\\*.hpp", dcRoot)), 0);
        EXPECT_EQ(log, L"Copying file: from " + Path(source) + L" to " + Path(L"BDS2006\\*.hpp") + L" ...Success");
        EXPECT_EQ(ReadFileBytes(Path(L"BDS2006\\a.hpp")), "source");
        EXPECT_TRUE(Exists(Path(L"BDS2006\\B.HPP")));
        EXPECT_FALSE(Exists(Path(L"BDS2006\\unit.hppx")));
        EXPECT_FALSE(Exists(Path(L"BDS2006\\unit.pas")));
        EXPECT_FALSE(Exists(Path(L"BDS2006\\folder.hpp")));
        EXPECT_FALSE(Exists(Path(L"BDS2006\\decoy.hpp")));
    }
}

TEST_F(Patterns, CopyFilesWithoutMatchesSucceedsButNotWithoutFolders) {
    EXPECT_EQ(Run(ExecCopyFiles, Row(itCopyFiles, L"Source\\*.h", 0, dcRoot).Second(L"BDS2006\\*.h", dcRoot)), 0);
    EXPECT_EQ(log, L"Copying file: from " + Path(L"Source\\*.h") + L" to " + Path(L"BDS2006\\*.h") + L" ...Success");
    EXPECT_EQ(Run(ExecCopyFiles, Row(itCopyFiles, L"Missing\\*.hpp", 0, dcRoot).Second(L"BDS2006\\*.hpp", dcRoot)),
              ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(Run(ExecCopyFiles, Row(itCopyFiles, L"Source\\*.hpp", 0, dcRoot).Second(L"Missing\\*.hpp", dcRoot)),
              ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(log, L"Copying file: from " + Path(L"Source\\*.hpp") + L" to " + Path(L"Missing\\*.hpp") + L" ...Fail");
}

TEST_F(Patterns, DeleteFilesDeletesTheMatchesOnly) {
    EXPECT_EQ(Run(ExecDeleteFiles, Row(itDeleteFiles, L"Source/*.hpp", 0, dcRoot)), 0);
    EXPECT_EQ(log, L"Deleting files: " + Path(L"Source/*.hpp") + L"...Success");
    EXPECT_FALSE(Exists(Path(L"Source\\a.hpp")));
    EXPECT_FALSE(Exists(Path(L"Source\\B.HPP")));
    EXPECT_TRUE(Exists(Path(L"Source\\unit.hppx")));
    EXPECT_TRUE(Exists(Path(L"Source\\unit.pas")));
    EXPECT_TRUE(IsDir(Path(L"Source\\folder.hpp")));
    EXPECT_TRUE(Exists(Path(L"decoy.hpp")));
    EXPECT_EQ(Run(ExecDeleteFiles, Row(itDeleteFiles, L"Source\\*.hpp", 0, dcRoot)), 0);  // nothing left to match
    EXPECT_EQ(log, L"Deleting files: " + Path(L"Source\\*.hpp") + L"...Success");
}

TEST_F(Patterns, DeleteFilesRefusesUnresolvedAndSystemFolders) {
    WriteFileBytes(Path(L"cwd\\keep.hpp"), "k");
    const std::wstring rootDecoy = L"C:\\cvltest_decoy.hpp";
    WriteFileBytes(rootDecoy, "k");
    EXPECT_EQ(Run(ExecDeleteFiles, Row(itDeleteFiles, L"*.hpp", 0, dcIdeRoot)), 0);
    EXPECT_EQ(log, L"Deleting files: *.hpp...Fail");
    EXPECT_EQ(Run(ExecDeleteFiles, Row(itDeleteFiles, L"C:\\cvltest_decoy.*", 0, dcNone)), 0);
    EXPECT_EQ(log, L"Deleting files: C:\\cvltest_decoy.*...Fail");
    EXPECT_TRUE(Exists(Path(L"cwd\\keep.hpp")));
    EXPECT_TRUE(Exists(rootDecoy));
    DeleteFileW(rootDecoy.c_str());
}

using DeleteFileRow = FileOpsTest;

TEST_F(DeleteFileRow, DeletesOrFindsNothingToDelete) {
    WriteFileBytes(Path(L"cvl.pas"), "x");
    WriteFileBytes(Path(L"cwd\\cvl.pas"), "x");
    struct Case {
        const wchar_t* name;
        uint32_t dir;
        std::wstring log;
    };
    const Case cases[] = {
        {L"cvl.pas", dcRoot, L"Deleting file: " + Path(L"cvl.pas") + L"...Success"},
        {L"cvl.pas", dcRoot, L"Deleting file: " + Path(L"cvl.pas") + L"...Success"},  // already gone
        {L"cvl.pas", dcIdeRoot, L"Deleting file: cvl.pas...Fail"},                     // not the current dir's
        {L"cwd", dcRoot, L"Deleting file: " + Path(L"cwd") + L"...Fail"},              // a folder
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(ExecDeleteFile, Row(itDeleteFile, c.name, 0, c.dir)), 0);
        EXPECT_EQ(log, c.log);
    }
    EXPECT_FALSE(Exists(Path(L"cvl.pas")));
    EXPECT_TRUE(Exists(Path(L"cwd\\cvl.pas")));
}

using CheckFile = FileOpsTest;

TEST_F(CheckFile, AnythingFoundIsPresent) {
    CreateDirectoryPath(Path(L"Delphi7"));
    WriteFileBytes(Path(L"Delphi7\\cvl70.bpl"), "bpl");
    WriteFileBytes(Path(L"cwd\\relative.bpl"), "bpl");
    struct Case {
        const wchar_t* name;
        uint32_t dir;
        int32_t result;
    };
    const Case cases[] = {
        {L"Delphi7\\cvl70.bpl", dcRoot, 0},   {L"Delphi7", dcRoot, 0},
        {L"Delphi7\\*.bpl", dcRoot, 0},       {L"Delphi7\\dclcvl70.bpl", dcRoot, cfMissing},
        {L"relative.bpl", dcIdeRoot, cfMissing},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(ExecCheckFile, Row(itCheckFile, c.name, 0, c.dir)), c.result) << c.name;
        EXPECT_EQ(log, L"Check file: " + RowPath(c.dir, c.name, context) + (c.result == 0 ? L"...Success" : L"...Fail"));
    }
}

using RunFile = FileOpsTest;

TEST_F(RunFile, RunsFromTheCurrentDirectoryEvenWithBlanks) {
    CreateDirectoryPath(Path(L"with blank"));
    WriteFileBytes(Path(L"with blank\\mark.bat"), "@echo %1> ran.txt\r\n");
    SetCurrentDirectoryW(Path(L"with blank").c_str());
    EXPECT_EQ(Run(ExecRunFile, Row(itRunFile, L"mark.bat yes", 0, dcNone)), 0);
    EXPECT_EQ(ReadFileBytes(Path(L"with blank\\ran.txt")), "yes\r\n");
    EXPECT_EQ(log, L"Run file: \"" + Path(L"with blank\\mark.bat") + L"\" yes...Success");
    EXPECT_EQ(Run(ExecRunFile, Row(itRunFile, L"missing.exe", 0, dcNone)), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(log, L"");
}

}  // namespace
