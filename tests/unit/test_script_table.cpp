// The install script table: its shape (row counts, flags, conditional blocks, payload
// ids, IDE blocks) as invariants, samples of individual rows, and its copy rows held
// against the payload manifest.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/UProducts.h"
#include "script/UScriptItems.h"

namespace {

struct TManifestEntry {
    int Id;
    int Language;
    const wchar_t* Source;
    const wchar_t* Installed;
};

// Generated at build time from resources/payload/manifest.tsv.
const TManifestEntry PayloadManifest[] = {
#include "PayloadManifest.inc"
#include "catalogue/UDirCodes.h"
};

std::wstring Text(const wchar_t* s) { return s ? s : L"<null>"; }

std::wstring Lower(std::wstring s) {
    for (auto& c : s) c = static_cast<wchar_t>(towlower(c));
    return s;
}

std::wstring FileNameOf(const std::wstring& path) { return path.substr(path.rfind(L'\\') + 1); }

bool IsCopyResource(uint32_t type) {
    return type == itCopyResource || type == itCopyResourceIfAbsent || type == itCopyResourceIfNewer;
}

bool IsBlockBegin(uint32_t type) {
    return type == itIfVersions || type == itIfItems || type == itIfCustomize || type == itIfNotCustomize ||
           type == itIfFileExists;
}

// The end row of the block that begins at row Begin: the first later row whose type is
// the begin type plus one and whose label is the same; -1 when there is none.
int BlockEnd(int Begin) {
    const TScriptItem& begin = ScriptItems[Begin];
    for (int i = Begin + 1; i < ScriptItemCount; ++i)
        if (ItemType(ScriptItems[i]) == ItemType(begin) + 1 && ScriptItems[i].Code == begin.Code) return i;
    return -1;
}

int CountRows(bool (*pred)(const TScriptItem&)) {
    return static_cast<int>(std::count_if(ScriptItems, ScriptItems + ScriptItemCount, pred));
}

// An IDE block: the rows from its itIfItems to its itEndIfItems.
struct TIdeBlock {
    int Begin;
    int End;
    const TSelectionItem* Entry;
};

// The top-level blocks whose label is the item bit of an IDE entry of the selection
// list (the help files test one such bit too, inside their own block).
std::vector<TIdeBlock> IdeBlocks() {
    static const TSelectionList entries = NewSelectionList();
    std::vector<TIdeBlock> blocks;
    int outerEnd = -1;
    for (int i = 0; i < ScriptItemCount; ++i) {
        if (i < outerEnd || !IsBlockBegin(ItemType(ScriptItems[i]))) continue;
        outerEnd = BlockEnd(i);
        if (ItemType(ScriptItems[i]) != itIfItems) continue;
        for (const auto& entry : entries)
            if (entry.ProductId != 0 && static_cast<uint32_t>(entry.Mask) == ScriptItems[i].Code)
                blocks.push_back({i, BlockEnd(i), &entry});
    }
    return blocks;
}

std::wstring Describe(const TScriptItem& r) {
    wchar_t buf[96];
    swprintf(buf, 96, L"{0x%x, code 0x%x, dir %u, dir2 %u, options %u} ", r.TypeId, r.Code, r.Dir, r.Dir2, r.Options);
    std::wstring s = buf + Text(r.Name) + L" | " + Text(r.Param) + L" | " + Text(r.Name2);
    if (r.Target) s += L" -> " + Text(r.Target->Name) + L" dir " + std::to_wstring(r.Target->Dir);
    return s;
}

// Rows compare by value: texts by content, targets by name and directory code.
void ExpectRows(int first, const std::vector<TScriptItem>& expected) {
    ASSERT_LE(first + static_cast<int>(expected.size()), ScriptItemCount);
    for (size_t k = 0; k < expected.size(); ++k)
        EXPECT_EQ(Describe(ScriptItems[first + k]), Describe(expected[k])) << "row " << first + k;
}

TEST(ScriptTable, HasTheRowCountOfEveryType) {
    const std::pair<uint32_t, int> counts[] = {
        // clang-format off
        {itCompilePackage, 61},   {itRegisterPackage, 24},   {itModifyFile, 12},          {itDeleteFile, 22},
        {itRegisterWinHelp, 2},   {itSetHelpDir, 1},         {itCreateRegKey, 1},         {itCheckFile, 61},
        {itAddSearchPath, 0},     {itUninstallPrevious, 0},  {itCopyFiles, 5},            {itDeleteFiles, 5},
        {itMergeFiles, 2},        {itReplaceText, 0},        {itRunFile, 0},              {itRegisterHelp, 1},
        {itAddIdePath, 60},       {itIfVersions, 0},         {itEndIfVersions, 0},        {itSetIde, 48},
        {itLogConst, 7},          {itIfItems, 32},           {itEndIfItems, 32},          {itIfCustomize, 0},
        {itEndIfCustomize, 0},    {itIfNotCustomize, 0},     {itEndIfNotCustomize, 0},    {itIfFileExists, 5},
        {itEndIfFileExists, 5},   {itCreateDir, 63},         {itCopyResource, 298},       {itClearDir, 24},
        {itSetCurrentDir, 24},    {itCopyResourceIfAbsent, 1}, {itCopyResourceIfNewer, 1}, {itRegisterUninstall, 1},
        // clang-format on
        {itCopyFile, 25},
    };
    ASSERT_EQ(ScriptItemCount, 823);
    int total = 0;
    for (const auto& [type, count] : counts) {
        int got = 0;
        for (int i = 0; i < ScriptItemCount; ++i) got += ItemType(ScriptItems[i]) == type;
        EXPECT_EQ(got, count) << "type 0x" << std::hex << type;
        total += got;
    }
    EXPECT_EQ(total, ScriptItemCount) << "a row has a type outside the list";
}

TEST(ScriptTable, FlagsMarkExactlyTheRowsTheUninstallerUndoes) {
    const std::pair<uint32_t, int> logged[] = {
        // clang-format off
        {itLogConst, 7},       {itCreateDir, 55},        {itSetIde, 48},      {itRegisterPackage, 24},
        {itModifyFile, 12},    {itDeleteFile, 22},       {itRegisterWinHelp, 2}, {itRegisterHelp, 1},
        {itAddIdePath, 60},    {itRegisterUninstall, 1}, {itCreateRegKey, 1}, {itCopyResourceIfAbsent, 1},
        // clang-format on
    };
    std::map<uint32_t, int> got;
    for (int i = 0; i < ScriptItemCount; ++i) {
        const uint32_t id = ScriptItems[i].TypeId;
        EXPECT_EQ(id & ~(itTypeMask | ifLogUndo | ifKeepOnPartial), 0u) << "row " << i;
        if (id & ifKeepOnPartial) {
            EXPECT_TRUE(id & ifLogUndo) << "row " << i;
        }
        if (id & ifLogUndo) ++got[id & itTypeMask];
    }
    int total = 0;
    for (const auto& [type, count] : logged) {
        EXPECT_EQ(got[type], count) << "type 0x" << std::hex << type;
        total += count;
    }
    EXPECT_EQ(total, 234);
    EXPECT_EQ(CountRows([](const TScriptItem& r) { return (r.TypeId & ifLogUndo) != 0; }), 234);

    std::vector<int> kept;
    for (int i = 0; i < ScriptItemCount; ++i)
        if (ScriptItems[i].TypeId & ifKeepOnPartial) kept.push_back(i);
    EXPECT_EQ(kept, (std::vector<int>{71, 822}));

    // The unlogged directories are the demo folders, which go with "Demos\Delphi".
    for (int i = 0; i < ScriptItemCount; ++i) {
        const TScriptItem& r = ScriptItems[i];
        if (ItemType(r) == itCreateDir && !(r.TypeId & ifLogUndo)) {
            EXPECT_EQ(std::wstring(r.Name).rfind(L"Demos\\Delphi\\", 0), 0u) << "row " << i;
        }
    }
}

TEST(ScriptTable, EveryConditionalBlockEndsInsideItsParent) {
    std::vector<bool> isEnd(ScriptItemCount, false);
    for (int i = 0; i < ScriptItemCount; ++i) {
        if (!IsBlockBegin(ItemType(ScriptItems[i]))) continue;
        const int end = BlockEnd(i);
        ASSERT_GT(end, i) << "block at row " << i << " has no end";
        EXPECT_FALSE(isEnd[end]) << "row " << end << " ends two blocks";
        isEnd[end] = true;
        // With no nesting counter, an inner block must close before its outer one.
        for (int j = i + 1; j < end; ++j) {
            if (IsBlockBegin(ItemType(ScriptItems[j]))) {
                EXPECT_LT(BlockEnd(j), end) << "rows " << i << ", " << j;
            }
        }
    }
    for (int i = 0; i < ScriptItemCount; ++i) {
        const uint32_t t = ItemType(ScriptItems[i]);
        const bool endType = t >= itControlClass && t < itFileClass && !IsBlockBegin(t) && t != itSetIde && t != itLogConst;
        EXPECT_EQ(isEnd[i], endType) << "row " << i;
    }

    // The two dcc64.exe checks that share a label each end in their own IDE block.
    std::vector<std::pair<int, int>> shared;
    for (int i = 0; i < ScriptItemCount; ++i)
        if (ItemType(ScriptItems[i]) == itIfFileExists && ScriptItems[i].Code == 0x4000001)
            shared.push_back({i, BlockEnd(i)});
    EXPECT_EQ(shared, (std::vector<std::pair<int, int>>{{704, 709}, {735, 740}}));
}

TEST(ScriptTable, IdeBlocksFollowTheTemplate) {
    struct Expected {
        const wchar_t* Folder;
        const wchar_t* Suffix;
        uint32_t FirstId;
        int ProjectFiles;
    };
    const Expected ides[] = {
        // clang-format off
        {L"Delphi3", L"30", 90, 4},         {L"Delphi4", L"40", 120, 8},        {L"Delphi5", L"50", 150, 8},
        {L"Delphi6", L"60", 350, 8},        {L"Delphi7", L"70", 850, 8},        {L"Delphi9", L"90", 900, 6},
        {L"BDS2006", L"2006", 1000, 8},     {L"BDS2007", L"2007", 1100, 8},     {L"BDS2009", L"2009", 1200, 8},
        {L"BDS2010", L"2010", 1300, 8},     {L"RADStudio8", L"150", 1400, 8},   {L"RADStudio9", L"160", 1500, 8},
        {L"RADStudio10", L"170", 1600, 8},  {L"RADStudio11", L"180", 1700, 8},  {L"RADStudio12", L"190", 1800, 8},
        {L"RADStudio14", L"200", 1900, 8},  {L"RADStudio15", L"210", 2000, 8},  {L"RADStudio16", L"220", 2100, 8},
        {L"RADStudio17", L"230", 2200, 8},  {L"RADStudio18", L"240", 2300, 8},  {L"RADStudio19", L"250", 2400, 8},
        {L"RADStudio20", L"260", 2500, 8},  {L"RADStudio21", L"270", 2600, 8},  {L"RADStudio22", L"280", 2700, 8},
        // clang-format on
    };
    const auto blocks = IdeBlocks();
    ASSERT_EQ(blocks.size(), 24u);
    EXPECT_EQ(blocks[0].Begin, 75);
    EXPECT_EQ(blocks[18].End, 598);
    EXPECT_EQ(blocks[19].Begin, 650);
    EXPECT_EQ(blocks[23].End, 804);
    for (size_t k = 0; k < blocks.size(); ++k) {
        const TIdeBlock& b = blocks[k];
        const Expected& e = ides[k];
        const std::wstring F = e.Folder, NN = e.Suffix;
        SCOPED_TRACE(testing::PrintToString(F));
        if (k != 0 && k != 19) {
            EXPECT_EQ(b.Begin, blocks[k - 1].End + 1);
        }
        const int row = ProductRowById(b.Entry->ProductId);
        const TBorlandProduct& product = *ProductRow(row);
        for (int i : {b.Begin + 1, b.End - 1}) {
            EXPECT_EQ(ScriptItems[i].TypeId, itSetIde | ifLogUndo);
            EXPECT_EQ(ScriptItems[i].Code, static_cast<uint32_t>(row));
            EXPECT_EQ(Text(ScriptItems[i].Name), F);
        }
        const bool win64 = product.Is32and64;
        const std::wstring out = win64 ? F + L"\\Win32\\" : F + L"\\";
        const std::wstring ext = k == 0 ? L".dpl" : L".bpl";
        std::vector<std::wstring> compiles, checks, copies, dirs;
        std::vector<uint32_t> ids;
        for (int i = b.Begin; i <= b.End; ++i) {
            const TScriptItem& r = ScriptItems[i];
            switch (ItemType(r)) {
                case itCompilePackage:
                    EXPECT_EQ(r.Code, static_cast<uint32_t>(b.Entry->ProductId));
                    compiles.push_back(Text(r.Name) + (r.Options ? L" 64" : L""));
                    break;
                case itCheckFile: checks.push_back(Text(r.Name)); break;
                case itCopyFile: copies.push_back(Text(r.Name) + L" -> " + Text(r.Target->Name)); break;
                case itCreateDir: dirs.push_back(Text(r.Name)); break;
                case itCopyResource:
                    if (std::wstring(r.Name).find(L".pas") == std::wstring::npos) ids.push_back(r.Code);
                    break;
                case itModifyFile:
                    ASSERT_GE(r.Code, 1u);
                    ASSERT_LE(r.Code, 3u);
                    EXPECT_FALSE(product.HelpStr[r.Code - 1].empty()) << "row " << i;
                    break;
                case itRegisterPackage: EXPECT_EQ(Text(r.Name), out + L"dclcvl" + NN + ext); break;
                default: break;
            }
        }
        std::vector<std::wstring> wantCompiles{L"cvl" + NN + L".dpk", L"dclcvl" + NN + L".dpk"};
        std::vector<std::wstring> wantChecks{out + L"cvl" + NN + ext, out + L"dclcvl" + NN + ext};
        std::vector<std::wstring> wantDirs{F};
        if (win64) {
            wantCompiles.push_back(L"cvl" + NN + L".dpk 64");
            wantChecks.push_back(F + L"\\Win64\\cvl" + NN + L".bpl");
            wantDirs.push_back(F + L"\\Win32");
            wantDirs.push_back(F + L"\\Win64");
        }
        std::vector<std::wstring> wantCopies{out + L"cvl" + NN + ext + L" -> cvl" + NN + ext};
        if (k == 0) wantCopies.insert(wantCopies.begin(), L"Source\\cvl.inc -> Delphi3\\cvl.inc");
        EXPECT_EQ(compiles, wantCompiles);
        EXPECT_EQ(checks, wantChecks);
        EXPECT_EQ(copies, wantCopies);
        EXPECT_EQ(dirs, wantDirs);
        ASSERT_EQ(ids.size(), static_cast<size_t>(e.ProjectFiles));
        for (uint32_t id : ids) {
            EXPECT_GE(id, e.FirstId);
            EXPECT_LE(id, e.FirstId + 7);
        }
    }
}

TEST(ScriptTable, SearchPathRowsComeInEachFamilysOrder) {
    const std::wstring Cpp = L"\\C++\\Paths\\SearchPath", CppLib = L"\\C++\\Paths\\LibraryPath",
                       Lib = L"\\Library\\Search Path", C32 = L"\\C++\\Paths\\Win32\\LibraryPath 3",
                       C64 = L"\\C++\\Paths\\Win64\\LibraryPath 4", L32 = L"\\Library\\Win32\\Search Path 3",
                       L64 = L"\\Library\\Win64\\Search Path 4";
    using Paths = std::vector<std::wstring>;
    const Paths none, bds2007{Cpp + L" 2", CppLib + L" 2"}, xe{Cpp + L" 2", CppLib + L" 2", Lib + L" 2"},
        xe2{C32, L32, L64}, xe4{C32, C64, L32, L64}, xe6{C32, L32, L64, C64}, xe101{L64, C64, C32, L32},
        xe102{L32, C32, L64, C64};
    // clang-format off
    const Paths expected[] = {none, none,  none,    none,    none,    none,  {L"\\CppPaths\\SearchPath 2"},
                              bds2007, bds2007, bds2007, xe,    xe2,     xe2,   xe4,
                              xe4,  xe6,   xe6,     xe6,     xe6,     xe101, xe102,
                              xe102, xe102, xe102};
    // clang-format on
    const auto blocks = IdeBlocks();
    ASSERT_EQ(blocks.size(), std::size(expected));
    for (size_t k = 0; k < blocks.size(); ++k) {
        Paths got;
        for (int i = blocks[k].Begin; i <= blocks[k].End; ++i)
            if (ItemType(ScriptItems[i]) == itAddIdePath)
                got.push_back(Text(ScriptItems[i].Name) + L" " + std::to_wstring(ScriptItems[i].Code));
        EXPECT_EQ(got, expected[k]) << "block at row " << blocks[k].Begin;
    }
}

TEST(ScriptTable, ExtractionWritesDistinctFilesIntoDirectoriesMadeBeforeThem) {
    std::set<std::wstring> dirs{L""}, files;
    int dirRows = 0, fileRows = 0;
    for (int i = 0; i < ScriptItemCount; ++i) {
        const TScriptItem& r = ScriptItems[i];
        if (ItemType(r) == itCreateDir) {
            ++dirRows;
            EXPECT_EQ(r.Dir, dcRoot) << "row " << i;
            dirs.insert(Lower(r.Name));
        } else if (ItemType(r) == itCopyResource) {
            ++fileRows;
            EXPECT_EQ(r.Dir, dcRoot) << "row " << i;
            const std::wstring path = Lower(r.Name);
            EXPECT_TRUE(files.insert(path).second) << "row " << i << " writes a file twice";
            const size_t slash = path.rfind(L'\\');
            const std::wstring parent = slash == std::wstring::npos ? L"" : path.substr(0, slash);
            EXPECT_TRUE(dirs.count(parent)) << "row " << i << ": no earlier row creates its folder";
        }
    }
    EXPECT_EQ(dirRows, 63);
    EXPECT_EQ(fileRows, 298);
    for (const auto& d : dirs) EXPECT_FALSE(files.count(d)) << "a file and a folder share a path";
}

TEST(ScriptTable, CopyRowsUseEveryPayloadIdButTheRetiredOnes) {
    std::map<uint32_t, int> uses;
    for (int i = 0; i < ScriptItemCount; ++i)
        if (IsCopyResource(ItemType(ScriptItems[i]))) ++uses[ScriptItems[i].Code];
    int rows = 0;
    std::set<uint32_t> twice;
    for (const auto& [id, n] : uses) {
        rows += n;
        EXPECT_LE(n, 2) << "id " << id;
        if (n == 2) twice.insert(id);
        const bool retired = (id >= 190 && id <= 195) || (id >= 220 && id <= 227) || (id >= 570 && id <= 577);
        EXPECT_FALSE(retired) << "id " << id;
    }
    EXPECT_EQ(rows, 300);
    EXPECT_EQ(uses.size(), 275u);
    std::set<uint32_t> units{873, 874};
    for (uint32_t id = 1; id <= 23; ++id) units.insert(id);
    EXPECT_EQ(twice, units);
}

TEST(ScriptTable, CopyRowsWriteTheManifestsNames) {
    std::map<int, const TManifestEntry*> manifest;
    int russian = 0;
    for (const auto& m : PayloadManifest) {
        EXPECT_TRUE(manifest.emplace(m.Id, &m).second) << "id " << m.Id << " listed twice";
        EXPECT_TRUE(m.Language == 0 || m.Language == 1049) << "id " << m.Id;
        russian += m.Language == 1049;
    }
    EXPECT_EQ(manifest.size(), 297u);
    EXPECT_EQ(russian, 38);

    std::set<int> written;
    for (int i = 0; i < ScriptItemCount; ++i) {
        const TScriptItem& r = ScriptItems[i];
        if (!IsCopyResource(ItemType(r))) continue;
        const int id = static_cast<int>(r.Code);
        auto it = manifest.find(id);
        ASSERT_NE(it, manifest.end()) << "row " << i << " copies id " << id << ", which the payload lacks";
        const std::wstring installed = it->second->Installed;
        if (written.insert(id).second)
            EXPECT_EQ(Text(r.Name), installed) << "row " << i;
        else  // the second copy of a unit source, into the Delphi 3 folder
            EXPECT_EQ(Text(r.Name), L"Delphi3\\" + FileNameOf(installed)) << "row " << i;
        // Package projects are made per IDE family at build time, under their installed names.
        const std::wstring source = it->second->Source;
        if (id >= 90 && id != 526 && id != 527 && id != 873 && id != 874 && id != 950 && (id < 251 || id > 432)) {
            std::wstring want = L"@pkg/" + installed;
            std::replace(want.begin(), want.end(), L'\\', L'/');
            EXPECT_EQ(source, want) << "id " << id;
        }
    }
    for (const auto& [id, m] : manifest) {
        if (!written.count(id)) {
            EXPECT_EQ(std::wstring(m->Installed), L"-") << "id " << id << " is never written";
        }
    }
    EXPECT_EQ(std::wstring(manifest.at(27)->Source), L"@cvlabout.dll");
    EXPECT_EQ(std::wstring(manifest.at(28)->Source), L"@unbrd.exe");
}

TEST(ScriptTable, TextFieldsAreSetWhereTheirTypeReadsThem) {
    for (int i = 0; i < ScriptItemCount; ++i) {
        const TScriptItem& r = ScriptItems[i];
        const uint32_t t = ItemType(r);
        // Every file and IDE row reads Name, and so does the uninstall record of every
        // logged row but the header's.
        const bool readsName = t < itControlClass || t >= itFileClass || t == itSetIde || t == itIfFileExists ||
                               ((r.TypeId & ifLogUndo) && t != itLogConst);
        if (readsName) {
            EXPECT_NE(r.Name, nullptr) << "row " << i;
        }
        EXPECT_EQ(r.Param, nullptr) << "row " << i;
        EXPECT_EQ(r.Name2 != nullptr, t == itCopyFiles || t == itMergeFiles) << "row " << i;
        EXPECT_EQ(r.Target != nullptr, t == itCopyFile) << "row " << i;
        if (t == itCopyFiles || t == itMergeFiles) {
            EXPECT_NE(r.Dir2, dcNone) << "row " << i;
        }
    }
}

const wchar_t* const IndexLine = L"\r\n:Index Corvane library components=cvlib.hlp";
const wchar_t* const LinkLine = L"\r\n:Link cvlib.hlp";
const TScriptTarget Cvl70{L"cvl70.bpl", dcSystem};
const TScriptTarget Cvl250{L"cvl250.bpl", dcSystem};

TEST(ScriptTable, HeaderAndClosingRows) {
    ExpectRows(0, {
                      {itLogConst | ifLogUndo, nullptr, 1, dcNone, nullptr, nullptr, dcNone, 0, nullptr},
                      {itLogConst | ifLogUndo, nullptr, 2, dcNone, nullptr, nullptr, dcNone, 0, nullptr},
                      {itLogConst | ifLogUndo, nullptr, 3, dcNone, nullptr, nullptr, dcNone, 0, nullptr},
                      {itLogConst | ifLogUndo, nullptr, 4, dcNone, nullptr, nullptr, dcNone, 0, nullptr},
                      {itLogConst | ifLogUndo, nullptr, 5, dcNone, nullptr, nullptr, dcNone, 0, nullptr},
                      {itLogConst | ifLogUndo, nullptr, 7, dcNone, nullptr, nullptr, dcNone, 0, nullptr},
                      {itLogConst | ifLogUndo, nullptr, 6, dcNone, nullptr, nullptr, dcNone, 0, nullptr},
                      {itCreateDir | ifLogUndo, L"", 0, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                      {itCreateDir | ifLogUndo, L"Source", 0, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                  });
    ExpectRows(71, {
                       {itCopyResourceIfAbsent | ifLogUndo | ifKeepOnPartial, L"cvTempls.ini", 29, dcWindows, nullptr, nullptr, dcNone, 0, nullptr},
                       {itCopyResourceIfNewer, L"unbrd.exe", 28, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                       {itRegisterUninstall | ifLogUndo, L"unbrd.exe", 0, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                       {itCopyResource, L"Source\\cvlabout.dll", 27, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                   });
    ExpectRows(822, {
                        {itCreateRegKey | ifLogUndo | ifKeepOnPartial, L"Software\\Brindlecraft\\Corvane library", 0x80000002, dcNone,
                         nullptr, nullptr, dcNone, 0, nullptr},
                    });
    // The sources of ids 3-19 go once the packages are built.
    for (int i = 805; i <= 821; ++i) {
        EXPECT_EQ(ScriptItems[i].TypeId, itDeleteFile | ifLogUndo);
        EXPECT_EQ(ScriptItems[i].Dir, dcRoot);
        EXPECT_EQ(Text(ScriptItems[i].Name), Text(ScriptItems[9 + (i - 805) + 2].Name)) << "row " << i;
    }
}

TEST(ScriptTable, Delphi7Block) {
    ExpectRows(198, {
                        {itIfItems, nullptr, 0x400, dcNone, nullptr, nullptr, dcNone, 0, nullptr},
                        {itSetIde | ifLogUndo, L"Delphi7", 9, dcNone, nullptr, nullptr, dcNone, 0, nullptr},
                        {itCreateDir | ifLogUndo, L"Delphi7", 0, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itClearDir, L"Delphi7", 0, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itCopyResource, L"Delphi7\\cvl70.cfg", 850, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itCopyResource, L"Delphi7\\cvl70.dof", 851, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itCopyResource, L"Delphi7\\cvl70.dpk", 852, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itCopyResource, L"Delphi7\\cvl70.res", 853, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itCopyResource, L"Delphi7\\dclcvl70.cfg", 854, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itCopyResource, L"Delphi7\\dclcvl70.dof", 855, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itCopyResource, L"Delphi7\\dclcvl70.dpk", 856, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itCopyResource, L"Delphi7\\dclcvl70.res", 857, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itSetCurrentDir, L"Delphi7", 0, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itCompilePackage, L"cvl70.dpk", 0x100, dcNone, nullptr, nullptr, dcNone, 0, nullptr},
                        {itCheckFile, L"Delphi7\\cvl70.bpl", 0, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itCopyFile, L"Delphi7\\cvl70.bpl", 0, dcRoot, nullptr, nullptr, dcNone, 0, &Cvl70},
                        {itCompilePackage, L"dclcvl70.dpk", 0x100, dcNone, nullptr, nullptr, dcNone, 0, nullptr},
                        {itCheckFile, L"Delphi7\\dclcvl70.bpl", 0, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itRegisterPackage | ifLogUndo, L"Delphi7\\dclcvl70.bpl", 0, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itIfItems, nullptr, 0x80, dcNone, nullptr, nullptr, dcNone, 0, nullptr},
                        {itModifyFile | ifLogUndo, IndexLine, 1, dcIdeHelp, nullptr, nullptr, dcNone, 0, nullptr},
                        {itModifyFile | ifLogUndo, LinkLine, 2, dcIdeHelp, nullptr, nullptr, dcNone, 0, nullptr},
                        {itMergeFiles, L"Help\\cvlib.als", 0, dcRoot, nullptr, L"d7.als", dcIdeHelp, 0, nullptr},
                        {itDeleteFile | ifLogUndo, L"Help\\d7.gid", 0, dcIdeRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itEndIfItems, nullptr, 0x80, dcNone, nullptr, nullptr, dcNone, 0, nullptr},
                        {itSetIde | ifLogUndo, L"Delphi7", 9, dcNone, nullptr, nullptr, dcNone, 0, nullptr},
                        {itEndIfItems, nullptr, 0x400, dcNone, nullptr, nullptr, dcNone, 0, nullptr},
                    });
}

TEST(ScriptTable, Xe102Block) {
    ExpectRows(681, {
                        {itIfItems, nullptr, 0x4000000, dcNone, nullptr, nullptr, dcNone, 0, nullptr},
                        {itSetIde | ifLogUndo, L"RADStudio19", 25, dcNone, nullptr, nullptr, dcNone, 0, nullptr},
                        {itCreateDir | ifLogUndo, L"RADStudio19", 0, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itClearDir, L"RADStudio19", 0, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itCreateDir | ifLogUndo, L"RADStudio19\\Win32", 0, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itCreateDir | ifLogUndo, L"RADStudio19\\Win64", 0, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itCopyResource, L"RADStudio19\\dcc32.cfg", 2400, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itCopyResource, L"RADStudio19\\cvl250.dproj", 2401, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itCopyResource, L"RADStudio19\\cvl250.dpk", 2402, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itCopyResource, L"RADStudio19\\cvl250.res", 2403, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itCopyResource, L"RADStudio19\\dcc64.cfg", 2404, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itCopyResource, L"RADStudio19\\dclcvl250.dproj", 2405, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itCopyResource, L"RADStudio19\\dclcvl250.dpk", 2406, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itCopyResource, L"RADStudio19\\dclcvl250.res", 2407, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itSetCurrentDir, L"RADStudio19", 0, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itCompilePackage, L"cvl250.dpk", 0x1000000, dcNone, nullptr, nullptr, dcNone, 0, nullptr},
                        {itCheckFile, L"RADStudio19\\Win32\\cvl250.bpl", 0, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itCopyFile, L"RADStudio19\\Win32\\cvl250.bpl", 0, dcRoot, nullptr, nullptr, dcNone, 0, &Cvl250},
                        {itCompilePackage, L"dclcvl250.dpk", 0x1000000, dcNone, nullptr, nullptr, dcNone, 0, nullptr},
                        {itCheckFile, L"RADStudio19\\Win32\\dclcvl250.bpl", 0, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itRegisterPackage | ifLogUndo, L"RADStudio19\\Win32\\dclcvl250.bpl", 0, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itAddIdePath | ifLogUndo, L"\\Library\\Win32\\Search Path", 3, dcNone, nullptr, nullptr, dcNone, 0, nullptr},
                        {itAddIdePath | ifLogUndo, L"\\C++\\Paths\\Win32\\LibraryPath", 3, dcNone, nullptr, nullptr, dcNone, 0, nullptr},
                        {itIfFileExists, L"bin\\dcc64.exe", 0x4000001, dcIdeRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itCompilePackage, L"cvl250.dpk", 0x1000000, dcNone, nullptr, nullptr, dcNone, 1, nullptr},
                        {itCheckFile, L"RADStudio19\\Win64\\cvl250.bpl", 0, dcRoot, nullptr, nullptr, dcNone, 0, nullptr},
                        {itAddIdePath | ifLogUndo, L"\\Library\\Win64\\Search Path", 4, dcNone, nullptr, nullptr, dcNone, 0, nullptr},
                        {itAddIdePath | ifLogUndo, L"\\C++\\Paths\\Win64\\LibraryPath", 4, dcNone, nullptr, nullptr, dcNone, 0, nullptr},
                        {itEndIfFileExists, nullptr, 0x4000001, dcNone, nullptr, nullptr, dcNone, 0, nullptr},
                        {itSetIde | ifLogUndo, L"RADStudio19", 25, dcNone, nullptr, nullptr, dcNone, 0, nullptr},
                        {itEndIfItems, nullptr, 0x4000000, dcNone, nullptr, nullptr, dcNone, 0, nullptr},
                    });
}

TEST(ScriptTable, HelpAndDemoSections) {
    // Help: the nested 0x448 and 0x1000 blocks close before the 0x80 block.
    EXPECT_EQ(ScriptItems[47].Code, 0x80u);
    EXPECT_EQ(BlockEnd(47), 70);
    EXPECT_EQ(BlockEnd(54), 56);
    EXPECT_EQ(BlockEnd(60), 69);
    EXPECT_EQ(Text(ScriptItems[57].Name), L"Help");
    EXPECT_EQ(ScriptItems[57].TypeId, static_cast<uint32_t>(itSetHelpDir));
    EXPECT_EQ(Text(ScriptItems[58].Name), L"cvlib.hlp");
    EXPECT_EQ(Text(ScriptItems[59].Name), L"cvlib.cnt");
    EXPECT_EQ(ScriptItems[68].TypeId, itRegisterHelp | ifLogUndo);
    EXPECT_EQ(Text(ScriptItems[68].Name), L"help\\help_reg.bat");
    // The uninstall action of the help registration runs this batch file from the payload.
    bool unregister = false;
    for (int i = 61; i < 68; ++i) unregister |= Text(ScriptItems[i].Name) == L"Help\\help_unreg.bat";
    EXPECT_TRUE(unregister);

    EXPECT_EQ(ScriptItems[39].Code, 0x3FFFFC48u);
    EXPECT_EQ(BlockEnd(39), 42);
    EXPECT_EQ(ScriptItems[599].Code, 0x300u);
    EXPECT_EQ(BlockEnd(599), 601);
    EXPECT_EQ(ScriptItems[602].Code, 0x100u);
    EXPECT_EQ(BlockEnd(602), 649);
    EXPECT_EQ(Text(ScriptItems[603].Name), L"Demos\\Delphi");
    int demoFiles = 0;
    for (int i = 604; i < 649; ++i) {
        EXPECT_EQ(std::wstring(ScriptItems[i].Name).rfind(L"Demos\\Delphi\\", 0), 0u) << "row " << i;
        if (ItemType(ScriptItems[i]) == itCopyResource) {
            ++demoFiles;
            EXPECT_GE(ScriptItems[i].Code, 251u);
            EXPECT_LE(ScriptItems[i].Code, 432u);
        }
    }
    EXPECT_EQ(demoFiles, 37);
}

}  // namespace
