// The catalogue tables, the row lookups and the masks built from the selection list.
#include <gtest/gtest.h>

#include <set>

#include "catalogue/UProducts.h"

namespace {

bool IsCBuilderRow(int row) { return row == 4 || row == 5 || row == 6 || row == 8; }

bool StartsWith(const std::wstring& text, const std::wstring& prefix) { return text.compare(0, prefix.size(), prefix) == 0; }

TEST(CatalogueTable, RowsCarryTheirBitAndTheirKindOfCompiler) {
    for (int row = 1; row <= ProductCount; ++row) {
        const TBorlandProduct& p = BorlandProducts[row];
        EXPECT_EQ(p.InternalId, int32_t{1} << (row - 1)) << "row " << row;
        EXPECT_EQ(p.IsDelphi, !IsCBuilderRow(row)) << "row " << row;
        EXPECT_EQ(p.Is32and64, row >= 16) << "row " << row;
        EXPECT_TRUE(StartsWith(p.RegKey, L"Software\\Borland\\") || StartsWith(p.RegKey, L"Software\\CodeGear\\") ||
                    StartsWith(p.RegKey, L"Software\\Embarcadero\\"))
            << "row " << row;
        const TDetectedIde d = TDetectedIdes{}[static_cast<size_t>(row)];
        EXPECT_TRUE(d.RootDir.empty() && !d.Exists && !d.Selected) << "row " << row;
    }
    // Anchors where the table is easy to get wrong: no key 13.0, and a name that is
    // not the folder name.
    EXPECT_EQ(BorlandProducts[19].RegKey, L"Software\\Embarcadero\\BDS\\12.0");
    EXPECT_EQ(BorlandProducts[20].RegKey, L"Software\\Embarcadero\\BDS\\14.0");
    EXPECT_EQ(BorlandProducts[20].Name, L"RADStudio14");
    EXPECT_EQ(BorlandProducts[12].Name, L"Delphi2007");
    EXPECT_EQ(BorlandProducts[8].RegKey, L"Software\\Borland\\C++Builder\\6.0");
    EXPECT_EQ(BorlandProducts[9].HelpStr[2], L"d7.als");
}

TEST(CatalogueTable, EverySelectionEntryStandsForOneDelphiRowOrForNone) {
    std::set<int32_t> masks, products;
    for (const TSelectionItem& item : NewSelectionList()) {
        EXPECT_TRUE(masks.insert(item.Mask).second) << "item bit used twice";
        EXPECT_FALSE(item.Checked);
        if (item.ProductId == 0) continue;
        EXPECT_TRUE(products.insert(item.ProductId).second) << "row chosen twice";
        int row = ProductRowById(item.ProductId);
        ASSERT_NE(row, 0);
        EXPECT_FALSE(IsCBuilderRow(row)) << "C++Builder rows can never be chosen";
    }
    EXPECT_EQ(products.size(), 24u);
    // Bits the script's conditions name but no entry sets.
    for (int32_t unused : {0x10, 0x20, 0x40, 0x200, 0x40000000, int32_t(0x80000000)}) EXPECT_EQ(masks.count(unused), 0u);
}

TEST(CatalogueLookup, ByIdAndByLowestBit) {
    struct Case {
        int32_t Value;
        int ById;
        int ByLowestBit;
    };
    const Case cases[] = {
        // value              by id  by lowest bit
        // clang-format off
        {0,                   0,     0},
        {0x1,                 1,     1},
        {0x100,               9,     9},
        {0x300,               0,     9},
        {0x8000000,           28,    28},
        {0x18000000,          0,     28},
        {0x10000000,          0,     0},   // bit 28 belongs to no row
        {int32_t(0x80000000), 0,     0},
        {-1,                  0,     1},
        // clang-format on
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProductRowById(c.Value), c.ById) << std::hex << c.Value;
        EXPECT_EQ(ProductRowByLowestBit(c.Value), c.ByLowestBit) << std::hex << c.Value;
    }
    EXPECT_EQ(ProductRow(0), nullptr);
    EXPECT_EQ(ProductRow(29), nullptr);
    EXPECT_EQ(ProductRow(-1), nullptr);
    ASSERT_NE(ProductRow(28), nullptr);
    EXPECT_EQ(ProductRow(28)->Name, L"RADStudio22");
}

TSelectionList CheckOnly(const std::vector<std::wstring>& captions) {
    TSelectionList selection = NewSelectionList();
    for (const std::wstring& caption : captions) {
        bool found = false;
        for (TSelectionItem& item : selection)
            if (item.Caption == caption) item.Checked = found = true;
        EXPECT_TRUE(found) << "no entry " << std::string(caption.begin(), caption.end());
    }
    return selection;
}

TEST(CatalogueMasks, TheTwoMasksGiveOneEnvironmentDifferentBits) {
    struct Case {
        std::vector<std::wstring> Checked;
        int32_t Versions;
        int32_t Items;
    };
    const Case cases[] = {
        // clang-format off
        {{},                                                  0,          0},
        {{L"Context help files"},                             0,          0x80},
        {{L"Delphi demo projects"},                           0,          0x100},
        {{L"Delphi 6"},                                       0x40,       0x8},
        {{L"Delphi 7", L"Context help files"},                0x100,      0x480},
        {{L"RAD Studio 11", L"Delphi 3"},                     0x8000001,  0x20000001},
        {{L"RAD Studio XE2", L"CodeGear RAD Studio 2009"},    0x9000,     0x24000},
        // clang-format on
    };
    for (const Case& c : cases) {
        const TSelectionList selection = CheckOnly(c.Checked);
        EXPECT_EQ(CheckedInstallVersions(selection), c.Versions) << c.Checked.size() << " entries";
        EXPECT_EQ(CheckedInstallItems(selection), c.Items) << c.Checked.size() << " entries";
    }
    TSelectionList all = NewSelectionList();
    for (TSelectionItem& item : all) item.Checked = true;
    EXPECT_EQ(CheckedInstallVersions(all), 0x0FFFFF47);  // every row but the four C++Builders
    EXPECT_EQ(CheckedInstallItems(all), 0x3FFFFD8F);
}

}  // namespace
