#include "uninstall/UUninstaller.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>
#include <utility>

#include "catalogue/UIdeState.h"
#include "catalogue/UProducts.h"
#include "resources/UResourceIds.h"
#include "support/UDpi.h"
#include "support/UGuard.h"
#include "support/UPaths.h"
#include "support/UPlatform.h"
#include "support/UProcess.h"
#include "support/UProduct.h"
#include "support/URunMutex.h"
#include "support/UText.h"
#include "support/UTextFile.h"
#include "support/WinHandles.h"
#include "uninstall/UDeinstall.h"
#include "uninstall/URollback.h"

namespace {

inline constexpr const wchar_t* BoxCaption = L"Uninstall";
inline constexpr const wchar_t* UsageText =
    L"Removes Corvane library with the uninstall log of its installation:\r\n"
    L"  unbrd.exe [/S] [/P] uninst.log\r\n"
    L"  /S - Silent: no dialog, no questions;\r\n"
    L"  /P - Partial: keep the settings (the product's registry key and the template settings file).";
inline constexpr const wchar_t* WaitSwitch = L"/W:";
inline constexpr const wchar_t* ReportSwitch = L"/R:";
inline constexpr const wchar_t* OriginalSwitch = L"/O:";
// How long the copy in the temporary directory waits for the original to end once
// it has reported.
constexpr DWORD HandOverWaitMs = 30000;

// Unlike setup.exe's switches, a backslash begins no switch here: it may begin the
// log's path ("\\server\share\uninst.log").
bool IsSwitch(const std::wstring& arg) { return arg.size() >= 2 && (arg[0] == L'/' || arg[0] == L'-'); }

// An argument for a command line: quoted, with the quoting rules of
// CommandLineToArgvW for backslashes before a quote.
std::wstring QuoteArgument(const std::wstring& arg) {
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out.push_back(c);
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

std::wstring OwnFileName() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return L"";
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

// A silent run has no window; whoever started it may have given it a standard error.
void WriteStdErr(const std::wstring& text) {
    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    if (err == nullptr || err == INVALID_HANDLE_VALUE) return;
    const std::string bytes = WideToUtf8(L"unbrd: " + text + L"\r\n");
    DWORD written = 0;
    WriteFile(err, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void Tell(const TUnbrdOptions& options, const std::wstring& text, UINT icon = MB_ICONERROR) {
    if (options.Silent)
        WriteStdErr(text);
    else
        MessageBoxW(nullptr, text.c_str(), BoxCaption, MB_OK | icon);
}

// With the window every record takes this long, so that the user can follow the run.
constexpr DWORD RecordPauseMs = 50;
// The progress bar's range is 16 bits wide.
constexpr size_t ProgressRangeMax = 0xFFFF;

// The IDEs the installation registered with, as they are now: what detection finds
// and their root folders.
struct TLoggedIdes {
    TDetectedIdes Detected;
    std::vector<std::wstring> Roots;
};

TLoggedIdes LoggedIdes(const TUndoLogContent& log) {
    TLoggedIdes ides{DetectProducts(), {}};
    ides.Roots = IdeRootsOfRows(log.Ides, ides.Detected);
    return ides;
}

std::wstring IdesRunningText(const std::vector<TRunningIde>& running, const TDetectedIdes& detected) {
    return L"Nothing has been removed: close these IDEs first and run the removal again.\r\n" +
           RunningIdesList(running, detected);
}

// A log that ends inside a record is removed up to that record; the user learns
// that the installation had been stopped and what may therefore be left.
inline constexpr const wchar_t* CutLogNote =
    L"\r\n\r\nThe uninstall log ends in the middle of an entry: the installation was stopped before it "
    L"finished. Everything the log records is removed; what the installation did last may be left behind.";

// What a removal could not remove, one line each: the thing and why.
std::wstring LeftOverLines(const std::vector<TLeftOver>& left) {
    std::wstring lines;
    for (const TLeftOver& l : left) lines += (lines.empty() ? L"" : L"\r\n") + l.What + L": " + l.Why;
    return lines;
}

inline constexpr const wchar_t* RunAgainText =
    L"The uninstall entry and the uninstall log stay: run the removal again once the programs that use these "
    L"files are closed, or after Windows has restarted.";

std::wstring LeftOverText(const std::vector<TLeftOver>& left) {
    return L"The removal is not complete. What is left, and why:\r\n" + LeftOverLines(left) + L"\r\n" + RunAgainText;
}

std::wstring UnexpectedText(const wchar_t* why) {
    return std::wstring(L"The removal stopped: ") + why +
           L". The uninstall entry and the uninstall log stay, so that the removal can be run again.";
}

std::wstring LogProblemText(int32_t result, const std::wstring& logFile) {
    if (result == duOpenFailed)
        return L"The uninstall log\r\n" + logFile + L"\r\ncannot be opened. Nothing has been removed.";
    return L"The file\r\n" + logFile +
           L"\r\nis not a complete uninstall log: it is empty or damaged. Nothing has been removed.";
}

// ---------------------------------------------------------------- hand-over to a temporary copy

// A copy of this program in the temporary directory, under a name of its own.
std::wstring CopyToTemp(const std::wstring& self) {
    std::wstring temp = GetTempDir();
    if (temp.empty()) return L"";
    wchar_t name[64];
    for (unsigned n = 0; n < 100; ++n) {
        swprintf(name, 64, L"cvlunbrd%lu_%u.exe", static_cast<unsigned long>(GetCurrentProcessId()), n);
        std::wstring copy = PathJoin(temp, name);
        if (CopyFileW(self.c_str(), copy.c_str(), TRUE)) return copy;
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return L"";
    }
    return L"";
}

// The copy's arguments: this run's switches and the log (by its full path).
std::vector<std::wstring> HandOverArguments(const TUnbrdOptions& options) {
    std::vector<std::wstring> args;
    if (options.Silent) args.emplace_back(L"/S");
    if (options.Partial) args.emplace_back(L"/P");
    args.push_back(options.LogFile);
    return args;
}

// The copy reports its exit code on a pipe before it waits for the original to
// end; a copy that ends without a report is taken at its exit code.
int WaitForCopy(HANDLE process, HANDLE report) {
    DWORD code = 0, read = 0;
    if (ReadFile(report, &code, sizeof(code), &read, nullptr) && read == sizeof(code)) return static_cast<int>(code);
    WaitForSingleObject(process, INFINITE);
    if (!GetExitCodeProcess(process, &code) || code == STILL_ACTIVE) return euIncomplete;
    return static_cast<int>(code);
}

// The copy writes its messages where the original's caller reads them.
void PassStandardHandles(STARTUPINFOW& startup) {
    HANDLE* handles[] = {&startup.hStdInput, &startup.hStdOutput, &startup.hStdError};
    const DWORD ids[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    for (int i = 0; i < 3; ++i) {
        HANDLE h = GetStdHandle(ids[i]);
        if (h == nullptr || h == INVALID_HANDLE_VALUE || !SetHandleInformation(h, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT))
            continue;
        *handles[i] = h;
        startup.dwFlags |= STARTF_USESTDHANDLES;
    }
}

// Starts the temporary copy and waits until it has done the removal; Code is its
// exit code. False when the copy could not be started: nothing has been done. The
// copy inherits a handle that deletes its file when the last handle closes, that is
// when the copy ends.
bool HandOverToTempCopy(const std::vector<std::wstring>& args, int& code) {
    const std::wstring selfPath = OwnFileName();
    std::wstring copy = CopyToTemp(selfPath);
    if (copy.empty()) return false;
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    brd::UniqueFile deleteOnClose(CreateFileW(copy.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                              &inherit, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    // Without that handle the system removes the copy at the next restart instead.
    if (!deleteOnClose) MoveFileExW(copy.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    auto abandon = [&]() {
        deleteOnClose.reset();
        DeleteFileW(copy.c_str());
        return false;
    };
    HANDLE self = nullptr, reportRead = nullptr, reportWrite = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self, SYNCHRONIZE, TRUE, 0))
        return abandon();
    brd::UniqueKernel selfHandle(self);
    if (!CreatePipe(&reportRead, &reportWrite, &inherit, sizeof(DWORD))) return abandon();
    brd::UniqueKernel reportReadHandle(reportRead), reportWriteHandle(reportWrite);
    SetHandleInformation(reportRead, HANDLE_FLAG_INHERIT, 0);

    auto handleArgument = [](const wchar_t* name, HANDLE h) {
        return name + std::to_wstring(static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(h)));
    };
    std::wstring command = QuoteArgument(copy) + L" " + handleArgument(WaitSwitch, self) + L" " +
                           handleArgument(ReportSwitch, reportWrite) + L" " + QuoteArgument(OriginalSwitch + selfPath);
    for (const std::wstring& arg : args) command += L" " + QuoteArgument(arg);
    std::wstring tempDir = GetTempDir();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PassStandardHandles(startup);
    PROCESS_INFORMATION process{};
    // The copy was written just now: a virus scanner may still hold it for a moment.
    if (StartProcess(copy.c_str(), command, true, 0, tempDir.c_str(), startup, process) != 0) return abandon();
    brd::UniqueKernel thread(process.hThread);
    brd::UniqueKernel copyProcess(process.hProcess);
    // Only the copy may hold the pipe's writing end, so that its end ends the reading.
    reportWriteHandle.reset();
    deleteOnClose.reset();
    code = WaitForCopy(copyProcess.get(), reportRead);
    return true;
}

// The copy's side. The original's file is moved out of the installation for the
// removal: into the temporary directory, or beside the installation folder where
// the temporary directory lies on another volume (a rename cannot cross volumes).
std::wstring MoveOriginalAside(const std::wstring& original) {
    if (original.empty() || !FileExists(original)) return L"";
    const std::wstring name = L"cvlunbrd" + std::to_wstring(GetCurrentProcessId()) + L"_original.tmp";
    const std::wstring folder = original.substr(0, original.find_last_of(L'\\'));
    for (const std::wstring& dir : {GetTempDir(), folder.substr(0, folder.find_last_of(L'\\'))}) {
        if (dir.empty()) continue;
        std::wstring aside = PathJoin(dir, name);
        if (MoveFileExW(original.c_str(), aside.c_str(), 0)) return aside;
    }
    return L"";
}

// A removal that did not finish keeps its uninstaller, which the uninstall entry names.
void PutOriginalBack(const std::wstring& aside, const std::wstring& original) {
    if (!aside.empty()) MoveFileExW(aside.c_str(), original.c_str(), 0);
}

// Hands the exit code to the waiting original, then deletes the original's file
// once the original has ended, unless it went back into the installation.
void ReportToOriginal(const TUnbrdOptions& options, int code, const std::wstring& aside) {
    const DWORD value = static_cast<DWORD>(code);
    DWORD written = 0;
    {
        brd::UniqueKernel report(options.ReportTo);
        WriteFile(report.get(), &value, sizeof(value), &written, nullptr);
    }
    if (options.WaitFor) {
        brd::UniqueKernel original(options.WaitFor);
        WaitForSingleObject(original.get(), HandOverWaitMs);
    }
    if (aside.empty() || !FileExists(aside)) return;
    for (int attempt = 0; !DeleteFileW(aside.c_str()) && attempt < 20; ++attempt) Sleep(50);
    if (FileExists(aside)) MoveFileExW(aside.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

// ---------------------------------------------------------------- the dialog

struct TRemoval {
    const TUndoLogContent& Log;
    bool Partial;
    TLoggedIdes Ides;  // the IDEs the installation registered with
    bool Done = false;
    bool Incomplete = false;  // something is left; the last page lists it
    brd::UniqueIcon Icon;
    brd::UniqueIcon SmallIcon;
    brd::UniqueGdi Picture;
};

// Posted on a change of display scale, once the dialog manager has scaled the dialog.
constexpr UINT WM_REMOVAL_RESCALED = WM_APP + 1;

// The picture and the icons in the sizes for the dialog's display scale.
void ShowArt(HWND dlg, TRemoval& removal) {
    int32_t dpi = WindowDpi(dlg);
    removal.Icon = ProgramIconForDpi(SM_CXICON, dpi);
    removal.SmallIcon = ProgramIconForDpi(SM_CXSMICON, dpi);
    if (removal.Icon) SendMessageW(dlg, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(removal.Icon.get()));
    if (removal.SmallIcon) SendMessageW(dlg, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(removal.SmallIcon.get()));
    ShowPicture(GetDlgItem(dlg, idcSidePicture), removal.Picture, SidePictureForDpi(dpi));
}

// Once the removal has run, Enter means Finish: the button becomes the default one,
// drawn so, and takes the focus.
void MakeFinishTheDefault(HWND dlg) {
    HWND finish = GetDlgItem(dlg, idcCancel);
    SendMessageW(dlg, DM_SETDEFID, idcCancel, 0);
    SendMessageW(GetDlgItem(dlg, idcNext), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    SendMessageW(finish, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    SendMessageW(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(finish), TRUE);
}

std::wstring ProductTitle(const TUndoLogHeader& h) {
    std::wstring name = h.ProductName.empty() ? ProductName : h.ProductName;
    std::wstring version = h.ProductVersion.empty() ? ProductVersion : h.ProductVersion;
    return name + L" v" + version;
}

// The product as the first line of the running removal names it.
std::wstring ProductText(const TUndoLogHeader& h) {
    return (h.ProductType.empty() ? L"" : h.ProductType + L" of ") + ProductTitle(h);
}

std::wstring IntroText(const TUndoLogContent& log) {
    const TUndoLogHeader& h = log.Header;
    std::wstring edition = h.ProductType.empty() ? L"" : L" (" + h.ProductType + L")";
    return ProductTitle(h) + edition + L" will be removed from your computer: the folder\r\n" + h.InstallDir +
           L"\r\nwith all its files, the packages and search paths in your IDEs, the help registration and the "
           L"uninstall entry." +
           (log.Cut ? CutLogNote : L"") + L"\r\n\r\nPress Remove to start.";
}

void InitRemovalDialog(HWND dlg, TRemoval& removal) {
    SetWindowLongPtrW(dlg, DWLP_USER, reinterpret_cast<LONG_PTR>(&removal));
    ShowArt(dlg, removal);
    SetWindowTextW(dlg, (L"Uninstall " + ProductTitle(removal.Log.Header)).c_str());
    SetDlgItemTextW(dlg, idcPageText, IntroText(removal.Log).c_str());
    CheckDlgButton(dlg, idcKeepSettings, removal.Partial ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemTextW(dlg, idcNext, L"&Remove");
}

// The last page of a removal that is not complete: what is left, in a list that
// scrolls, in the place of the progress.
void ShowLeftOver(HWND dlg, const TUndoLogHeader& header, const std::vector<TLeftOver>& left) {
    std::wstring text = ProductTitle(header) + L" has not been removed completely.\r\n\r\n" + RunAgainText +
                        L"\r\n\r\nWhat is left, and why:";
    SetDlgItemTextW(dlg, idcPageText, text.c_str());
    for (int id : {idcProgressGroup, idcProgressBar, idcStatusLine}) ShowWindow(GetDlgItem(dlg, id), SW_HIDE);
    SetDlgItemTextW(dlg, idcLeftList, LeftOverLines(left).c_str());
    ShowWindow(GetDlgItem(dlg, idcLeftList), SW_SHOW);
    SetDlgItemTextW(dlg, idcCancel, L"&Finish");
    SetFocus(GetDlgItem(dlg, idcCancel));
}

void RunRemoval(HWND dlg, TRemoval& removal) {
    const TUndoLogContent& log = removal.Log;
    std::wstring question = L"Are you sure you want to remove " + ProductTitle(log.Header) + L"?";
    if (MessageBoxW(dlg, question.c_str(), BoxCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    if (!AskToCloseRunningIdes(dlg, removal.Ides.Roots, removal.Ides.Detected, BoxCaption,
                               L"to go back without removing anything"))
        return;
    removal.Partial = IsDlgButtonChecked(dlg, idcKeepSettings) == BST_CHECKED;
    ShowWindow(GetDlgItem(dlg, idcKeepSettings), SW_HIDE);
    TRemovalProgress progress(dlg, ProductText(log.Header));
    std::vector<TLeftOver> left;
    ReplayUndoLog(log, removal.Partial, progress, left);
    removal.Done = true;
    removal.Incomplete = !left.empty();
    if (removal.Incomplete) {
        ShowLeftOver(dlg, log.Header, left);
        return;
    }

    std::wstring done = ProductTitle(log.Header) + L" has been removed from your computer.";
    if (removal.Partial) done += L"\r\n\r\nYour settings have been kept.";
    if (log.Cut) done += CutLogNote;
    SetDlgItemTextW(dlg, idcPageText, done.c_str());
    SetDlgItemTextW(dlg, idcCancel, L"&Finish");
    MakeFinishTheDefault(dlg);
}

INT_PTR RemovalMessage(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* removal = reinterpret_cast<TRemoval*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
        case WM_INITDIALOG:
            InitRemovalDialog(dlg, *reinterpret_cast<TRemoval*>(lParam));
            return TRUE;
        case WmDpiChanged:
            // The dialog manager scales the dialog and its controls; the art follows.
            PostMessageW(dlg, WM_REMOVAL_RESCALED, 0, 0);
            return FALSE;
        case WM_REMOVAL_RESCALED:
            if (removal) ShowArt(dlg, *removal);
            return TRUE;
        case WM_COMMAND:
            if (!removal) return FALSE;
            if (LOWORD(wParam) == idcNext && !removal->Done) {
                RunRemoval(dlg, *removal);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dlg, !removal->Done ? euCancelled : removal->Incomplete ? euIncomplete
                                                                                  : euRemoved);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

// Nothing thrown passes into user32: the removal stops where it is and says so.
INT_PTR CALLBACK RemovalDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Guarded([&] { return RemovalMessage(dlg, msg, wParam, lParam); },
                   [&](const wchar_t* why) -> INT_PTR {
                       MessageBoxW(dlg, UnexpectedText(why).c_str(), BoxCaption, MB_OK | MB_ICONERROR);
                       EndDialog(dlg, euUnexpected);
                       return TRUE;
                   });
}

int RemoveWithDialog(const TUndoLogContent& log, bool partial, TLoggedIdes ides) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    TRemoval removal{log, partial, std::move(ides), false, false, {}, {}, {}};
    INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_FRAME), nullptr,
                                     RemovalDlgProc, reinterpret_cast<LPARAM>(&removal));
    return result < 0 ? euCancelled : static_cast<int>(result);
}

HANDLE HandleArgument(const std::wstring& arg) {
    return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(wcstoull(arg.c_str() + 3, nullptr, 10)));
}

}  // namespace

TUnbrdOptions ParseUnbrdArguments(const std::vector<std::wstring>& Args) {
    TUnbrdOptions options;
    for (const std::wstring& arg : Args) {
        if (!IsSwitch(arg)) {
            if (!options.LogFile.empty()) options.Valid = false;
            options.LogFile = arg;
        } else if (arg.size() == 2 && AsciiUpper(arg[1]) == L'S') {
            options.Silent = true;
        } else if (arg.size() == 2 && AsciiUpper(arg[1]) == L'P') {
            options.Partial = true;
        } else if (arg.size() > 3 && AsciiUpper(arg[1]) == L'W' && arg[2] == L':') {
            options.WaitFor = HandleArgument(arg);
        } else if (arg.size() > 3 && AsciiUpper(arg[1]) == L'R' && arg[2] == L':') {
            options.ReportTo = HandleArgument(arg);
        } else if (arg.size() > 3 && AsciiUpper(arg[1]) == L'O' && arg[2] == L':') {
            options.Original = arg.substr(3);
        } else {
            options.Valid = false;
        }
    }
    if (options.LogFile.empty()) options.Valid = false;
    return options;
}

namespace {

// The removal of one installation; aside is set to where the original's file lies
// while the copy works and it has not gone back into the installation.
int Uninstall(const TUnbrdOptions& options, std::wstring& aside) {
    if (!options.Valid) {
        Tell(options, UsageText, MB_ICONINFORMATION);
        return euUsage;
    }
    // The copy in the temporary directory works under the mutex its original holds
    // while it waits, after the original's recovery.
    TRunMutex oneRun;
    if (!options.ReportTo) {
        if (!oneRun.Acquire()) {
            Tell(options, AnotherRunText, MB_ICONINFORMATION);
            return euAnotherRun;
        }
        // An installation that was interrupted is put back first; when that takes away
        // the installation this log belonged to, there is nothing left to remove.
        TRollbackObserver quiet;
        const std::wstring recovered = RecoveryMessage(RollBackJournal(quiet));
        if (!recovered.empty()) {
            Tell(options, recovered, MB_ICONINFORMATION);
            if (!PathExists(options.LogFile)) return euRemoved;
        }
    }

    const TUndoLogContent log = ReadUndoLog(options.LogFile);
    int32_t result = log.Result;
    if (result == 0 && (!log.Whole || !HeaderIsSound(log))) result = duNotALog;
    if (result != 0) {
        Tell(options, LogProblemText(result, options.LogFile));
        return euBadLog;
    }

    TLoggedIdes ides = LoggedIdes(log);
    if (options.Silent) {
        std::vector<TRunningIde> running = FindRunningIdes(ides.Roots);
        if (!running.empty()) {
            WriteStdErr(IdesRunningText(running, ides.Detected));
            return euIdeRunning;
        }
    }

    // Nothing of this process may hold the installation directory open.
    SetCurrentDirectoryW(GetTempDir().c_str());
    // The original hands over before anything is removed; the copy never does.
    int copyCode = 0;
    if (!options.ReportTo && PathLiesBelow(OwnFileName(), log.Header.InstallDir) &&
        HandOverToTempCopy(HandOverArguments(options), copyCode))
        return copyCode;
    aside = MoveOriginalAside(options.Original);

    const int removed = log.Cut ? euCutLog : euRemoved;
    int code = removed;
    if (options.Silent) {
        TReplayObserver quiet;
        std::vector<TLeftOver> left;
        ReplayUndoLog(log, options.Partial, quiet, left);
        if (!left.empty()) {
            WriteStdErr(LeftOverText(left));
            code = euIncomplete;
        }
    } else {
        code = RemoveWithDialog(log, options.Partial, std::move(ides));
        if (code == euRemoved) code = removed;
    }
    if (code != euRemoved && code != euCutLog) {
        PutOriginalBack(aside, options.Original);
        if (!FileExists(aside)) aside.clear();
    }
    return code;
}

}  // namespace

// The one catch of the program's own thread: a removal that stops on the way puts
// the original uninstaller back and reports like any other.
int RunUninstaller() {
    TUnbrdOptions options;
    std::wstring aside;
    const int code = Guarded(
        [&] {
            options = ParseUnbrdArguments(CommandLineArguments());
            // The log is named relative to the directory this process started in.
            if (!options.LogFile.empty()) options.LogFile = GetFullPath(options.LogFile);
            return Uninstall(options, aside);
        },
        [&](const wchar_t* why) {
            Tell(options, UnexpectedText(why));
            if (!aside.empty()) PutOriginalBack(aside, options.Original);
            if (!FileExists(aside)) aside.clear();
            return euUnexpected;
        });
    if (options.ReportTo) ReportToOriginal(options, code, aside);
    return code;
}

// ---------------------------------------------------------------- the removal's progress

void TRemovalProgress::ReplayStarting(size_t BodySize) {
    std::wstring text = L"Performing uninstall of the \"" + FProductText + L"\"...";
    SetDlgItemTextW(FDlg, idcPageText, text.c_str());
    for (int id : {idcProgressGroup, idcProgressBar, idcStatusLine}) ShowWindow(GetDlgItem(FDlg, id), SW_SHOW);
    EnableWindow(GetDlgItem(FDlg, idcNext), FALSE);
    FProgressDivisor = BodySize / (ProgressRangeMax + 1) + 1;
    size_t top = BodySize / FProgressDivisor;
    HWND bar = GetDlgItem(FDlg, idcProgressBar);
    SendMessageW(bar, PBM_SETRANGE, 0, MAKELPARAM(0, top > 1 ? top - 1 : 1));
    SendMessageW(bar, PBM_SETPOS, 0, 0);
    // Cancel stays disabled while records are undone.
    EnableWindow(GetDlgItem(FDlg, idcCancel), FALSE);
    UpdateWindow(FDlg);
}

void TRemovalProgress::RecordStarting(const std::wstring& ActionText) {
    SetDlgItemTextW(FDlg, idcStatusLine, ActionText.c_str());
}

void TRemovalProgress::RecordDone(size_t BytesDone) {
    Sleep(RecordPauseMs);
    SendMessageW(GetDlgItem(FDlg, idcProgressBar), PBM_SETPOS, BytesDone / FProgressDivisor, 0);
    // The window is not pumped while records are undone; repaint what changed.
    UpdateWindow(FDlg);
}

void TRemovalProgress::ReplayEnded() { EnableWindow(GetDlgItem(FDlg, idcCancel), TRUE); }
