// mkuninstlog.exe: makes an installation for the uninstaller's end-to-end tests,
// inside the Wine machine it runs in.
//
//   prepare       the machine before any installation: two IDEs (Delphi 7 and
//                 RAD Studio XE2) with their keys, search paths and help files
//   install DIR   a small installation into DIR: its effects on files and registry,
//                 and its uninstall log DIR\uninst.log written by the real writer
//   registry      prints the registry keys an installation touches, with all their
//                 subkeys and values, for before-and-after comparisons
//   version FILE  prints the product version of FILE as the setup program reads it
//   hold FILE READY STOP
//                 holds FILE open without sharing: writes READY once it does, and
//                 lets go when STOP appears (at the latest after a minute)
//
// The installation does what the script's rows do, in a simplified way; the log
// records are exactly those the engine writes for such rows.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

#include "catalogue/UDirCodes.h"
#include "catalogue/UIdeSettings.h"
#include "catalogue/UProducts.h"
#include "script/UScriptItems.h"
#include "script/UUndoRecord.h"
#include "support/UConst.h"
#include "support/UDirTree.h"
#include "support/UPaths.h"
#include "support/UProduct.h"
#include "support/URegistry.h"
#include "support/UTextFile.h"
#include "support/UVersionInfo.h"
#include "support/WinHandles.h"
#include "tests/driver/StandInIdeBuilder.h"
#include "tests/driver/TestFiles.h"
#include "tests/driver/Utf8Output.h"
#include "uninstall/UBinLog.h"
#include "uninstall/UnDo.h"

namespace {

constexpr uint32_t L = ifLogUndo;
constexpr uint32_t K = ifLogUndo | ifKeepOnPartial;
constexpr uint32_t HKLMCode = 0x80000002;
// What the help registration batch file writes, and its unregistration removes.
inline constexpr const wchar_t* HelpKey = L"Software\\Brindlecraft\\Corvane library\\Help";
inline constexpr const wchar_t* D7Key = L"Software\\Borland\\Delphi\\7.0";
inline constexpr const wchar_t* XE2Key = L"Software\\Embarcadero\\BDS\\9.0";

const TScriptTarget SystemCopy{L"cvl70.bpl", dcSystem};

// clang-format off
const TScriptItem Rows[] = {
    // TypeId                        Name                                              Code            Dir
    {itLogConst | L,                 nullptr,                                          hcProductName,   0,         nullptr, nullptr, 0, 0, nullptr},
    {itLogConst | L,                 nullptr,                                          hcProductVersion,0,         nullptr, nullptr, 0, 0, nullptr},
    {itLogConst | L,                 nullptr,                                          hcProductType,   0,         nullptr, nullptr, 0, 0, nullptr},
    {itLogConst | L,                 nullptr,                                          hcInstallDir,    0,         nullptr, nullptr, 0, 0, nullptr},
    {itLogConst | L,                 nullptr,                                          hcProductRegKey, 0,         nullptr, nullptr, 0, 0, nullptr},
    {itLogConst | L,                 nullptr,                                          hcUninstallKey,  0,         nullptr, nullptr, 0, 0, nullptr},
    {itLogConst | L,                 nullptr,                                          hcReadBackward,  0,         nullptr, nullptr, 0, 0, nullptr},
    {itCreateDir | L,                L"",                                              0,               dcRoot,    nullptr, nullptr, 0, 0, nullptr},
    {itCreateDir | L,                L"Source",                                        0,               dcRoot,    nullptr, nullptr, 0, 0, nullptr},
    {itCopyResource,                 L"Source\\cvl.inc",                               1,               dcRoot,    nullptr, nullptr, 0, 0, nullptr},
    {itCopyResource,                 L"Source\\cvlold.pas",                            2,               dcRoot,    nullptr, nullptr, 0, 0, nullptr},
    {itCreateDir | L,                L"Help",                                          0,               dcRoot,    nullptr, nullptr, 0, 0, nullptr},
    {itCopyResource,                 L"Help\\cvlib.hlp",                               61,              dcRoot,    nullptr, nullptr, 0, 0, nullptr},
    {itCopyResource,                 L"Help\\help_unreg.bat",                          62,              dcRoot,    nullptr, nullptr, 0, 0, nullptr},
    {itSetHelpDir,                   L"Help",                                          0,               dcRoot,    nullptr, nullptr, 0, 0, nullptr},
    {itRegisterWinHelp | L,          L"cvlib.hlp",                                     0,               0,         nullptr, nullptr, 0, 0, nullptr},
    {itRegisterHelp | L,             L"help\\help_reg.bat",                            0,               0,         nullptr, nullptr, 0, 0, nullptr},
    {itCopyResourceIfAbsent | K,     L"cvTempls.ini",                                  29,              dcWindows, nullptr, nullptr, 0, 0, nullptr},
    {itRegisterUninstall | L,        L"unbrd.exe",                                     0,               dcRoot,    nullptr, nullptr, 0, 0, nullptr},
    // Delphi 7
    {itSetIde | L,                   L"Delphi7",                                       9,               0,         nullptr, nullptr, 0, 0, nullptr},
    {itCreateDir | L,                L"Delphi7",                                       0,               dcRoot,    nullptr, nullptr, 0, 0, nullptr},
    {itCopyResource,                 L"Delphi7\\cvl70.bpl",                            852,             dcRoot,    nullptr, nullptr, 0, 0, nullptr},
    {itCopyFile | L,                 L"Delphi7\\cvl70.bpl",                            0,               dcRoot,    nullptr, nullptr, 0, 0, &SystemCopy},
    {itCopyResource,                 L"Delphi7\\dclcvl70.bpl",                         856,             dcRoot,    nullptr, nullptr, 0, 0, nullptr},
    {itRegisterPackage | L,          L"Delphi7\\dclcvl70.bpl",                         0,               dcRoot,    nullptr, nullptr, 0, 0, nullptr},
    {itModifyFile | L,               L"\r\n:Index Corvane library components=cvlib.hlp", 1,             dcIdeHelp, nullptr, nullptr, 0, 0, nullptr},
    {itModifyFile | L,               L"\r\n:Link cvlib.hlp",                           2,               dcIdeHelp, nullptr, nullptr, 0, 0, nullptr},
    {itDeleteFile | L,               L"Help\\d7.gid",                                  0,               dcIdeRoot, nullptr, nullptr, 0, 0, nullptr},
    {itSetIde | L,                   L"Delphi7",                                       9,               0,         nullptr, nullptr, 0, 0, nullptr},
    // RAD Studio XE2: settings per platform
    {itSetIde | L,                   L"RADStudio9",                                    16,              0,         nullptr, nullptr, 0, 0, nullptr},
    {itCreateDir | L,                L"RADStudio9",                                    0,               dcRoot,    nullptr, nullptr, 0, 0, nullptr},
    {itCreateDir | L,                L"RADStudio9\\Win32",                             0,               dcRoot,    nullptr, nullptr, 0, 0, nullptr},
    {itCreateDir | L,                L"RADStudio9\\Win64",                             0,               dcRoot,    nullptr, nullptr, 0, 0, nullptr},
    {itCopyResource,                 L"RADStudio9\\Win32\\dclcvl160.bpl",              1506,            dcRoot,    nullptr, nullptr, 0, 0, nullptr},
    {itRegisterPackage | L,          L"RADStudio9\\Win32\\dclcvl160.bpl",              0,               dcRoot,    nullptr, nullptr, 0, 0, nullptr},
    {itAddIdePath | L,               L"\\C++\\Paths\\Win32\\LibraryPath",              3,               0,         nullptr, nullptr, 0, 0, nullptr},
    {itAddIdePath | L,               L"\\Library\\Win32\\Search Path",                 3,               0,         nullptr, nullptr, 0, 0, nullptr},
    {itAddIdePath | L,               L"\\Library\\Win64\\Search Path",                 4,               0,         nullptr, nullptr, 0, 0, nullptr},
    {itSetIde | L,                   L"RADStudio9",                                    16,              0,         nullptr, nullptr, 0, 0, nullptr},
    {itDeleteFile | L,               L"Source\\cvlold.pas",                            0,               dcRoot,    nullptr, nullptr, 0, 0, nullptr},
    {itCreateRegKey | K,             ProductKey,                                       HKLMCode,        0,         nullptr, nullptr, 0, 0, nullptr},
};
// clang-format on

void WriteText(const std::wstring& path, const std::string& text) { cvltest::WriteBytesToFile(path, text); }

void AppendText(const std::wstring& path, const std::string& text) {
    cvltest::WriteBytesToFile(path, text, OPEN_EXISTING);
}

// The adding side of a search path, as the registration does it: whole entries
// only, never twice.
void AddIdePathEntry(const std::wstring& key, const std::wstring& name, const std::wstring& entry) {
    std::wstring value;
    ReadRegString(HKEY_CURRENT_USER, key, name, value);
    AddPathEntry(key, name, value, entry);
}

void RunRow(const TScriptItem& row, TRunContext& run) {
    const std::wstring path = PathJoin(DirCodeToPath(row.Dir, run), row.Name ? row.Name : L"");
    const TBorlandProduct* ide = ProductRow(run.Ide.Row);
    switch (ItemType(row)) {
        case itCreateDir: CreateDirectoryPath(path); break;
        case itCopyResource:
        case itCopyResourceIfAbsent:
            if (row.Code == 62)
                WriteText(path, "@echo off\r\nreg delete \"HKLM\\" + AnsiFromWide(HelpKey) + "\" /f /reg:32 >nul 2>&1\r\n");
            else
                WriteText(path, "payload " + std::to_string(row.Code) + "\r\n");
            break;
        case itCopyFile: CopyFileW(path.c_str(), PathJoin(DirCodeToPath(row.Target->Dir, run), row.Target->Name).c_str(), FALSE); break;
        case itDeleteFile: DeleteFileW(path.c_str()); break;
        case itSetIde: run.Ide = IdeBlock(static_cast<int32_t>(row.Code), row.Name, run); break;
        case itSetHelpDir: run.HelpDir = path; break;
        case itRegisterWinHelp: WriteRegString(HKEY_LOCAL_MACHINE, WindowsHelpKey, row.Name, run.HelpDir); break;
        case itRegisterHelp: WriteRegString(HKEY_LOCAL_MACHINE, HelpKey, L"Collection", run.HelpDir + L"\\cvl.hxs"); break;
        case itRegisterUninstall:
            WriteRegString(HKEY_LOCAL_MACHINE, UninstallEntry, ValDisplayName, L"Brindlecraft Corvane library v4.07");
            WriteRegString(HKEY_LOCAL_MACHINE, UninstallEntry, ValUninstallString,
                           QuoteIfBlank(PathJoin(run.InstallDir, L"unbrd.exe")) + L" " +
                               QuoteIfBlank(PathJoin(run.InstallDir, L"uninst.log")));
            break;
        case itRegisterPackage: {
            WriteRegString(HKEY_CURRENT_USER, ide->RegKey + KnownPackagesSubKey, path,
                           L"Trial Delphi version of Corvane library v4.07");
            AddIdePathEntry(LibraryKey(*ide, TLibraryPlatform::Win32), LibraryValueName(run.Ide.Row), PackageFolder(path));
            break;
        }
        case itAddIdePath: {
            std::wstring key, name;
            if (SplitIdeValuePath(*ide, row.Name, key, name))
                AddIdePathEntry(key, name, SearchPathLocation(static_cast<uint8_t>(row.Code), run));
            break;
        }
        case itModifyFile: AppendText(PathJoin(DirCodeToPath(row.Dir, run), ide->HelpStr[row.Code - 1]), AnsiFromWide(row.Name)); break;
        case itCreateRegKey:
            CreateRegKey(HKEY_LOCAL_MACHINE, row.Name);
            WriteRegString(HKEY_LOCAL_MACHINE, row.Name, ValRootDir, run.InstallDir);
            WriteRegString(HKEY_LOCAL_MACHINE, row.Name, ValVersion, ProductVersion);
            break;
        default: break;
    }
}

int Install(const std::wstring& dir) {
    const TDetectedIdes detected = DetectProducts();
    TRunContext run = RunContextIn(dir);
    run.Detected = &detected;
    brd::UniqueFile log;
    if (BinLogOpen(log, dir) != 0) return 2;
    for (const TScriptItem& row : Rows) {
        RunRow(row, run);
        if (row.TypeId & ifLogUndo) BinLogAddItem(log, row, run);
    }
    BinLogClose(log);
    return 0;
}

// A stand-in IDE with dcc32.exe and an empty help folder.
bool MakeIde(int row, const std::wstring& root) {
    cvltest::StandInIdeLayout ide(row, root);
    ide.Tools = cvltest::ToolDcc32;
    ide.Help = false;
    std::wstring error;
    return cvltest::BuildStandInIde(ide, error) && CreateDirectoryPath(root + L"\\Help") == 0;
}

int Prepare() {
    const std::wstring d7 = D7Key, xe2 = XE2Key;
    if (!MakeIde(prDelphi7, L"C:\\IDE\\Delphi7") || !MakeIde(prRADStudio9, L"C:\\IDE\\XE2")) return 2;
    WriteText(L"C:\\IDE\\Delphi7\\Help\\d7.ohi", ":Index Delphi=delphi7.hlp\r\n:Index VCL=vcl7.hlp");
    WriteText(L"C:\\IDE\\Delphi7\\Help\\d7.ohl", ":Link delphi7.hlp");
    WriteRegString(HKEY_CURRENT_USER, d7 + L"\\Known Packages", L"C:\\IDE\\Delphi7\\bin\\dclstd70.bpl", L"Standard");
    WriteRegString(HKEY_CURRENT_USER, d7 + L"\\Library", L"Search Path", L"$(DELPHI)\\Lib;c:\\lib;c:\\lib2");

    WriteRegString(HKEY_CURRENT_USER, xe2 + L"\\Known Packages", L"$(BDS)\\bin\\dclstd160.bpl", L"Standard");
    WriteRegString(HKEY_CURRENT_USER, xe2 + L"\\Library\\Win32", L"Search Path", L"$(BDSLIB)\\$(Platform)\\release");
    WriteRegString(HKEY_CURRENT_USER, xe2 + L"\\Library\\Win64", L"Search Path", L"");
    WriteRegString(HKEY_CURRENT_USER, xe2 + L"\\C++\\Paths\\Win32", L"LibraryPath", L"$(BDSLIB)\\win32\\release");

    WriteRegString(HKEY_LOCAL_MACHINE, WindowsHelpKey, L"other.hlp", L"C:\\Other");
    return 0;
}

// ---------------------------------------------------------------- registry listing

void Print(const std::wstring& text) { PrintUtf8(text); }

std::wstring ValueText(DWORD type, const std::vector<BYTE>& data, DWORD size) {
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0') text.pop_back();
        return L"\"" + text + L"\"";
    }
    std::wstring hex = L"type " + std::to_wstring(type) + L":";
    wchar_t byte[4];
    for (DWORD i = 0; i < size; ++i) {
        swprintf(byte, 4, L"%02x", data[i]);
        hex += byte;
    }
    return hex;
}

void ListKey(HKEY root, const std::wstring& rootName, const std::wstring& path) {
    brd::UniqueKey key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | RegView, key.put()) != ERROR_SUCCESS) return;
    Print(L"[" + rootName + L"\\" + path + L"]\n");
    std::vector<wchar_t> name(16384);
    std::vector<BYTE> data(65536);
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size()), size = static_cast<DWORD>(data.size()), type = 0;
        if (RegEnumValueW(key.get(), i, name.data(), &nameLength, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) break;
        Print(L"  " + std::wstring(name.data(), nameLength) + L" = " + ValueText(type, data, size) + L"\n");
    }
    std::vector<std::wstring> subKeys;
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        if (RegEnumKeyExW(key.get(), i, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        subKeys.emplace_back(name.data(), nameLength);
    }
    key.reset();
    for (const std::wstring& sub : subKeys) ListKey(root, rootName, path + L"\\" + sub);
}

int ListRegistry() {
    _setmode(_fileno(stdout), _O_BINARY);
    for (const wchar_t* key : {D7Key, XE2Key}) ListKey(HKEY_CURRENT_USER, L"HKCU", key);
    for (const wchar_t* key : {D7Key, XE2Key, L"Software\\Brindlecraft", WindowsHelpKey,
                               L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"})
        ListKey(HKEY_LOCAL_MACHINE, L"HKLM", key);
    return 0;
}

int Hold(const std::wstring& file, const std::wstring& ready, const std::wstring& stop) {
    brd::UniqueFile held(CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!held) return 2;
    WriteText(ready, "held\r\n");
    for (int i = 0; i < 1200 && GetFileAttributesW(stop.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(50);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"prepare") return Prepare();
    if (mode == L"install" && argc > 2) return Install(argv[2]);
    if (mode == L"registry") return ListRegistry();
    if (mode == L"hold" && argc > 4) return Hold(argv[2], argv[3], argv[4]);
    if (mode == L"version" && argc > 2) {
        uint32_t ms = 0, ls = 0;
        if (!GetProductVersion(argv[2], ms, ls)) return 2;
        printf("%u.%u.%u.%u", ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF);
        return 0;
    }
    return 1;
}
