// The registration executors against Wine's registry: the IDEs' real keys below
// HKEY_CURRENT_USER (each catalogue row locked by the test that uses it), the Windows
// help key, the uninstall entry and scratch keys.
#include <gtest/gtest.h>

#include <string>

#include "ExecutorTesting.h"
#include "IdeTesting.h"
#include "RowTesting.h"
#include "catalogue/UDirCodes.h"
#include "catalogue/UInstallRecord.h"
#include "script/URegister.h"
#include "support/UDirTree.h"
#include "support/URegistry.h"
#include "uninstall/UnDo.h"

using namespace cvltest;

namespace {

constexpr int Delphi3 = 1, Delphi7 = 9, BDS2006 = 11, Delphi2007 = 12, BDS2009 = 13, BDS2010 = 14,
              RadStudioXE = 15, RadStudioXE2 = 16;

std::wstring Value(HKEY root, const std::wstring& key, const std::wstring& name) {
    std::wstring v;
    return ReadRegString(root, key, name, v) ? v : L"<missing>";
}

std::wstring Upper(std::wstring s) {
    CharUpperBuffW(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

class Register : public ExecutorTest {};

TEST(PackageDescription, IsTheEditionOfTheProductWithACapital) {
    EXPECT_EQ(PackageDescription(), L"Trial Delphi version of Corvane library v4.07");
}

TEST_F(Register, PackageGoesToKnownPackagesAndItsFolderToTheLibraryPath) {
    struct Case {
        int row;
        uint32_t options;
        const wchar_t* library;  // below the IDE's key
        const wchar_t* valueName;
        bool forceUpdate;  // "ForceEnvOptionsUpdate" in "Globals"
    };
    // clang-format off
    const Case cases[] = {
        {Delphi3,      0, L"\\Library",        L"SearchPath",  false},
        {Delphi7,      0, L"\\Library",        L"Search Path", false},
        {BDS2006,      0, L"\\Library",        L"Search Path", false},
        {Delphi2007,   0, L"\\Library",        L"Search Path", true},
        {BDS2009,      0, L"\\Library",        L"Search Path", true},
        {BDS2010,      0, L"\\Library",        L"Search Path", true},
        {RadStudioXE,  0, L"\\Library",        L"Search Path", false},
        {RadStudioXE2, 0, L"\\Library\\Win32", L"Search Path", false},
        {RadStudioXE2, 2, L"\\Library\\Win64", L"Search Path", false},
    };
    // clang-format on
    for (const Case& c : cases) {
        IdeRow ide(c.row);
        context.Ide = ide.Block();
        const std::wstring library = ide.Key() + c.library;
        ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, library, c.valueName, L"$(BDS)\\Lib"));
        // The neighbouring places stay as they are.
        const std::wstring other = ide.Key() + (c.options ? L"\\Library\\Win32" : L"\\Library\\Win64");
        ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, other, L"Search Path", L"untouched"));

        EXPECT_EQ(Run(ExecRegisterPackage, Row(itRegisterPackage, L"IDE\\Win32\\dclcvl.bpl", 0, dcRoot).WithOptions(c.options)), 0);
        const std::wstring package = dir / L"IDE\\Win32\\dclcvl.bpl";
        const std::wstring folder = dir / L"IDE\\Win32";
        EXPECT_EQ(Value(HKEY_CURRENT_USER, ide.Key() + L"\\Known Packages", package),
                  L"Trial Delphi version of Corvane library v4.07");
        EXPECT_EQ(Value(HKEY_CURRENT_USER, library, c.valueName), L"$(BDS)\\Lib;" + folder) << "row " << c.row;
        EXPECT_EQ(Value(HKEY_CURRENT_USER, other, L"Search Path"), L"untouched");
        EXPECT_EQ(Value(HKEY_CURRENT_USER, ide.Key() + L"\\Globals", L"ForceEnvOptionsUpdate"),
                  c.forceUpdate ? L"1" : L"<missing>")
            << "row " << c.row;
        EXPECT_EQ(log, L"Registering package: " + package + L"...Success\r\nAdding search path: " + folder +
                           L"...Success");
    }
}

TEST_F(Register, PackageWhoseFolderIsOnThePathAlreadyWritesNoMore) {
    IdeRow ide(Delphi2007);
    context.Ide = ide.Block();
    const std::wstring folder = dir / L"BDS2007";
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, ide.Key() + L"\\Library", L"Search Path", L"x;" + Upper(folder)));
    EXPECT_EQ(Run(ExecRegisterPackage, Row(itRegisterPackage, L"BDS2007\\dclcvl2007.bpl", 0, dcRoot)), 0);
    EXPECT_EQ(log, L"Registering package: " + folder + L"\\dclcvl2007.bpl...Success\r\nAdding search path: " + folder +
                       L"...Already");
    EXPECT_EQ(Value(HKEY_CURRENT_USER, ide.Key() + L"\\Library", L"Search Path"), L"x;" + Upper(folder));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ide.Key() + L"\\Globals"));
}

TEST_F(Register, PackageWithoutALibraryPathOrOutsideAnIdeBlock) {
    {
        IdeRow ide(Delphi7);
        context.Ide = ide.Block();
        const std::wstring package = dir / L"Delphi7\\dclcvl70.bpl";
        // Only a plain string counts as the search path.
        const wchar_t expand[] = L"%BDS%\\Lib";
        SetRawValue(HKEY_CURRENT_USER, ide.Key() + L"\\Library", L"SearchPath", REG_SZ, expand, sizeof(expand));
        SetRawValue(HKEY_CURRENT_USER, ide.Key() + L"\\Library", L"Search Path", REG_EXPAND_SZ, expand, sizeof(expand));
        EXPECT_EQ(Run(ExecRegisterPackage, Row(itRegisterPackage, L"Delphi7\\dclcvl70.bpl", 0, dcRoot)), rpSearchPathUnread);
        EXPECT_EQ(log, L"Registering package: " + package + L"...Success");
        EXPECT_EQ(Value(HKEY_CURRENT_USER, ide.Key() + L"\\Known Packages", package),
                  L"Trial Delphi version of Corvane library v4.07");
    }
    context.Ide = {};
    EXPECT_EQ(Run(ExecRegisterPackage, Row(itRegisterPackage, L"Delphi7\\dclcvl70.bpl", 0, dcRoot)), rpKnownPackageFailed);
    EXPECT_EQ(log, L"");
}

TEST_F(Register, SearchPathGetsTheFolderAsAWholeEntryOnce) {
    IdeRow ide(Delphi7);
    context.Ide = ide.Block(L"Delphi7");
    const std::wstring d = dir / L"Delphi7";
    struct Case {
        std::wstring before;
        std::wstring after;
        const wchar_t* suffix;
    };
    const Case cases[] = {
        {L"", d, L"...Success"},
        // The entry brings its own separator, so its removal gives the value back.
        {L"C:\\x;", L"C:\\x;;" + d, L"...Success"},
        {L"C:\\x", L"C:\\x;" + d, L"...Success"},
        {Upper(d), Upper(d), L"...Already"},
        {L"C:\\x;" + d + L";C:\\y", L"C:\\x;" + d + L";C:\\y", L"...Already"},
        // Longer entries that merely contain the folder do not count.
        {d + L"\\Win32", d + L"\\Win32;" + d, L"...Success"},
        {d + L"x;C:\\y", d + L"x;C:\\y;" + d, L"...Success"},
        {L"C:\\pre" + d.substr(2), L"C:\\pre" + d.substr(2) + L";" + d, L"...Success"},
    };
    const std::wstring key = ide.Key() + L"\\Library";
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, key, L"Search Path", c.before));
        EXPECT_EQ(Run(ExecAddIdePath, Row(itAddIdePath, L"\\Library\\Search Path", 2)), 0);
        EXPECT_EQ(Value(HKEY_CURRENT_USER, key, L"Search Path"), c.after) << Narrow(c.before);
        EXPECT_EQ(log, L"Adding search path: " + d + c.suffix) << Narrow(c.before);
    }
}

TEST_F(Register, IdePathFollowsTheRowsKeyAndLocation) {
    IdeRow ide(RadStudioXE2);
    context.Ide = ide.Block(L"RADStudio9");
    struct Case {
        const wchar_t* name;
        uint32_t code;
        const wchar_t* key;
        const wchar_t* value;
        const wchar_t* folder;
    };
    // clang-format off
    const Case cases[] = {
        {L"\\C++\\Paths\\Win32\\LibraryPath", 3, L"\\C++\\Paths\\Win32", L"LibraryPath", L"RADStudio9\\Win32"},
        {L"\\Library\\Win64\\Search Path",    4, L"\\Library\\Win64",    L"Search Path", L"RADStudio9\\Win64"},
        {L"\\Library\\Search Path",           2, L"\\Library",           L"Search Path", L"RADStudio9"},
    };
    // clang-format on
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, ide.Key() + c.key, c.value, L"$(BDSLIB)"));
        EXPECT_EQ(Run(ExecAddIdePath, Row(itAddIdePath, c.name, c.code)), 0);
        EXPECT_EQ(Value(HKEY_CURRENT_USER, ide.Key() + c.key, c.value), L"$(BDSLIB);" + (dir / c.folder));
    }
    // An IDE without the value is passed over: nothing logged, nothing created.
    EXPECT_EQ(Run(ExecAddIdePath, Row(itAddIdePath, L"\\C++\\Paths\\Win64\\LibraryPath", 4)), 0);
    EXPECT_EQ(log, L"");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ide.Key() + L"\\C++\\Paths\\Win64"));
    // So is a row outside an IDE block.
    context.Ide = {};
    EXPECT_EQ(Run(ExecAddIdePath, Row(itAddIdePath, L"\\Library\\Search Path", 2)), 0);
    EXPECT_EQ(log, L"");
}

TEST_F(Register, AddSearchPathPlacesAndMissingValues) {
    IdeRow ide(Delphi3);
    context.Ide = ide.Block();
    const std::wstring d = dir / L"Source";
    // Its own key and value.
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, ide.Key() + L"\\CppPaths", L"SearchPath", L"a"));
    EXPECT_EQ(Run(ExecAddSearchPath, Row(itAddSearchPath, L"Source", 0, dcRoot).WithParam(L"CppPaths").Second(L"SearchPath", dcNone)), 0);
    EXPECT_EQ(Value(HKEY_CURRENT_USER, ide.Key() + L"\\CppPaths", L"SearchPath"), L"a;" + d);
    EXPECT_EQ(log, L"Adding search path: " + d + L"...Success");
    // The library's, "SearchPath" for Delphi 3.
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, ide.Key() + L"\\Library", L"SearchPath", L""));
    EXPECT_EQ(Run(ExecAddSearchPath, Row(itAddSearchPath, L"Source", 0, dcRoot)), 0);
    EXPECT_EQ(Value(HKEY_CURRENT_USER, ide.Key() + L"\\Library", L"SearchPath"), d);
    // A missing value is an error unless Options bit 0 says otherwise; nothing logged.
    EXPECT_EQ(Run(ExecAddSearchPath, Row(itAddSearchPath, L"Source", 0, dcRoot).WithParam(L"Nowhere").Second(L"Path", dcNone)),
              rpSearchPathUnread);
    EXPECT_EQ(log, L"");
    EXPECT_EQ(Run(ExecAddSearchPath, Row(itAddSearchPath, L"Source", 0, dcRoot).WithOptions(1).WithParam(L"Nowhere").Second(L"Path", dcNone)), 0);
    EXPECT_EQ(log, L"");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ide.Key() + L"\\Nowhere"));
}

TEST_F(Register, WindowsHelpNamesTheHelpDirectory) {
    const wchar_t* name = L"cvltest-register.hlp";  // a value no other test uses
    EXPECT_EQ(Run(ExecSetHelpDir, Row(itSetHelpDir, L"Help", 0, dcRoot)), 0);
    EXPECT_EQ(context.HelpDir, dir / L"Help");
    EXPECT_EQ(log, L"");
    EXPECT_EQ(Run(ExecRegisterWinHelp, Row(itRegisterWinHelp, name)), 0);
    EXPECT_EQ(log, L"Registering windows help: cvltest-register.hlp...Success");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\Help", name), dir / L"Help");
    EXPECT_TRUE(DeleteRegValue(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\Help", name));
    // Without a name the row would overwrite the key's default value.
    EXPECT_EQ(Run(ExecRegisterWinHelp, Row(itRegisterWinHelp, L"")), rwHelpFailed);
    EXPECT_EQ(log, L"Registering windows help: ...Fail");
}

TEST_F(Register, HelpBatchRunsInTheHelpFolderAndIsQuoted) {
    // An install directory with a blank, and a program where an unquoted command line
    // would lead the system first.
    context.InstallDir = dir / L"Corvane lib";
    CreateDirectoryPath(context.InstallDir + L"\\help");
    WriteFileBytes(context.InstallDir + L"\\help\\help_reg.bat", "@echo off\r\ncd > where.txt\r\n");
    ASSERT_TRUE(WriteStandInCompiler(dir / L"Corvane.exe"));
    StandInJournal journal(dir / L"journal.txt");

    EXPECT_EQ(Run(ExecRegisterHelp, Row(itRegisterHelp, L"help\\help_reg.bat")), 0);
    EXPECT_EQ(log, L"Register help: " + context.InstallDir + L"\\help\\help_reg.bat...Success");
    EXPECT_EQ(ReadFileBytes(context.InstallDir + L"\\help\\where.txt"), Narrow(context.InstallDir + L"\\help") + "\r\n");
    EXPECT_TRUE(journal.Entries().empty());

    EXPECT_EQ(Run(ExecRegisterHelp, Row(itRegisterHelp, L"help\\missing.bat")), static_cast<int32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(log, L"");
}

TEST_F(Register, UninstallEntryQuotesEachPartThatHoldsABlank) {
    TestMutex machine(MachineKeysMutexName);
    struct Case {
        std::wstring dir;
        std::wstring command;
    };
    const std::wstring plain = dir / L"Lib";
    const std::wstring blank = dir / L"Corvane lib";
    const Case cases[] = {
        {plain, plain + L"\\unbrd.exe " + plain + L"\\uninst.log"},
        {blank, L"\"" + blank + L"\\unbrd.exe\" \"" + blank + L"\\uninst.log\""},
    };
    for (const Case& c : cases) {
        context.InstallDir = c.dir;
        EXPECT_EQ(Run(ExecRegisterUninstall, Row(itRegisterUninstall, L"unbrd.exe", 0, dcRoot)), 0);
        EXPECT_EQ(log, L"Registering Uninstall: unbrd.exe...Success");
        EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, UninstallEntry, L"DisplayName"), L"Brindlecraft Corvane library v4.07");
        EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, UninstallEntry, L"UninstallString"), c.command);
        // What the next setup run reads back from it.
        EXPECT_EQ(FindPreviousUninstallLog(), c.dir + L"\\uninst.log");
    }
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, UninstallEntry, KEY_WOW64_32KEY, 0);
}

TEST_F(Register, CreateRegKeyMakesTheKeyUnderTheRootOfItsCode) {
    ScratchKey key;
    const std::wstring product = key / L"Maker\\Product";
    struct Case {
        uint32_t code;
        HKEY root;  // nullptr: no key anywhere
    };
    // clang-format off
    const Case cases[] = {
        {0x80000002, HKEY_LOCAL_MACHINE},
        {0x80000001, HKEY_CURRENT_USER},
        {0x2,        nullptr},
        {0,          nullptr},
    };
    // clang-format on
    for (const Case& c : cases) {
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) DeleteKeyTree(root, product);
        log = L"left by the row before";
        EXPECT_EQ(ExecCreateRegKey(Row(itCreateRegKey, product.c_str(), c.code), context, log), 0);
        EXPECT_EQ(log, L"");
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
            EXPECT_EQ(KeyExists(root, product), root == c.root) << std::hex << c.code;
    }
}

TEST(RegisterDispatch, TheTableNamesEveryRegistrationExecutor) {
    const std::pair<uint32_t, TExecutor> rows[] = {
        // clang-format off
        {itRegisterPackage, ExecRegisterPackage},     {itAddIdePath, ExecAddIdePath},
        {itAddSearchPath, ExecAddSearchPath},         {itSetHelpDir, ExecSetHelpDir},
        {itRegisterWinHelp, ExecRegisterWinHelp},     {itRegisterHelp, ExecRegisterHelp},
        {itRegisterUninstall, ExecRegisterUninstall}, {itCreateRegKey, ExecCreateRegKey},
        // clang-format on
    };
    for (const auto& [type, executor] : rows) EXPECT_EQ(FindExecutor(RegisterExecutors, type), executor) << type;
    EXPECT_EQ(FindExecutor(RegisterExecutors, itCompilePackage), nullptr);
}

}  // namespace
