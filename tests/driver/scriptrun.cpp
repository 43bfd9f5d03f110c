// scriptrun.exe: runs the whole install script through TScript exactly as the
// progress page does, without the wizard, for engine-level end-to-end tests.
//
//   scriptrun INSTALLDIR VERSIONS ITEMS [/C] [/record] [/stopat:N] [/compiletimeout MS]
//
// VERSIONS and ITEMS are the environment and item masks (0x... allowed). The IDEs
// are detected first; a detected IDE whose bit is in VERSIONS counts as chosen. /C
// runs copy-only, /record also writes the installation record as the Finish page
// does. /stopat:N ends the process the hard way, as a kill does, just before row N
// runs: nothing is closed or finished. Every failing row is printed as
// "row N: error X type Y: text"; the exit status is the number of failing rows (at
// most 255). What the engine adds to a row's error (a compiler's last output lines)
// follows the row, indented by four blanks. /compiletimeout shortens the compile
// wait of this test program.
#include <windows.h>

#include "tests/driver/Utf8Output.h"

#include <cstdio>
#include <cwchar>
#include <string>

#include "catalogue/UInstallRecord.h"
#include "catalogue/UProducts.h"
#include "script/UScript.h"
#include "tests/driver/TestCompileTimeout.h"
#include "support/UConst.h"

namespace {

int StopAtRow = -1;

// A compiler's report below its row, every line indented by four blanks.
void PrintIndented(const std::wstring& Report) {
    size_t start = 0;
    while (start < Report.size()) {
        size_t end = Report.find(L"\r\n", start);
        if (end == std::wstring::npos) end = Report.size();
        if (end > start) PrintUtf8(L"    " + Report.substr(start, end - start) + L"\n");
        start = end + 2;
    }
}

int RunScript(const TInstallPlan& plan) {
    int failures = 0;
    TScript script(plan);
    script.Start();
    std::wstring status;
    while (script.Current < script.Count()) {
        if (script.Current == StopAtRow) TerminateProcess(GetCurrentProcess(), 99);
        script.ItemText(status);
        int32_t error = script.ItemDoScript();
        if (error != 0) {
            wchar_t head[128];
            swprintf(head, 128, L"row %d: error %X type %X: ", script.Current, static_cast<unsigned>(error),
                     static_cast<unsigned>(ScriptItems[script.Current].TypeId));
            PrintUtf8(head + script.LogString() + L"\n");
            PrintIndented(script.CompilerReport());
            ++failures;
        }
        script.Current += script.ItemProgressStep();
    }
    return failures;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        PrintUtf8(L"usage: scriptrun INSTALLDIR VERSIONS ITEMS [/C] [/record] [/stopat:N] [/compiletimeout MS]\n");
        return 255;
    }
    TInstallPlan plan;
    plan.Dir = argv[1];
    plan.Versions = static_cast<int32_t>(wcstoul(argv[2], nullptr, 0));
    plan.Items = static_cast<int32_t>(wcstoul(argv[3], nullptr, 0));
    bool record = false;
    for (int i = 4; i < argc; ++i) {
        if (_wcsicmp(argv[i], L"/C") == 0) plan.CopyOnly = true;
        if (_wcsicmp(argv[i], L"/record") == 0) record = true;
        if (_wcsnicmp(argv[i], L"/stopat:", 8) == 0) StopAtRow = static_cast<int>(wcstol(argv[i] + 8, nullptr, 10));
        if (_wcsicmp(argv[i], L"/compiletimeout") == 0 && i + 1 < argc)
            TestCompileTimeoutMs = static_cast<uint32_t>(wcstoul(argv[++i], nullptr, 0));
    }
    DetectProducts();
    for (int row = 1; row <= ProductCount; ++row) {
        TDetectedIde& ide = DetectedIdes[static_cast<size_t>(row)];
        ide.Selected = ide.Exists && (BorlandProducts[row].InternalId & plan.Versions) != 0;
    }
    int failures = RunScript(plan);
    if (record && !WriteInstallRecord(CurrentInstallRecord(plan))) {
        PrintUtf8(L"the installation record could not be written\n");
        ++failures;
    }
    return failures > 255 ? 255 : failures;
}
