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
    return TBorlandProduct{name, id, key, {help1, help2, help3}, isDelphi, is32and64};
}

std::array<TBorlandProduct, ProductCount + 1> MakeProducts() {
    return {{
        Row(L"", 0, L"", L"", L"", L"", false, false),  // row numbers start at 1
        //  Name             InternalId       RegKey                                  HelpStr 1        HelpStr 2        HelpStr 3       compiler  platforms
        // clang-format off
        Row(L"Delphi3",      vbDelphi3,       L"Software\\Borland\\Delphi\\3.0",       L"delphi3.cfg",  L"",             L"",            Delphi,   OnePlatform),
        Row(L"Delphi4",      vbDelphi4,       L"Software\\Borland\\Delphi\\4.0",       L"delphi4.cfg",  L"delphi4.ohi",  L"delphi4.ohl", Delphi,   OnePlatform),
        Row(L"Delphi5",      vbDelphi5,       L"Software\\Borland\\Delphi\\5.0",       L"delphi5.ohi",  L"delphi5.ohl",  L"",            Delphi,   OnePlatform),
        Row(L"CBuilder3",    vbCBuilder3,     L"Software\\Borland\\C++Builder\\3.0",   L"",             L"",             L"",            CBuilder, OnePlatform),
        Row(L"CBuilder4",    vbCBuilder4,     L"Software\\Borland\\C++Builder\\4.0",   L"bcb4.cfg",     L"bcb4.ohi",     L"bcb4.ohl",    CBuilder, OnePlatform),
        Row(L"CBuilder5",    vbCBuilder5,     L"Software\\Borland\\C++Builder\\5.0",   L"bcb5.ohi",     L"bcb5.ohl",     L"",            CBuilder, OnePlatform),
        Row(L"Delphi6",      vbDelphi6,       L"Software\\Borland\\Delphi\\6.0",       L"delphi6.ohi",  L"delphi6.ohl",  L"delphi6.als", Delphi,   OnePlatform),
        Row(L"CBuilder6",    vbCBuilder6,     L"Software\\Borland\\C++Builder\\6.0",   L"bcb6.ohi",     L"bcb6.ohl",     L"bcb6.als",    CBuilder, OnePlatform),
        Row(L"Delphi7",      vbDelphi7,       L"Software\\Borland\\Delphi\\7.0",       L"d7.ohi",       L"d7.ohl",       L"d7.als",      Delphi,   OnePlatform),
        Row(L"Delphi9",      vbDelphi9,       L"Software\\Borland\\BDS\\3.0",          L"",             L"",             L"",            Delphi,   OnePlatform),
        Row(L"BDS2006",      vbBDS2006,       L"Software\\Borland\\BDS\\4.0",          L"",             L"",             L"",            Delphi,   OnePlatform),
        Row(L"Delphi2007",   vbDelphi2007,    L"Software\\Borland\\BDS\\5.0",          L"",             L"",             L"",            Delphi,   OnePlatform),
        Row(L"BDS2009",      vbBDS2009,       L"Software\\CodeGear\\BDS\\6.0",         L"",             L"",             L"",            Delphi,   OnePlatform),
        Row(L"BDS2010",      vbBDS2010,       L"Software\\CodeGear\\BDS\\7.0",         L"",             L"",             L"",            Delphi,   OnePlatform),
        Row(L"RADStudio8",   vbRADStudio8,    L"Software\\Embarcadero\\BDS\\8.0",      L"",             L"",             L"",            Delphi,   OnePlatform),
        Row(L"RADStudio9",   vbRADStudio9,    L"Software\\Embarcadero\\BDS\\9.0",      L"",             L"",             L"",            Delphi,   Win32and64),
        Row(L"RADStudio10",  vbRADStudio10,   L"Software\\Embarcadero\\BDS\\10.0",     L"",             L"",             L"",            Delphi,   Win32and64),
        Row(L"RADStudio11",  vbRADStudio11,   L"Software\\Embarcadero\\BDS\\11.0",     L"",             L"",             L"",            Delphi,   Win32and64),
        Row(L"RADStudio12",  vbRADStudio12,   L"Software\\Embarcadero\\BDS\\12.0",     L"",             L"",             L"",            Delphi,   Win32and64),
        Row(L"RADStudio14",  vbRADStudio14,   L"Software\\Embarcadero\\BDS\\14.0",     L"",             L"",             L"",            Delphi,   Win32and64),
        Row(L"RADStudio15",  vbRADStudio15,   L"Software\\Embarcadero\\BDS\\15.0",     L"",             L"",             L"",            Delphi,   Win32and64),
        Row(L"RADStudio16",  vbRADStudio16,   L"Software\\Embarcadero\\BDS\\16.0",     L"",             L"",             L"",            Delphi,   Win32and64),
        Row(L"RADStudio17",  vbRADStudio17,   L"Software\\Embarcadero\\BDS\\17.0",     L"",             L"",             L"",            Delphi,   Win32and64),
        Row(L"RADStudio18",  vbRADStudio18,   L"Software\\Embarcadero\\BDS\\18.0",     L"",             L"",             L"",            Delphi,   Win32and64),
        Row(L"RADStudio19",  vbRADStudio19,   L"Software\\Embarcadero\\BDS\\19.0",     L"",             L"",             L"",            Delphi,   Win32and64),
        Row(L"RADStudio20",  vbRADStudio20,   L"Software\\Embarcadero\\BDS\\20.0",     L"",             L"",             L"",            Delphi,   Win32and64),
        Row(L"RADStudio21",  vbRADStudio21,   L"Software\\Embarcadero\\BDS\\21.0",     L"",             L"",             L"",            Delphi,   Win32and64),
        Row(L"RADStudio22",  vbRADStudio22,   L"Software\\Embarcadero\\BDS\\22.0",     L"",             L"",             L"",            Delphi,   Win32and64),
        // clang-format on
    }};
}

TSelectionList MakeSelectionItems() {
    return {{
        // Mask          Caption                             Checked ProductId
        // clang-format off
        {ibRADStudio22,  L"RAD Studio 11",                   false, vbRADStudio22},
        {ibRADStudio21,  L"RAD Studio XE10.4",               false, vbRADStudio21},
        {ibRADStudio20,  L"RAD Studio XE10.3",               false, vbRADStudio20},
        {ibRADStudio19,  L"RAD Studio XE10.2",               false, vbRADStudio19},
        {ibRADStudio18,  L"RAD Studio XE10.1",               false, vbRADStudio18},
        {ibRADStudio17,  L"RAD Studio XE10",                 false, vbRADStudio17},
        {ibRADStudio16,  L"RAD Studio XE8",                  false, vbRADStudio16},
        {ibRADStudio15,  L"RAD Studio XE7",                  false, vbRADStudio15},
        {ibRADStudio14,  L"RAD Studio XE6",                  false, vbRADStudio14},
        {ibRADStudio12,  L"RAD Studio XE5",                  false, vbRADStudio12},
        {ibRADStudio11,  L"RAD Studio XE4",                  false, vbRADStudio11},
        {ibRADStudio10,  L"RAD Studio XE3",                  false, vbRADStudio10},
        {ibRADStudio9,   L"RAD Studio XE2",                  false, vbRADStudio9},
        {ibRADStudio8,   L"RAD Studio XE",                   false, vbRADStudio8},
        {ibBDS2010,      L"RAD Studio 2010",                 false, vbBDS2010},
        {ibBDS2009,      L"CodeGear RAD Studio 2009",        false, vbBDS2009},
        {ibDelphi2007,   L"CodeGear RAD Studio 2007",        false, vbDelphi2007},
        {ibBDS2006,      L"Borland Developer Studio 2006",   false, vbBDS2006},
        {ibDelphi9,      L"Delphi 2005",                     false, vbDelphi9},
        {ibDelphi7,      L"Delphi 7",                        false, vbDelphi7},
        {ibDelphi6,      L"Delphi 6",                        false, vbDelphi6},
        {ibDelphi5,      L"Delphi 5",                        false, vbDelphi5},
        {ibDelphi4,      L"Delphi 4",                        false, vbDelphi4},
        {ibDelphi3,      L"Delphi 3",                        false, vbDelphi3},
        {ibHelp,         L"Context help files",              false, 0},
        {ibDemos,        L"Delphi demo projects",            false, 0},
        // clang-format on
    }};
}

void DetectProduct(const TBorlandProduct& p, TDetectedIde& d) {
    d.Exists = ReadRegString(HKEY_LOCAL_MACHINE, p.RegKey, L"RootDir", d.RootDir);
    if (!d.Exists) d.Exists = ReadRegString(HKEY_CURRENT_USER, p.RegKey, L"RootDir", d.RootDir);
    while (!d.RootDir.empty() && d.RootDir.back() == L'\\') d.RootDir.pop_back();
    if (d.Exists) d.Exists = DirectoryExists(d.RootDir);
    if (d.Exists) d.Exists = DirectoryExists(d.RootDir + L"\\bin");
    if (d.Exists) d.Exists = FileExists(d.RootDir + (p.IsDelphi ? L"\\bin\\dcc32.exe" : L"\\bin\\make.exe"));
}

std::array<TBorlandProduct, ProductCount + 1> CatalogueRows = MakeProducts();

}  // namespace

const std::array<TBorlandProduct, ProductCount + 1>& BorlandProducts = CatalogueRows;

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

const TBorlandProduct* ProductRow(int Row) {
    if (Row < 1 || Row > ProductCount) return nullptr;
    return &BorlandProducts[Row];
}

TSelectionList NewSelectionList() { return MakeSelectionItems(); }

TBorlandProduct& CatalogueRowForTests(int Row) { return CatalogueRows.at(static_cast<size_t>(Row)); }

TDetectedIdes DetectProducts() {
    TDetectedIdes detected;
    for (int row = 1; row <= ProductCount; ++row) DetectProduct(BorlandProducts[row], detected[row]);
    return detected;
}

const std::wstring& DetectedRoot(const TDetectedIdes& Detected, int Row) {
    static const std::wstring none;
    return ProductRow(Row) ? Detected[static_cast<size_t>(Row)].RootDir : none;
}

int32_t CheckedInstallVersions(const TSelectionList& Selection) {
    int32_t mask = 0;
    for (const auto& item : Selection)
        if (item.Checked) mask |= item.ProductId;
    return mask;
}

int32_t CheckedInstallItems(const TSelectionList& Selection) {
    int32_t mask = 0;
    for (const auto& item : Selection)
        if (item.Checked) mask |= item.Mask;
    return mask;
}

void ResetCatalogue() {
    CatalogueRows = MakeProducts();
}
