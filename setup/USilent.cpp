#include "setup/USilent.h"

#include <windows.h>

#include <string>

#include "catalogue/UIdeState.h"
#include "catalogue/UInstallChoice.h"
#include "catalogue/UInstallRecord.h"
#include "catalogue/UProducts.h"
#include "script/UFileOps.h"
#include "script/UMachineCheck.h"
#include "script/UScript.h"
#include "script/UScriptRun.h"
#include "support/UPaths.h"
#include "support/UProduct.h"
#include "support/UText.h"
#include "support/UTextFile.h"
#include "support/UWholeFile.h"
#include "support/WinHandles.h"

namespace {

// The value of /ides= that stands for every detected environment.
inline constexpr const wchar_t* FoundIdes = L"found";
// Ends a name of /ides= whose environment gets the library's files only: no package
// registration and no search paths (an IDE never started under this account).
constexpr wchar_t FilesOnlySuffix = L'!';

// The names of /items= and the selection entries they check.
struct TComponentName {
    const wchar_t* Name;
    int32_t Mask;  // item bit of the selection entry
};
const TComponentName ComponentNames[] = {
    //  Name       Mask
    // clang-format off
    {L"help",   ibHelp},   // "Context help files"
    {L"demos",  ibDemos},  // "Delphi demo projects"
    // clang-format on
};

// What other installers call their unattended mode, and the switches deployment tools
// add to it: the first ones mean /silent, the others are accepted and change nothing.
const wchar_t* const SilentSynonyms[] = {L"silent", L"quiet", L"qn", L"verysilent"};
const wchar_t* const IgnoredSwitches[] = {L"suppressmsgboxes", L"norestart"};

template <size_t N>
bool IsOneOf(const std::wstring& Name, const wchar_t* const (&Names)[N]) {
    for (const wchar_t* known : Names)
        if (SameTextIgnoringCase(Name, known)) return true;
    return false;
}

// "/S", the one two-character switch of this kind, is also a classic switch: it
// changes the classic flags as any unknown letter does.
bool IsShortSilentSwitch(const std::wstring& Arg) { return Arg[1] == L'S' || Arg[1] == L's'; }

std::wstring Trimmed(const std::wstring& text) {
    size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return L"";
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

// "a, b,,c" gives a, b and c; an empty value gives an empty list.
std::vector<std::wstring> SplitList(const std::wstring& Value) {
    std::vector<std::wstring> names;
    size_t start = 0;
    while (start <= Value.size()) {
        size_t comma = Value.find(L',', start);
        if (comma == std::wstring::npos) comma = Value.size();
        std::wstring name = Trimmed(Value.substr(start, comma - start));
        if (!name.empty()) names.push_back(name);
        start = comma + 1;
    }
    return names;
}

// Sets the option named by one long switch; false when there is no such switch.
bool TakeLongSwitch(const std::wstring& Arg, TSilentOptions& Options) {
    std::wstring body = Arg.substr(1);
    size_t equals = body.find(L'=');
    std::wstring name = body.substr(0, equals);
    if (equals == std::wstring::npos) {
        if (IsOneOf(name, SilentSynonyms)) Options.Silent = true;
        return IsOneOf(name, SilentSynonyms) || IsOneOf(name, IgnoredSwitches);
    }
    std::wstring value = body.substr(equals + 1);
    if (SameTextIgnoringCase(name, L"dir")) {
        Options.HasDir = true;
        Options.Dir = value;
    } else if (SameTextIgnoringCase(name, L"ides")) {
        Options.HasIdes = true;
        Options.Ides = SplitList(value);
    } else if (SameTextIgnoringCase(name, L"items")) {
        Options.HasItems = true;
        Options.Items = SplitList(value);
    } else if (SameTextIgnoringCase(name, L"log")) {
        Options.HasLog = true;
        Options.LogPath = value;
    } else {
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- the plan

int ProductRowByName(const std::wstring& Name) {
    for (int row = 1; row <= ProductCount; ++row)
        if (SameTextIgnoringCase(BorlandProducts[row].Name, Name)) return row;
    return 0;
}

TSelectionItem* SelectionEntryOfRow(TSelectionList& Selection, int Row) {
    for (TSelectionItem& item : Selection)
        if (item.ProductId != 0 && ProductRowById(item.ProductId) == Row) return &item;
    return nullptr;
}

TSelectionItem* SelectionEntryOfMask(TSelectionList& Selection, int32_t Mask) {
    for (TSelectionItem& item : Selection)
        if (item.ProductId == 0 && item.Mask == Mask) return &item;
    return nullptr;
}

// Checks exactly the environments named, as a user would on the selection page, and
// notes those named for files only in FilesOnly.
bool ChooseIdes(const std::vector<std::wstring>& Names, const TDetectedIdes& Detected, TSelectionList& Selection,
                int32_t& FilesOnly, std::wstring& Message) {
    std::vector<bool> chosen(ProductCount + 1, false);
    for (std::wstring name : Names) {
        const bool filesOnly = name.size() > 1 && name.back() == FilesOnlySuffix;
        if (filesOnly) name.pop_back();
        if (SameTextIgnoringCase(name, FoundIdes)) {
            for (int row = 1; row <= ProductCount; ++row) {
                if (!Detected[static_cast<size_t>(row)].Exists || !SelectionEntryOfRow(Selection, row)) continue;
                chosen[static_cast<size_t>(row)] = true;
                if (filesOnly) FilesOnly |= BorlandProducts[row].InternalId;
            }
            continue;
        }
        int row = ProductRowByName(name);
        if (row == 0) {
            Message = L"Unknown IDE name: " + name + L" (names such as Delphi7 or RADStudio22, or found).";
            return false;
        }
        if (!SelectionEntryOfRow(Selection, row)) {
            Message = L"The library cannot be installed into " + name + L".";
            return false;
        }
        if (!Detected[static_cast<size_t>(row)].Exists) {
            Message = L"The IDE " + name + L" was not found on this computer.";
            return false;
        }
        chosen[static_cast<size_t>(row)] = true;
        if (filesOnly) FilesOnly |= BorlandProducts[row].InternalId;
    }
    for (int row = 1; row <= ProductCount; ++row)
        if (TSelectionItem* entry = SelectionEntryOfRow(Selection, row)) entry->Checked = chosen[static_cast<size_t>(row)];
    return true;
}

bool ChooseItems(const std::vector<std::wstring>& Names, TSelectionList& Selection, std::wstring& Message) {
    std::vector<int32_t> masks;
    for (const std::wstring& name : Names) {
        const TComponentName* known = nullptr;
        for (const TComponentName& component : ComponentNames)
            if (SameTextIgnoringCase(name, component.Name)) known = &component;
        if (!known) {
            Message = L"Unknown item: " + name + L" (help, demos).";
            return false;
        }
        masks.push_back(known->Mask);
    }
    for (const TComponentName& component : ComponentNames) {
        TSelectionItem* entry = SelectionEntryOfMask(Selection, component.Mask);
        if (!entry) continue;
        entry->Checked = false;
        for (int32_t mask : masks)
            if (mask == component.Mask) entry->Checked = true;
    }
    return true;
}

std::vector<TIdeChoice> CheckedIdes(const TSelectionList& Selection, int32_t FilesOnly) {
    std::vector<TIdeChoice> ides;
    for (const TSelectionItem& item : Selection)
        if (item.Checked && item.ProductId != 0) {
            const int row = ProductRowById(item.ProductId);
            ides.push_back({row, IdeIsFilesOnly(row, FilesOnly)});
        }
    return ides;
}

// Why an environment that was never started cannot be chosen as it is.
std::wstring NeverStartedProblem(int32_t Versions) {
    std::wstring names;
    for (int row = 1; row <= ProductCount; ++row) {
        if (!(BorlandProducts[row].InternalId & Versions)) continue;
        if (!names.empty()) names += L", ";
        names += BorlandProducts[row].Name;
    }
    const std::wstring first = names.substr(0, names.find(L','));
    return L"Never started under this account, so the library cannot be registered with it: " + names +
           L". Start the IDE once and close it, or name it with a ! at the end (" + first +
           L"!) to install its files only.";
}

std::wstring DirectoryProblem(const std::wstring& Dir, TInstallDirCheck Check) {
    if (Check == dirHoldsFiles)
        return L"The folder " + Dir +
               L" already holds files and is not the folder of the previous installation; "
               L"removing " +
               ProductName + L" would delete them with it.";
    if (Check == dirBadName) return L"The install directory cannot be used, " + InstallDirNameProblem(Dir) + L": " + Dir;
    if (Dir.empty()) return L"No install directory: give one with /dir=PATH.";
    return L"The install directory must be a full path, such as C:\\Program Files\\" + std::wstring(ProductWord) +
           L": " + Dir;
}

// ---------------------------------------------------------------- the run

class TSilentObserver : public TScriptRunObserver {
public:
    void RowFailed(const std::wstring& ErrorText) override { PrintToCaller(ErrorText); }
};

// The copy starts with the byte-order mark of UTF-16LE, so that type, Notepad and
// editors read it as the text it is; install.log itself stays as the engine writes it.
bool WriteLogCopy(const std::wstring& Log, const std::wstring& Target) {
    brd::UniqueFile source(CreateFileW(Log.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
    if (!source) return false;
    std::string text;
    if (ReadWholeFile(source.get(), text) != 0) return false;
    const char bom[] = "\xFF\xFE";
    if (text.compare(0, 2, bom) != 0) text.insert(0, bom, 2);
    return WriteWholeFile(Target, text.data(), text.size()) == 0;  // a full disk leaves no cut copy
}

bool CopyLog(const std::wstring& Dir, const std::wstring& Target) {
    std::wstring log = PathJoin(Dir, L"install.log");
    if (WriteLogCopy(log, Target)) return true;
    PrintToCaller(L"The log " + log + L" could not be copied to " + Target + L": " + SystemMessageText(GetLastError()));
    return false;
}

// How an unattended run ended: the failures it counted, or stopped (a drive filled
// up, the uninstall log could not be written) and rolled back.
struct TSilentRunResult {
    int32_t Failures = 0;
    bool Stopped = false;
};

// The run the progress page makes and the record the Finish page writes, with the
// failures printed instead of shown. LogCopy: where /log= asks for a copy of the
// text log of a run that is stopped (empty: none); a completed run's copy is made
// by the caller.
TSilentRunResult InstallWithPlan(const TSilentPlan& Plan, const std::wstring& RecoveryNote, const std::wstring& LogCopy) {
    TScript script(Plan.Install, Plan.Detected);
    script.Start();
    if (!RecoveryNote.empty()) script.LogLine(RecoveryNote);
    TSilentObserver observer;
    int32_t failures = RunScriptRows(script, observer);
    if (script.StopRequested()) {
        TRollbackObserver quiet;
        // The rollback takes the run's own log away: the copy keeps what happened.
        RollBackRun(script, quiet, [&] {
            if (!LogCopy.empty()) CopyLog(Plan.Install.Dir, LogCopy);
        });
        PrintToCaller(L"The installation was stopped (" + script.StopReason() +
                      L"). Everything it had changed has been put back.");
        return {failures, true};
    }
    if (!WriteInstallRecord(CurrentInstallRecord(Plan.Install))) {
        std::wstring text = L"The installation record could not be written: HKEY_LOCAL_MACHINE\\" +
                            std::wstring(ProductKey);
        script.LogLine(text);
        PrintToCaller(text);
        ++failures;
    }
    CommitRun();
    return {failures, false};
}

// ---------------------------------------------------------------- the caller's console

class TCallerOutput {
public:
    TCallerOutput() {
        // A caller that redirects the output hands it over; one that runs in a console
        // (a GUI program gets none of its own) lets us attach to it.
        HANDLE inherited = GetStdHandle(STD_OUTPUT_HANDLE);
        if (inherited && inherited != INVALID_HANDLE_VALUE && GetFileType(inherited) != FILE_TYPE_UNKNOWN) {
            FOut = inherited;
        } else if (AttachConsole(ATTACH_PARENT_PROCESS)) {
            FConsole.reset(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_EXISTING, 0, nullptr));
            FOut = FConsole.get();
        }
        DWORD mode = 0;
        FIsConsole = FOut && GetConsoleMode(FOut, &mode);
    }

    void Line(const std::wstring& Text) {
        if (!FOut) return;
        std::wstring line = Text + L"\r\n";
        DWORD written = 0;
        if (FIsConsole) {
            WriteConsoleW(FOut, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            return;
        }
        const std::string bytes = WideToUtf8(line);
        WriteFile(FOut, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }

private:
    HANDLE FOut = nullptr;
    brd::UniqueFile FConsole;
    bool FIsConsole = false;
};

}  // namespace

TSilentOptions ParseSilentSwitches(const std::vector<std::wstring>& Args) {
    TSilentOptions options;
    for (const std::wstring& arg : Args) {
        if (arg.size() == 2 && IsSwitchPrefix(arg[0])) {  // /C, /E, /X, /? and the like
            if (IsShortSilentSwitch(arg)) options.Silent = true;
            continue;
        }
        bool known = arg.size() > 2 && IsSwitchPrefix(arg[0]) && TakeLongSwitch(arg, options);
        if (!known && options.Error.empty()) options.Error = L"Unknown argument: " + arg;
    }
    return options;
}

int ApplySilentChoice(const TSilentOptions& Options, const std::wstring& PreviousDir, TSilentPlan& Plan,
                      std::wstring& Message) {
    if (!Options.Error.empty()) {
        Message = Options.Error;
        return seBadArguments;
    }
    if (Options.HasLog && Options.LogPath.empty()) {
        Message = L"/log= names no file.";
        return seBadArguments;
    }
    TInstallPlan& install = Plan.Install;
    if (Options.HasIdes && !ChooseIdes(Options.Ides, Plan.Detected, Plan.Selection, install.FilesOnlyVersions, Message))
        return seBadArguments;
    if (Options.HasItems && !ChooseItems(Options.Items, Plan.Selection, Message)) return seBadArguments;
    ApplySelection(Plan.Selection, install);
    Plan.Ides = CheckedIdes(Plan.Selection, install.FilesOnlyVersions);

    install.Dir = Options.HasDir ? TrimInstallDir(Options.Dir) : ProposedInstallDir(PreviousDir, Plan.Detected);
    TInstallDirCheck check = CheckInstallDir(install.Dir, PreviousDir);
    if (check != dirAcceptable) {
        Message = DirectoryProblem(install.Dir, check);
        return seBadArguments;
    }
    if (install.Versions == 0 && install.Items == 0) {
        Message = L"Nothing to install: no IDE and no item chosen.";
        return seNothingChosen;
    }
    const int32_t neverStarted = NeverStartedVersions(install.Versions) & ~install.FilesOnlyVersions;
    if (neverStarted != 0) {
        Message = NeverStartedProblem(neverStarted);
        return seBadArguments;
    }
    return seSuccess;
}

int PlanSilentRun(const TSilentOptions& Options, TSilentPlan& Plan, std::wstring& Message) {
    if (!Options.Error.empty()) {  // before the machine is even looked at
        Message = Options.Error;
        return seBadArguments;
    }
    const TPreviousInstall previous = PrepareSelection(Plan.Install, Plan.Selection, Plan.Detected);  // what the selection page preselects
    // Without /ides= the previous choice comes back whole: the environments that got
    // the library's files only get them so again.
    if (!Options.HasIdes) Plan.Install.FilesOnlyVersions |= previous.FilesOnlyVersions;
    return ApplySilentChoice(Options, ReadPreviousInstallDir(), Plan, Message);
}

void PrintToCaller(const std::wstring& Line) {
    static TCallerOutput output;
    output.Line(Line);
}

int RunSilent(const TSilentOptions& Options, const TInstallPlan& Plan, const std::wstring& RecoveryNote) {
    TSilentPlan plan;
    plan.Install = Plan;
    std::wstring message;
    int status = PlanSilentRun(Options, plan, message);
    if (status != seSuccess) {
        PrintToCaller(message);
        return status;
    }
    // A running IDE would write its old settings back when it closes.
    const std::vector<TRunningIde> running =
        FindRunningIdes(IdeRootsOfVersions(VersionsTouchedByRun(plan.Install.Versions), plan.Detected));
    if (!running.empty()) {
        PrintToCaller(L"Close these IDEs and run setup again; nothing has been installed:\r\n" +
                      RunningIdesList(running, plan.Detected));
        return seIdeRunning;
    }
    // Before the first write: a run that could not finish must not begin.
    const std::wstring problem = MachineProblem(plan.Install.Dir, plan.Install.Versions, plan.Detected);
    if (!problem.empty()) {
        PrintToCaller(problem + L" Nothing has been installed.");
        return seCannotTake;
    }
    const TSilentRunResult run = InstallWithPlan(plan, RecoveryNote, Options.HasLog ? Options.LogPath : L"");
    // The machine could not take the run after all; the run was put back.
    if (run.Stopped) return seCannotTake;
    int32_t failures = run.Failures;
    if (Options.HasLog && !CopyLog(plan.Install.Dir, Options.LogPath)) ++failures;
    if (failures == 0) return seSuccess;
    PrintToCaller(std::to_wstring(failures) + L" failures; the log: " + PathJoin(plan.Install.Dir, L"install.log"));
    return seRowsFailed;
}
