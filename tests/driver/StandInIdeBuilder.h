// Stand-in IDE installations, made the way the setup program finds and uses them:
// the IDE's registry key with "RootDir" (in the 32-bit view of either hive), the
// root folder, bin\ with the command-line compilers and Help\ with the IDE's help
// index files; on request the user settings of an IDE that has been run and the
// IDE's own program. What an IDE has comes from the program's own catalogue
// (catalogue/UProducts). The unit tests build their stand-ins with it
// (tests/unit/StandInIde.h), the end-to-end machines through mkide.exe, which
// tools/make-ide.sh runs.
#pragma once

#include <windows.h>

#include <string>

namespace cvltest {

// The tools of an IDE's bin folder.
enum StandInTools : unsigned { ToolDcc32 = 1,
                               ToolDcc64 = 2,
                               ToolMake = 4,
                               AllTools = 7 };

// dcc32.exe and make.exe, and dcc64.exe where the IDE has 32- and 64-bit platforms.
unsigned DefaultTools(int Row);

// The file name of the IDE's own program: delphi32.exe (Delphi 3 to 7), bcb.exe
// (C++Builder) or bds.exe (Delphi 2005 on).
std::wstring IdeProgramName(int Row);

// One stand-in installation of catalogue row Row.
struct StandInIdeLayout {
    StandInIdeLayout(int Row, std::wstring Root);

    int Row;
    // clang-format off
    std::wstring Root;          // the folder, a full path on drive C: (not the drive itself)
    std::wstring RootDir;       // the text stored as "RootDir"; empty: Root
    // clang-format on
    HKEY Hive = HKEY_LOCAL_MACHINE;
    // REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_DWORD (stores 0) or REG_BINARY (the
    // text's UTF-16 bytes).
    DWORD Type = REG_SZ;
    // A folder to copy the tools and the program from, or one program to copy as each
    // of them; empty: placeholders (detection only checks that they exist).
    std::wstring Compilers;
    // clang-format off
    unsigned Tools;             // DefaultTools(Row)
    bool Registry = true;       // "RootDir"
    bool Files = true;          // the root and the folders below
    bool Bin = true;            // bin\ with Tools
    bool Help = true;           // Help\ with the help index files
    bool Settings = false;      // the user settings of an IDE that has been run (below HKCU)
    bool Program = false;       // the IDE's own program in bin\ (see Compilers)
    // clang-format on
};

// Empty when Ide's Root is a folder these functions may make and delete, else why not.
std::wstring CheckStandInRoot(const StandInIdeLayout& Ide);

// Empty when the programs Ide's bin folder gets can be made, else which is missing.
std::wstring CheckStandInPrograms(const StandInIdeLayout& Ide);

// Makes the stand-in. False, with Error saying what failed, when a part could not be made.
bool BuildStandInIde(const StandInIdeLayout& Ide, std::wstring& Error);

// Deletes "RootDir" from Ide's key in Ide.Hive (the key too, and its parents, when
// nothing else is left in them) and the folder Ide.Root.
bool RemoveStandInIde(const StandInIdeLayout& Ide, std::wstring& Error);

// Stores Text as "RootDir" of catalogue row Row with the value type Type (see
// StandInIdeLayout::Type), in the 32-bit view of Hive.
bool WriteRootDir(HKEY Hive, int Row, DWORD Type, const std::wstring& Text);

// Deletes "RootDir" below Key, then the key and every parent this leaves empty, up
// to but not including the key directly below the root. What others keep in the
// IDE's key (packages, library paths) stays.
void RemoveRootDir(HKEY Hive, std::wstring Key, REGSAM View = KEY_WOW64_32KEY);

}  // namespace cvltest
