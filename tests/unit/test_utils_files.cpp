// Directory creation and removal, payload resources, versions and processes, on
// Wine's real file system inside the sandboxed test machine.
#include <gtest/gtest.h>

#include "Scratch.h"
#include "support/UDirTree.h"
#include "support/UProcess.h"
#include "support/UResources.h"
#include "support/UVersionInfo.h"

using namespace cvltest;

namespace {

const std::string Resource1("Corvane test resource\r\n\x00\x01\x02\xff", 27);

TEST(CreateDirectoryPath, CreatesEveryMissingParent) {
    ScratchDir dir;
    ASSERT_EQ(CreateDirectoryPath(dir / L"a"), 0);
    EXPECT_EQ(CreateDirectoryPath(dir / L"a\\b\\c"), 0);
    EXPECT_TRUE(IsDir(dir / L"a\\b\\c"));
    EXPECT_EQ(CreateDirectoryPath(dir / L"a\\b\\c"), 0);  // existing is success
    EXPECT_EQ(CreateDirectoryPath(dir / L"t\\u\\"), 0);   // trailing separator
    EXPECT_TRUE(IsDir(dir / L"t\\u"));
    EXPECT_EQ(CreateDirectoryPath(dir / L"f/g"), 0);  // forward slashes separate too
    EXPECT_TRUE(IsDir(dir / L"f\\g"));
}

TEST(CreateDirectoryPath, NeverCreatesADriveAndReportsErrors) {
    EXPECT_EQ(CreateDirectoryPath(L"C:\\"), 0);
    EXPECT_EQ(CreateDirectoryPath(L"C:"), 0);
    // A drive that does not exist: the drive is passed over, its first folder fails.
    EXPECT_NE(CreateDirectoryPath(L"Q:\\nowhere\\deeper"), 0);
}

TEST(CreateDirectoryPath, AFileInTheWayIsAnError) {
    ScratchDir dir;
    WriteFileBytes(dir / L"file", "x");
    EXPECT_NE(CreateDirectoryPath(dir / L"file\\sub"), 0);
    EXPECT_NE(CreateDirectoryPath(dir / L"file"), 0);
}

TEST(CreateDirectoryPath, LongPathsWorkOrFailCleanly) {
    ScratchDir dir;
    std::wstring path = dir.path();
    while (path.size() < 600) path += L"\\abcdefghijklmnopqrstuvwxyz0123456789";
    int result = CreateDirectoryPath(path);
    if (result == 0) {
        EXPECT_TRUE(IsDir(path));
    }
    std::wstring huge = dir.path() + L"\\" + std::wstring(40000, L'x');
    EXPECT_NE(CreateDirectoryPath(huge), 0);
}

TEST(DeleteDirTree, RemovesAWholeTree) {
    ScratchDir dir;
    ASSERT_EQ(CreateDirectoryPath(dir / L"t\\a\\b"), 0);
    WriteFileBytes(dir / L"t\\one.txt", "1");
    WriteFileBytes(dir / L"t\\a\\b\\two.txt", "2");
    EXPECT_EQ(DeleteDirTree(dir / L"t", true), 0u);
    EXPECT_TRUE(IsDir(dir / L"t"));
    EXPECT_FALSE(Exists(dir / L"t\\a"));
    WriteFileBytes(dir / L"t\\three.txt", "3");
    EXPECT_EQ(DeleteDirTree(dir / L"t\\", false), 0u);
    EXPECT_FALSE(Exists(dir / L"t"));
}

TEST(DeleteDirTree, MissingDirectory) {
    ScratchDir dir;
    EXPECT_EQ(DeleteDirTree(dir / L"missing", true), 0u);
    EXPECT_EQ(DeleteDirTree(dir / L"missing", false), ddDirNotFound);
}

TEST(DeleteDirTree, DotFoldersAreNeitherEnteredNorRemoved) {
    ScratchDir dir;
    ASSERT_EQ(CreateDirectoryPath(dir / L"t\\.svn"), 0);
    WriteFileBytes(dir / L"t\\.svn\\entries", "e");
    WriteFileBytes(dir / L"t\\plain.txt", "p");
    EXPECT_EQ(DeleteDirTree(dir / L"t", false), ddRemoveDirFailed);
    EXPECT_TRUE(Exists(dir / L"t\\.svn\\entries"));
    EXPECT_FALSE(Exists(dir / L"t\\plain.txt"));
}

TEST(DeleteDirTree, ReadOnlyFilesAreReported) {
    ScratchDir dir;
    ASSERT_EQ(CreateDirectoryPath(dir / L"t"), 0);
    WriteFileBytes(dir / L"t\\ro.txt", "r");
    SetFileAttributesW((dir / L"t\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    uint32_t flags = DeleteDirTree(dir / L"t", false);
    EXPECT_EQ(flags & ddFileDeleteFailed, ddFileDeleteFailed);
    EXPECT_EQ(flags & ddRemoveDirFailed, ddRemoveDirFailed);
    SetFileAttributesW((dir / L"t\\ro.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(DeleteDirTree, RefusesRootsSystemFoldersAndRelativePaths) {
    wchar_t windows[MAX_PATH], system[MAX_PATH], temp[MAX_PATH], profile[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    GetSystemDirectoryW(system, MAX_PATH);
    GetTempPathW(MAX_PATH, temp);
    GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH);
    WriteFileBytes(L"C:\\cvl-sentinel.txt", "keep me");
    const std::wstring refused[] = {
        L"", L"relative\\dir", L"cvltest", L"C:", L"C:\\", L"C:\\\\", L"C:relative", L"C:\\.",
        L"C:\\cvltest\\..", L"\\\\server\\share", L"\\\\server\\share\\", windows, system, temp,
        std::wstring(windows) + L"\\", profile, L"C:\\users", L"C:\\Program Files", L"C:\\ProgramData",
        std::wstring(profile) + L"\\Desktop", std::wstring(profile) + L"\\Documents",
        std::wstring(profile) + L"\\AppData",  // holds the user's known folders
    };
    for (const auto& dir : refused) {
        EXPECT_EQ(DeleteDirTree(dir, true), ddRefused) << testing::PrintToString(dir);
        EXPECT_EQ(DeleteDirTree(dir, false), ddRefused) << testing::PrintToString(dir);
        EXPECT_TRUE(IsProtectedDirectory(dir));
    }
    EXPECT_TRUE(Exists(L"C:\\cvl-sentinel.txt"));
    EXPECT_TRUE(Exists(system));
    DeleteFileW(L"C:\\cvl-sentinel.txt");
    EXPECT_FALSE(IsProtectedDirectory(L"C:\\cvltest\\anything"));
    EXPECT_FALSE(IsProtectedDirectory(std::wstring(temp) + L"cvl-sub"));
}

TEST(DeleteDirTree, RemovesALinkWithoutEnteringItsTarget) {
    ScratchDir dir;
    ASSERT_EQ(CreateDirectoryPath(dir / L"target"), 0);
    WriteFileBytes(dir / L"target\\precious.txt", "p");
    ASSERT_EQ(CreateDirectoryPath(dir / L"t"), 0);
    if (!CreateSymbolicLinkW((dir / L"t\\link").c_str(), (dir / L"target").c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY))
        GTEST_SKIP() << "directory links are not available here";
    EXPECT_EQ(DeleteDirTree(dir / L"t", false), 0u);
    EXPECT_FALSE(Exists(dir / L"t"));
    EXPECT_TRUE(Exists(dir / L"target\\precious.txt"));
}

TEST(SaveResourceToFile, WritesTheWholeResourceAndOverwrites) {
    ScratchDir dir;
    WriteFileBytes(dir / L"out.bin", std::string(5000, 'z'));
    EXPECT_EQ(SaveResourceToFile(1, dir / L"out.bin"), 0);
    EXPECT_EQ(ReadFileBytes(dir / L"out.bin"), Resource1);
}

TEST(SaveResourceToFile, ReportsMissingDirectoriesAndResources) {
    ScratchDir dir;
    EXPECT_EQ(SaveResourceToFile(1, dir / L"missing\\out.bin"), ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(Exists(dir / L"missing"));
    EXPECT_EQ(SaveResourceToFile(4242, dir / L"none.bin"), ERROR_RESOURCE_NAME_NOT_FOUND);
    EXPECT_FALSE(Exists(dir / L"none.bin"));
}

TEST(GetProductVersion, ReadsTheFixedProductVersion) {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    uint32_t ms = 0, ls = 0;
    EXPECT_TRUE(GetProductVersion(std::wstring(system) + L"\\kernel32.dll", ms, ls));
    EXPECT_NE(ms, 0u);
    ScratchDir dir;
    WriteFileBytes(dir / L"plain.txt", "no version here");
    EXPECT_FALSE(GetProductVersion(dir / L"plain.txt", ms, ls));
    EXPECT_FALSE(GetProductVersion(dir / L"missing.dll", ms, ls));
}

TEST(RunAndWait, RunsHiddenAndWaitsForTheEnd) {
    ScratchDir dir;
    EXPECT_EQ(RunAndWait(L"cmd.exe /c echo done>", dir / L"out.txt"), 0);
    EXPECT_EQ(ReadFileBytes(dir / L"out.txt"), "done\r\n");
    EXPECT_NE(RunAndWait(L"C:\\nowhere\\missing.exe", L""), 0);
    EXPECT_EQ(RunAndWait(dir / L"missing.exe", L"/x"), ERROR_FILE_NOT_FOUND);
}

}  // namespace
