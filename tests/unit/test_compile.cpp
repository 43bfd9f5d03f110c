// The compile executor against stand-in IDEs: the stand-in compilers are real
// programs that report every start (tool, current directory, exact command line)
// to a journal and build the package project they are given.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "IdeTesting.h"
#include "catalogue/UDirCodes.h"
#include "script/UCompile.h"
#include "support/UDirTree.h"
#include "script/UCompileReport.h"
#include "script/UScript.h"
#include "script/UScriptRun.h"
#include "support/UCapture.h"
#include "support/WinHandles.h"
#include "tests/driver/TestCompileTimeout.h"

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
        TestCompileTimeoutMs = DefaultCompileTimeoutMs;
        ResetCatalogue();
    }
    int32_t Run(const TScriptItem& Item) {
        log.clear();
        TRunContext run;
        run.Detected = &detected;
        return CompilePackage(Item, run, log, outcome);
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
    TCompileOutcome outcome;  // of the last Run
    TDetectedIdes detected;   // what detection found on the test's machine
};

std::wstring FirstLine(const std::wstring& Text) { return Text.substr(0, Text.find(L"\r\n")); }
std::wstring SecondLine(const std::wstring& Text) {
    const size_t end = Text.find(L"\r\n");
    return end == std::wstring::npos ? L"" : Text.substr(end + 2);
}

TEST_F(Compile, TheLowestBitPicksTheIdeAndItsRowPicksTheTool) {
    struct Case {
        uint32_t code;
        uint32_t options;
        // clang-format off
        int row;              // the IDE that must be used
        const char* tool;     // the stand-in that must start
        const char* args;     // what follows the tool's path on the command line
        // clang-format on
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
        MakeStandInIde(detected, row, dir / (L"ide" + std::to_wstring(row)));
    for (const Case& c : cases) {
        DeleteFileW((dir / L"journal.txt").c_str());

        EXPECT_EQ(Run(CompileRow(L"cvl160.dpk", c.code, c.options)), 0) << std::hex << c.code;
        // There is no project here: every tool fails, and the row still reports the start.
        EXPECT_EQ(FirstLine(log), L"Compiling package: cvl160.dpk...Success");
        EXPECT_EQ(SecondLine(log), L"Compiler exit code: 1, output in " + dir / L"work\\cvl160.log");
        ASSERT_TRUE(journal.WaitAllExited(10000));
        auto starts = Starts();
        ASSERT_EQ(starts.size(), 1u) << std::hex << c.code;
        const std::string toolPath = Narrow(detected[c.row].RootDir) + "\\bin\\" + c.tool + ".exe";
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
        MakeStandInIde(detected, Delphi7, dir / (L"d7-" + tools), c.tools);
        MakeStandInIde(detected, CBuilder6, dir / (L"cb6-" + tools), c.tools);
        log = L"left by the row before";
        TRunContext run;
        run.Detected = &detected;
        EXPECT_EQ(ExecCompilePackage(CompileRow(L"cvl70.dpk", c.code, c.options), run, log), c.result) << std::hex << c.code;
        EXPECT_EQ(log, std::wstring(c.log).empty() ? L"left by the row before" : c.log) << std::hex << c.code;
    }
    EXPECT_TRUE(Starts().empty());
}

TEST_F(Compile, AnIdeRootThatIsNoFullPathHasNoCompiler) {
    // An empty or relative root would send the tool's path to \bin\dcc32.exe on the
    // current drive or below the current directory, where anything may lie.
    MakeStandInIde(detected, Delphi7, dir / L"work\\d7", ToolDcc32);
    for (const wchar_t* root : {L"", L"d7", L".\\d7"}) {
        detected[Delphi7].RootDir = root;
        EXPECT_EQ(Run(CompileRow(L"cvl70.dpk", 0x100)), cpNoDelphiCompiler) << Narrow(root);
        EXPECT_EQ(log, L"Compiling package, cannot find dcc32.exe: cvl70.dpk...Fail");
    }
    EXPECT_TRUE(Starts().empty());
}

TEST_F(Compile, AToolPathWithBlanksIsQuotedAndTheProjectNameIsNot) {
    // Unquoted, the system would start ...\Program.exe for a root below "Program Files".
    CreateDirectoryPath(dir / L"Program Files (x86)");
    ASSERT_TRUE(WriteStandInCompiler(dir / L"Program.exe"));
    MakeStandInIde(detected, Delphi7, dir / L"Program Files (x86)\\Borland\\Delphi7");

    EXPECT_EQ(Run(CompileRow(L"my package.dpk", 0x100)), 0);
    EXPECT_EQ(FirstLine(log), L"Compiling package: my package.dpk...Success");
    EXPECT_EQ(outcome.LogPath, dir / L"work\\my package.log");
    ASSERT_TRUE(journal.WaitAllExited(10000));
    auto starts = Starts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0][0], "dcc32");
    EXPECT_EQ(starts[0][2], "\"" + Narrow(dir / L"Program Files (x86)\\Borland\\Delphi7\\bin\\dcc32.exe") +
                                "\" my package.dpk");
}

TEST_F(Compile, AToolThatCannotStartGivesTheWindowsError) {
    MakeStandInIde(detected, Delphi7, dir / L"d7", ToolDcc64 | ToolMake);
    WriteFileBytes(dir / L"d7\\bin\\dcc32.exe", "not a program");
    EXPECT_GT(Run(CompileRow(L"cvl70.dpk", 0x100)), 0);
    EXPECT_EQ(log, L"");
}

// A tool held open without sharing, the way a virus scanner holds a program it is
// looking at, only delays the compile.
TEST_F(Compile, AToolHeldOpenForAMomentStillStarts) {
    MakeStandInIde(detected, Delphi7, dir / L"d7");
    const std::wstring tool = dir / L"d7\\bin\\dcc32.exe";
    brd::UniqueFile held(CreateFileW(tool.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    std::thread release([&held] {
        Sleep(400);
        held.reset();
    });
    EXPECT_EQ(Run(CompileRow(L"cvl70.dpk", 0x100)), 0);
    release.join();
    EXPECT_EQ(FirstLine(log), L"Compiling package: cvl70.dpk...Success");
    EXPECT_EQ(Starts().size(), 1u);
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
    MakeStandInIde(detected, Delphi7, dir / L"d7");
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

TEST_F(Compile, ASuccessfulCompileLogsExitCodeZeroAndWhatTheCompilerPrinted) {
    WriteProjects(dir);
    MakeStandInIde(detected, Delphi7, dir / L"d7");
    WriteFileBytes(dir / L"work\\cvl70.log", std::string(100000, 'x'));  // of an earlier run
    EXPECT_EQ(Run(CompileRow(L"cvl70.dpk", 0x100)), 0);
    EXPECT_EQ(log, L"Compiling package: cvl70.dpk...Success\r\nCompiler exit code: 0, output in " +
                       dir / L"work\\cvl70.log");
    EXPECT_EQ(ReadFileBytes(dir / L"work\\cvl70.log"),
              "Stand-in Delphi compiler (dcc32) for Win32\r\n1 units, cvl70 built for Win32.\r\n");
    EXPECT_TRUE(Exists(dir / L"work\\out\\cvl70.bpl"));
    // Every start of the compiler has ended when the row is done.
    EXPECT_TRUE(journal.WaitAllExited(0));
}

TEST_F(Compile, AFailingCompilerIsLoggedInItsOwnBytesAndReportedReadably) {
    struct Case {
        // clang-format off
        const wchar_t* mode;       // the stand-in's control variable
        const char* inLog;         // bytes the log holds
        const wchar_t* lastLine;   // the report's last output line; empty: "printed nothing"
        // clang-format on
    };
    // clang-format off
    const Case cases[] = {
        {L"CVL_STANDIN_FAIL",   "cvl70.dpk(12) Fatal: F1026 File not found: 'cvlStorage.pas'\r\n",
                                L"cvl70.dpk(12) Fatal: F1026 File not found: 'cvlStorage.pas'"},
        {L"CVL_STANDIN_SILENT", "",
                                L""},
        {L"CVL_STANDIN_GARBLE", "\x1b[31mVeraltet\x1b[0m \x01\x7f",
                                L"cvl70.dpk(12) Fatal: F1026 Datei nicht gefunden: '\u00dcbersicht.pas'"},
    };
    // clang-format on
    WriteProjects(dir);
    MakeStandInIde(detected, Delphi7, dir / L"d7");
    for (const Case& c : cases) {
        SetEnvironmentVariableW(c.mode, L"cvl70");
        EXPECT_EQ(Run(CompileRow(L"cvl70.dpk", 0x100)), 0) << Narrow(c.mode);
        SetEnvironmentVariableW(c.mode, nullptr);
        EXPECT_EQ(SecondLine(log), L"Compiler exit code: 1, output in " + dir / L"work\\cvl70.log");
        const std::string bytes = ReadFileBytes(dir / L"work\\cvl70.log");
        EXPECT_NE(bytes.find(c.inLog), std::string::npos) << Narrow(c.mode);
        if (*c.inLog == '\0') {
            EXPECT_EQ(bytes, "");
        }

        const std::wstring report = CompileReport(outcome);
        for (wchar_t ch : report)
            EXPECT_TRUE(ch >= 0x20 || ch == L'\r' || ch == L'\n' || ch == L'\t') << Narrow(c.mode) << " " << int(ch);
        const std::wstring path = L"\r\n\r\nThe whole output is in " + dir / L"work\\cvl70.log";
        ASSERT_GE(report.size(), path.size());
        EXPECT_EQ(report.substr(report.size() - path.size()), path);
        const std::wstring shown = report.substr(0, report.size() - path.size());
        const std::wstring want = *c.lastLine ? std::wstring(L"\r\n") + c.lastLine : L"The compiler printed nothing.";
        EXPECT_EQ(shown.substr(shown.size() - std::min(shown.size(), want.size())), want) << Narrow(report);
    }
    // Standard error comes through the same pipe.
    EXPECT_NE(ReadFileBytes(dir / L"work\\cvl70.log").find("Error on standard error\r\n"), std::string::npos);
    EXPECT_TRUE(journal.WaitAllExited(0));
}

TEST_F(Compile, MegabytesOfOutputNeitherBlockTheCompilerNorFillTheDisk) {
    WriteProjects(dir);
    MakeStandInIde(detected, Delphi7, dir / L"d7");
    SetEnvironmentVariableW(L"CVL_STANDIN_FLOOD", L"dcc32");
    SetEnvironmentVariableW(L"CVL_STANDIN_FLOOD_BYTES", L"6291456");
    TestCompileTimeoutMs = 30000;
    EXPECT_EQ(Run(CompileRow(L"cvl70.dpk", 0x100)), 0);
    EXPECT_EQ(SecondLine(log), L"Compiler exit code: 1, output in " + dir / L"work\\cvl70.log");
    EXPECT_GT(outcome.OutputBytes, 6291456u);
    const std::string bytes = ReadFileBytes(dir / L"work\\cvl70.log");
    EXPECT_LT(bytes.size(), CompileLogHeadBytes + CompileLogTailBytes + 200);
    EXPECT_EQ(bytes.compare(0, 20, "Stand-in Delphi comp"), 0);
    EXPECT_NE(bytes.find(" bytes of the compiler's output left out here ...]"), std::string::npos);
    const std::string fatal = "cvl70.dpk(12) Fatal: F1026 File not found: 'cvlStorage.pas'\r\n";
    ASSERT_GT(bytes.size(), fatal.size());
    EXPECT_EQ(bytes.substr(bytes.size() - fatal.size()), fatal);

    const std::wstring report = CompileReport(outcome);
    // Whole lines, as many as the limits allow, the last one the failure.
    EXPECT_NE(report.find(L"' never used\r\n"), std::wstring::npos) << Narrow(report);
    EXPECT_NE(report.find(L"\r\ncvl70.dpk(12) Fatal: F1026 File not found: 'cvlStorage.pas'\r\n\r\n"),
              std::wstring::npos);
    const size_t from = report.find(L"printed:\r\n") + 10, to = report.find(L"\r\n\r\nThe whole output");
    ASSERT_LT(from, to);
    size_t lines = 0, rows = 0;
    for (size_t at = from; at < to; ++lines) {
        size_t end = std::min(report.find(L"\r\n", at), to);
        rows += (end - at + CompileReportLimits.RowChars - 1) / CompileReportLimits.RowChars;
        at = end + 2;
    }
    EXPECT_GE(lines, 5u);
    EXPECT_LE(rows, CompileReportLimits.Rows);
    EXPECT_LE(to - from, CompileReportLimits.Chars + 2 * CompileReportLimits.Lines);
}

TEST_F(Compile, ACompilerThatHangsIsEndedWithEverythingItStartedAfterTheWait) {
    WriteProjects(dir);
    MakeStandInIde(detected, Delphi7, dir / L"d7");
    SetEnvironmentVariableW(L"CVL_STANDIN_HANG", L"dcc32");
    TestCompileTimeoutMs = 3000;
    DWORD started = GetTickCount();
    EXPECT_EQ(Run(CompileRow(L"cvl70.dpk", 0x100)), 0);
    DWORD took = GetTickCount() - started;
    EXPECT_GE(took, 2950u);
    EXPECT_LT(took, 10000u);
    EXPECT_EQ(log,
              L"Compiling package: cvl70.dpk...Success\r\nCompiler stopped after the time-out of 3000 ms, "
              L"output in " +
                  dir / L"work\\cvl70.log");
    EXPECT_EQ(ReadFileBytes(dir / L"work\\cvl70.log"), "Compiling cvl70.dpk...\r\n");
    // The compiler and the helper it started are gone at once; neither ended by itself.
    const std::vector<DWORD> pids = journal.Pids("start");
    ASSERT_EQ(pids.size(), 2u);
    for (DWORD pid : pids) EXPECT_TRUE(StandInJournal::ProcessGone(pid)) << pid;
    EXPECT_TRUE(journal.Pids("exit").empty());
    EXPECT_FALSE(Exists(dir / L"work\\out\\cvl70.bpl"));
    const std::wstring report = CompileReport(outcome);
    EXPECT_EQ(report.rfind(L"\r\n\r\nThe compiler did not finish within 3 seconds and was stopped.\r\n", 0), 0u)
        << Narrow(report);
}

TEST_F(Compile, ALogThatCannotBeWrittenIsSaidSo) {
    WriteProjects(dir);
    MakeStandInIde(detected, Delphi7, dir / L"d7");
    CreateDirectoryPath(dir / L"work\\cvl70.log");  // a folder where the log should go
    EXPECT_EQ(Run(CompileRow(L"cvl70.dpk", 0x100)), 0);
    EXPECT_EQ(SecondLine(log).rfind(L"Compiler exit code: 0, output not saved in " + dir / L"work\\cvl70.log: ", 0), 0u)
        << Narrow(log);
    EXPECT_NE(CompileReport(outcome).find(L"The output could not be saved in "), std::wstring::npos);
}

// The engine adds a compiler's report to the check row right after its compile, and
// to no other row.
TEST_F(Compile, OnlyTheCheckRowRightAfterACompileGetsTheCompilersReport) {
    WriteProjects(dir);
    MakeStandInIde(detected, Delphi7, dir / L"d7");
    SetEnvironmentVariableW(L"CVL_STANDIN_FAIL", L"cvl70");
    const std::wstring work = dir / L"work";
    const TScriptItem setIde = {itSetIde, L"Delphi7", 9, dcNone, nullptr, nullptr, dcNone, 0, nullptr};
    const TScriptItem checkBpl = {itCheckFile, L"out\\cvl70.bpl", 0, dcNone, nullptr, nullptr, dcNone, 0, nullptr};
    const TScriptItem checkDcp = {itCheckFile, L"out\\cvl70.dcp", 0, dcNone, nullptr, nullptr, dcNone, 0, nullptr};
    const TScriptItem rows[] = {
        setIde,
        CompileRow(L"cvl70.dpk", 0x100),
        // clang-format off
        checkBpl,                          // 2: the report
        checkDcp,                          // 3: none, not right after the compile
        // clang-format on
        CompileRow(L"cvl70.dpk", 0x100),
        setIde,
        checkBpl,  // 6: none, another block
        CompileRow(L"dclcvl70.dpk", 0x100),
        checkBpl,  // 8: the report of dclcvl70
    };
    TInstallPlan plan;
    plan.Dir = dir / L"lib";
    std::vector<std::wstring> reports;
    {
        TScript script(plan, detected, rows, static_cast<int32_t>(std::size(rows)));
        script.Start();
        for (; script.Current < script.Count(); ++script.Current) {
            script.ItemDoScript();
            reports.push_back(script.CompilerReport());
        }
    }
    CommitRun();
    ASSERT_EQ(reports.size(), std::size(rows));
    for (size_t i : {0u, 1u, 3u, 4u, 5u, 6u, 7u}) EXPECT_EQ(reports[i], L"") << i;
    EXPECT_NE(reports[2].find(L"cvl70.dpk(12) Fatal: F1026 File not found: 'cvlStorage.pas'"), std::wstring::npos);
    EXPECT_NE(reports[2].find(work + L"\\cvl70.log"), std::wstring::npos);
    EXPECT_NE(reports[8].find(L"dclcvl70.dpk Fatal: F2613"), std::wstring::npos) << Narrow(reports[8]);
    EXPECT_NE(reports[8].find(work + L"\\dclcvl70.log"), std::wstring::npos);
}

TEST(CompileReportText, OutputBytesBecomeReadableText) {
    struct Case {
        std::string bytes;
        const wchar_t* text;
    };
    // clang-format off
    const Case cases[] = {
        {"Fatal: F1026\r\n",                     L"Fatal: F1026\r\n"},
        {"Datei \xc3\x9c" "bersicht",            L"Datei \u00dcbersicht"},   // UTF-8
        {"Datei \xdc" "bersicht",                L"Datei \u00dcbersicht"},   // the ANSI code page (1252)
        {std::string("a\0b\x01\x1b[0m\x7f", 9), L"a?b??[0m?"},              // control characters
        {std::string("F\0a\0t\0a\0l\0\n\0", 12), L"Fatal\n"},               // UTF-16
        {"\xe2\x80\xae" "evil",                  L"?evil"},                  // a direction override
        {"",                                     L""},
    };
    // clang-format on
    for (const Case& c : cases) EXPECT_EQ(OutputToText(c.bytes), c.text) << c.bytes;
}

TEST(CompileReportText, TheLastLinesFitTheBox) {
    struct Case {
        std::wstring text;
        TReportLimits limits;
        std::vector<std::wstring> lines;  // what comes back
    };
    std::wstring many;
    for (int i = 1; i <= 30; ++i) many += L"line " + std::to_wstring(i) + L"\r\n";
    std::vector<std::wstring> last20;
    for (int i = 11; i <= 30; ++i) last20.push_back(L"line " + std::to_wstring(i));
    const std::wstring w40(40, L'w'), w70(70, L'w');
    // clang-format off
    const Case cases[] = {
        {many + L"\r\n\r\n  \r\n",       CompileReportLimits, last20},
        {L"only\r\n",                    CompileReportLimits, {L"only"}},
        {L"",                            CompileReportLimits, {}},
        {L"a\r\n\r\nb  \t",              CompileReportLimits, {L"a", L"", L"b"}},
        // Rows: a line of 40 characters takes two rows of 36, one of 70 two as well.
        {w40 + L"\n" + w40 + L"\n" + w70, {20, 2000, 4, 36},  {w40, w70}},
        {w40 + L"\n" + w70,               {20, 2000, 3, 36},  {w70}},
        // Characters.
        {w40 + L"\n" + w40 + L"\n" + w70, {20, 149, 30, 36},  {w40, w70}},
        // A last line too long by itself: its end.
        {L"start " + std::wstring(200, L'y'), {20, 2000, 3, 36}, {L"..." + std::wstring(105, L'y')}},
        {L"start " + std::wstring(200, L'y'), {20, 50, 30, 36},  {L"..." + std::wstring(47, L'y')}},
    };
    // clang-format on
    for (const Case& c : cases) EXPECT_EQ(LastLines(c.text, c.limits), c.lines) << Narrow(c.text.substr(0, 40));
}

TEST(OutputKeeper, KeepsTheHeadAndTheTailAndCountsWhatLiesBetween) {
    struct Case {
        std::vector<std::string> pieces;
        std::string head, tail;
        uint64_t dropped;
        std::string last3;
    };
    // clang-format off
    const Case cases[] = {
        {{"abc"},                                            "abc",  "",       0,  "abc"},
        {{"abcdefg"},                                        "abcd", "efg",    0,  "efg"},
        {{"abcd", "efgh", "ijkl"},                           "abcd", "ghijkl", 2,  "jkl"},
        {{"ab", "cdefghijklmnopqrstu"},                      "abcd", "pqrstu", 11, "stu"},
        {{"abcde", "f", "g", "h", "i", "j", "k", "l", "m"},  "abcd", "hijklm", 3,  "klm"},
    };
    // clang-format on
    for (const Case& c : cases) {
        TOutputKeeper keeper(4, 6);
        for (const std::string& piece : c.pieces) keeper.Append(piece.data(), piece.size());
        EXPECT_EQ(keeper.Head(), c.head);
        EXPECT_EQ(keeper.Tail(), c.tail);
        EXPECT_EQ(keeper.Dropped(), c.dropped) << c.head << c.tail;
        EXPECT_EQ(keeper.Last(3), c.last3);
        EXPECT_EQ(keeper.Total(), c.head.size() + c.tail.size() + c.dropped);
    }
}

TEST(CompileDispatch, TheTableNamesTheCompileExecutor) {
    EXPECT_EQ(FindExecutor(CompileExecutors, itCompilePackage), &ExecCompilePackage);
    EXPECT_EQ(FindExecutor(CompileExecutors, itCheckFile), nullptr);
}

}  // namespace
