#include "catalogue/UProducts.h"

#include <windows.h>

#include "support/UPaths.h"
#include "support/URegistry.h"

namespace {

constexpr bool Delphi = true;
constexpr bool CBuilder = false;
constexpr bool Win32and64 = true;
constexpr bool OnePlatform = false;

TBorlandProduct Row(const wchar_t* name, int32_t id, const wchar_t* key, const wchar_t* help1,
                    const wchar_t* help2, const wchar_t* help3, bool isDelphi, bool is32and64) {
    return TBorlandProduct{name, id, L"", false, false, key, {help1, help2, help3}, isDelphi, is32and64};
}

std::array<TBorlandProduct, ProductCount + 1> MakeProducts() {
    return {{
        Row(L"", 0, L"", L"", L"", L"", false, false),  // row numbers start at 1
        //  Name            InternalId  RegKey                                  HelpStr 1        HelpStr 2        HelpStr 3       compiler  platforms
        Row(L"Delphi3",     0x1,       L"Software\\Borland\\Delphi\\3.0",       L"delphi3.cfg",  L"",             L"",            Delphi,   OnePlatform),
        Row(L"Delphi4",     0x2,       L"Software\\Borland\\Delphi\\4.0",       L"delphi4.cfg",  L"delphi4.ohi",  L"delphi4.ohl", Delphi,   OnePlatform),
        Row(L"Delphi5",     0x4,       L"Software\\Borland\\Delphi\\5.0",       L"delphi5.ohi",  L"delphi5.ohl",  L"",            Delphi,   OnePlatform),
        Row(L"CBuilder3",   0x8,       L"Software\\Borland\\C++Builder\\3.0",   L"",             L"",             L"",            CBuilder, OnePlatform),
        Row(L"CBuilder4",   0x10,      L"Software\\Borland\\C++Builder\\4.0",   L"bcb4.cfg",     L"bcb4.ohi",     L"bcb4.ohl",    CBuilder, OnePlatform),
        Row(L"CBuilder5",   0x20,      L"Software\\Borland\\C++Builder\\5.0",   L"bcb5.ohi",     L"bcb5.ohl",     L"",            CBuilder, OnePlatform),
        Row(L"Delphi6",     0x40,      L"Software\\Borland\\Delphi\\6.0",       L"delphi6.ohi",  L"delphi6.ohl",  L"delphi6.als", Delphi,   OnePlatform),
        Row(L"CBuilder6",   0x80,      L"Software\\Borland\\C++Builder\\6.0",   L"bcb6.ohi",     L"bcb6.ohl",     L"bcb6.als",    CBuilder, OnePlatform),
        Row(L"Delphi7",     0x100,     L"Software\\Borland\\Delphi\\7.0",       L"d7.ohi",       L"d7.ohl",       L"d7.als",      Delphi,   OnePlatform),
        Row(L"Delphi9",     0x200,     L"Software\\Borland\\BDS\\3.0",          L"",             L"",             L"",            Delphi,   OnePlatform),
        Row(L"BDS2006",     0x400,     L"Software\\Borland\\BDS\\4.0",          L"",             L"",             L"",            Delphi,   OnePlatform),
        Row(L"Delphi2007",  0x800,     L"Software\\Borland\\BDS\\5.0",          L"",             L"",             L"",            Delphi,   OnePlatform),
        Row(L"BDS2009",     0x1000,    L"Software\\CodeGear\\BDS\\6.0",         L"",             L"",             L"",            Delphi,   OnePlatform),
        Row(L"BDS2010",     0x2000,    L"Software\\CodeGear\\BDS\\7.0",         L"",             L"",             L"",            Delphi,   OnePlatform),
        Row(L"RADStudio8",  0x4000,    L"Software\\Embarcadero\\BDS\\8.0",      L"",             L"",             L"",            Delphi,   OnePlatform),
        Row(L"RADStudio9",  0x8000,    L"Software\\Embarcadero\\BDS\\9.0",      L"",             L"",             L"",            Delphi,   Win32and64),
        Row(L"RADStudio10", 0x10000,   L"Software\\Embarcadero\\BDS\\10.0",     L"",             L"",             L"",            Delphi,   Win32and64),
        Row(L"RADStudio11", 0x20000,   L"Software\\Embarcadero\\BDS\\11.0",     L"",             L"",             L"",            Delphi,   Win32and64),
        Row(L"RADStudio12", 0x40000,   L"Software\\Embarcadero\\BDS\\12.0",     L"",             L"",             L"",            Delphi,   Win32and64),
        Row(L"RADStudio14", 0x80000,   L"Software\\Embarcadero\\BDS\\14.0",     L"",             L"",             L"",            Delphi,   Win32and64),
        Row(L"RADStudio15", 0x100000,  L"Software\\Embarcadero\\BDS\\15.0",     L"",             L"",             L"",            Delphi,   Win32and64),
        Row(L"RADStudio16", 0x200000,  L"Software\\Embarcadero\\BDS\\16.0",     L"",             L"",             L"",            Delphi,   Win32and64),
        Row(L"RADStudio17", 0x400000,  L"Software\\Embarcadero\\BDS\\17.0",     L"",             L"",             L"",            Delphi,   Win32and64),
        Row(L"RADStudio18", 0x800000,  L"Software\\Embarcadero\\BDS\\18.0",     L"",             L"",             L"",            Delphi,   Win32and64),
        Row(L"RADStudio19", 0x1000000, L"Software\\Embarcadero\\BDS\\19.0",     L"",             L"",             L"",            Delphi,   Win32and64),
        Row(L"RADStudio20", 0x2000000, L"Software\\Embarcadero\\BDS\\20.0",     L"",             L"",             L"",            Delphi,   Win32and64),
        Row(L"RADStudio21", 0x4000000, L"Software\\Embarcadero\\BDS\\21.0",     L"",             L"",             L"",            Delphi,   Win32and64),
        Row(L"RADStudio22", 0x8000000, L"Software\\Embarcadero\\BDS\\22.0",     L"",             L"",             L"",            Delphi,   Win32and64),
    }};
}

std::array<TSelectionItem, SelectionItemCount> MakeSelectionItems() {
    return {{
        // Mask      Caption                             Checked ProductId
        {0x20000000, L"RAD Studio 11",                   false, 0x8000000},
        {0x10000000, L"RAD Studio XE10.4",               false, 0x4000000},
        {0x8000000,  L"RAD Studio XE10.3",               false, 0x2000000},
        {0x4000000,  L"RAD Studio XE10.2",               false, 0x1000000},
        {0x2000000,  L"RAD Studio XE10.1",               false, 0x800000},
        {0x1000000,  L"RAD Studio XE10",                 false, 0x400000},
        {0x800000,   L"RAD Studio XE8",                  false, 0x200000},
        {0x400000,   L"RAD Studio XE7",                  false, 0x100000},
        {0x200000,   L"RAD Studio XE6",                  false, 0x80000},
        {0x100000,   L"RAD Studio XE5",                  false, 0x40000},
        {0x80000,    L"RAD Studio XE4",                  false, 0x20000},
        {0x40000,    L"RAD Studio XE3",                  false, 0x10000},
        {0x20000,    L"RAD Studio XE2",                  false, 0x8000},
        {0x10000,    L"RAD Studio XE",                   false, 0x4000},
        {0x8000,     L"RAD Studio 2010",                 false, 0x2000},
        {0x4000,     L"CodeGear RAD Studio 2009",        false, 0x1000},
        {0x2000,     L"CodeGear RAD Studio 2007",        false, 0x800},
        {0x1000,     L"Borland Developer Studio 2006",   false, 0x400},
        {0x800,      L"Delphi 2005",                     false, 0x200},
        {0x400,      L"Delphi 7",                        false, 0x100},
        {0x8,        L"Delphi 6",                        false, 0x40},
        {0x4,        L"Delphi 5",                        false, 0x4},
        {0x2,        L"Delphi 4",                        false, 0x2},
        {0x1,        L"Delphi 3",                        false, 0x1},
        {0x80,       L"Context help files",              false, 0},
        {0x100,      L"Delphi demo projects",            false, 0},
    }};
}

void DetectProduct(TBorlandProduct& p) {
    p.Exists = ReadRegString(HKEY_LOCAL_MACHINE, p.RegKey, L"RootDir", p.RootDir);
    if (!p.Exists) p.Exists = ReadRegString(HKEY_CURRENT_USER, p.RegKey, L"RootDir", p.RootDir);
    while (!p.RootDir.empty() && p.RootDir.back() == L'\\') p.RootDir.pop_back();
    if (p.Exists) p.Exists = DirectoryExists(p.RootDir);
    if (p.Exists) p.Exists = DirectoryExists(p.RootDir + L"\\bin");
    if (p.Exists) p.Exists = FileExists(p.RootDir + (p.IsDelphi ? L"\\bin\\dcc32.exe" : L"\\bin\\make.exe"));
}

}  // namespace

std::array<TBorlandProduct, ProductCount + 1> BorlandProducts = MakeProducts();
std::array<TSelectionItem, SelectionItemCount> SelectionItems = MakeSelectionItems();

int ProductRowById(int32_t Id) {
    for (int row = 1; row <= ProductCount; ++row)
        if (BorlandProducts[row].InternalId == Id) return row;
    return 0;
}

int ProductRowByLowestBit(int32_t Mask) {
    uint32_t bits = static_cast<uint32_t>(Mask);
    if (bits == 0) return 0;
    int row = 1;
    while ((bits & 1u) == 0) {
        bits >>= 1;
        ++row;
    }
    return row <= ProductCount ? row : 0;
}

TBorlandProduct* ProductRow(int Row) {
    if (Row < 1 || Row > ProductCount) return nullptr;
    return &BorlandProducts[Row];
}

void DetectProducts() {
    for (int row = 1; row <= ProductCount; ++row) DetectProduct(BorlandProducts[row]);
}

int32_t CheckedInstallVersions() {
    int32_t mask = 0;
    for (const auto& item : SelectionItems)
        if (item.Checked) mask |= item.ProductId;
    return mask;
}

int32_t CheckedInstallItems() {
    int32_t mask = 0;
    for (const auto& item : SelectionItems)
        if (item.Checked) mask |= item.Mask;
    return mask;
}

void ResetCatalogue() {
    BorlandProducts = MakeProducts();
    SelectionItems = MakeSelectionItems();
}
