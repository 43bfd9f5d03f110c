// The catalogue of supported development environments and their detection.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct TBorlandProduct {
    std::wstring Name;        // internal name, printed in the install log
    int32_t InternalId;       // the row's bit: 1 << (row - 1)
    std::wstring RootDir;     // filled by detection
    bool Exists;              // found by detection
    bool Selected;            // preselected by the selection page
    std::wstring RegKey;      // below HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER
    std::array<std::wstring, 3> HelpStr;  // help index files edited by help registration
    bool IsDelphi;            // dcc32/dcc64; false: C++Builder built with make.exe
    bool Is32and64;           // library settings per platform below "\Library"
};

constexpr int ProductCount = 28;

// Rows 1..ProductCount; index 0 is unused so that a row number indexes directly.
extern std::array<TBorlandProduct, ProductCount + 1> BorlandProducts;

struct TSelectionItem {
    int32_t Mask;             // item bit
    std::wstring Caption;     // text in the selection list
    bool Checked;
    int32_t ProductId;        // InternalId of the row it stands for, 0 for none
};

constexpr int SelectionItemCount = 26;
extern std::array<TSelectionItem, SelectionItemCount> SelectionItems;

// Row whose InternalId equals Id (first match over rows 1..28), 0 when none.
int ProductRowById(int32_t Id);

// Row of the lowest set bit of Mask (position + 1), 0 when Mask is 0 or the row
// would lie past row 28.
int ProductRowByLowestBit(int32_t Mask);

// Row CurrentIde-style access: nullptr outside 1..28.
TBorlandProduct* ProductRow(int Row);

// Fills RootDir and Exists of all 28 rows from the registry and the file system.
void DetectProducts();

// The masks built from the checked selection entries.
int32_t CheckedInstallVersions();
int32_t CheckedInstallItems();

// Puts RootDir, Exists, Selected and Checked back to their table values.
void ResetCatalogue();
