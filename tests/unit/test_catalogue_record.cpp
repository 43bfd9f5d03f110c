// The installation record under the product key and the uninstall entry, against
// Wine's real registry (scratch keys below HKEY_LOCAL_MACHINE, 32-bit view).
#include <gtest/gtest.h>

#include "FreshState.h"
#include "Scratch.h"
#include "catalogue/UInstallRecord.h"
#include "catalogue/UProducts.h"
#include "support/UConst.h"
#include "support/UPaths.h"
#include "support/URegistry.h"

using namespace cvltest;

namespace {

const HKEY HKLM = HKEY_LOCAL_MACHINE;

DWORD ValueType(const std::wstring& key, const std::wstring& name) {
    DWORD type = REG_NONE, size = 0;
    return RawValueInfo(HKLM, key, name, type, size) ? type : REG_NONE;
}

void SetString(const std::wstring& key, const std::wstring& name, const std::wstring& text, DWORD type = REG_SZ) {
    SetRawValue(HKLM, key, name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// A key whose children cannot be created: the registry keeps no non-volatile key
// below a volatile one. The scratch key (and Software\CvlTest) are made first as
// ordinary keys: RegCreateKeyEx makes the missing levels above a key volatile with
// it, and a volatile Software\CvlTest would refuse the keys of every later test.
std::wstring UncreatableKey(const ScratchKey& scratch) {
    EXPECT_TRUE(CreateRegKey(HKLM, scratch.path()));
    brd::UniqueKey k;
    std::wstring volatileKey = scratch / L"volatile";
    EXPECT_EQ(RegCreateKeyExW(HKLM, volatileKey.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_WRITE | KEY_WOW64_32KEY,
                              nullptr, k.put(), nullptr),
              ERROR_SUCCESS);
    return volatileKey + L"\\record";
}

class ProductKeyRecord : public FreshStateTest {
protected:
    ScratchKey FKey;
};

// ---------------------------------------------------------------- product key

TEST_F(ProductKeyRecord, WhatOneRunWritesTheNextRunReadsBack) {
    TInstallPlan plan;
    plan.Versions = 0x140;
    plan.Items = 0x488;
    plan.Dir = L"C:\\Program Files\\Corvane";
    plan.CustomizeItems = 6;
    plan.FilesOnlyVersions = 0x1100;  // 0x1000 is no chosen environment: not recorded
    const TInstallRecord record = CurrentInstallRecord(plan);
    EXPECT_EQ(record.Version, L"4.07");
    EXPECT_EQ(record.Type, L"trial Delphi version");
    EXPECT_FALSE(record.InstallDate.empty());
    ASSERT_TRUE(WriteInstallRecord(record, FKey.path()));

    TInstallPlan next;
    const TPreviousInstall previous = ReadPreviousInstall(FKey.path());
    EXPECT_EQ(previous.InstallVersions, 0x140);
    EXPECT_EQ(previous.InstallItems, 0x488);
    EXPECT_EQ(previous.Version, L"4.07");
    EXPECT_EQ(previous.FilesOnlyVersions, 0x100);
    EXPECT_EQ(ReadPreviousInstallDir(FKey.path()), L"C:\\Program Files\\Corvane");
    EXPECT_TRUE(LoadCustomizeItems(next.CustomizeItems, FKey.path()));
    EXPECT_EQ(next.CustomizeItems, 6);

    std::wstring stored;
    EXPECT_TRUE(ReadRegString(HKLM, FKey.path(), L"InstallDate", stored));
    EXPECT_EQ(stored, record.InstallDate);
    EXPECT_TRUE(ReadRegString(HKLM, FKey.path(), L"Type", stored));
    EXPECT_EQ(stored, L"trial Delphi version");
    for (const wchar_t* name : {L"InstallVersions", L"InstallItems", L"CustomizeItems", L"FilesOnlyVersions"})
        EXPECT_EQ(ValueType(FKey.path(), name), static_cast<DWORD>(REG_DWORD)) << name;
    for (const wchar_t* name : {L"RootDir", L"Version", L"Type", L"InstallDate"})
        EXPECT_EQ(ValueType(FKey.path(), name), static_cast<DWORD>(REG_SZ)) << name;
}

TEST_F(ProductKeyRecord, AMissingRecordReadsAsNothingAndKeepsTheDefaults) {
    const TPreviousInstall previous = ReadPreviousInstall(FKey.path());
    EXPECT_EQ(previous.InstallVersions, 0);
    EXPECT_EQ(previous.InstallItems, 0);
    EXPECT_EQ(previous.Version, L"");
    EXPECT_EQ(ReadPreviousInstallDir(FKey.path()), L"");
    TInstallPlan plan;
    EXPECT_FALSE(LoadCustomizeItems(plan.CustomizeItems, FKey.path()));
    EXPECT_EQ(plan.CustomizeItems, 5);
}

TEST_F(ProductKeyRecord, StoredValuesOfAnotherTypeAreReadAsTheRegistryHelpersRead) {
    SetString(FKey.path(), L"Version", L"4.07", REG_EXPAND_SZ);
    SetString(FKey.path(), L"RootDir", L"C:\\Lib", REG_EXPAND_SZ);
    const char eight[8] = {1};
    SetRawValue(HKLM, FKey.path(), L"InstallVersions", REG_QWORD, eight, sizeof(eight));
    const char two[2] = {0x48, 0x04};
    SetRawValue(HKLM, FKey.path(), L"InstallItems", REG_BINARY, two, sizeof(two));
    int32_t zero = 0;
    SetRawValue(HKLM, FKey.path(), L"CustomizeItems", REG_DWORD, &zero, sizeof(zero));

    const TPreviousInstall previous = ReadPreviousInstall(FKey.path());
    EXPECT_EQ(previous.Version, L"");         // only REG_SZ counts
    EXPECT_EQ(previous.InstallVersions, 0);   // more than four bytes
    EXPECT_EQ(previous.InstallItems, 0x448);  // any value of at most four bytes
    EXPECT_EQ(ReadPreviousInstallDir(FKey.path()), L"");
    // A stored 0 was read, so it replaces the default.
    TInstallPlan plan;
    EXPECT_TRUE(LoadCustomizeItems(plan.CustomizeItems, FKey.path()));
    EXPECT_EQ(plan.CustomizeItems, 0);
}

TEST_F(ProductKeyRecord, AFailedWriteReportsFailure) {
    EXPECT_FALSE(WriteInstallRecord(CurrentInstallRecord(TInstallPlan{}), UncreatableKey(FKey)));
}

// ---------------------------------------------------------------- preselection

TDetectedIdes FoundRows(std::initializer_list<int> rows) {
    TDetectedIdes detected;
    for (int row : rows) detected[row].Exists = true;
    return detected;
}

int32_t SelectedRows(const TDetectedIdes& detected) {
    int32_t mask = 0;
    for (int row = 1; row <= ProductCount; ++row)
        if (detected[row].Selected) mask |= BorlandProducts[row].InternalId;
    return mask;
}

TEST_F(ProductKeyRecord, PreviousMasksOfZeroOrLessMeanNoPreviousChoice) {
    for (int32_t none : {0, -5, int32_t(0x80000000)}) {
        ResetCatalogue();
        TDetectedIdes detected = FoundRows({7, 8, 9, 28});
        TSelectionList selection = NewSelectionList();
        PresetFromPreviousInstall({none, L"", none}, selection, detected);
        EXPECT_EQ(SelectedRows(detected), 0x8000000 | 0x100 | 0x80 | 0x40) << none;
        // Every found environment that can be chosen, and both components.
        EXPECT_EQ(CheckedInstallItems(selection), 0x20000000 | 0x400 | 0x8 | 0x80 | 0x100) << none;
    }
}

TEST_F(ProductKeyRecord, APreviousChoiceIsOfferedAgainWhereTheEnvironmentIsStillThere) {
    TDetectedIdes detected = FoundRows({7, 9});
    // Delphi 6, Delphi 7 and RAD Studio 11 before, with the help files; RAD Studio 11
    // has gone since.
    TSelectionList selection = NewSelectionList();
    PresetFromPreviousInstall({0x8000140, L"4.07", 0x20000488}, selection, detected);
    EXPECT_EQ(SelectedRows(detected), 0x140);
    EXPECT_EQ(CheckedInstallItems(selection), 0x400 | 0x8 | 0x80);

    // Entries the record does not name keep their state.
    ResetCatalogue();
    detected = FoundRows({9});
    selection = NewSelectionList();
    selection[25].Checked = true;  // demo projects
    PresetFromPreviousInstall({0x100, L"4.07", 0x400}, selection, detected);
    EXPECT_EQ(CheckedInstallItems(selection), 0x400 | 0x100);
}

// ---------------------------------------------------------------- uninstall entry

TEST(UninstallEntry, CommandQuotesOnlyThePartsWithBlanks) {
    struct Case {
        const wchar_t* Dir;
        const wchar_t* Command;
    };
    const Case cases[] = {
        {L"C:\\Program Files\\Lib", L"\"C:\\Program Files\\Lib\\unbrd.exe\" \"C:\\Program Files\\Lib\\uninst.log\""},
        // clang-format off
        {L"C:\\Lib",                L"C:\\Lib\\unbrd.exe C:\\Lib\\uninst.log"},
        {L"C:\\Lib\\",              L"C:\\Lib\\unbrd.exe C:\\Lib\\uninst.log"},
        // clang-format on
    };
    for (const Case& c : cases) EXPECT_EQ(UninstallCommand(c.Dir), c.Command);
    EXPECT_EQ(UninstallDisplayName(), L"Brindlecraft Corvane library v4.07");
}

TEST(UninstallEntry, TheLogIsTakenFromTheEndOfTheCommand) {
    const std::wstring longDir = L"C:\\" + std::wstring(300, L'x');
    struct Case {
        std::wstring Command;
        std::wstring Log;
    };
    const Case cases[] = {
        {L"\"C:\\Program Files\\Lib\\unbrd.exe\" \"C:\\Program Files\\Lib\\uninst.log\"", L"C:\\Program Files\\Lib\\uninst.log"},
        // clang-format off
        {L"C:\\Lib\\unbrd.exe C:\\Lib\\uninst.log",                                    L"C:\\Lib\\uninst.log"},
        {L"C:\\Lib\\unbrd.exe",                                                        L""},
        {L"",                                                                          L""},
        {L"C:\\Lib\\unbrd.exe ",                                                       L""},
        {L"uninst.log\"",                                                              L""},
        // Whole at any length: a cut path would miss the previous installation.
        {L"unbrd.exe " + longDir,                                                      longDir},
        {L"\"unbrd.exe\" \"" + longDir + L" y\"",                                      longDir + L" y"},
        // clang-format on
    };
    for (const Case& c : cases) EXPECT_EQ(UninstallLogFromCommand(c.Command), c.Log) << c.Command.size();
}

TEST(UninstallEntry, RegisteredEntryLeadsToTheLogOfThatInstallation) {
    for (const wchar_t* dir : {L"C:\\Program Files\\Corvane", L"C:\\Corvane", L"D:\\Libs\\Corvane\\"}) {
        ScratchKey key;
        ASSERT_EQ(RegisterUninstallEntry(dir, key.path()), ueSuccess);
        std::wstring displayName;
        EXPECT_TRUE(ReadRegString(HKLM, key.path(), L"DisplayName", displayName));
        EXPECT_EQ(displayName, L"Brindlecraft Corvane library v4.07");
        EXPECT_EQ(FindPreviousUninstallLog(key.path()), PathJoin(dir, L"uninst.log"));
    }
}

TEST(UninstallEntry, AnEntryWithoutBothValuesIsNoPreviousInstallation) {
    ScratchKey key;
    EXPECT_EQ(FindPreviousUninstallLog(key.path()), L"");  // no entry at all
    SetString(key.path(), L"UninstallString", L"C:\\Lib\\unbrd.exe C:\\Lib\\uninst.log");
    EXPECT_EQ(FindPreviousUninstallLog(key.path()), L"");  // no "DisplayName"
    SetString(key.path(), L"DisplayName", L"Brindlecraft Corvane library v4.07", REG_EXPAND_SZ);
    EXPECT_EQ(FindPreviousUninstallLog(key.path()), L"");  // not a REG_SZ
    SetString(key.path(), L"DisplayName", L"");
    EXPECT_EQ(FindPreviousUninstallLog(key.path()), L"C:\\Lib\\uninst.log");  // present, even empty
    ASSERT_TRUE(DeleteRegValue(HKLM, key.path(), L"UninstallString"));
    EXPECT_EQ(FindPreviousUninstallLog(key.path()), L"");
}

// The size is of the files below the folder, rounded up to kilobytes, and it is
// written only into an entry that is there.
TEST(UninstallEntry, InstalledSizeGoesOnlyIntoARegisteredEntry) {
    ScratchKey key;
    ScratchDir dir;
    CreateDirectoryPath(dir / L"Source");
    WriteFileBytes(dir / L"a.bin", std::string(1500, 'a'));
    WriteFileBytes(dir / L"Source\\b.bin", std::string(2048, 'b'));
    EXPECT_FALSE(RecordInstalledSize(dir.path(), key.path()));
    EXPECT_FALSE(KeyExists(HKLM, key.path()));

    ASSERT_EQ(RegisterUninstallEntry(dir.path(), key.path(), L"20261209"), ueSuccess);
    WriteFileBytes(dir / L"Source\\c.bin", std::string(3000, 'c'));
    EXPECT_TRUE(RecordInstalledSize(dir.path(), key.path()));
    int32_t size = 0;
    EXPECT_TRUE(ReadRegInteger(HKLM, key.path(), L"EstimatedSize", size));
    EXPECT_EQ(size, 7);  // 6548 bytes
    std::wstring text;
    EXPECT_TRUE(ReadRegString(HKLM, key.path(), L"QuietUninstallString", text));
    EXPECT_EQ(text, dir / L"unbrd.exe /S " + (dir / L"uninst.log"));
}

TEST(UninstallEntry, AKeyThatCannotBeCreatedGivesMinusOne) {
    ScratchKey key;
    EXPECT_EQ(RegisterUninstallEntry(L"C:\\Lib", UncreatableKey(key)), ueCreateKeyFailed);
}

}  // namespace
