// The unattended installation's decisions: its switches, how they choose environments,
// components and the directory as the pages would, and the run that reports failing
// rows in the text log.
#include <gtest/gtest.h>

#include <vector>

#include "FreshState.h"
#include "IdeTesting.h"
#include "Scratch.h"
#include "ScriptRunTesting.h"
#include "catalogue/UIdeState.h"
#include "catalogue/UInstallChoice.h"
#include "catalogue/UProducts.h"
#include "script/UScript.h"
#include "script/UScriptRun.h"
#include "setup/UMain.h"
#include "setup/USilent.h"
#include "support/UConst.h"
#include "support/UDirTree.h"
#include "support/URegistry.h"

using namespace cvltest;

namespace {

constexpr int RowDelphi7 = 9;
constexpr int RowCBuilder6 = 8;
constexpr int RowXE2 = 16;
constexpr int RowRadStudio11 = 28;
constexpr int32_t HelpItem = 0x80, DemoItem = 0x100;

TEST(SilentSwitches, LongSwitchesLeaveTheClassicOnesAlone) {
    const struct {
        std::vector<std::wstring> args;
        bool silent;
        std::wstring error;
    } cases[] = {
        {{}, false, L""},
        {{L"/silent"}, true, L""},
        {{L"-SILENT", L"/C"}, true, L""},
        {{L"\\Silent", L"/?"}, true, L""},
        {{L"/silent", L"/dri=C:\\x"}, true, L"Unknown argument: /dri=C:\\x"},
        {{L"/silent", L"/dir"}, true, L"Unknown argument: /dir"},
        {{L"/silent=1"}, false, L"Unknown argument: /silent=1"},
        {{L"/silent", L"Files\\X"}, true, L"Unknown argument: Files\\X"},
        {{L"/silent", L"x"}, true, L"Unknown argument: x"},
        {{L"/Help", L"/silent"}, true, L"Unknown argument: /Help"},
        {{L"/X", L"/Z", L"/silent"}, true, L""},  // two-character arguments are the classic parser's
        // What other installers call it, and what deployment tools add to it.
        {{L"/S"}, true, L""},
        {{L"-s", L"/dir=C:\\x"}, true, L""},
        {{L"/quiet"}, true, L""},
        {{L"/QN"}, true, L""},
        {{L"/verysilent", L"/suppressmsgboxes", L"/norestart"}, true, L""},
        {{L"/norestart"}, false, L""},  // accepted, but not a silent switch
        {{L"/q"}, false, L""},          // a classic switch like any other letter
        {{L"/qb"}, false, L"Unknown argument: /qb"},
        {{L"/verysilent=1"}, false, L"Unknown argument: /verysilent=1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.args.size() << " args, first " << Narrow(c.args.empty() ? L"" : c.args[0]));
        TSilentOptions options = ParseSilentSwitches(c.args);
        EXPECT_EQ(options.Silent, c.silent);
        EXPECT_EQ(options.Error, c.error);
    }
    // The classic parser skips every long switch, so the flags stay as they were.
    TSwitchFlags flags = ParseArguments({L"/C", L"/silent", L"/dir=C:\\x", L"/ides=found"});
    EXPECT_TRUE(flags.CopyOnly);
    EXPECT_FALSE(flags.ExtractFiles || flags.ShowHelp || flags.EnableControls);
}

TEST(SilentSwitches, ValuesAndLists) {
    TSilentOptions o = ParseSilentSwitches(
        {L"/silent", L"/dir=C:\\Program Files\\Corvane", L"/IDES=Delphi7, RADStudio22,,", L"/items=", L"/log=C:\\b.log"});
    EXPECT_TRUE(o.HasDir);
    EXPECT_EQ(o.Dir, L"C:\\Program Files\\Corvane");
    EXPECT_TRUE(o.HasIdes);
    EXPECT_EQ(o.Ides, (std::vector<std::wstring>{L"Delphi7", L"RADStudio22"}));
    EXPECT_TRUE(o.HasItems);
    EXPECT_TRUE(o.Items.empty());
    EXPECT_TRUE(o.HasLog);
    EXPECT_EQ(o.LogPath, L"C:\\b.log");
    // The last of a repeated switch counts.
    o = ParseSilentSwitches({L"/silent", L"/dir=C:\\a", L"/dir=C:\\b"});
    EXPECT_EQ(o.Dir, L"C:\\b");
    EXPECT_FALSE(ParseSilentSwitches({L"/silent"}).HasIdes);
}

// An IDE that has been started under this account: its key below HKEY_CURRENT_USER,
// made for the test where it was missing and removed with it.
class StartedIde {
public:
    explicit StartedIde(int Row) : FRow(Row), FKey(BorlandProducts[Row].RegKey) {
        FMade = !IdeHasUserKey(Row) && CreateRegKey(HKEY_CURRENT_USER, FKey);
    }
    ~StartedIde() {
        if (FMade) DeleteKeyTree(HKEY_CURRENT_USER, FKey);
    }
    void Forget() {
        if (FMade) DeleteKeyTree(HKEY_CURRENT_USER, FKey);
        FMade = false;
    }

private:
    IdeRow FRow;
    std::wstring FKey;
    bool FMade = false;
};

// The catalogue as detection and the selection page's preselection leave it on a
// machine with Delphi 7, RAD Studio XE2 and RAD Studio 11 (each started once) and
// C++Builder 6, without a previous installation; no registry is read but the IDEs'
// user keys.
class SilentChoice : public FreshStateTest {
protected:
    void SetUp() override {
        FreshStateTest::SetUp();
        Plan.Ides.clear();
        Plan.Install = TInstallPlan{};
        Plan.Selection = NewSelectionList();
        Plan.Detected = TDetectedIdes{};
        for (int row : {RowDelphi7, RowXE2, RowRadStudio11, RowCBuilder6}) {
            Plan.Detected[row].Exists = true;
            Plan.Detected[row].RootDir = L"C:\\IDEs\\Row" + std::to_wstring(row);
        }
        PresetFromPreviousInstall(TPreviousInstall{}, Plan.Selection, Plan.Detected);
    }
    int Apply(std::vector<std::wstring> args, const std::wstring& previousDir = L"") {
        args.insert(args.begin(), L"/silent");
        Message.clear();
        return ApplySilentChoice(ParseSilentSwitches(args), previousDir, Plan, Message);
    }
    std::vector<int> PlannedRows() const {
        std::vector<int> rows;
        for (const TIdeChoice& ide : Plan.Ides) rows.push_back(ide.Row);
        return rows;
    }

    StartedIde Delphi7{RowDelphi7}, XE2{RowXE2}, RadStudio11{RowRadStudio11};
    ScratchDir Dir;
    TSilentPlan Plan;
    std::wstring Message;
};

TEST_F(SilentChoice, MasksAsThePageBuildsThem) {
    const std::wstring lib = Dir.path() + L"\\lib";
    const struct {
        std::vector<std::wstring> args;
        int32_t versions, items;
        std::vector<int> rows;
    } cases[] = {
        // Nothing given: page 2's preselection, every found IDE that has an entry.
        {{}, 0x8008100, 0x20020580, {RowRadStudio11, RowXE2, RowDelphi7}},
        {{L"/ides=Delphi7,radstudio22"}, 0x8000100, 0x20000580, {RowRadStudio11, RowDelphi7}},
        {{L"/ides=found", L"/items=demos"}, 0x8008100, 0x20020500, {RowRadStudio11, RowXE2, RowDelphi7}},
        {{L"/ides=RADStudio9,found"}, 0x8008100, 0x20020580, {RowRadStudio11, RowXE2, RowDelphi7}},
        {{L"/ides=", L"/items=help"}, 0, 0x80, {}},
        {{L"/ides=Delphi7", L"/items=HELP,demos,help"}, 0x100, 0x580, {RowDelphi7}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case with " << c.args.size() << " switches");
        SetUp();
        std::vector<std::wstring> args = c.args;
        args.push_back(L"/dir=" + lib);
        ASSERT_EQ(Apply(args), seSuccess) << Narrow(Message);
        EXPECT_EQ(Plan.Install.Versions, c.versions);
        EXPECT_EQ(Plan.Install.Items, c.items);
        EXPECT_EQ(PlannedRows(), c.rows);
        EXPECT_EQ(Plan.Install.Dir, lib);
    }
}

TEST_F(SilentChoice, BadArgumentsAndNothingChosen) {
    CreateDirectoryPath(Dir.path() + L"\\other");
    WriteFileBytes(Dir.path() + L"\\other\\file.txt", "x");
    const std::wstring lib = L"/dir=" + Dir.path() + L"\\lib";
    const struct {
        std::vector<std::wstring> args;
        int status;
        const char* says;
    } cases[] = {
        {{L"/ides=Delphi8", lib}, seBadArguments, "Unknown IDE name: Delphi8"},
        {{L"/ides=Delphi7!!", lib}, seBadArguments, "Unknown IDE name: Delphi7!"},
        {{L"/ides=CBuilder6", lib}, seBadArguments, "cannot be installed into CBuilder6"},
        {{L"/ides=Delphi7,Delphi6", lib}, seBadArguments, "Delphi6 was not found"},
        {{L"/items=help,source", lib}, seBadArguments, "Unknown item: source"},
        {{L"/dir="}, seBadArguments, "No install directory"},
        {{L"/dir=lib"}, seBadArguments, "must be a full path"},
        {{L"/dir=C:lib"}, seBadArguments, "must be a full path"},
        {{L"/dir=" + Dir.path() + L"\\other"}, seBadArguments, "already holds files"},
        {{L"/log=", lib}, seBadArguments, "/log= names no file"},
        {{L"/bogus", lib}, seBadArguments, "Unknown argument: /bogus"},
        {{L"/ides=", L"/items=", lib}, seNothingChosen, "Nothing to install"},
        {{L"/ides=Delphi8", L"/dir=", L"/items="}, seBadArguments, "Unknown IDE name"},  // bad before empty
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        SetUp();
        EXPECT_EQ(Apply(c.args), c.status);
        EXPECT_NE(Narrow(Message).find(c.says), std::string::npos) << Narrow(Message);
    }
}

// An IDE never started under this account is refused unless named for its files only.
TEST_F(SilentChoice, NeverStartedIdesOnlyForTheirFiles) {
    Delphi7.Forget();
    const std::wstring lib = L"/dir=" + Dir.path() + L"\\lib";
    for (const std::vector<std::wstring>& args :
         {std::vector<std::wstring>{lib}, {L"/ides=Delphi7,RADStudio22", lib}, {L"/ides=found", lib}}) {
        SetUp();
        EXPECT_EQ(Apply(args), seBadArguments) << args.size();
        EXPECT_NE(Narrow(Message).find("Never started under this account"), std::string::npos) << Narrow(Message);
        EXPECT_NE(Narrow(Message).find("Delphi7!"), std::string::npos) << Narrow(Message);
    }
    const struct {
        std::vector<std::wstring> args;
        int32_t filesOnly;
    } accepted[] = {
        {{L"/ides=Delphi7!,RADStudio22", lib}, 0x100},
        {{L"/ides=found!", lib}, 0x8008100},
        {{L"/ides=RADStudio22", lib}, 0},  // the never-started one not chosen
    };
    for (const auto& c : accepted) {
        SetUp();
        ASSERT_EQ(Apply(c.args), seSuccess) << Narrow(Message);
        EXPECT_EQ(Plan.Install.FilesOnlyVersions, c.filesOnly);
        for (const TIdeChoice& ide : Plan.Ides)
            EXPECT_EQ(ide.FilesOnly, (BorlandProducts[ide.Row].InternalId & c.filesOnly) != 0) << ide.Row;
    }
}

TEST_F(SilentChoice, DirectoryAsTheDirectoryPageHasIt) {
    CreateDirectoryPath(Dir.path() + L"\\prev");
    WriteFileBytes(Dir.path() + L"\\prev\\uninst.log", "x");
    // The previous installation's folder is taken although it holds files.
    ASSERT_EQ(Apply({}, Dir.path() + L"\\prev"), seSuccess) << Narrow(Message);
    EXPECT_EQ(Plan.Install.Dir, Dir.path() + L"\\prev");
    ASSERT_EQ(Apply({L"/dir=" + Dir.path() + L"\\PREV\\"}, Dir.path() + L"\\prev"), seSuccess) << Narrow(Message);
    EXPECT_EQ(Plan.Install.Dir, Dir.path() + L"\\PREV");
    // Without one: beside the first preselected IDE.
    ASSERT_EQ(Apply({}), seSuccess) << Narrow(Message);
    EXPECT_EQ(Plan.Install.Dir, L"C:\\IDEs\\Corvane");
}

TEST(InstallChoice, ProposalTrimAndCheck) {
    ResetCatalogue();
    TDetectedIdes detected;
    detected[RowXE2].Selected = true;
    detected[RowXE2].RootDir = L"C:\\Program Files\\Embarcadero\\9.0\\";
    detected[RowRadStudio11].Selected = true;
    EXPECT_EQ(ProposedInstallDir(L"", detected), L"C:\\Program Files\\Embarcadero\\Corvane");
    EXPECT_EQ(ProposedInstallDir(L"D:\\Libs\\Corvane", detected), L"D:\\Libs\\Corvane");
    detected[RowXE2].RootDir = L"C:\\";
    EXPECT_EQ(ProposedInstallDir(L"", detected), L"C:\\Corvane");
    ResetCatalogue();

    const struct {
        const wchar_t *typed, *stored;
    } trims[] = {{L"D:\\X\\", L"D:\\X"}, {L"D:\\X//", L"D:\\X/"}, {L"D:\\X", L"D:\\X"}, {L"", L""}, {L"\\", L""}};
    for (const auto& t : trims) EXPECT_EQ(TrimInstallDir(t.typed), t.stored);

    EXPECT_EQ(WithProductWord(L"D:\\Tools"), L"D:\\Tools\\Corvane");
    EXPECT_EQ(WithProductWord(L"C:\\"), L"C:\\Corvane");
    EXPECT_EQ(CheckInstallDir(L"", L""), dirNotFullPath);
    EXPECT_EQ(CheckInstallDir(L"\\Corvane", L""), dirNotFullPath);
    EXPECT_EQ(CheckInstallDir(L"C:\\cvltest\\no such folder", L""), dirAcceptable);
    // Names Windows refuses, and paths that are not on a local drive.
    for (const wchar_t* bad : {L"C:\\Program Files\\Corvane\"  ", L"C:\\Corvane ", L"C:\\Corvane.", L"C:\\a\\..\\b",
                               L"C:\\a<b", L"C:\\x\\con.txt", L"C:\\LPT1", L"C:\\a\\\\b", L"C:\\a\tb"})
        EXPECT_EQ(CheckInstallDir(bad, L""), dirBadName) << Narrow(bad);
    for (const wchar_t* remote : {L"\\\\server\\share\\Corvane", L"1:\\Corvane", L"C:Corvane"})
        EXPECT_EQ(CheckInstallDir(remote, L""), dirNotFullPath) << Narrow(remote);
    for (const wchar_t* good : {L"C:\\Program Files (x86)\\Corvane", L"D:\\Tools\\Console\\Corvane 4.07", L"C:\\a.b\\COM10"})
        EXPECT_EQ(CheckInstallDir(good, L""), dirAcceptable) << Narrow(good);
}

// A failing row is reported with the progress page's text, written to the text log,
// and the run goes on.
TEST(ScriptRun, FailingRowsAreReportedAndLogged) {
    ScratchDir dir;
    TInstallPlan plan;
    plan.Dir = dir.path() + L"\\lib";
    const std::wstring& InstallDir = plan.Dir;
    const TScriptItem rows[] = {
        {itCreateDir, L"", 0, 3, nullptr, nullptr, 0, 0, nullptr},
        {itCheckFile, L"missing.txt", 0, 3, nullptr, nullptr, 0, 0, nullptr},
        {itCreateDir, L"sub", 0, 3, nullptr, nullptr, 0, 0, nullptr},
    };
    struct Recorder : TScriptRunObserver {
        std::vector<std::wstring> failures;
        int steps = 0;
        void RowFailed(const std::wstring& text) override { failures.push_back(text); }
        void RowDone(int32_t step) override { steps += step; }
    } recorder;
    {
        TScript script(plan, TDetectedIdes{}, rows, 3);
        script.Start();
        EXPECT_EQ(RunScriptRows(script, recorder), 1);
    }
    CommitRun();
    const std::wstring want = L"Error in ScriptItem=1, ErrorCode=1h ScriptItemId=13 with text\r\nCheck file: " +
                              InstallDir + L"\\missing.txt...Fail";
    ASSERT_EQ(recorder.failures.size(), 1u);
    EXPECT_EQ(recorder.failures[0], want);
    EXPECT_EQ(recorder.steps, 3);
    EXPECT_TRUE(IsDir(InstallDir + L"\\sub"));
    const std::wstring log = InstallLogText(InstallDir);
    EXPECT_NE(log.find(want + L"\r\n"), std::wstring::npos);
}

}  // namespace
