#include "tests/driver/StandInIdeBuilder.h"

#include <utility>
#include <vector>

#include "catalogue/UIdeSettings.h"
#include "catalogue/UProducts.h"
#include "support/UDirTree.h"
#include "support/UPaths.h"
#include "support/URegistry.h"
#include "support/UTextFile.h"
#include "support/WinHandles.h"
#include "tests/driver/TestFiles.h"

namespace cvltest {

namespace {

const TBorlandProduct& Product(int Row) { return BorlandProducts[static_cast<size_t>(Row)]; }

bool Failed(std::wstring& Error, const std::wstring& What) {
    Error = What;
    return false;
}

bool MadeFolder(const std::wstring& Path, std::wstring& Error) {
    const int status = CreateDirectoryPath(Path);
    return status == 0 || Failed(Error, L"cannot create " + Path + L" (error " + std::to_wstring(status) + L")");
}

bool MadeFile(const std::wstring& Path, const std::string& Bytes, std::wstring& Error) {
    return WriteBytesToFile(Path, Bytes) ||
           Failed(Error, L"cannot write " + Path + L" (error " + std::to_wstring(GetLastError()) + L")");
}

// ---------------------------------------------------------------- the bin folder

// The programs of the bin folder: the tools, then the IDE's own.
std::vector<std::wstring> BinPrograms(const StandInIdeLayout& Ide) {
    std::vector<std::wstring> names;
    if (!Ide.Files || !Ide.Bin) return names;
    const std::pair<unsigned, const wchar_t*> tools[] = {
        {ToolDcc32, L"dcc32.exe"}, {ToolDcc64, L"dcc64.exe"}, {ToolMake, L"make.exe"}};
    for (const auto& [tool, name] : tools)
        if (Ide.Tools & tool) names.push_back(name);
    if (Ide.Program) names.push_back(IdeProgramName(Ide.Row));
    return names;
}

// What the program Name is copied from: the program Compilers names, or the file of
// that name in the folder Compilers names; empty for a placeholder.
std::wstring ProgramSource(const StandInIdeLayout& Ide, const std::wstring& Name) {
    if (Ide.Compilers.empty() || !DirectoryExists(Ide.Compilers)) return Ide.Compilers;
    return Ide.Compilers + L"\\" + Name;
}

bool MadeProgram(const StandInIdeLayout& Ide, const std::wstring& Name, std::wstring& Error) {
    const std::wstring target = Ide.Root + L"\\bin\\" + Name, source = ProgramSource(Ide, Name);
    if (source.empty()) return MadeFile(target, "stand-in " + AnsiFromWide(Name) + ": a placeholder, not a program\r\n", Error);
    return CopyFileW(source.c_str(), target.c_str(), FALSE) ||
           Failed(Error, L"cannot copy " + source + L" to " + target + L" (error " + std::to_wstring(GetLastError()) + L")");
}

bool MadeBin(const StandInIdeLayout& Ide, std::wstring& Error) {
    if (!MadeFolder(Ide.Root + L"\\bin", Error)) return false;
    for (const std::wstring& name : BinPrograms(Ide))
        if (!MadeProgram(Ide, name, Error)) return false;
    return true;
}

// ---------------------------------------------------------------- the Help folder

// Text files of the IDE are 8-bit with CR LF line ends.
std::string Lines(const std::vector<std::wstring>& Lines) {
    std::string text;
    for (const std::wstring& line : Lines) text += AnsiFromWide(line) + "\r\n";
    return text;
}

// A help index file with lines of the kind its extension stands for.
std::string HelpFileText(const std::wstring& Name) {
    const size_t dot = Name.rfind(L'.');
    const std::wstring base = Name.substr(0, dot), ext = dot == std::wstring::npos ? L"" : Name.substr(dot);
    if (ext == L".cfg")
        return Lines({L":Base " + base + L".hlp>main", L":Title " + base + L" Help",
                      L":Index Object Pascal Reference=" + base + L"op.hlp",
                      L":Index Visual Component Library=" + base + L"vcl.hlp", L":Link " + base + L"op.hlp",
                      L":Link " + base + L"vcl.hlp"});
    if (ext == L".ohi")
        return Lines({L":Index Object Pascal Reference=" + base + L"op.hlp",
                      L":Index Visual Component Library Reference=" + base + L"vcl.hlp",
                      L":Index Database Reference=" + base + L"db.hlp"});
    if (ext == L".ohl") return Lines({L":Link " + base + L"op.hlp", L":Link " + base + L"vcl.hlp", L":Link " + base + L"db.hlp"});
    if (ext == L".als") return Lines({L"TApplication=TApplication_Object", L"TForm=TForm_Object", L"TDataSet=TDataSet_Object"});
    return Lines({L"; " + Name});
}

bool MadeHelp(const StandInIdeLayout& Ide, std::wstring& Error) {
    const std::wstring help = Ide.Root + L"\\Help\\";
    if (!MadeFolder(Ide.Root + L"\\Help", Error)) return false;
    for (const std::wstring& name : Product(Ide.Row).HelpStr)
        if (!name.empty() && !MadeFile(help + name, HelpFileText(name), Error)) return false;
    // WinHelp's cache of the contents, which help registration deletes.
    const std::wstring& first = Product(Ide.Row).HelpStr[0];
    return first.empty() || MadeFile(help + first.substr(0, first.rfind(L'.')) + L".gid", std::string("GID\0", 4), Error);
}

bool MadeFiles(const StandInIdeLayout& Ide, std::wstring& Error) {
    return MadeFolder(Ide.Root, Error) && (!Ide.Bin || MadeBin(Ide, Error)) && (!Ide.Help || MadeHelp(Ide, Error));
}

// ---------------------------------------------------------------- registry

// The bytes of "RootDir" as a value of Type.
std::vector<BYTE> RootDirBytes(DWORD Type, const std::wstring& Text) {
    if (Type == REG_DWORD) return std::vector<BYTE>(sizeof(DWORD), 0);
    std::wstring data = Text;
    if (Type != REG_BINARY) data += L'\0';
    if (Type == REG_MULTI_SZ) data += L'\0';
    const BYTE* bytes = reinterpret_cast<const BYTE*>(data.data());
    return std::vector<BYTE>(bytes, bytes + data.size() * sizeof(wchar_t));
}

bool KeyIsEmpty(HKEY Hive, const std::wstring& Key, REGSAM View) {
    brd::UniqueKey key;
    if (RegOpenKeyExW(Hive, Key.c_str(), 0, KEY_READ | View, key.put()) != ERROR_SUCCESS) return false;
    DWORD subKeys = 1, values = 1;
    const LONG status = RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values,
                                         nullptr, nullptr, nullptr, nullptr);
    return status == ERROR_SUCCESS && subKeys == 0 && values == 0;
}

struct TUserValue {
    const wchar_t* SubKey;
    const wchar_t* Name;
    const wchar_t* Data;
};

// The library search path an IDE starts with, per platform where it has two, and
// the C++ library paths of the latter.
const wchar_t* const OnePlatformSearchPath = L"$(DELPHI)\\Lib;$(DELPHI)\\Bin";
const TUserValue TwoPlatformValues[] = {
    {L"\\Library\\Win32", L"Search Path", L"$(BDSLIB)\\$(Platform)\\release"},
    {L"\\Library\\Win64", L"Search Path", L"$(BDSLIB)\\$(Platform)\\release"},
    {L"\\C++\\Paths\\Win32", L"LibraryPath", L"$(BDSLIB)\\win32\\release"},
    {L"\\C++\\Paths\\Win64", L"LibraryPath", L"$(BDSLIB)\\win64\\release"},
};

// The C++ paths and options of the BDS IDEs with one platform.
struct TRowValue {
    int FirstRow, LastRow;
    TUserValue Value;
};
// clang-format off
const TRowValue OnePlatformRowValues[] = {
    {prBDS2006,    prBDS2006,    {L"\\CppPaths", L"SearchPath", L"$(BDS)\\include"}},
    {prDelphi2007, prRADStudio8, {L"\\C++\\Paths", L"SearchPath", L"$(BDS)\\include"}},
    {prDelphi2007, prRADStudio8, {L"\\C++\\Paths", L"LibraryPath", L"$(BDS)\\lib"}},
    {prDelphi2007, prBDS2010,    {GlobalsSubKey, ForceEnvOptionsUpdateValue, L"0"}},
};
// clang-format on

bool WroteUserValue(const std::wstring& Key, const std::wstring& Name, const std::wstring& Data, std::wstring& Error) {
    return WriteRegString(HKEY_CURRENT_USER, Key, Name, Data) ||
           Failed(Error, L"cannot write HKCU\\" + Key + L"\\" + Name);
}

// The user's settings an IDE has once it has been run: a "Known Packages" key with
// one standard package and the library search path; for the BDS family also the
// C++ search and library paths.
bool WroteSettings(const StandInIdeLayout& Ide, std::wstring& Error) {
    const TBorlandProduct& product = Product(Ide.Row);
    if (!WroteUserValue(product.RegKey + KnownPackagesSubKey, Ide.Root + L"\\bin\\dclstd.bpl", L"Standard Components",
                        Error))
        return false;
    if (product.Is32and64) {
        for (const TUserValue& v : TwoPlatformValues)
            if (!WroteUserValue(product.RegKey + v.SubKey, v.Name, v.Data, Error)) return false;
        return true;
    }
    if (!WroteUserValue(LibraryKey(product, TLibraryPlatform::Win32), LibraryValueName(Ide.Row), OnePlatformSearchPath,
                        Error))
        return false;
    for (const TRowValue& r : OnePlatformRowValues)
        if (Ide.Row >= r.FirstRow && Ide.Row <= r.LastRow &&
            !WroteUserValue(product.RegKey + r.Value.SubKey, r.Value.Name, r.Value.Data, Error))
            return false;
    return true;
}

// A row of the catalogue and a root these functions may touch.
bool Acceptable(const StandInIdeLayout& Ide, std::wstring& Error) {
    if (Ide.Row < 1 || Ide.Row > ProductCount) return Failed(Error, L"no catalogue row " + std::to_wstring(Ide.Row));
    const std::wstring wrongRoot = CheckStandInRoot(Ide);
    return wrongRoot.empty() || Failed(Error, L"the root " + wrongRoot + L" (" + Ide.Root + L")");
}

}  // namespace

unsigned DefaultTools(int Row) { return ToolDcc32 | ToolMake | (Product(Row).Is32and64 ? ToolDcc64 : 0u); }

std::wstring IdeProgramName(int Row) {
    if (!Product(Row).IsDelphi) return L"bcb.exe";
    return Row <= prDelphi7 ? L"delphi32.exe" : L"bds.exe";
}

StandInIdeLayout::StandInIdeLayout(int Row, std::wstring Root) : Row(Row), Root(std::move(Root)), Tools(DefaultTools(Row)) {}

std::wstring CheckStandInRoot(const StandInIdeLayout& Ide) {
    const std::wstring& root = Ide.Root;
    if (root.size() < 4 || (root[0] != L'C' && root[0] != L'c') || root.compare(1, 2, L":\\") != 0 || root[3] == L'\\')
        return L"must name a folder on drive C:";
    for (size_t start = 3; start <= root.size();) {
        size_t end = root.find(L'\\', start);
        if (end == std::wstring::npos) end = root.size();
        const std::wstring part = root.substr(start, end - start);
        if (part.empty() || part == L"." || part == L"..") return L"must be a plain path";
        start = end + 1;
    }
    return L"";
}

std::wstring CheckStandInPrograms(const StandInIdeLayout& Ide) {
    if (!Ide.Compilers.empty() && !PathExists(Ide.Compilers)) return L"no folder or file " + Ide.Compilers;
    for (const std::wstring& name : BinPrograms(Ide)) {
        const std::wstring source = ProgramSource(Ide, name);
        if (!source.empty() && !FileExists(source)) return L"no " + name + L" in " + Ide.Compilers;
    }
    return L"";
}

bool BuildStandInIde(const StandInIdeLayout& Ide, std::wstring& Error) {
    if (!Acceptable(Ide, Error)) return false;
    const std::wstring missing = CheckStandInPrograms(Ide);
    if (!missing.empty()) return Failed(Error, missing);
    if (Ide.Files && !MadeFiles(Ide, Error)) return false;
    if (Ide.Registry && !WriteRootDir(Ide.Hive, Ide.Row, Ide.Type, Ide.RootDir.empty() ? Ide.Root : Ide.RootDir))
        return Failed(Error, L"cannot write \"RootDir\" of " + Product(Ide.Row).RegKey);
    return !Ide.Settings || WroteSettings(Ide, Error);
}

bool RemoveStandInIde(const StandInIdeLayout& Ide, std::wstring& Error) {
    if (!Acceptable(Ide, Error)) return false;
    RemoveRootDir(Ide.Hive, Product(Ide.Row).RegKey);
    const uint32_t status = DeleteDirTree(Ide.Root, false);
    return status == 0 || status == ddDirNotFound || Failed(Error, L"cannot delete " + Ide.Root);
}

bool WriteRootDir(HKEY Hive, int Row, DWORD Type, const std::wstring& Text) {
    brd::UniqueKey key;
    if (RegCreateKeyExW(Hive, Product(Row).RegKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS)
        return false;
    const std::vector<BYTE> bytes = RootDirBytes(Type, Text);
    return RegSetValueExW(key.get(), L"RootDir", 0, Type, bytes.data(), static_cast<DWORD>(bytes.size())) ==
           ERROR_SUCCESS;
}

void RemoveRootDir(HKEY Hive, std::wstring Key, REGSAM View) {
    {
        brd::UniqueKey key;
        if (RegOpenKeyExW(Hive, Key.c_str(), 0, KEY_SET_VALUE | View, key.put()) == ERROR_SUCCESS)
            RegDeleteValueW(key.get(), L"RootDir");
    }
    while (Key.find(L'\\') != std::wstring::npos && KeyIsEmpty(Hive, Key, View)) {
        RegDeleteKeyExW(Hive, Key.c_str(), View, 0);
        Key.resize(Key.rfind(L'\\'));
    }
}

}  // namespace cvltest
