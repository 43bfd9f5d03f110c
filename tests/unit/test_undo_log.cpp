// The uninstall log: the writer's bytes, the reading rules of TDeinstall, and
// what both make of damaged or foreign files.
#include "UndoLogTesting.h"
#include "catalogue/UDirCodes.h"
#include "support/UProduct.h"
#include "support/UTextFile.h"

using namespace cvltest;

namespace {

uint16_t At16(const std::string& s, size_t i) {
    return static_cast<uint16_t>(static_cast<uint8_t>(s[i]) | static_cast<uint8_t>(s[i + 1]) << 8);
}

uint32_t At32(const std::string& s, size_t i) { return At16(s, i) | static_cast<uint32_t>(At16(s, i + 2)) << 16; }

void Put16(std::string& s, size_t i, uint16_t v) {
    s[i] = static_cast<char>(v & 0xFF);
    s[i + 1] = static_cast<char>(v >> 8);
}

// The log of a run into InstallDir, written with the engine's writer.
class UndoLog : public UninstallTest {
protected:
    void WriteLog(const std::vector<TScriptItem>& rows) const { cvltest::WriteLog(InstallDir, rows); }
    std::wstring LogPath() const { return cvltest::LogPath(InstallDir); }
    std::string Record(const TScriptItem& row) const { return MakeUndoRecord(row, RunContextIn(InstallDir)); }

    std::wstring InstallDir;
};

TEST_F(UndoLog, RecordsCarryTheRowFieldsAndTheirLengthAtBothEnds) {
    InstallDir = L"C:\\Lib";
    static const TScriptTarget target{L"cvl70.bpl", dcSystem};
    struct Case {
        TScriptItem row;
        uint32_t dir;
        std::wstring name;
    };
    // clang-format off
    const Case cases[] = {
        {Row(itCreateDir | Logged, L"", 0, dcRoot),   dcRoot,   L""},
        {Row(itSetIde | Logged, L"Delphi7", 9),                    0,        L"Delphi7"},
        {Row(itRegisterPackage | Logged, L"Delphi7\\dcl.bpl", 0, dcRoot),   dcRoot,   L"Delphi7\\dcl.bpl"},
        {Row(itModifyFile | Logged, L"\r\n:Link cvlib.hlp", 2, dcIdeHelp),dcIdeHelp,L"\r\n:Link cvlib.hlp"},
        {Row(itDeleteFile | Logged, L"Help\\d7.gid", 0, dcIdeRoot),dcIdeRoot,L"Help\\d7.gid"},
        {Row(itRegisterWinHelp | Logged, L"cvlib.hlp"),                               0,        L"cvlib.hlp"},
        {Row(itCreateRegKey | Kept, ProductKey, 0x80000002),           0,        ProductKey},
        {Row(itRegisterHelp | Logged, L"help\\help_reg.bat"),                      0,        L"help\\help_reg.bat"},
        {Row(itAddIdePath | Logged, L"\\C++\\Paths\\SearchPath", 2),             0,        L"\\C++\\Paths\\SearchPath"},
        {Row(itCopyResourceIfAbsent | Kept, L"cvTempls.ini", 29, dcWindows),dcWindows,L"cvTempls.ini"},
        {Row(itRegisterUninstall | Logged, L"unbrd.exe", 0, dcRoot),   dcRoot,   L"unbrd.exe"},
        {Row(itCopyFile | Logged, L"Delphi7\\cvl70.bpl", 5, dcRoot).WithTarget(&target), dcSystem, L"cvl70.bpl"},
        {Row(itCopyFile | Logged, L"source-only", 0, dcRoot),   dcNone,   L""},
        {Row(itLogConst | Logged, nullptr, hcInstallDir),         0,        L"C:\\Lib"},
        {Row(itLogConst | Logged, nullptr, hcUninstallKey),       0,        L"cvlLib"},
        {Row(itLogConst | Logged, nullptr, hcReadBackward),       0,        L""},
        {Row(itLogConst | Logged, L"ignored", 0),                    0,        L""},
    };
    // clang-format on
    for (const Case& c : cases) {
        std::string bytes = Record(c.row);
        std::string name = WideToUtf8(c.name);
        SCOPED_TRACE(testing::Message() << std::hex << c.row.TypeId);
        ASSERT_EQ(bytes.size(), name.size() + 16);
        EXPECT_EQ(At32(bytes, 0), c.row.TypeId);  // flags included
        EXPECT_EQ(At32(bytes, 4), c.row.Code);
        EXPECT_EQ(At32(bytes, 8), c.dir);
        EXPECT_EQ(At16(bytes, 12), name.size());
        EXPECT_EQ(bytes.substr(14, name.size()), name);
        EXPECT_EQ(At16(bytes, 14 + name.size()), name.size() + 16);
    }
}

TEST_F(UndoLog, NonAsciiNamesAreCountedInUtf8Bytes) {
    InstallDir = L"C:\\Programme\\Bibliothèque \u65E5\u672C";
    std::string bytes = Record(Row(itLogConst | Logged, nullptr, hcInstallDir));
    std::string utf8 = "C:\\Programme\\Biblioth\xC3\xA8que \xE6\x97\xA5\xE6\x9C\xAC";
    ASSERT_EQ(At16(bytes, 12), utf8.size());
    EXPECT_EQ(bytes.substr(14, utf8.size()), utf8);
    EXPECT_EQ(At16(bytes, 14 + utf8.size()), utf8.size() + 16);
    EXPECT_EQ(bytes.size(), utf8.size() + 16);
    TUndoRecord r;
    ASSERT_TRUE(DecodeUndoRecord(bytes, r));
    EXPECT_EQ(r.RecordName(), InstallDir);
}

TEST_F(UndoLog, ANameTooLongForTheLengthFieldIsCutAtAWholeCharacter) {
    std::wstring name(40000, L'\u00E9');  // two bytes each: 80000 bytes
    std::string bytes = EncodeUndoRecord(itSetIde | Logged, 1, 0, name);
    EXPECT_EQ(At16(bytes, 12), 65518u);  // 65519 would split a character
    TUndoRecord r;
    ASSERT_TRUE(DecodeUndoRecord(bytes, r));
    EXPECT_EQ(r.RecordName(), std::wstring(32759, L'\u00E9'));
}

TEST_F(UndoLog, OpenCreatesTheDirectoryAndStartsAnew) {
    ScratchDir dir;
    InstallDir = dir / L"a\\b";
    WriteLog(HeaderRows());
    std::string first = ReadFileBytes(LogPath());
    EXPECT_EQ(first.substr(0, 7), "UNBRD02");

    brd::UniqueFile log;
    ASSERT_EQ(BinLogOpen(log, InstallDir), 0);
    EXPECT_TRUE(log.valid());
    BinLogClose(log);
    EXPECT_FALSE(log.valid());
    EXPECT_EQ(ReadFileBytes(LogPath()), "UNBRD02");  // truncated, magic only
}

TEST_F(UndoLog, OpenFailureLeavesNoHandleAndLaterWritesAreDropped) {
    ScratchDir dir;
    WriteFileBytes(dir / L"file", "x");
    InstallDir = dir / L"file";  // a file where the directory should be
    brd::UniqueFile log;
    EXPECT_EQ(BinLogOpen(log, InstallDir), -1);
    EXPECT_NE(GetLastError(), 0u);
    EXPECT_FALSE(log.valid());
    BinLogAddItem(log, Row(itSetIde | Logged, L"x", 1), RunContextIn(InstallDir));
    BinLogClose(log);
    EXPECT_EQ(ReadFileBytes(dir / L"file"), "x");
}

TEST_F(UndoLog, RoundTripReadsTheHeaderAndTheBodyNewestFirst) {
    ScratchDir dir;
    InstallDir = dir / L"inst \u00E9";
    static const TScriptTarget target{L"copy.bpl", dcSystem};
    std::vector<TScriptItem> body = {
        Row(itCreateDir | Logged, L"", 0, dcRoot),
        Row(itSetIde | Logged, L"Delphi7", 9),
        Row(itModifyFile | Logged, L"\r\n:Index x=cvlib.hlp", 1, dcIdeHelp),
        Row(itCopyFile | Logged, L"src.bpl", 0, dcRoot).WithTarget(&target),
        Row(itCreateRegKey | Kept, ProductKey, 0x80000002),
    };
    WriteLog(HeaderRows() + body);

    TDeinstall d;
    ASSERT_EQ(Load(d, LogPath()), 0);
    std::wstring installed = d.InstallDir();
    EXPECT_EQ(d.ProductName, L"Corvane library");
    EXPECT_EQ(d.ProductVersion, L"4.07");
    EXPECT_EQ(d.ProductType, L"trial Delphi version");
    EXPECT_EQ(d.ProductRegKey, L"Software\\Brindlecraft\\Corvane library");
    EXPECT_EQ(d.ProductIntName, L"cvlLib");
    EXPECT_EQ(d.UnInstFileVersion(), "02");
    EXPECT_TRUE(TDeinstallProbe::Backward(d));
    EXPECT_TRUE(d.BodyIsWhole());

    std::vector<TUndoRecord> read = TDeinstallProbe::Body(d);
    ASSERT_EQ(read.size(), body.size());
    for (size_t i = 0; i < body.size(); ++i) {
        TUndoRecord want;
        ASSERT_TRUE(DecodeUndoRecord(Record(body[body.size() - 1 - i]), want));
        EXPECT_EQ(read[i].TypeId, want.TypeId) << i;
        EXPECT_EQ(read[i].Code, want.Code) << i;
        EXPECT_EQ(read[i].Dir, want.Dir) << i;
        EXPECT_EQ(read[i].Name, want.Name) << i;
    }
    EXPECT_EQ(installed, dir / L"inst \u00E9");
}

TEST_F(UndoLog, HeaderOnlyLogHasAnEmptyBody) {
    ScratchDir dir;
    InstallDir = dir.path();
    WriteLog(HeaderRows());
    TDeinstall d;
    ASSERT_EQ(Load(d, LogPath()), 0);
    EXPECT_TRUE(TDeinstallProbe::Body(d).empty());
    EXPECT_TRUE(d.BodyIsWhole());
    EXPECT_EQ(d.DoDeinstall(), 0);
    EXPECT_TRUE(IsDir(dir.path()));
}

TEST_F(UndoLog, WithoutTheMarkerTheBodyIsReadForward) {
    ScratchDir dir;
    InstallDir = dir.path();
    std::vector<TScriptItem> header = HeaderRows();
    header.pop_back();  // no hcReadBackward
    WriteLog(header + std::vector<TScriptItem>{Row(itSetIde | Logged, L"A", 1), Row(itSetIde | Logged, L"B", 2),
                                               Row(itSetIde | Logged, L"C", 3)});
    TDeinstall d;
    ASSERT_EQ(Load(d, LogPath()), 0);
    EXPECT_FALSE(TDeinstallProbe::Backward(d));
    std::vector<TUndoRecord> read = TDeinstallProbe::Body(d);
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[0].Name, "A");
    EXPECT_EQ(read[2].Name, "C");
    EXPECT_EQ(d.ProductIntName, L"cvlLib");
}

TEST_F(UndoLog, UnknownHeaderCodesAreIgnored) {
    ScratchDir dir;
    InstallDir = dir.path();
    WriteLog(std::vector<TScriptItem>{Row(itLogConst | Logged, nullptr, 0), Row(itLogConst | Logged, nullptr, 99)} +
             HeaderRows() + std::vector<TScriptItem>{Row(itSetIde | Logged, L"A", 1)});
    TDeinstall d;
    ASSERT_EQ(Load(d, LogPath()), 0);
    EXPECT_TRUE(TDeinstallProbe::Backward(d));
    EXPECT_EQ(TDeinstallProbe::Body(d).size(), 1u);
}

TEST_F(UndoLog, PrepareUninstFileChecksSizeAndMagic) {
    ScratchDir dir;
    std::string record = EncodeUndoRecord(itSetIde | Logged, 1, 0, L"x");
    struct Case {
        const char* what;
        std::string bytes;
        int32_t result;
        const char* version;
    };
    const Case cases[] = {
        {"empty", "", duEmpty, ""},
        {"six bytes", "UNBRD0", duNotALog, ""},
        {"magic only", "UNBRD02", 0, "02"},
        {"version 01", "UNBRD01" + record, 0, "01"},
        {"version 99", "UNBRD99" + record, 0, "99"},
        {"letter in the version", "UNBRD0x" + record, duNotALog, ""},
        {"letter first", "UNBRDx2" + record, duNotALog, ""},
        {"other name", "UNBRX02" + record, duNotALog, ""},
        {"lower case", "unbrd02" + record, duNotALog, ""},
    };
    for (const Case& c : cases) {
        WriteFileBytes(dir / L"log", c.bytes);
        TDeinstall d;
        EXPECT_EQ(d.PrepareUninstFile(dir / L"log"), c.result) << c.what;
        EXPECT_EQ(TDeinstallProbe::Version(d), c.version) << c.what;
    }
    TDeinstall d;
    EXPECT_EQ(d.PrepareUninstFile(dir / L"missing.log"), duOpenFailed);
    EXPECT_EQ(d.PrepareUninstFile(dir.path()), duOpenFailed);  // a directory
}

TEST_F(UndoLog, AnOldFormatVersionIsReadAlike) {
    ScratchDir dir;
    InstallDir = dir.path();
    WriteLog(HeaderRows() + std::vector<TScriptItem>{Row(itSetIde | Logged, L"A", 1)});
    std::string bytes = ReadFileBytes(LogPath());
    bytes[5] = '0';
    bytes[6] = '1';
    WriteFileBytes(LogPath(), bytes);
    TDeinstall d;
    ASSERT_EQ(Load(d, LogPath()), 0);
    EXPECT_EQ(d.UnInstFileVersion(), "01");
    EXPECT_EQ(TDeinstallProbe::Body(d).size(), 1u);
}

// Damaged length fields end the reading at the damage: nothing at or beyond it is
// read, and the log does not count as whole.
TEST_F(UndoLog, DamagedLengthsEndTheReading) {
    ScratchDir dir;
    InstallDir = dir.path();
    std::vector<TScriptItem> body = {Row(itSetIde | Logged, L"oldest", 1), Row(itSetIde | Logged, L"middle", 2),
                                     Row(itSetIde | Logged, L"newest", 3)};
    WriteLog(HeaderRows() + body);
    const std::string good = ReadFileBytes(LogPath());
    const size_t recordSize = 16 + 6;
    const size_t newestStart = good.size() - recordSize;
    const size_t middleStart = newestStart - recordSize;

    struct Case {
        const char* what;
        size_t at;
        uint16_t value;
        size_t readable;  // records read before the damage
    };
    const Case cases[] = {
        {"trailer of the newest too long", good.size() - 2, 0x7FFF, 0},
        {"trailer of the newest below 16", good.size() - 2, 15, 0},
        {"trailer of the newest off by one", good.size() - 2, recordSize - 1, 0},
        {"name length of the newest", newestStart + 12, 5, 0},
        {"name length of the middle", middleStart + 12, 2, 1},
        {"trailer of the middle", newestStart - 2, 40, 1},
    };
    for (const Case& c : cases) {
        std::string bytes = good;
        Put16(bytes, c.at, c.value);
        WriteFileBytes(LogPath(), bytes);
        TDeinstall d;
        ASSERT_EQ(Load(d, LogPath()), 0) << c.what;
        std::vector<TUndoRecord> read = TDeinstallProbe::Body(d);
        EXPECT_EQ(read.size(), c.readable) << c.what;
        if (!read.empty()) {
            EXPECT_EQ(read[0].Name, "newest") << c.what;
        }
        EXPECT_FALSE(d.BodyIsWhole()) << c.what;
        EXPECT_FALSE(d.LogIsCut()) << c.what;
    }

    // A log cut inside its last record, or whose last head asks for more bytes than
    // there are, ends with a short write: the records before it are read.
    std::string longer = good;
    Put16(longer, newestStart + 12, 7);
    for (const std::string& cutLog : {good.substr(0, good.size() - 1), longer}) {
        WriteFileBytes(LogPath(), cutLog);
        TDeinstall cut;
        ASSERT_EQ(Load(cut, LogPath()), 0);
        std::vector<TUndoRecord> read = TDeinstallProbe::Body(cut);
        ASSERT_EQ(read.size(), 2u);
        EXPECT_EQ(read[0].Name, "middle");
        EXPECT_TRUE(cut.BodyIsWhole());
        EXPECT_TRUE(cut.LogIsCut());
    }
}

TEST_F(UndoLog, DamageInTheHeaderOrAForwardBodyStopsThere) {
    ScratchDir dir;
    InstallDir = dir.path();
    std::vector<TScriptItem> header = HeaderRows();
    header.pop_back();
    WriteLog(header + std::vector<TScriptItem>{Row(itSetIde | Logged, L"A", 1), Row(itSetIde | Logged, L"B", 2)});
    const std::string good = ReadFileBytes(LogPath());

    std::string forward = good;
    Put16(forward, good.size() - 2, 99);  // trailer of the last record
    WriteFileBytes(LogPath(), forward);
    TDeinstall d;
    ASSERT_EQ(Load(d, LogPath()), 0);
    EXPECT_EQ(TDeinstallProbe::Body(d).size(), 1u);
    EXPECT_FALSE(d.BodyIsWhole());

    std::string header0 = good;
    Put16(header0, 7 + 12, 0xFFF0);  // name length of the first header record
    WriteFileBytes(LogPath(), header0);
    TDeinstall h;
    ASSERT_EQ(Load(h, LogPath()), 0);
    EXPECT_TRUE(h.ProductName.empty());
    EXPECT_TRUE(TDeinstallProbe::Body(h).empty());
    EXPECT_FALSE(h.BodyIsWhole());
    EXPECT_TRUE(h.InstallDir().empty());  // never the directory the caller had set
}

}  // namespace
