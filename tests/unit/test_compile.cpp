// The compile executor against stand-in IDEs: the stand-in compilers are real
// programs that report every start (tool, current directory, exact command line)
// to a journal and build the package project they are given.
#include <gtest/gtest.h>

#include <string>

#include "IdeTesting.h"
#include "catalogue/UDirCodes.h"
#include "script/UCompile.h"
#include "support/UDirTree.h"

using namespace cvltest;

namespace {

constexpr int Delphi7 = 9, CBuilder4 = 5, CBuilder6 = 8, RadStudioXE2 = 16;

TScriptItem CompileRow(const wchar_t* Name, uint32_t Code, uint32_t Options = 0) {
    return TScriptItem{itCompilePackage, Name, Code, dcNone, nullptr, nullptr, dcNone, Options, nullptr};
}

class Compile : public ::testing::Test {
protected:
    void SetUp() override {
        CreateDirectoryPath(dir / L"work");
        SetCurrentDirectoryW((dir / L"work").c_str());
    }
    void TearDown() override {
        EXPECT_TRUE(journal.WaitAllExited(10000)) << "a stand-in compiler outlived its test";
        SetCurrentDirectoryW(L"C:\\");
        SetCompileTimeoutMs(0);
        ResetCatalogue();
    }
    int32_t Run(const TScriptItem& Item) {
        log.clear();
        return ExecCompilePackage(Item, log);
    }
    // The starts the journal holds: {tool, current directory, command line}.
    std::vector<std::vector<std::string>> Starts() const {
        std::vector<std::vector<std::string>> starts;
        for (const auto& e : journal.Entries())
            if (e[0] == "start") starts.push_back({e[1], e[2], e[3]});
        return starts;
    }

    ScratchDir dir;
    StandInJournal journal{dir / L"journal.txt"};
    std::wstring log;
};

TEST_F(Compile, TheLowestBitPicksTheIdeAndItsRowPicksTheTool) {
    struct Case {
        uint32_t code;
        uint32_t options;
        int row;              // the IDE that must be used
        const char* tool;     // the stand-in that must start
        const char* args;     // what follows the tool's path on the command line
    };
    // clang-format off
    const Case cases[] = {
        {0x8000,                0, RadStudioXE2, "dcc32", " cvl160.dpk"},
        {0x8000,                1, RadStudioXE2, "dcc64", " cvl160.dpk"},
        {0x8000,                2, RadStudioXE2, "dcc32", " cvl160.dpk"},   // only 1 means 64-bit
        {0x8000 | 0x20000 | 0x100000, 0, RadStudioXE2, "dcc32", " cvl160.dpk"},
        {0x100 | 0x8000,        0, Delphi7,      "dcc32", " cvl160.dpk"},
        {0x80,                  1, CBuilder6,    "make",  " /fcvl160.dpk"}, // C++Builder ignores Options 1
        {0x10,                  0, CBuilder4,    "make",  " /fcvl160.dpk"},
    };
    // clang-format on
    for (int row : {Delphi7, CBuilder4, CBuilder6, RadStudioXE2})
        MakeStandInIde(row, dir / (L"ide" + std::to_wstring(row)));
    for (const Case& c : cases) {
        DeleteFileW((dir / L"journal.txt").c_str());

        EXPECT_EQ(Run(CompileRow(L"cvl160.dpk", c.code, c.options)), 0) << std::hex << c.code;
        EXPECT_EQ(log, L"Compiling package: cvl160.dpk...Success");
        ASSERT_TRUE(journal.WaitAllExited(10000));
        auto starts = Starts();
        ASSERT_EQ(starts.size(), 1u) << std::hex << c.code;
        const std::string toolPath = Narrow(BorlandProducts[c.row].RootDir) + "\\bin\\" + c.tool + ".exe";
        EXPECT_EQ(starts[0][0], c.tool) << std::hex << c.code;
        EXPECT_EQ(starts[0][1], Narrow(dir / L"work"));  // the installer's current directory
        EXPECT_EQ(starts[0][2], toolPath + c.args);
    }
}

TEST_F(Compile, NoIdeOrAMissingToolGivesItsResultAndText) {
    struct Case {
        uint32_t code;
        uint32_t options;
        unsigned tools;  // what the stand-in IDEs of rows 9 and 8 have
        int32_t result;
        const wchar_t* log;
    };
    // clang-format off
    const Case cases[] = {
        {0,          0, AllTools,              cpNoIde,            L""},
        {0x10000000, 0, AllTools,              cpIdeOutOfTable,    L""},
        {0x80000000, 1, AllTools,              cpIdeOutOfTable,    L""},
        {0x100,      1, ToolDcc32 | ToolMake,  cpNoDelphiCompiler, L"Compiling package, cannot find dcc64.exe: cvl70.dpk...Fail"},
        {0x100,      0, ToolDcc64 | ToolMake,  cpNoDelphiCompiler, L"Compiling package, cannot find dcc32.exe: cvl70.dpk...Fail"},
        {0x80,       0, ToolDcc32 | ToolDcc64, cpNoMake,           L"Compiling package, cannot find make.exe: cvl70.dpk...Fail"},
    };
    // clang-format on
    for (const Case& c : cases) {
        const std::wstring tools = std::to_wstring(c.tools);
        MakeStandInIde(Delphi7, dir / (L"d7-" + tools), c.tools);
        MakeStandInIde(CBuilder6, dir / (L"cb6-" + tools), c.tools);
        log = L"left by the row before";
        EXPECT_EQ(ExecCompilePackage(CompileRow(L"cvl70.dpk", c.code, c.options), log), c.result) << std::hex << c.code;
        EXPECT_EQ(log, std::wstring(c.log).empty() ? L"left by the row before" : c.log) << std::hex << c.code;
    }
    EXPECT_TRUE(Starts().empty());
}

TEST_F(Compile, AnIdeRootThatIsNoFullPathHasNoCompiler) {
    // An empty or relative root would send the tool's path to \bin\dcc32.exe on the
    // current drive or below the current directory, where anything may lie.
    MakeStandInIde(Delphi7, dir / L"work\\d7", ToolDcc32);
    for (const wchar_t* root : {L"", L"d7", L".\\d7"}) {
        BorlandProducts[Delphi7].RootDir = root;
        EXPECT_EQ(Run(CompileRow(L"cvl70.dpk", 0x100)), cpNoDelphiCompiler) << Narrow(root);
        EXPECT_EQ(log, L"Compiling package, cannot find dcc32.exe: cvl70.dpk...Fail");
    }
    EXPECT_TRUE(Starts().empty());
}

TEST_F(Compile, AToolPathWithBlanksIsQuotedAndTheProjectNameIsNot) {
    // Unquoted, the system would start ...\Program.exe for a root below "Program Files".
    CreateDirectoryPath(dir / L"Program Files (x86)");
    ASSERT_TRUE(WriteStandInCompiler(dir / L"Program.exe"));
    MakeStandInIde(Delphi7, dir / L"Program Files (x86)\\Borland\\Delphi7");

    EXPECT_EQ(Run(CompileRow(L"my package.dpk", 0x100)), 0);
    EXPECT_EQ(log, L"Compiling package: my package.dpk...Success");
    ASSERT_TRUE(journal.WaitAllExited(10000));
    auto starts = Starts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0][0], "dcc32");
    EXPECT_EQ(starts[0][2], "\"" + Narrow(dir / L"Program Files (x86)\\Borland\\Delphi7\\bin\\dcc32.exe") +
                                "\" my package.dpk");
}

TEST_F(Compile, AToolThatCannotStartGivesTheWindowsError) {
    MakeStandInIde(Delphi7, dir / L"d7", ToolDcc64 | ToolMake);
    WriteFileBytes(dir / L"d7\\bin\\dcc32.exe", "not a program");
    EXPECT_GT(Run(CompileRow(L"cvl70.dpk", 0x100)), 0);
    EXPECT_EQ(log, L"");
}

// A package project set as the payload brings it: the runtime and the design-time
// package of one IDE, the configuration beside them, the units in ..\Source.
void WriteProjects(const ScratchDir& dir) {
    CreateDirectoryPath(dir / L"Source");
    WriteFileBytes(dir / L"Source\\cvl.inc", "{$DEFINE CVL}\r\n");
    WriteFileBytes(dir / L"Source\\cvlUtils.pas", "unit cvlUtils;\r\n{$I cvl.inc}\r\ninterface\r\nimplementation\r\nend.\r\n");
    WriteFileBytes(dir / L"Source\\cvlReg.pas", "unit cvlReg;\r\n{$I cvl.inc}\r\ninterface\r\nimplementation\r\nend.\r\n");
    WriteFileBytes(dir / L"work\\cvl70.dpk",
                   "package cvl70;\r\n{$R *.res}\r\n{$DESCRIPTION 'runtime'}\r\n{$RUNONLY}\r\n"
                   "requires\r\n  rtl, vcl;\r\ncontains\r\n  cvlUtils in '..\\Source\\cvlUtils.pas';\r\nend.\r\n");
    WriteFileBytes(dir / L"work\\dclcvl70.dpk",
                   "package dclcvl70;\r\n{$R *.res}\r\n{$DESIGNONLY}\r\n"
                   "requires\r\n  designide, cvl70;\r\ncontains\r\n  cvlReg;\r\nend.\r\n");
    for (const wchar_t* name : {L"cvl70", L"dclcvl70"}) {
        WriteFileBytes(dir / (L"work\\" + std::wstring(name) + L".res"), "");
        WriteFileBytes(dir / (L"work\\" + std::wstring(name) + L".cfg"),
                       "-$D-\r\n-LE\"out\"\r\n-LN\"out\"\r\n-N\"out\"\r\n-U\"..\\Source;out\"\r\n-I\"..\\Source\"\r\n");
    }
    CreateDirectoryPath(dir / L"work\\out");
}

TEST_F(Compile, TheStandInBuildsWhereTheConfigurationSays) {
    WriteProjects(dir);
    MakeStandInIde(Delphi7, dir / L"d7");
    // The design-time package needs the runtime package's .dcp: compiled the wrong way
    // round it fails, as the real compiler would.
    EXPECT_EQ(Run(CompileRow(L"dclcvl70.dpk", 0x100)), 0);
    ASSERT_TRUE(journal.WaitAllExited(10000));
    EXPECT_FALSE(Exists(dir / L"work\\out\\dclcvl70.bpl"));

    for (const wchar_t* project : {L"cvl70.dpk", L"dclcvl70.dpk"}) EXPECT_EQ(Run(CompileRow(project, 0x100)), 0);
    ASSERT_TRUE(journal.WaitAllExited(10000));
    for (const wchar_t* output : {L"cvl70.bpl", L"cvl70.dcp", L"cvlUtils.dcu", L"dclcvl70.bpl", L"dclcvl70.dcp", L"cvlReg.dcu"})
        EXPECT_TRUE(Exists(dir / (L"work\\out\\" + std::wstring(output)))) << Narrow(output);
    EXPECT_FALSE(Exists(dir / L"work\\cvl70.bpl"));
}

TEST_F(Compile, AFailedCompileStillReportsTheStartOnly) {
    WriteProjects(dir);
    MakeStandInIde(Delphi7, dir / L"d7");
    SetEnvironmentVariableW(L"CVL_STANDIN_FAIL", L"cvl70");
    EXPECT_EQ(Run(CompileRow(L"cvl70.dpk", 0x100)), 0);
    EXPECT_EQ(log, L"Compiling package: cvl70.dpk...Success");
    ASSERT_TRUE(journal.WaitAllExited(10000));
    EXPECT_FALSE(Exists(dir / L"work\\out\\cvl70.bpl"));
    // A broken source tree fails the same way, for a reason of its own.
    SetEnvironmentVariableW(L"CVL_STANDIN_FAIL", nullptr);
    DeleteFileW((dir / L"Source\\cvl.inc").c_str());
    EXPECT_EQ(Run(CompileRow(L"cvl70.dpk", 0x100)), 0);
    ASSERT_TRUE(journal.WaitAllExited(10000));
    EXPECT_FALSE(Exists(dir / L"work\\out\\cvl70.bpl"));
}

TEST_F(Compile, ACompilerThatHangsIsWaitedForOnlyUntilTheTimeOut) {
    WriteProjects(dir);
    MakeStandInIde(Delphi7, dir / L"d7");
    SetEnvironmentVariableW(L"CVL_STANDIN_HANG", L"dcc32");
    SetEnvironmentVariableW(L"CVL_STANDIN_HANG_MS", L"4000");
    SetCompileTimeoutMs(300);
    DWORD started = GetTickCount();
    EXPECT_EQ(Run(CompileRow(L"cvl70.dpk", 0x100)), 0);
    DWORD took = GetTickCount() - started;
    EXPECT_GE(took, 250u);
    EXPECT_LT(took, 3000u);
    EXPECT_EQ(log, L"Compiling package: cvl70.dpk...Success");
    EXPECT_EQ(Starts().size(), 1u);
    EXPECT_FALSE(Exists(dir / L"work\\out\\cvl70.bpl"));
}

TEST(CompileTimeout, TheEnvironmentCanOnlyShortenTheWait) {
    struct Case {
        const wchar_t* value;  // nullptr: not set
        uint32_t ms;
    };
    // clang-format off
    const Case cases[] = {
        {nullptr,    45000},
        {L"500",     500},
        {L"0",       0},
        {L"45000",   45000},
        {L"999999",  45000},
        {L"12ab",    45000},
        {L"",        45000},
        {L"99999999999999999999", 45000},
    };
    // clang-format on
    for (const Case& c : cases) {
        SetEnvironmentVariableW(L"CVL_COMPILE_TIMEOUT_MS", c.value);
        EXPECT_EQ(CompileTimeoutMs(), c.ms) << (c.value ? Narrow(c.value) : "unset");
    }
    SetCompileTimeoutMs(700);
    EXPECT_EQ(CompileTimeoutMs(), 700u);
    SetCompileTimeoutMs(90000);
    EXPECT_EQ(CompileTimeoutMs(), 45000u);
    SetCompileTimeoutMs(0);
    SetEnvironmentVariableW(L"CVL_COMPILE_TIMEOUT_MS", nullptr);
}

TEST(CompileDispatch, TheTableNamesTheCompileExecutor) {
    EXPECT_EQ(FindExecutor(CompileExecutors, itCompilePackage), &ExecCompilePackage);
    EXPECT_EQ(FindExecutor(CompileExecutors, itCheckFile), nullptr);
}

}  // namespace
