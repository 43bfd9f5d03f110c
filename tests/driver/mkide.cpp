// mkide.exe: builds stand-in IDE installations inside the Wine machine it runs in
// (tests/driver/StandInIdeBuilder.h), for tools/make-ide.sh, whose options it takes
// (all but --prefix and --help; paths are Windows paths of the machine):
//
//   mkide [options for all IDEs] --row N --root 'C:\...' [options] [--row N ...]
//   mkide --list
//
// Everything is checked before anything is made. Exit status 0, or 2 with the
// reason on standard error.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cwchar>
#include <string>
#include <vector>

#include "catalogue/UProducts.h"
#include "tests/driver/StandInIdeBuilder.h"
#include "tests/driver/Utf8Output.h"

using namespace cvltest;

namespace {

// One --row and the options that apply to it.
struct IdeRequest {
    StandInIdeLayout Layout{1, L""};
    unsigned LeftOut = 0;  // tools named by --no-dcc32, --no-dcc64, --no-make
    bool Remove = false;
};

bool TakesValue(const std::wstring& Option) {
    return Option == L"--row" || Option == L"--root" || Option == L"--hive" || Option == L"--type" ||
           Option == L"--compilers";
}

bool Refused(std::wstring& Why, const std::wstring& Reason) {
    Why = Reason;
    return false;
}

bool RowNumber(const std::wstring& Text, int& Row, std::wstring& Why) {
    wchar_t* end = nullptr;
    const long row = wcstol(Text.c_str(), &end, 10);
    if (Text.empty() || *end != L'\0' || row < 1 || row > ProductCount)
        return Refused(Why, L"no catalogue row " + Text + L" (1.." + std::to_wstring(ProductCount) + L")");
    Row = static_cast<int>(row);
    return true;
}

bool HiveNamed(const std::wstring& Name, HKEY& Hive, std::wstring& Why) {
    if (Name == L"HKLM" || Name == L"HKCU") {
        Hive = Name == L"HKLM" ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
        return true;
    }
    return Refused(Why, L"--hive must be HKLM or HKCU");
}

bool TypeNamed(const std::wstring& Name, DWORD& Type, std::wstring& Why) {
    const std::pair<const wchar_t*, DWORD> types[] = {{L"REG_SZ", REG_SZ},
                                                      {L"REG_EXPAND_SZ", REG_EXPAND_SZ},
                                                      {L"REG_MULTI_SZ", REG_MULTI_SZ},
                                                      {L"REG_DWORD", REG_DWORD},
                                                      {L"REG_BINARY", REG_BINARY}};
    for (const auto& [name, type] : types) {
        if (Name == name) {
            Type = type;
            return true;
        }
    }
    return Refused(Why, L"unsupported --type " + Name);
}

// Applies one option (with its value) to Request.
bool Apply(IdeRequest& Request, const std::wstring& Option, const std::wstring& Value, std::wstring& Why) {
    StandInIdeLayout& layout = Request.Layout;
    if (Option == L"--row") return RowNumber(Value, layout.Row, Why);
    if (Option == L"--hive") return HiveNamed(Value, layout.Hive, Why);
    if (Option == L"--type") return TypeNamed(Value, layout.Type, Why);
    if (Option == L"--root")
        layout.RootDir = Value;
    else if (Option == L"--compilers")
        layout.Compilers = Value;
    else if (Option == L"--no-dcc32")
        Request.LeftOut |= ToolDcc32;
    else if (Option == L"--no-dcc64")
        Request.LeftOut |= ToolDcc64;
    else if (Option == L"--no-make")
        Request.LeftOut |= ToolMake;
    else if (Option == L"--no-bin")
        layout.Bin = false;
    else if (Option == L"--no-help")
        layout.Help = false;
    else if (Option == L"--no-files")
        layout.Files = false;
    else if (Option == L"--no-registry")
        layout.Registry = false;
    else if (Option == L"--settings")
        layout.Settings = true;
    else if (Option == L"--program")
        layout.Program = true;
    else if (Option == L"--remove")
        Request.Remove = true;
    else
        return Refused(Why, L"unknown argument: " + Option);
    return true;
}

// --root is the text stored as "RootDir", exactly as given; the folder is that path
// without trailing backslashes.
bool Complete(IdeRequest& Request, std::wstring& Why) {
    StandInIdeLayout& layout = Request.Layout;
    if (layout.RootDir.empty()) return Refused(Why, L"row " + std::to_wstring(layout.Row) + L": --root is missing");
    layout.Root = layout.RootDir;
    while (!layout.Root.empty() && layout.Root.back() == L'\\') layout.Root.pop_back();
    const std::wstring wrongRoot = CheckStandInRoot(layout);
    if (!wrongRoot.empty()) return Refused(Why, L"--root " + wrongRoot + L" (" + layout.RootDir + L")");
    layout.Tools = DefaultTools(layout.Row) & ~Request.LeftOut;
    const std::wstring missing = Request.Remove ? L"" : CheckStandInPrograms(layout);
    return missing.empty() || Refused(Why, L"--compilers: " + missing);
}

// The options before the first --row apply to every IDE; each --row starts one.
bool ReadRequests(int argc, wchar_t** argv, std::vector<IdeRequest>& Requests, std::wstring& Why) {
    std::vector<std::pair<std::wstring, std::wstring>> shared;
    for (int i = 1; i < argc; ++i) {
        const std::wstring option = argv[i];
        std::wstring value;
        if (TakesValue(option)) {
            if (i + 1 >= argc) return Refused(Why, option + L" needs a value");
            value = argv[++i];
        }
        if (option == L"--row") {
            Requests.emplace_back();
            for (const auto& [o, v] : shared) Apply(Requests.back(), o, v, Why);
        }
        if (Requests.empty()) {
            IdeRequest check;  // the option is checked now and applied to each IDE later
            if (!Apply(check, option, value, Why)) return false;
            shared.emplace_back(option, value);
        } else if (!Apply(Requests.back(), option, value, Why)) {
            return false;
        }
    }
    if (Requests.empty()) return Refused(Why, L"no --row given");
    for (IdeRequest& request : Requests)
        if (!Complete(request, Why)) return false;
    return true;
}

// One catalogue row a line: row, key, help index files, compiler, platforms.
int List() {
    _setmode(_fileno(stdout), _O_BINARY);
    for (int row = 1; row <= ProductCount; ++row) {
        const TBorlandProduct& p = BorlandProducts[static_cast<size_t>(row)];
        std::wstring help;
        for (const std::wstring& name : p.HelpStr)
            if (!name.empty()) help += (help.empty() ? L"" : L" ") + name;
        PrintUtf8(std::to_wstring(row) + L"\t" + p.RegKey + L"\t" + help + L"\t" + (p.IsDelphi ? L"dcc" : L"make") +
                  L"\t" + (p.Is32and64 ? L"64" : L"32") + L"\n");
    }
    return 0;
}

int Fail(const std::wstring& Why) {
    fwprintf(stderr, L"%ls\n", Why.c_str());
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && std::wstring(argv[1]) == L"--list") return List();
    std::vector<IdeRequest> requests;
    std::wstring why;
    if (!ReadRequests(argc, argv, requests, why)) return Fail(why);
    for (const IdeRequest& request : requests) {
        std::wstring error;
        const bool done = request.Remove ? RemoveStandInIde(request.Layout, error) : BuildStandInIde(request.Layout, error);
        if (!done) return Fail(L"row " + std::to_wstring(request.Layout.Row) + L": " + error);
    }
    return 0;
}
