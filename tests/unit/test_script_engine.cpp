// The script engine on small tables of its own: conditional blocks, copy-only mode,
// the text log and the uninstall records it leaves.
#include <gtest/gtest.h>

#include <vector>

#include "FreshState.h"
#include "RowTesting.h"
#include "Scratch.h"
#include "ScriptRunTesting.h"
#include "catalogue/UDirCodes.h"
#include "catalogue/UProducts.h"
#include "script/UScript.h"
#include "script/UScriptRun.h"
#include "support/UConst.h"
#include "uninstall/UUndoLog.h"

using namespace cvltest;

namespace {

class Engine : public FreshStateTest {
protected:
    void SetUp() override {
        FreshStateTest::SetUp();
        InstallDir = Dir.path() + L"\\lib";
        plan.Dir = InstallDir;
    }

    std::vector<int32_t> Run(const std::vector<TScriptItem>& rows) { return RunAsProgressPage(plan, rows, &Texts); }

    std::vector<std::wstring> LogLines() const {
        const std::wstring text = InstallLogText(InstallDir);
        std::vector<std::wstring> lines;
        size_t start = 0;
        for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
        EXPECT_EQ(start, text.size()) << "text after the last line end";
        return lines;
    }

    std::vector<TUndoRecord> Records() const {
        std::string bytes = ReadFileBytes(InstallDir + L"\\uninst.log");
        std::vector<uint8_t> buf(bytes.begin(), bytes.end());
        EXPECT_GE(buf.size(), UndoLogMagicSize);
        std::vector<TUndoRecord> records;
        size_t pos = UndoLogMagicSize;
        while (size_t length = ForwardRecordLength(buf, pos, UndoLogMagicSize, buf.size())) {
            TUndoRecord record;
            EXPECT_TRUE(DecodeUndoRecord(bytes.substr(pos, length), record));
            records.push_back(record);
            pos += length;
        }
        EXPECT_EQ(pos, buf.size());
        return records;
    }

    ScratchDir Dir;
    std::wstring InstallDir;
    TInstallPlan plan;
    std::vector<std::wstring> Texts;
};

TEST_F(Engine, OpensTheTextLogWithItsThreeLines) {
    Run({});
    std::vector<std::wstring> lines = LogLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], L"Start installation for trial Delphi version of Corvane library v4.07");
    EXPECT_EQ(lines[1], L"RootPath: " + InstallDir);
    EXPECT_EQ(lines[2], L"Borland products: ");
    std::string bytes = ReadFileBytes(InstallDir + L"\\install.log");
    EXPECT_EQ(bytes.substr(0, 2), std::string("S\0", 2));  // UTF-16LE, no byte-order mark
    EXPECT_EQ(ReadFileBytes(InstallDir + L"\\uninst.log"), "UNBRD02");
}

TEST_F(Engine, ProductsLineNamesTheChosenSelectedRows) {
    plan.Versions = 0x100 | 0x8000 | 0x1;
    TDetectedIdes detected;
    detected[9].Selected = true;   // Delphi7
    detected[16].Selected = true;  // RADStudio9
    detected[1].Selected = false;  // chosen but not selected
    detected[2].Selected = true;   // selected but not chosen
    EXPECT_EQ(TScript::ProductsLine(plan, detected), L"Borland products: Delphi7,RADStudio9");
}

TEST_F(Engine, SkippedBlocksRunNothingAndLeaveNoRecord) {
    plan.Items = 0x80;
    const std::vector<TScriptItem> rows = {
        Row(itCreateDir | ifLogUndo, L"", 0, dcRoot),
        Row(itIfItems, nullptr, 0x400),  // not chosen: skip
        Row(itCreateDir | ifLogUndo, L"Skipped", 0, dcRoot),
        Row(itEndIfItems, nullptr, 0x80),  // another label: skip goes on
        Row(itCreateDir | ifLogUndo, L"AlsoSkipped", 0, dcRoot),
        // clang-format off
        Row(itEndIfItems, nullptr, 0x400),                    // ends the skip
        Row(itIfItems, nullptr, 0x80),                        // chosen: runs
        // clang-format on
        Row(itCreateDir | ifLogUndo, L"Help", 0, dcRoot),
        Row(itEndIfItems, nullptr, 0x80),
    };
    std::vector<int32_t> results = Run(rows);
    EXPECT_EQ(results, std::vector<int32_t>(rows.size(), 0));
    EXPECT_FALSE(Exists(InstallDir + L"\\Skipped"));
    EXPECT_FALSE(Exists(InstallDir + L"\\AlsoSkipped"));
    EXPECT_TRUE(IsDir(InstallDir + L"\\Help"));
    std::vector<TUndoRecord> records = Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].RecordName(), L"Help");
    std::vector<std::wstring> lines = LogLines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[4], L"Creating directory: " + InstallDir + L"\\Help...Success");
}

TEST_F(Engine, EveryKindOfBlockDecidesOnItsOwnMask) {
    plan.Versions = 0x100;
    plan.Items = 0x400;
    plan.CustomizeItems = 5;
    struct Case {
        uint32_t begin;
        uint32_t mask;
        bool runs;
    } cases[] = {
        // clang-format off
        {itIfVersions, 0x100, true},    {itIfVersions, 0x400, false},  {itIfItems, 0x400, true},
        {itIfItems, 0x100, false},      {itIfCustomize, 0x4, true},    {itIfCustomize, 0x2, false},
        {itIfNotCustomize, 0x2, true},  {itIfNotCustomize, 0x1, false},
        // clang-format on
    };
    int n = 0;
    for (const auto& c : cases) {
        std::wstring name = L"d" + std::to_wstring(n++);
        const std::vector<TScriptItem> rows = {Row(c.begin, nullptr, c.mask),
                                               Row(itCreateDir, name.c_str(), 0, dcRoot),
                                               Row(c.begin + 1, nullptr, c.mask)};
        Run(rows);
        EXPECT_EQ(IsDir(InstallDir + L"\\" + name), c.runs) << std::hex << c.begin << " " << c.mask;
    }
}

TEST_F(Engine, IfFileExistsLogsItsCheckAndSkipsToItsOwnEnd) {
    const std::vector<TScriptItem> rows = {
        Row(itIfFileExists, L"missing.txt", 0x4000001, dcRoot),
        Row(itCreateDir, L"Skipped", 0, dcRoot),
        Row(itEndIfFileExists, nullptr, 0x4000001),
        Row(itCreateDir, L"After", 0, dcRoot),
        Row(itCheckFile | ifLogUndo, L"missing.txt", 0, dcRoot),
    };
    std::vector<int32_t> results = Run(rows);
    EXPECT_EQ(results, (std::vector<int32_t>{0, 0, 0, 0, 1}));
    EXPECT_FALSE(Exists(InstallDir + L"\\Skipped"));
    EXPECT_TRUE(IsDir(InstallDir + L"\\After"));
    // While skipping, LogString keeps the text of the row that began the skip.
    EXPECT_EQ(Texts[1], Texts[0]);
    EXPECT_EQ(Texts[2], Texts[0]);
    std::vector<std::wstring> lines = LogLines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[3], L"Check file: " + InstallDir + L"\\missing.txt...Fail");
    // A failing row still leaves its uninstall record.
    std::vector<TUndoRecord> records = Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].Type(), static_cast<uint32_t>(itCheckFile));
}

TEST_F(Engine, CopyOnlyRunsFileAndControlRowsOnly) {
    plan.CopyOnly = true;
    const std::vector<TScriptItem> rows = {
        Row(itLogConst | ifLogUndo, nullptr, 1),
        Row(itCompilePackage | ifLogUndo, L"cvl70.dpk", 0x100),
        Row(itCreateRegKey | ifLogUndo, L"Software\\CvlTest\\CopyOnly", 0x80000002),
        Row(itCreateDir | ifLogUndo, L"Source", 0, dcRoot),
    };
    std::vector<int32_t> results = Run(rows);
    EXPECT_EQ(results, (std::vector<int32_t>{0, 0, 0, 0}));
    EXPECT_EQ(Texts[1], L"");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, L"Software\\CvlTest\\CopyOnly"));
    std::vector<TUndoRecord> records = Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].Type(), static_cast<uint32_t>(itLogConst));
    EXPECT_EQ(records[0].RecordName(), L"Corvane library");
    EXPECT_EQ(records[1].RecordName(), L"Source");
    EXPECT_EQ(LogLines().size(), 4u);  // three opening lines and the directory
}

TEST_F(Engine, SetIdeMakesTheRowCurrent) {
    const std::vector<TScriptItem> rows = {Row(itSetIde | ifLogUndo, L"Delphi7", 9)};
    TIdeBlock block;
    {
        TScript script(plan, TDetectedIdes{}, rows.data(), static_cast<int32_t>(rows.size()));
        script.Start();
        script.ItemDoScript();
        block = script.Context().Ide;
    }
    EXPECT_EQ(block.Row, 9);
    EXPECT_EQ(block.Folder, L"Delphi7");
    EXPECT_EQ(LogLines().size(), 3u);  // no line of its own
    ASSERT_EQ(Records().size(), 1u);
}

TEST_F(Engine, ItemTextNamesThreeKindsOfRow) {
    const std::vector<TScriptItem> rows = {Row(itCompilePackage), Row(itCreateDir), Row(itCopyResource),
                                           Row(itCheckFile)};
    TScript script(plan, TDetectedIdes{}, rows.data(), static_cast<int32_t>(rows.size()));
    const wchar_t* expected[] = {L"Compiling package", L"Creating directory", L"Copying file", L"Copying file"};
    std::wstring text = L"before";
    for (script.Current = 0; script.Current < script.Count(); ++script.Current) {
        script.ItemText(text);
        EXPECT_EQ(text, expected[script.Current]);
    }
    EXPECT_EQ(script.Count(), 4);
    EXPECT_EQ(TScript(plan, TDetectedIdes{}).Count(), 823);
    EXPECT_EQ(TScript(plan, TDetectedIdes{}).ProgressCount(), 823);
}

}  // namespace

// A run that cannot record what it does must not do it: with no uninstall log to
// write, the run stops before its first row and says why.
TEST_F(Engine, AnUninstallLogThatCannotBeCreatedStopsTheRunBeforeItsFirstRow) {
    ASSERT_TRUE(CreateDirectoryW(InstallDir.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((InstallDir + L"\\uninst.log").c_str(), nullptr));  // in the log's way
    const std::vector<TScriptItem> rows = {Row(itCreateDir | ifLogUndo, L"Help", 0, dcRoot)};
    TScript script(plan, TDetectedIdes{}, rows.data(), static_cast<int32_t>(rows.size()));
    script.Start();
    TScriptRunObserver quiet;
    EXPECT_EQ(RunScriptRows(script, quiet), 0);
    EXPECT_FALSE(Exists(InstallDir + L"\\Help"));
    ASSERT_TRUE(script.StopRequested());
    const std::wstring stop = L"the uninstall log " + InstallDir + L"\\uninst.log could not be written";
    EXPECT_EQ(script.StopReason().rfind(stop, 0), 0u) << Narrow(script.StopReason());
}

// What a failing row's code means: the system's words, or ours for our own codes,
// which mean different things for different row types.
TEST(ScriptRun, ResultMeaningNamesOwnCodesPerRowTypeAndWindowsCodesBySystemText) {
    const struct {
        uint32_t type;
        int32_t error;
        const wchar_t* meaning;  // nullptr: the system's text, not empty
    } cases[] = {
        {itAddSearchPath | ifLogUndo, -2, L"the search path value is missing or is not a string"},
        {itCompilePackage, -2, L"the row names an IDE that is not in the catalogue"},
        {itReplaceText, -2, L"the file's size is unknown or too large"},
        {itCheckFile, 1, L""},  // its own text says it: "...Fail"
        {itCopyResource, -7, L""},
        {itCopyResource, ERROR_DISK_FULL, nullptr},
        {itCompilePackage, ERROR_FILE_NOT_FOUND, nullptr},
    };
    for (const auto& c : cases) {
        const std::wstring meaning = ResultMeaning(c.type, c.error);
        if (c.meaning)
            EXPECT_EQ(meaning, c.meaning) << c.error;
        else
            EXPECT_FALSE(meaning.empty()) << c.error;
    }
}
