// The undo actions against Wine's real registry and files. The IDE rows of the
// catalogue are pointed at scratch keys and folders for each test.
#include <gtest/gtest.h>

#include "UndoLogTesting.h"
#include "catalogue/UDirCodes.h"
#include "catalogue/UIdeSettings.h"
#include "support/UConst.h"
#include "support/UDirTree.h"
#include "support/UPlatform.h"
#include "support/URegistry.h"
#include "uninstall/UnDo.h"

using namespace cvltest;

namespace {

TUndoRecord Rec(uint32_t type, const std::wstring& name, uint32_t code = 0, uint32_t dir = 0) {
    TUndoRecord r;
    EXPECT_TRUE(DecodeUndoRecord(EncodeUndoRecord(type | ifLogUndo, code, dir, name), r));
    return r;
}

std::wstring Value(HKEY root, const std::wstring& key, const std::wstring& name) {
    std::wstring v;
    return ReadRegString(root, key, name, v) ? v : L"<missing>";
}

class UndoActions : public UninstallTest {
protected:
    // Catalogue row `row` as an IDE whose keys live below the scratch key.
    std::wstring UseIde(int row, const std::wstring& rootDir = L"") {
        CatalogueRowForTests(row).RegKey = key / (L"ide" + std::to_wstring(row));
        detected[row].RootDir = rootDir;
        run.Detected = &detected;
        run.Ide = IdeBlock(row, L"", run);
        return BorlandProducts[row].RegKey;
    }
    // Undoes Record in the replay's context run.
    int Undo(const TUndoRecord& Record, const std::wstring& UninstallKey) { return UndoRecord(Record, run, UninstallKey); }

    ScratchKey key;
    TDetectedIdes detected;  // what detection found on the replay's machine
    TRunContext run;
};

TEST(FindPathEntry, MatchesOnlyWholeEntriesIgnoringCase) {
    struct Case {
        const wchar_t* value;
        const wchar_t* entry;
        size_t pos;
    };
    constexpr size_t none = std::wstring::npos;
    // clang-format off
    const Case cases[] = {
        {L"c:\\lib;c:\\lib2;d:\\x", L"c:\\lib",  0},
        {L"c:\\lib2;c:\\lib",       L"c:\\lib",  8},
        {L"c:\\lib2;c:\\library",   L"c:\\lib",  none},
        {L"x;C:\\Lib;y",            L"c:\\lib",  2},
        {L"xc:\\lib;y",             L"c:\\lib",  none},
        {L"c:\\lib",                L"C:\\LIB",  0},
        {L"",                       L"c:\\lib",  none},
        {L"c:\\lib",                L"",         none},
        {L";;c:\\lib;",             L"c:\\lib",  2},
    };
    // clang-format on
    for (const Case& c : cases) EXPECT_EQ(FindPathEntry(c.value, c.entry), c.pos) << c.value << " / " << c.entry;
}

TEST_F(UndoActions, RemovePathEntryRemovesTheEntryAndItsSeparator) {
    struct Case {
        const wchar_t* before;
        const wchar_t* entry;
        const wchar_t* after;
    };
    // clang-format off
    const Case cases[] = {
        {L"c:\\lib;c:\\lib2;d:\\x", L"c:\\lib",   L"c:\\lib2;d:\\x"},
        {L"c:\\lib;c:\\lib2",       L"c:\\lib2",  L"c:\\lib"},
        {L"c:\\lib",                L"c:\\lib",   L""},
        {L"C:\\Lib;x",              L"c:\\lib",   L"x"},
        {L"a;c:\\lib;b",            L"C:\\LIB",   L"a;b"},
        {L"c:\\lib2;c:\\library",   L"c:\\lib",   L"c:\\lib2;c:\\library"},
        {L"a;;c:\\lib",             L"c:\\lib",   L"a;"},
        {L"c:\\lib;c:\\lib",        L"c:\\lib",   L"c:\\lib"},
    };
    // clang-format on
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, key.path(), L"Search Path", c.before));
        RemovePathEntry(key.path(), L"Search Path", c.entry);
        EXPECT_EQ(Value(HKEY_CURRENT_USER, key.path(), L"Search Path"), c.after) << c.before << " - " << c.entry;
    }
}

// What the registration adds, the removal takes away: the user's value comes back
// byte for byte, its empty entries and separators included.
TEST_F(UndoActions, AddedPathEntryIsRemovedToTheUsersValue) {
    for (const wchar_t* before : {L"", L"x", L"x;", L"x;;", L";", L"x;;y", L"x; "}) {
        ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, key.path(), L"Search Path", before));
        ASSERT_EQ(AddPathEntry(key.path(), L"Search Path", before, L"c:\\lib"), TPathAdd::Added) << before;
        RemovePathEntry(key.path(), L"Search Path", L"c:\\lib");
        EXPECT_EQ(Value(HKEY_CURRENT_USER, key.path(), L"Search Path"), before);
    }
}

TEST_F(UndoActions, RemovePathEntryNeverCreatesOrRetypesAValue) {
    RemovePathEntry(key / L"none", L"Search Path", L"c:\\lib");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, key / L"none"));
    const wchar_t expand[] = L"c:\\lib;x";
    SetRawValue(HKEY_CURRENT_USER, key.path(), L"Expand", REG_EXPAND_SZ, expand, sizeof(expand));
    RemovePathEntry(key.path(), L"Expand", L"c:\\lib");
    DWORD type = 0, size = 0;
    ASSERT_TRUE(RawValueInfo(HKEY_CURRENT_USER, key.path(), L"Expand", type, size));
    EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
}

TEST_F(UndoActions, RegisterPackageRemovesKnownPackageAndItsFolder) {
    run.InstallDir = L"C:\\X";
    std::wstring ide = UseIde(9);  // Delphi 7
    std::wstring package = L"C:\\X\\Delphi7\\pkg.bpl";
    WriteRegString(HKEY_CURRENT_USER, ide + L"\\Known Packages", package, L"Trial Delphi version of Corvane");
    WriteRegString(HKEY_CURRENT_USER, ide + L"\\Known Packages", L"C:\\other.bpl", L"other");
    WriteRegString(HKEY_CURRENT_USER, ide + L"\\Library", L"Search Path", L"$(DELPHI)\\Lib;C:\\X\\Delphi7;C:\\X\\Delphi7x");
    EXPECT_EQ(Undo(Rec(itRegisterPackage, L"Delphi7\\pkg.bpl", 0, dcRoot), L"cvlLib"), 0);
    EXPECT_EQ(Value(HKEY_CURRENT_USER, ide + L"\\Known Packages", package), L"<missing>");
    EXPECT_EQ(Value(HKEY_CURRENT_USER, ide + L"\\Known Packages", L"C:\\other.bpl"), L"other");
    EXPECT_EQ(Value(HKEY_CURRENT_USER, ide + L"\\Library", L"Search Path"), L"$(DELPHI)\\Lib;C:\\X\\Delphi7x");
}

TEST_F(UndoActions, SearchPathValueAndKeyFollowTheCatalogueRow) {
    run.InstallDir = L"C:\\X";
    struct Case {
        int row;
        const wchar_t* subKey;
        const wchar_t* value;
    };
    const Case cases[] = {
        {1, L"\\Library", L"SearchPath"},           // Delphi 3
        {9, L"\\Library", L"Search Path"},          // Delphi 7
        {16, L"\\Library\\Win32", L"Search Path"},  // XE2: Win32 and Win64 settings
    };
    for (const Case& c : cases) {
        std::wstring ide = UseIde(c.row);
        for (const wchar_t* sub : {L"\\Library", L"\\Library\\Win32"})
            for (const wchar_t* name : {L"SearchPath", L"Search Path"})
                WriteRegString(HKEY_CURRENT_USER, ide + sub, name, L"a;C:\\X\\F;b");
        Undo(Rec(itRegisterPackage, L"F\\p.bpl", 0, dcRoot), L"");
        Undo(Rec(itAddSearchPath, L"F", 0, dcRoot), L"");
        for (const wchar_t* sub : {L"\\Library", L"\\Library\\Win32"})
            for (const wchar_t* name : {L"SearchPath", L"Search Path"}) {
                bool edited = std::wstring(sub) == c.subKey && std::wstring(name) == c.value;
                EXPECT_EQ(Value(HKEY_CURRENT_USER, ide + sub, name), edited ? L"a;b" : L"a;C:\\X\\F;b")
                    << "row " << c.row << sub << " " << name;
            }
    }
}

TEST_F(UndoActions, AddIdePathRemovesTheLocationFromTheNamedValue) {
    run.InstallDir = L"C:\\X";
    std::wstring ide = UseIde(16);
    run.Ide.Folder = L"RADStudio9";
    WriteRegString(HKEY_CURRENT_USER, ide + L"\\C++\\Paths\\Win32", L"LibraryPath", L"$(BDS)\\lib;C:\\X\\RADStudio9\\Win32");
    WriteRegString(HKEY_CURRENT_USER, ide + L"\\Library\\Win64", L"Search Path", L"C:\\X\\RADStudio9\\Win64;z");
    Undo(Rec(itAddIdePath, L"\\C++\\Paths\\Win32\\LibraryPath", 3), L"");
    Undo(Rec(itAddIdePath, L"\\Library\\Win64\\Search Path", 4), L"");
    EXPECT_EQ(Value(HKEY_CURRENT_USER, ide + L"\\C++\\Paths\\Win32", L"LibraryPath"), L"$(BDS)\\lib");
    EXPECT_EQ(Value(HKEY_CURRENT_USER, ide + L"\\Library\\Win64", L"Search Path"), L"z");
}

TEST_F(UndoActions, IdeActionsDoNothingWithoutACurrentIde) {
    run.InstallDir = L"C:\\X";
    std::wstring ide = UseIde(9);
    WriteRegString(HKEY_CURRENT_USER, ide + L"\\Library", L"Search Path", L"C:\\X\\F");
    WriteRegString(HKEY_CURRENT_USER, ide + L"\\Known Packages", L"C:\\X\\F\\p.bpl", L"d");
    for (int32_t none : {0, 29, -1}) {
        run.Ide = IdeBlock(none, L"", run);
        Undo(Rec(itRegisterPackage, L"F\\p.bpl", 0, dcRoot), L"");
        Undo(Rec(itAddSearchPath, L"F", 0, dcRoot), L"");
        Undo(Rec(itAddIdePath, L"\\Library\\Search Path", 0), L"");
    }
    EXPECT_EQ(Value(HKEY_CURRENT_USER, ide + L"\\Library", L"Search Path"), L"C:\\X\\F");
    EXPECT_EQ(Value(HKEY_CURRENT_USER, ide + L"\\Known Packages", L"C:\\X\\F\\p.bpl"), L"d");
}

TEST_F(UndoActions, SetIdeMakesDirectoryCodesResolveAgainstThatIde) {
    ScratchDir dir;
    detected[9].RootDir = dir / L"d7";
    run.Detected = &detected;
    CreateDirectoryPath(dir / L"d7\\Help");
    WriteFileBytes(dir / L"d7\\Help\\d7.gid", "x");
    EXPECT_EQ(Undo(Rec(itSetIde, L"Delphi7", 9), L""), 0);
    EXPECT_EQ(run.Ide.Row, 9);
    EXPECT_EQ(run.Ide.Folder, L"Delphi7");
    EXPECT_EQ(RecordPath(Rec(itDeleteFile, L"Help\\d7.gid", 0, dcIdeRoot), run), dir / L"d7\\Help\\d7.gid");
    Undo(Rec(itDeleteFile, L"Help\\d7.gid", 0, dcIdeRoot), L"");
    EXPECT_FALSE(Exists(dir / L"d7\\Help\\d7.gid"));
}

TEST_F(UndoActions, FilesAndDirectoriesGoOnlyByAbsolutePaths) {
    ScratchDir dir;
    run.InstallDir = dir.path();
    CreateDirectoryPath(dir / L"tree\\sub");
    WriteFileBytes(dir / L"tree\\sub\\f.txt", "x");
    WriteFileBytes(dir / L"copied.bpl", "x");
    WriteFileBytes(dir / L"deleted.txt", "x");
    Undo(Rec(itCopyResource, L"copied.bpl", 5, dcRoot), L"");
    Undo(Rec(itDeleteFile, L"deleted.txt", 0, dcRoot), L"");
    Undo(Rec(itDeleteFile, L"never-there.txt", 0, dcRoot), L"");
    Undo(Rec(itCreateDir, L"tree", 0, dcRoot), L"");
    EXPECT_FALSE(Exists(dir / L"copied.bpl"));
    EXPECT_FALSE(Exists(dir / L"deleted.txt"));
    EXPECT_FALSE(Exists(dir / L"tree"));

    // A log without an install directory or an IDE names relative paths: they are
    // relative to the current directory and must stay untouched.
    WriteFileBytes(dir / L"keep.txt", "x");
    CreateDirectoryPath(dir / L"keepdir");
    std::wstring previous = GetCurrentDir();
    SetCurrentDirectoryW(dir.path().c_str());
    run.InstallDir.clear();
    Undo(Rec(itCopyResource, L"keep.txt", 5, dcRoot), L"");
    Undo(Rec(itCreateDir, L"keepdir", 0, dcRoot), L"");
    Undo(Rec(itDeleteFile, L"keep.txt", 0, dcIdeRoot), L"");
    Undo(Rec(itCreateDir, L"", 0, dcRoot), L"");
    SetCurrentDirectoryW(previous.c_str());
    EXPECT_TRUE(Exists(dir / L"keep.txt"));
    EXPECT_TRUE(IsDir(dir / L"keepdir"));
}

TEST_F(UndoActions, TheInstallDirectoryOfARootOrSystemFolderIsNotRemoved) {
    ScratchDir dir;
    WriteFileBytes(dir / L"canary.txt", "x");
    for (const std::wstring& root : {std::wstring(L"C:\\"), GetWindowsDir(), GetSystemDir()}) {
        run.InstallDir = root;
        Undo(Rec(itCreateDir, L"", 0, dcRoot), L"");
        EXPECT_TRUE(IsDir(root)) << root;
    }
    EXPECT_TRUE(Exists(dir / L"canary.txt"));
}

TEST_F(UndoActions, RegistryKeysAndValues) {
    // The product key: the key with its subkeys and values, and the ancestors it
    // leaves empty.
    WriteRegString(HKEY_LOCAL_MACHINE, key / L"Maker\\Product\\Sub", L"v", L"x");
    WriteRegString(HKEY_LOCAL_MACHINE, key / L"Maker\\Product", L"RootDir", L"x");
    WriteRegString(HKEY_LOCAL_MACHINE, key.path(), L"stays", L"x");
    Undo(Rec(itCreateRegKey, key / L"Maker\\Product", 0x80000002), L"");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, key / L"Maker"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, key.path()));

    // A top-level key, an empty path or an unknown root is never deleted.
    WriteRegString(HKEY_CURRENT_USER, key / L"K", L"v", L"x");
    Undo(Rec(itCreateRegKey, L"Software", 0x80000001), L"");
    Undo(Rec(itCreateRegKey, L"Software\\", 0x80000001), L"");
    Undo(Rec(itCreateRegKey, L"", 0x80000001), L"");
    Undo(Rec(itCreateRegKey, key / L"K", 0x80000009), L"");
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, key / L"K"));
    Undo(Rec(itCreateRegKey, key / L"K", 0x80000001), L"");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, key / L"K"));
}

TEST_F(UndoActions, WindowsHelpAndUninstallEntry) {
    const std::wstring help = L"Software\\Microsoft\\Windows\\Help";
    WriteRegString(HKEY_LOCAL_MACHINE, help, L"cvltest.hlp", L"C:\\X\\Help");
    WriteRegString(HKEY_LOCAL_MACHINE, help, L"other.hlp", L"C:\\Y");
    Undo(Rec(itRegisterWinHelp, L"cvltest.hlp"), L"");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, help, L"cvltest.hlp"), L"<missing>");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, help, L"other.hlp"), L"C:\\Y");
    DeleteRegValue(HKEY_LOCAL_MACHINE, help, L"other.hlp");

    const std::wstring uninstall = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    WriteRegString(HKEY_LOCAL_MACHINE, uninstall + L"cvlTestEntry", L"DisplayName", L"x");
    WriteRegString(HKEY_LOCAL_MACHINE, uninstall + L"cvlTestOther", L"DisplayName", L"y");
    // Without a key name the whole list of entries would go: nothing happens.
    Undo(Rec(itRegisterUninstall, L"unbrd.exe", 0, dcRoot), L"");
    Undo(Rec(itRegisterUninstall, L"unbrd.exe", 0, dcRoot), L"cvlTestOther\\..");
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, uninstall + L"cvlTestEntry"));
    Undo(Rec(itRegisterUninstall, L"ignored.exe", 0, dcRoot), L"cvlTestEntry");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, uninstall + L"cvlTestEntry"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, uninstall + L"cvlTestOther"));
    // The last entry goes, the list of entries stays (a fresh 32-bit view has it empty).
    Undo(Rec(itRegisterUninstall, L"ignored.exe", 0, dcRoot), L"cvlTestOther");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, uninstall + L"cvlTestOther"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, uninstall));
}

TEST_F(UndoActions, ModifyFileTakesTheAppendedTextOutOfTheHelpFile) {
    ScratchDir dir;
    UseIde(9, dir / L"d7");
    CatalogueRowForTests(9).HelpStr = {L"d7.ohi", L"", L"d7.als"};
    CreateDirectoryPath(dir / L"d7\\Help");
    const std::wstring file = dir / L"d7\\Help\\d7.ohi";
    const std::wstring index = L"\r\n:Index Corvane library components=cvlib.hlp";
    struct Case {
        const char* what;
        std::string before;
        uint32_t code;
        std::string after;
    };
    // clang-format off
    const Case cases[] = {
        {"appended last",      ":Index Delphi=d.hlp\r\n:Index Corvane library components=cvlib.hlp",                        1, ":Index Delphi=d.hlp"},
        {"other letter case",  ":A\r\n:INDEX corvane LIBRARY components=CVLIB.HLP\r\n:B",                                   1, ":A\r\n:B"},
        {"longer line first",  ":A\r\n:Index Corvane library components=cvlib.hlp2\r\n:Index Corvane library components=cvlib.hlp",
                                                                                                                            1, ":A\r\n:Index Corvane library components=cvlib.hlp2"},
        {"not there",          ":A\r\n:B",                                                                                  1, ":A\r\n:B"},
        {"empty help name",    ":A\r\n:Index Corvane library components=cvlib.hlp",                                         2, ":A\r\n:Index Corvane library components=cvlib.hlp"},
        {"code out of range",  ":A\r\n:Index Corvane library components=cvlib.hlp",                                         4, ":A\r\n:Index Corvane library components=cvlib.hlp"},
        {"code zero",          ":A\r\n:Index Corvane library components=cvlib.hlp",                                         0, ":A\r\n:Index Corvane library components=cvlib.hlp"},
    };
    // clang-format on
    for (const Case& c : cases) {
        WriteFileBytes(file, c.before);
        EXPECT_EQ(Undo(Rec(itModifyFile, index, c.code, dcIdeHelp), L""), 0) << c.what;
        EXPECT_EQ(ReadFileBytes(file), c.after) << c.what;
        EXPECT_FALSE(Exists(file + L".cvltmp")) << c.what;
    }
    // Type 0x0019 is undone the same way; a missing file is no error.
    WriteFileBytes(file, ":A\r\n:Link cvlib.hlp");
    Undo(Rec(0x0019, L"\r\n:Link cvlib.hlp", 1, dcIdeHelp), L"");
    EXPECT_EQ(ReadFileBytes(file), ":A");
    EXPECT_EQ(Undo(Rec(itModifyFile, index, 3, dcIdeHelp), L""), 0);
    EXPECT_FALSE(Exists(dir / L"d7\\Help\\d7.als"));
}

TEST_F(UndoActions, RegisterHelpRunsTheUnregistrationBatch) {
    ScratchDir dir;
    run.InstallDir = dir / L"with blank";
    CreateDirectoryPath(run.InstallDir + L"\\help");
    // The batch runs in the help folder and leaves a mark one level up.
    WriteFileBytes(run.InstallDir + L"\\help\\help_unreg.bat", "@echo off\r\necho done> ..\\unreg.txt\r\n");
    std::wstring previous = GetCurrentDir();
    EXPECT_EQ(Undo(Rec(itRegisterHelp, L"help\\help_reg.bat"), L""), 0);
    EXPECT_TRUE(Exists(run.InstallDir + L"\\unreg.txt"));
    EXPECT_EQ(GetCurrentDir(), previous);

    // Without the batch file its registry key is removed all the same.
    DeleteFileW((run.InstallDir + L"\\help\\help_unreg.bat").c_str());
    const std::wstring helpKey = std::wstring(ProductKey) + HelpRegistrationSubKey;
    WriteRegString(HKEY_LOCAL_MACHINE, helpKey, L"Collection", L"x");
    EXPECT_EQ(Undo(Rec(itRegisterHelp, L"help\\help_reg.bat"), L""), 0);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, helpKey));
    EXPECT_EQ(GetCurrentDir(), previous);
    run.InstallDir.clear();
    EXPECT_EQ(Undo(Rec(itRegisterHelp, L"help\\help_reg.bat"), L""), 0);
    DeleteKeyTree(HKEY_LOCAL_MACHINE, ProductKey);
}

TEST(UndoActionText, TextsOfTheActionLine) {
    struct Case {
        uint32_t type;
        const wchar_t* text;
    };
    // clang-format off
    const Case cases[] = {
        {itRegisterPackage,      L"Unregistering package"},
        {itModifyFile,           L"Unregistering help"},
        {0x0019,                 nullptr},
        {itDeleteFile,           L"Removing file"},
        {itRegisterWinHelp,      L"Unregistering help"},
        {itCreateRegKey,         L"Removing registry key"},
        {itAddSearchPath,        L"Unregistering package"},
        {itRegisterHelp,         L"Unregistering help"},
        {itAddIdePath,           L"Unregistering package"},
        {itSetIde,               nullptr},
        {itCreateDir,            L"Removing directory"},
        {itCopyResource,         L"Removing file"},
        {itCopyResourceIfAbsent, L"Removing file"},
        {itCopyFile,             L"Removing file"},
        {itRegisterUninstall,    L"Unregistering uninstall"},
        {itLogConst,             nullptr},
        {itCompilePackage,       nullptr},
    };
    // clang-format on
    for (const Case& c : cases) {
        const wchar_t* text = UndoActionText(c.type | ifLogUndo | ifKeepOnPartial);
        EXPECT_EQ(std::wstring(text ? text : L"<none>"), std::wstring(c.text ? c.text : L"<none>")) << std::hex << c.type;
    }
}

}  // namespace
