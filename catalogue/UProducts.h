// The catalogue of supported development environments and their detection. The
// catalogue's rows are constant; what detection finds on this machine (and what the
// selection page preselects from it) is kept apart, in a TDetectedIdes value.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct TBorlandProduct {
    // clang-format off
    std::wstring Name;        // internal name, printed in the install log
    int32_t InternalId;       // the row's bit: 1 << (row - 1)
    std::wstring RegKey;      // below HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER
    std::array<std::wstring, 3> HelpStr;  // help index files edited by help registration
    bool IsDelphi;            // dcc32/dcc64; false: C++Builder built with make.exe
    bool Is32and64;           // library settings per platform below "\Library"
    // clang-format on
};

constexpr int ProductCount = 28;

// clang-format off
// The catalogue rows by name: the row of an IDE block, the Code of itSetIde rows.
enum TProductRow : int {
    prDelphi3     = 1,
    prDelphi4     = 2,
    prDelphi5     = 3,
    prCBuilder3   = 4,
    prCBuilder4   = 5,
    prCBuilder5   = 6,
    prDelphi6     = 7,
    prCBuilder6   = 8,
    prDelphi7     = 9,
    prDelphi9     = 10,
    prBDS2006     = 11,
    prDelphi2007  = 12,
    prBDS2009     = 13,
    prBDS2010     = 14,
    prRADStudio8  = 15,
    prRADStudio9  = 16,
    prRADStudio10 = 17,
    prRADStudio11 = 18,
    prRADStudio12 = 19,
    prRADStudio14 = 20,
    prRADStudio15 = 21,
    prRADStudio16 = 22,
    prRADStudio17 = 23,
    prRADStudio18 = 24,
    prRADStudio19 = 25,
    prRADStudio20 = 26,
    prRADStudio21 = 27,
    prRADStudio22 = 28,
};

// Environment bits (the plan's Versions, a row's InternalId, the Code of itCompilePackage
// rows): one per catalogue row.
enum TVersionBit : uint32_t {
    vbDelphi3     = 1u << (prDelphi3 - 1),
    vbDelphi4     = 1u << (prDelphi4 - 1),
    vbDelphi5     = 1u << (prDelphi5 - 1),
    vbCBuilder3   = 1u << (prCBuilder3 - 1),
    vbCBuilder4   = 1u << (prCBuilder4 - 1),
    vbCBuilder5   = 1u << (prCBuilder5 - 1),
    vbDelphi6     = 1u << (prDelphi6 - 1),
    vbCBuilder6   = 1u << (prCBuilder6 - 1),
    vbDelphi7     = 1u << (prDelphi7 - 1),
    vbDelphi9     = 1u << (prDelphi9 - 1),
    vbBDS2006     = 1u << (prBDS2006 - 1),
    vbDelphi2007  = 1u << (prDelphi2007 - 1),
    vbBDS2009     = 1u << (prBDS2009 - 1),
    vbBDS2010     = 1u << (prBDS2010 - 1),
    vbRADStudio8  = 1u << (prRADStudio8 - 1),
    vbRADStudio9  = 1u << (prRADStudio9 - 1),
    vbRADStudio10 = 1u << (prRADStudio10 - 1),
    vbRADStudio11 = 1u << (prRADStudio11 - 1),
    vbRADStudio12 = 1u << (prRADStudio12 - 1),
    vbRADStudio14 = 1u << (prRADStudio14 - 1),
    vbRADStudio15 = 1u << (prRADStudio15 - 1),
    vbRADStudio16 = 1u << (prRADStudio16 - 1),
    vbRADStudio17 = 1u << (prRADStudio17 - 1),
    vbRADStudio18 = 1u << (prRADStudio18 - 1),
    vbRADStudio19 = 1u << (prRADStudio19 - 1),
    vbRADStudio20 = 1u << (prRADStudio20 - 1),
    vbRADStudio21 = 1u << (prRADStudio21 - 1),
    vbRADStudio22 = 1u << (prRADStudio22 - 1),
};

// Item bits (the plan's Items, a selection entry's Mask, the Code of itIfItems rows): one per
// entry of the selection list, named after the catalogue row it stands for. The bits
// named NoEntry belong to no entry and are never set; some script masks include them.
enum TItemBit : uint32_t {
    ibDelphi3     = 0x1,
    ibDelphi4     = 0x2,
    ibDelphi5     = 0x4,
    ibDelphi6     = 0x8,
    ibNoEntry6    = 0x40,
    ibHelp        = 0x80,
    ibDemos       = 0x100,
    ibNoEntry9    = 0x200,
    ibDelphi7     = 0x400,
    ibDelphi9     = 0x800,
    ibBDS2006     = 0x1000,
    ibDelphi2007  = 0x2000,
    ibBDS2009     = 0x4000,
    ibBDS2010     = 0x8000,
    ibRADStudio8  = 0x10000,
    ibRADStudio9  = 0x20000,
    ibRADStudio10 = 0x40000,
    ibRADStudio11 = 0x80000,
    ibRADStudio12 = 0x100000,
    ibRADStudio14 = 0x200000,
    ibRADStudio15 = 0x400000,
    ibRADStudio16 = 0x800000,
    ibRADStudio17 = 0x1000000,
    ibRADStudio18 = 0x2000000,
    ibRADStudio19 = 0x4000000,
    ibRADStudio20 = 0x8000000,
    ibRADStudio21 = 0x10000000,
    ibRADStudio22 = 0x20000000,
};

// The help index files of a catalogue row, as itModifyFile rows name them in Code.
enum THelpFile : uint32_t {
    hfFirst = 1,
    hfSecond = 2,
    hfThird = 3,
};
// clang-format on

// What detection found for one catalogue row.
struct TDetectedIde {
    std::wstring RootDir;   // the IDE's root folder, without a trailing separator
    bool Exists = false;    // a root with bin\ and the row's compiler in it
    bool Selected = false;  // preselected by the selection page
};

// What detection found, by row; index 0 is unused.
using TDetectedIdes = std::array<TDetectedIde, ProductCount + 1>;

// Rows 1..ProductCount; index 0 is unused so that a row number indexes directly.
extern const std::array<TBorlandProduct, ProductCount + 1>& BorlandProducts;

// The tests point a row at scratch keys through this; ResetCatalogue puts it back.
TBorlandProduct& CatalogueRowForTests(int Row);

struct TSelectionItem {
    // clang-format off
    int32_t Mask;             // item bit
    std::wstring Caption;     // text in the selection list
    // clang-format on
    bool Checked;
    int32_t ProductId;  // InternalId of the row it stands for, 0 for none
};

constexpr int SelectionItemCount = 26;
// The selection page's list: the entries in their order, with what is checked. The
// wizard and the unattended run each make their own.
using TSelectionList = std::array<TSelectionItem, SelectionItemCount>;

// The list as it starts: every entry in its order, none checked.
TSelectionList NewSelectionList();

// Row whose InternalId equals Id (first match over rows 1..28), 0 when none.
int ProductRowById(int32_t Id);

// Row of the lowest set bit of Mask (position + 1), 0 when Mask is 0 or the row
// would lie past row 28.
int ProductRowByLowestBit(int32_t Mask);

// Access by row number: nullptr outside 1..28.
const TBorlandProduct* ProductRow(int Row);

// RootDir and Exists of all 28 rows, from the registry and the file system; nothing
// preselected. Whoever needs them detects them and hands them on.
TDetectedIdes DetectProducts();

// The root that detection found for Row; empty outside 1..28.
const std::wstring& DetectedRoot(const TDetectedIdes& Detected, int Row);

// The masks built from the checked selection entries.
int32_t CheckedInstallVersions(const TSelectionList& Selection);
int32_t CheckedInstallItems(const TSelectionList& Selection);

// Puts the rows back to their start-up values.
void ResetCatalogue();
