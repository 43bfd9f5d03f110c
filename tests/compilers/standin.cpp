// Stand-in for the IDEs' command-line tools dcc32.exe, dcc64.exe and make.exe, and for
// the IDE programs themselves (delphi32.exe, bds.exe, bcb.exe), for the tests and the
// demo machine. One program; what it is comes from its own file name.
//
//   dcc32.exe|dcc64.exe PROJECT[.dpk] [switches]
//       Reads the configuration the way the Delphi compiler does: <tool>.cfg beside
//       the tool, <tool>.cfg in the current directory, PROJECT.cfg beside the
//       project, then the switches of the command line. It parses the package
//       project, finds every contained unit (its source or .dcu), every file those
//       sources include, the project's resource file and the .dcp of every required
//       package that is built from a project beside this one, and then writes
//       NAME<suffix>.<ext> (bpl unless {$E ext}) to -LE, NAME.dcp to -LN, one .dcu per
//       unit to -N/-NU/-N0, and with -JL or -JPHN also .hpp files to -NH and
//       NAME.bpi to -NB. Relative folders are taken from the current directory, as
//       the compiler does; an output folder that does not exist is an error.
//   make.exe -fMAKEFILE | /fMAKEFILE
//       Reads "NAME = value" lines of the makefile and writes the file named by
//       PROJECT (relative to the current directory).
//
//   delphi32.exe|bds.exe|bcb.exe
//       An IDE that the user keeps open: it stays running until a file named like
//       the program with ".stop" added (bin\delphi32.exe.stop) appears beside it,
//       and then deletes that file and ends with 0; after CVL_STANDIN_IDE_MS
//       (default 300000) it ends by itself with 4, so that a test that forgets it
//       does not leave it behind for long.
// Test controls, from the environment (which the installer passes on):
//   CVL_STANDIN_LOG      a file that gets one line per start ("start", tool, current
//                        directory, command line, process id) and one per exit
//                        ("exit", tool, exit code, process id), tab-separated, UTF-8.
//                        A process that was ended from outside writes no exit line.
//   CVL_STANDIN_FAIL     ';'-separated tool names (dcc32, dcc64, make), project
//   CVL_STANDIN_FAIL     ';'-separated tool names (dcc32, dcc64, make), project
//                        names (cvl70) or "*": those compiles fail as the compiler
//                        does for a missing unit ("PROJECT.dpk(12) Fatal: F1026 File
//                        not found: 'cvlStorage.pas'" on standard output, exit code 1).
//   CVL_STANDIN_SILENT   the same list: those compiles fail without any output.
//   CVL_STANDIN_FLOOD    those compiles print CVL_STANDIN_FLOOD_BYTES (default 6 MB)
//                        of hints, every eighth 64 KB on standard error, then fail.
//   CVL_STANDIN_GARBLE   those compiles print bytes that are no text (escape and
//                        control characters, a zero byte, bytes of another code
//                        page), a line on standard error, and fail.
//   CVL_STANDIN_HANG     those compiles start a helper process (the same program with
//                        /helper, holding the output too), and both sleep
//                        CVL_STANDIN_HANG_MS (default 600000) and exit without result.
//   CVL_STANDIN_SLOW     the same: those compiles sleep CVL_STANDIN_SLOW_MS (default
//                        1000) first and then compile as usual, so that a test can
//                        stop the installer while a compile runs.
// A missing compiler is simply a compiler that is not there.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwctype>
#include <string>
#include <vector>

namespace {

enum class Tool { Dcc32,
                  Dcc64,
                  Make };

constexpr int ExitOk = 0;
constexpr int ExitCompileError = 1;
constexpr int ExitUsage = 2;
constexpr int ExitHungOnRequest = 4;
constexpr DWORD DefaultHangMs = 600000;
constexpr DWORD DefaultIdeMs = 300000;
constexpr DWORD IdePollMs = 50;

// ---------------------------------------------------------------- text helpers

std::wstring Lower(std::wstring s) {
    for (wchar_t& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

bool StartsWithNoCase(const std::wstring& s, const std::wstring& prefix) {
    return s.size() >= prefix.size() && Lower(s.substr(0, prefix.size())) == Lower(prefix);
}

std::wstring Trim(const std::wstring& s) {
    size_t b = s.find_first_not_of(L" \t\r\n");
    if (b == std::wstring::npos) return L"";
    size_t e = s.find_last_not_of(L" \t\r\n");
    return s.substr(b, e - b + 1);
}

std::wstring Unquote(std::wstring s) {
    std::wstring out;
    for (wchar_t c : s)
        if (c != L'"' && c != L'\'') out += c;
    return out;
}

std::vector<std::wstring> Split(const std::wstring& s, wchar_t sep) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    while (start <= s.size()) {
        size_t end = s.find(sep, start);
        if (end == std::wstring::npos) end = s.size();
        std::wstring part = Trim(s.substr(start, end - start));
        if (!part.empty()) parts.push_back(part);
        start = end + 1;
    }
    return parts;
}

std::string ToUtf8(const std::wstring& s) {
    int n = WideCharToMultiByte(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
    return out;
}

void Say(const std::wstring& text) {
    std::string bytes = ToUtf8(text + L"\r\n");
    fwrite(bytes.data(), 1, bytes.size(), stdout);
    fflush(stdout);
}

// ---------------------------------------------------------------- files

bool FileExists(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirExists(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring Join(const std::wstring& dir, const std::wstring& name) {
    if (dir.empty() || (name.size() > 1 && name[1] == L':') || (!name.empty() && name[0] == L'\\')) return name;
    return dir.back() == L'\\' ? dir + name : dir + L"\\" + name;
}

std::wstring DirOf(const std::wstring& path) {
    size_t p = path.find_last_of(L"\\/");
    return p == std::wstring::npos ? L"" : path.substr(0, p);
}

std::wstring NameOf(const std::wstring& path) {
    size_t p = path.find_last_of(L"\\/");
    return p == std::wstring::npos ? path : path.substr(p + 1);
}

std::wstring StripExt(const std::wstring& name) {
    size_t dot = name.find_last_of(L'.');
    size_t slash = name.find_last_of(L"\\/");
    return dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash) ? name : name.substr(0, dot);
}

std::wstring CurrentDir() {
    DWORD n = GetCurrentDirectoryW(0, nullptr);
    std::wstring dir(n, L'\0');
    dir.resize(GetCurrentDirectoryW(n, dir.data()));
    return dir;
}

// Relative folders of the configuration count from the current directory.
std::wstring Absolute(const std::wstring& path) { return Join(CurrentDir(), path); }

// Reads an 8-bit text file (UTF-8 when it starts with a byte-order mark).
bool ReadText(const std::wstring& path, std::wstring& text) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    std::string bytes;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof(buf), &got, nullptr) && got > 0) bytes.append(buf, got);
    CloseHandle(f);
    UINT page = CP_ACP;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        bytes.erase(0, 3);
        page = CP_UTF8;
    }
    int n = MultiByteToWideChar(page, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    text.assign(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(page, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
    return true;
}

bool WriteText(const std::wstring& path, const std::wstring& text) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    std::string bytes = ToUtf8(text);
    DWORD written = 0;
    bool ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(f);
    return ok;
}

// ---------------------------------------------------------------- test controls

std::wstring Env(const wchar_t* name) {
    DWORD n = GetEnvironmentVariableW(name, nullptr, 0);
    if (n == 0) return L"";
    std::wstring value(n, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), n));
    return value;
}

void Journal(const std::wstring& line) {
    std::wstring path = Env(L"CVL_STANDIN_LOG");
    if (path.empty()) return;
    HANDLE f = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    std::string bytes = ToUtf8(line + L"\n");
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
}

// Whether an environment list names this tool, this project or everything.
bool Listed(const wchar_t* variable, const std::wstring& tool, const std::wstring& project) {
    for (const std::wstring& entry : Split(Env(variable), L';')) {
        std::wstring e = Lower(entry);
        if (e == L"*" || e == Lower(tool) || e == Lower(StripExt(NameOf(project)))) return true;
    }
    return false;
}

// ---------------------------------------------------------------- configuration

struct TConfig {
    // clang-format off
    std::wstring PackageDir;  // -LE
    std::wstring DcpDir;      // -LN
    std::wstring DcuDir;      // -N, -NU, -N0
    std::wstring HppDir;      // -NH
    std::wstring BpiDir;      // -NB
    std::vector<std::wstring> UnitPath;     // -U
    std::vector<std::wstring> IncludePath;  // -I
    std::vector<std::wstring> ResourcePath; // -R
    bool CppOutput = false;   // -JL, -JPHN...
    // clang-format on
};

// One switch of a .cfg line or the command line. Unknown switches are accepted and
// ignored, as the compiler ignores what does not concern this build.
void ApplySwitch(const std::wstring& sw, TConfig& cfg) {
    if (sw.size() < 2 || (sw[0] != L'-' && sw[0] != L'/')) return;
    const std::wstring body = sw.substr(1);
    auto value = [&](size_t skip) { return Unquote(body.substr(skip)); };
    auto paths = [&](size_t skip) { return Split(value(skip), L';'); };
    auto append = [](std::vector<std::wstring>& list, const std::vector<std::wstring>& more) {
        list.insert(list.end(), more.begin(), more.end());
    };
    if (StartsWithNoCase(body, L"LE"))
        cfg.PackageDir = value(2);
    else if (StartsWithNoCase(body, L"LN"))
        cfg.DcpDir = value(2);
    else if (StartsWithNoCase(body, L"LU"))
        return;  // runtime packages to link against
    else if (StartsWithNoCase(body, L"NU") || StartsWithNoCase(body, L"N0"))
        cfg.DcuDir = value(2);
    else if (StartsWithNoCase(body, L"NH"))
        cfg.HppDir = value(2);
    else if (StartsWithNoCase(body, L"NB"))
        cfg.BpiDir = value(2);
    else if (StartsWithNoCase(body, L"NS") || StartsWithNoCase(body, L"NO"))
        return;
    else if (StartsWithNoCase(body, L"N"))
        cfg.DcuDir = value(1);
    else if (StartsWithNoCase(body, L"JL") || StartsWithNoCase(body, L"JPHN"))
        cfg.CppOutput = true;
    else if (body[0] == L'U' || body[0] == L'u')
        append(cfg.UnitPath, paths(1));
    else if (body[0] == L'I' || body[0] == L'i')
        append(cfg.IncludePath, paths(1));
    else if (body[0] == L'R' || body[0] == L'r')
        append(cfg.ResourcePath, paths(1));
}

void ApplyConfigFile(const std::wstring& path, TConfig& cfg) {
    std::wstring text;
    if (!ReadText(path, text)) return;
    for (const std::wstring& line : Split(text, L'\n')) ApplySwitch(line, cfg);
}

// ---------------------------------------------------------------- package project

struct TToken {
    enum Kind { Word,
                Text,
                Symbol } Type;
    std::wstring Value;
};

struct TPackage {
    std::wstring Name;
    std::vector<std::wstring> Requires;
    struct TUnit {
        std::wstring Name;
        std::wstring InPath;  // empty without "in '...'"
    };
    std::vector<TUnit> Contains;
    std::vector<std::wstring> Resources;  // {$R file}
    std::wstring Extension = L"bpl";      // {$E ext}
    std::wstring LibSuffix;               // {$LIBSUFFIX 'x'}
    std::wstring Description;             // {$DESCRIPTION 'x'}
};

void ApplyDirective(const std::wstring& directive, TPackage& pkg) {
    size_t end = 0;
    while (end < directive.size() && std::iswalpha(directive[end])) ++end;
    const std::wstring word = Lower(directive.substr(0, end));
    const std::wstring arg = Unquote(Trim(directive.substr(end)));
    // {$R-}, {$D+} and the like are switches, not resource files or descriptions.
    const bool isSwitch = arg.empty() || arg == L"+" || arg == L"-";
    if ((word == L"r" || word == L"resource") && !isSwitch)
        pkg.Resources.push_back(arg);
    else if (word == L"e" && !isSwitch)
        pkg.Extension = arg;
    else if (word == L"libsuffix")
        pkg.LibSuffix = arg;
    else if ((word == L"description" || word == L"d") && !isSwitch)
        pkg.Description = arg;
}

// Splits Pascal source into words, string literals and symbols, handing compiler
// directives to OnDirective and dropping comments.
template <typename DirectiveFn>
std::vector<TToken> Tokenize(const std::wstring& src, DirectiveFn OnDirective) {
    std::vector<TToken> tokens;
    size_t i = 0;
    while (i < src.size()) {
        wchar_t c = src[i];
        if (std::iswspace(c)) {
            ++i;
        } else if (c == L'{') {
            size_t close = src.find(L'}', i);
            if (close == std::wstring::npos) close = src.size();
            if (i + 1 < src.size() && src[i + 1] == L'$') OnDirective(src.substr(i + 2, close - i - 2));
            i = close + 1;
        } else if (c == L'(' && i + 1 < src.size() && src[i + 1] == L'*') {
            size_t close = src.find(L"*)", i + 2);
            i = close == std::wstring::npos ? src.size() : close + 2;
        } else if (c == L'/' && i + 1 < src.size() && src[i + 1] == L'/') {
            size_t eol = src.find(L'\n', i);
            i = eol == std::wstring::npos ? src.size() : eol + 1;
        } else if (c == L'\'') {
            std::wstring text;
            ++i;
            while (i < src.size()) {
                if (src[i] == L'\'' && i + 1 < src.size() && src[i + 1] == L'\'') {
                    text += L'\'';
                    i += 2;
                } else if (src[i] == L'\'') {
                    ++i;
                    break;
                } else {
                    text += src[i++];
                }
            }
            tokens.push_back({TToken::Text, text});
        } else if (std::iswalnum(c) || c == L'_') {
            size_t start = i;
            while (i < src.size() && (std::iswalnum(src[i]) || src[i] == L'_' || src[i] == L'.')) ++i;
            // A trailing '.' ends the project ("end."), it is no part of the word.
            size_t len = i - start;
            if (src[i - 1] == L'.') {
                --i;
                --len;
            }
            tokens.push_back({TToken::Word, src.substr(start, len)});
        } else {
            tokens.push_back({TToken::Symbol, std::wstring(1, c)});
            ++i;
        }
    }
    return tokens;
}

bool IsWord(const TToken& t, const wchar_t* word) { return t.Type == TToken::Word && Lower(t.Value) == word; }

bool ParsePackage(const std::wstring& src, TPackage& pkg, std::wstring& error) {
    std::vector<TToken> t = Tokenize(src, [&](const std::wstring& d) { ApplyDirective(d, pkg); });
    size_t i = 0;
    auto at = [&](size_t k) -> const TToken& {
        static const TToken none{TToken::Symbol, L""};
        return k < t.size() ? t[k] : none;
    };
    if (!IsWord(at(i), L"package") || at(i + 1).Type != TToken::Word) {
        error = L"Error: E2029 'package' expected";
        return false;
    }
    pkg.Name = at(i + 1).Value;
    i += 2;
    if (at(i++).Value != L";") {
        error = L"Error: E2029 ';' expected";
        return false;
    }
    if (IsWord(at(i), L"requires")) {
        for (++i; at(i).Type == TToken::Word; i += 2) {
            pkg.Requires.push_back(at(i).Value);
            if (at(i + 1).Value != L",") break;
        }
        if (at(++i).Value != L";") {
            error = L"Error: E2029 ';' expected after requires";
            return false;
        }
        ++i;
    }
    if (IsWord(at(i), L"contains")) {
        for (++i; at(i).Type == TToken::Word; ++i) {
            TPackage::TUnit unit{at(i).Value, L""};
            if (IsWord(at(i + 1), L"in") && at(i + 2).Type == TToken::Text) {
                unit.InPath = at(i + 2).Value;
                i += 2;
            }
            pkg.Contains.push_back(unit);
            if (at(i + 1).Value != L",") break;
            ++i;
        }
        if (at(++i).Value != L";") {
            error = L"Error: E2029 ';' expected after contains";
            return false;
        }
        ++i;
    }
    if (!IsWord(at(i), L"end") || at(i + 1).Value != L".") {
        error = L"Error: E2029 'end.' expected";
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- compile

struct TBuild {
    Tool Kind;
    std::wstring ToolName;
    std::wstring ProjectPath;  // absolute
    TConfig Cfg;
    TPackage Pkg;
};

std::wstring FindIn(const std::wstring& name, const std::vector<std::wstring>& dirs) {
    for (const std::wstring& dir : dirs) {
        std::wstring candidate = Join(Absolute(dir), name);
        if (FileExists(candidate)) return candidate;
    }
    return L"";
}

// The files a unit source includes with {$I name} or {$INCLUDE name}.
std::vector<std::wstring> IncludesOf(const std::wstring& source) {
    std::vector<std::wstring> names;
    Tokenize(source, [&](const std::wstring& d) {
        size_t end = 0;
        while (end < d.size() && std::iswalpha(d[end])) ++end;
        const std::wstring word = Lower(d.substr(0, end));
        const bool include = (word == L"i" || word == L"include") && end < d.size() && std::iswspace(d[end]);
        if (include) names.push_back(Unquote(Trim(d.substr(end))));
    });
    return names;
}

// Finds a contained unit: its source (checking what it includes) or a compiled .dcu.
bool ResolveUnit(const TBuild& b, const TPackage::TUnit& unit, std::wstring& found, std::wstring& error) {
    const std::wstring projectDir = DirOf(b.ProjectPath);
    std::vector<std::wstring> unitDirs{projectDir};
    unitDirs.insert(unitDirs.end(), b.Cfg.UnitPath.begin(), b.Cfg.UnitPath.end());
    found = unit.InPath.empty() ? FindIn(unit.Name + L".pas", unitDirs) : Join(projectDir, unit.InPath);
    if (found.empty() || !FileExists(found)) {
        std::wstring dcu = FindIn(unit.Name + L".dcu", unitDirs);
        if (!dcu.empty()) {
            found = dcu;
            return true;
        }
        error = L"Fatal: F1026 File not found: '" + (unit.InPath.empty() ? unit.Name + L".pas" : unit.InPath) + L"'";
        return false;
    }
    std::wstring source;
    ReadText(found, source);
    std::vector<std::wstring> includeDirs{DirOf(found), projectDir};
    includeDirs.insert(includeDirs.end(), b.Cfg.IncludePath.begin(), b.Cfg.IncludePath.end());
    for (const std::wstring& inc : IncludesOf(source)) {
        if (FindIn(inc, includeDirs).empty()) {
            error = NameOf(found) + L" Fatal: F1026 File not found: '" + inc + L"'";
            return false;
        }
    }
    return true;
}

// A required package that this project set builds itself (its project lies beside
// this one) must have been compiled first; the IDE's own packages come with the IDE.
bool ResolveRequired(const TBuild& b, const std::wstring& name, std::wstring& error) {
    const std::wstring projectDir = DirOf(b.ProjectPath);
    if (!FileExists(Join(projectDir, name + L".dpk"))) return true;
    std::vector<std::wstring> dirs{b.Cfg.DcpDir.empty() ? projectDir : b.Cfg.DcpDir, projectDir};
    dirs.insert(dirs.end(), b.Cfg.UnitPath.begin(), b.Cfg.UnitPath.end());
    if (!FindIn(name + L".dcp", dirs).empty()) return true;
    error = L"Fatal: F2613 Unit '" + name + L"' not found: required package " + name + L".dcp is missing";
    return false;
}

bool ResolveResources(const TBuild& b, std::wstring& error) {
    const std::wstring projectDir = DirOf(b.ProjectPath);
    std::vector<std::wstring> dirs{projectDir};
    dirs.insert(dirs.end(), b.Cfg.ResourcePath.begin(), b.Cfg.ResourcePath.end());
    for (std::wstring res : b.Pkg.Resources) {
        if (StartsWithNoCase(res, L"*.")) res = StripExt(NameOf(b.ProjectPath)) + res.substr(1);
        if (FindIn(res, dirs).empty()) {
            error = L"Error: E1026 File not found: '" + res + L"'";
            return false;
        }
    }
    return true;
}

std::wstring OutputDir(const std::wstring& configured, const std::wstring& fallback) {
    return configured.empty() ? fallback : Absolute(configured);
}

std::wstring Platform(Tool kind) { return kind == Tool::Dcc64 ? L"Win64" : L"Win32"; }

bool WriteOutputs(const TBuild& b, const std::vector<std::wstring>& units, std::wstring& error) {
    const std::wstring projectDir = DirOf(b.ProjectPath);
    const std::wstring packageDir = OutputDir(b.Cfg.PackageDir, projectDir);
    const std::wstring dcpDir = OutputDir(b.Cfg.DcpDir, packageDir);
    const std::wstring dcuDir = OutputDir(b.Cfg.DcuDir, projectDir);
    const std::wstring hppDir = OutputDir(b.Cfg.HppDir, dcuDir);
    const std::wstring bpiDir = OutputDir(b.Cfg.BpiDir, dcpDir);
    std::vector<std::wstring> dirs{packageDir, dcpDir, dcuDir};
    if (b.Cfg.CppOutput) dirs.insert(dirs.end(), {hppDir, bpiDir});
    for (const std::wstring& dir : dirs) {
        if (!DirExists(dir)) {
            error = L"Fatal: F1027 Could not create output file in '" + dir + L"'";
            return false;
        }
    }
    const std::wstring header = L"stand-in " + b.ToolName + L" output for " + Platform(b.Kind) + L"\r\n";
    std::wstring unitList;
    for (const std::wstring& u : units) unitList += (unitList.empty() ? L"" : L",") + u;
    std::vector<std::pair<std::wstring, std::wstring>> files;
    for (const std::wstring& u : units) {
        files.push_back({Join(dcuDir, u + L".dcu"), header + L"unit " + u + L"\r\n"});
        if (b.Cfg.CppOutput) files.push_back({Join(hppDir, u + L".hpp"), L"// " + header + L"// unit " + u + L"\r\n"});
    }
    const std::wstring summary = header + L"package " + b.Pkg.Name + L"\r\ndescription " + b.Pkg.Description +
                                 L"\r\nunits " + unitList + L"\r\n";
    files.push_back({Join(dcpDir, b.Pkg.Name + L".dcp"), summary});
    if (b.Cfg.CppOutput) files.push_back({Join(bpiDir, b.Pkg.Name + L".bpi"), summary});
    files.push_back({Join(packageDir, b.Pkg.Name + b.Pkg.LibSuffix + L"." + b.Pkg.Extension), summary});
    for (const auto& [path, text] : files) {
        if (!WriteText(path, text)) {
            error = L"Fatal: F1027 Could not create output file '" + path + L"'";
            return false;
        }
    }
    return true;
}

int CompilePackage(TBuild& b) {
    std::wstring source, error;
    if (!ReadText(b.ProjectPath, source)) {
        Say(L"Fatal: F1026 File not found: '" + NameOf(b.ProjectPath) + L"'");
        return ExitCompileError;
    }
    if (!ParsePackage(source, b.Pkg, error)) {
        Say(NameOf(b.ProjectPath) + L" " + error);
        return ExitCompileError;
    }
    if (Lower(b.Pkg.Name) != Lower(StripExt(NameOf(b.ProjectPath)))) {
        Say(NameOf(b.ProjectPath) + L" Error: E2045 Bad object file format: package name does not match file name");
        return ExitCompileError;
    }
    for (const std::wstring& req : b.Pkg.Requires)
        if (!ResolveRequired(b, req, error)) {
            Say(NameOf(b.ProjectPath) + L" " + error);
            return ExitCompileError;
        }
    std::vector<std::wstring> units;
    for (const TPackage::TUnit& unit : b.Pkg.Contains) {
        std::wstring found;
        if (!ResolveUnit(b, unit, found, error)) {
            Say(NameOf(b.ProjectPath) + L" " + error);
            return ExitCompileError;
        }
        units.push_back(unit.Name);
    }
    if (!ResolveResources(b, error) || !WriteOutputs(b, units, error)) {
        Say(NameOf(b.ProjectPath) + L" " + error);
        return ExitCompileError;
    }
    Say(std::to_wstring(units.size()) + L" units, " + b.Pkg.Name + L" built for " + Platform(b.Kind) + L".");
    return ExitOk;
}

int RunDcc(Tool kind, const std::wstring& toolName, const std::wstring& toolPath, int argc, wchar_t** argv) {
    Say(L"Stand-in Delphi compiler (" + toolName + L") for " + Platform(kind));
    TBuild b{kind, toolName, L"", {}, {}};
    std::vector<std::wstring> switches, files;
    for (int i = 1; i < argc; ++i) (argv[i][0] == L'-' || argv[i][0] == L'/' ? switches : files).push_back(argv[i]);
    if (files.size() != 1) {
        Say(files.empty() ? L"Syntax: " + toolName + L" [options] filename" : L"Fatal: F1029 Too many files");
        return ExitUsage;
    }
    std::wstring project = Absolute(files[0]);
    if (NameOf(project).find(L'.') == std::wstring::npos) project += L".dpk";
    b.ProjectPath = project;
    ApplyConfigFile(Join(DirOf(toolPath), toolName + L".cfg"), b.Cfg);
    ApplyConfigFile(Absolute(toolName + L".cfg"), b.Cfg);
    ApplyConfigFile(StripExt(project) + L".cfg", b.Cfg);
    for (const std::wstring& sw : switches) ApplySwitch(sw, b.Cfg);
    return CompilePackage(b);
}

// ---------------------------------------------------------------- make

int RunMake(int argc, wchar_t** argv) {
    Say(L"Stand-in MAKE");
    std::wstring makefile;
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        if (StartsWithNoCase(arg, L"-f") || StartsWithNoCase(arg, L"/f"))
            makefile = arg.size() > 2 ? arg.substr(2) : (i + 1 < argc ? argv[++i] : L"");
    }
    if (makefile.empty()) makefile = L"makefile";
    std::wstring text;
    if (!ReadText(Absolute(makefile), text)) {
        Say(L"Fatal: Unable to open makefile " + makefile);
        return ExitCompileError;
    }
    std::wstring project;
    for (const std::wstring& line : Split(text, L'\n')) {
        size_t eq = line.find(L'=');
        if (eq != std::wstring::npos && Lower(Trim(line.substr(0, eq))) == L"project") project = Trim(line.substr(eq + 1));
    }
    if (project.empty()) {
        Say(L"Fatal: No PROJECT in " + makefile);
        return ExitCompileError;
    }
    if (!WriteText(Absolute(project), L"stand-in make output of " + makefile + L"\r\n")) {
        Say(L"Fatal: Could not write " + project);
        return ExitCompileError;
    }
    return ExitOk;
}

// ---------------------------------------------------------------- entry

std::wstring OwnPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// The project the command line names, for matching the test controls.
std::wstring ProjectArgument(int argc, wchar_t** argv) {
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        if (StartsWithNoCase(arg, L"-f") || StartsWithNoCase(arg, L"/f")) return arg.substr(2);
        if (arg[0] != L'-' && arg[0] != L'/') return arg;
    }
    return L"";
}

DWORD HangMs() {
    std::wstring text = Env(L"CVL_STANDIN_HANG_MS");
    return text.empty() ? DefaultHangMs : static_cast<DWORD>(wcstoul(text.c_str(), nullptr, 10));
}

bool IsIdeProgram(const std::wstring& toolName) {
    return toolName == L"delphi32" || toolName == L"bds" || toolName == L"bcb";
}

int RunIde(const std::wstring& toolPath) {
    const std::wstring stopFile = toolPath + L".stop";
    const std::wstring limitText = Env(L"CVL_STANDIN_IDE_MS");
    const DWORD limit = limitText.empty() ? DefaultIdeMs : static_cast<DWORD>(wcstoul(limitText.c_str(), nullptr, 10));
    const DWORD start = GetTickCount();
    while (!FileExists(stopFile)) {
        if (GetTickCount() - start >= limit) return ExitHungOnRequest;
        Sleep(IdePollMs);
    }
    DeleteFileW(stopFile.c_str());
    return ExitOk;
}

DWORD SlowMs() {
    std::wstring text = Env(L"CVL_STANDIN_SLOW_MS");
    return text.empty() ? 1000 : static_cast<DWORD>(wcstoul(text.c_str(), nullptr, 10));
}

void SayBytes(HANDLE stream, const std::string& bytes) {
    DWORD written = 0;
    WriteFile(stream, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring Banner(const std::wstring& toolName) {
    return L"Stand-in Delphi compiler (" + toolName + L") for " + Platform(toolName == L"dcc64" ? Tool::Dcc64 : Tool::Dcc32);
}

// What the Delphi compiler prints when a unit of the package is missing.
std::wstring MissingUnitLine(const std::wstring& project) {
    std::wstring name = NameOf(project);
    if (name.find(L'.') == std::wstring::npos) name += L".dpk";
    return name + L"(12) Fatal: F1026 File not found: 'cvlStorage.pas'";
}

// Pages of hints, some of them on standard error, and the failure at the end.
int Flood(const std::wstring& toolName, const std::wstring& project) {
    std::wstring text = Env(L"CVL_STANDIN_FLOOD_BYTES");
    const size_t bytes = text.empty() ? 6u << 20 : wcstoul(text.c_str(), nullptr, 10);
    Say(Banner(toolName));
    // Longer than a line of the installer's error box, as hints with paths are.
    const std::string hint =
        "C:\\Corvane\\Source\\cvlSettingsStorage.pas(1024) Hint: H2077 Value assigned to "
        "'TcvlSettingsStorage.ReadSectionValues.Index' never used\r\n";
    std::string page;
    while (page.size() < 64 * 1024) page += hint;
    for (size_t sent = 0, n = 0; sent < bytes; sent += page.size(), ++n)
        SayBytes(GetStdHandle(n % 8 == 7 ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE), page);
    Say(MissingUnitLine(project));
    return ExitCompileError;
}

// Bytes that are no text: a code page the installer does not use, control and
// escape characters, a zero byte, and a line on standard error.
int Garble(const std::wstring& project) {
    static const char garbled[] = "Warnung: W1000 \x1b[31mVeraltet\x1b[0m \x01\x7f\x00 \x81\x8d\xff\r\n";
    SayBytes(GetStdHandle(STD_OUTPUT_HANDLE), std::string(garbled, sizeof(garbled) - 1));
    SayBytes(GetStdHandle(STD_ERROR_HANDLE), "Error on standard error\r\n");
    SayBytes(GetStdHandle(STD_OUTPUT_HANDLE),
             ToUtf8(NameOf(project)) +
                 "(12) Fatal: F1026 Datei nicht gefunden: '\xdc"
                 "bersicht.pas'\r\n");
    return ExitCompileError;
}

// A compiler that starts a helper of its own and then never finishes: both must be
// ended by the installer. The helper holds the output pipe as well. The compiler
// goes on once the helper runs (and has written its start), so that a test sees both.
int Hang(const std::wstring& toolPath, const std::wstring& project) {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE running = CreateEventW(&inheritable, TRUE, FALSE, nullptr);
    std::wstring command = L"\"" + toolPath + L"\" /helper " + std::to_wstring(reinterpret_cast<uintptr_t>(running));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION helper{};
    if (running && CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                                  &startup, &helper)) {
        WaitForSingleObject(running, 30000);
        CloseHandle(helper.hThread);
        CloseHandle(helper.hProcess);
    }
    Say(L"Compiling " + project + L"...");
    Sleep(HangMs());
    return ExitHungOnRequest;
}

int Run(int argc, wchar_t** argv, const std::wstring& toolPath, const std::wstring& toolName) {
    if (IsIdeProgram(toolName)) return RunIde(toolPath);
    const std::wstring project = ProjectArgument(argc, argv);
    if (argc == 3 && std::wstring(argv[1]) == L"/helper") {
        SetEvent(reinterpret_cast<HANDLE>(static_cast<uintptr_t>(wcstoull(argv[2], nullptr, 10))));
        Sleep(HangMs());
        return ExitHungOnRequest;
    }
    if (Listed(L"CVL_STANDIN_SLOW", toolName, project)) Sleep(SlowMs());
    if (Listed(L"CVL_STANDIN_HANG", toolName, project)) return Hang(toolPath, project);
    if (Listed(L"CVL_STANDIN_FAIL", toolName, project)) {
        Say(Banner(toolName));
        Say(MissingUnitLine(project));
        return ExitCompileError;
    }
    if (Listed(L"CVL_STANDIN_SILENT", toolName, project)) return ExitCompileError;
    if (Listed(L"CVL_STANDIN_FLOOD", toolName, project)) return Flood(toolName, project);
    if (Listed(L"CVL_STANDIN_GARBLE", toolName, project)) return Garble(project);
    if (toolName == L"make") return RunMake(argc, argv);
    return RunDcc(toolName == L"dcc64" ? Tool::Dcc64 : Tool::Dcc32, toolName, toolPath, argc, argv);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // The compilers write their line ends themselves, as "\r\n".
    _setmode(_fileno(stdout), _O_BINARY);
    const std::wstring toolPath = OwnPath();
    const std::wstring toolName = Lower(StripExt(NameOf(toolPath)));
    const std::wstring pid = std::to_wstring(GetCurrentProcessId());
    Journal(L"start\t" + toolName + L"\t" + CurrentDir() + L"\t" + GetCommandLineW() + L"\t" + pid);
    int code = Run(argc, argv, toolPath, toolName);
    Journal(L"exit\t" + toolName + L"\t" + std::to_wstring(code) + L"\t" + pid);
    return code;
}
