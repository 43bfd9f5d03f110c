// detectprobe.exe: runs the IDE detection inside a Wine machine and prints one line
// per catalogue row, as UTF-8 with LF line ends:
//
//   row<TAB>Name<TAB>Exists (0|1)<TAB>RootDir
//
// With "help" as its argument it prints instead, for every row, the help index file
// names (row<TAB>name), so that a test can check a stand-in IDE against the table.
#include <windows.h>

#include "tests/driver/Utf8Output.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

#include "catalogue/UProducts.h"

namespace {

void PrintDetection() {
    const TDetectedIdes detected = DetectProducts();
    for (int row = 1; row <= ProductCount; ++row) {
        const TBorlandProduct& p = BorlandProducts[row];
        const TDetectedIde& d = detected[static_cast<size_t>(row)];
        PrintUtf8(std::to_wstring(row) + L"\t" + p.Name + L"\t" + (d.Exists ? L"1" : L"0") + L"\t" + d.RootDir + L"\n");
    }
}

void PrintHelpFiles() {
    for (int row = 1; row <= ProductCount; ++row)
        for (const std::wstring& name : BorlandProducts[row].HelpStr)
            if (!name.empty()) PrintUtf8(std::to_wstring(row) + L"\t" + name + L"\n");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // LF line ends, as documented
    if (argc > 1 && std::wstring(argv[1]) == L"help")
        PrintHelpFiles();
    else
        PrintDetection();
    fflush(stdout);
    return 0;
}
