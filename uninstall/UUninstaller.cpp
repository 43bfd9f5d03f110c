#include "uninstall/UUninstaller.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>
#include <utility>

#include "catalogue/UIdeState.h"
#include "catalogue/UProducts.h"
#include "resources/UResourceIds.h"
#include "support/UDpi.h"
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
// How long the copy in the temporary directory waits for the original to end.
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

// The root folders of the IDEs the installation registered with, as they are now.
std::vector<std::wstring> LoggedIdeRoots(const TUndoLogContent& log) {
    DetectProducts();
    return IdeRootsOfRows(log.Ides);
}

std::wstring IdesRunningText(const std::vector<TRunningIde>& running) {
    return L"Nothing has been removed: close these IDEs first and run the removal again.\r\n" +
           RunningIdesList(running);
}

// A log that ends inside a record is removed up to that record; the user learns
// that the installation had been stopped and what may therefore be left.
inline constexpr const wchar_t* CutLogNote =
    L"\r\n\r\nThe uninstall log ends in the middle of an entry: the installation was stopped before it "
    L"finished. Everything the log records is removed; what the installation did last may be left behind.";

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

// The copy's arguments: this run's switches and the log by its full path, since
// the copy runs in another directory.
std::vector<std::wstring> HandOverArguments(const TUnbrdOptions& options) {
    std::vector<std::wstring> args;
    if (options.Silent) args.emplace_back(L"/S");
    if (options.Partial) args.emplace_back(L"/P");
    args.push_back(GetFullPath(options.LogFile));
    return args;
}

// Starts the temporary copy. It inherits a handle that deletes its file when the
// last handle closes, that is when the copy ends.
bool HandOverToTempCopy(const std::vector<std::wstring>& args) {
    std::wstring copy = CopyToTemp(OwnFileName());
    if (copy.empty()) return false;
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    brd::UniqueFile deleteOnClose(CreateFileW(copy.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                              &inherit, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    // Without that handle the system removes the copy at the next restart instead.
    if (!deleteOnClose) MoveFileExW(copy.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    HANDLE self = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self, SYNCHRONIZE, TRUE, 0)) {
        deleteOnClose.reset();
        DeleteFileW(copy.c_str());
        return false;
    }
    brd::UniqueKernel selfHandle(self);

    std::wstring command = QuoteArgument(copy) + L" " + WaitSwitch +
                           std::to_wstring(static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(self)));
    for (const std::wstring& arg : args) command += L" " + QuoteArgument(arg);
    std::wstring tempDir = GetTempDir();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    // The copy was written just now: a virus scanner may still hold it for a moment.
    if (StartProcess(copy.c_str(), command, true, 0, tempDir.c_str(), startup, process) != 0) {
        deleteOnClose.reset();
        DeleteFileW(copy.c_str());
        return false;
    }
    brd::UniqueKernel thread(process.hThread);
    brd::UniqueKernel started(process.hProcess);
    return true;
}

// ---------------------------------------------------------------- the dialog

struct TRemoval {
    const TUndoLogContent& Log;
    bool Partial;
    std::vector<std::wstring> IdeRoots;  // of the IDEs the installation registered with
    bool Done = false;
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

void RunRemoval(HWND dlg, TRemoval& removal) {
    const TUndoLogContent& log = removal.Log;
    std::wstring question = L"Are you sure you want to remove " + ProductTitle(log.Header) + L"?";
    if (MessageBoxW(dlg, question.c_str(), BoxCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    if (!AskToCloseRunningIdes(dlg, removal.IdeRoots, BoxCaption, L"to go back without removing anything")) return;
    removal.Partial = IsDlgButtonChecked(dlg, idcKeepSettings) == BST_CHECKED;
    ShowWindow(GetDlgItem(dlg, idcKeepSettings), SW_HIDE);
    TRemovalProgress progress(dlg, ProductText(log.Header));
    ReplayUndoLog(log, removal.Partial, progress);
    removal.Done = true;

    std::wstring done = ProductTitle(log.Header) + L" has been removed from your computer.";
    if (removal.Partial) done += L"\r\n\r\nYour settings have been kept.";
    if (log.Cut) done += CutLogNote;
    SetDlgItemTextW(dlg, idcPageText, done.c_str());
    SetDlgItemTextW(dlg, idcCancel, L"&Finish");
    MakeFinishTheDefault(dlg);
}

INT_PTR CALLBACK RemovalDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
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
                EndDialog(dlg, removal->Done ? euRemoved : euCancelled);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

int RemoveWithDialog(const TUndoLogContent& log, bool partial, std::vector<std::wstring> ideRoots) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    TRemoval removal{log, partial, std::move(ideRoots), false, {}, {}, {}};
    INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_FRAME), nullptr,
                                     RemovalDlgProc, reinterpret_cast<LPARAM>(&removal));
    return result < 0 ? euCancelled : static_cast<int>(result);
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
            options.WaitFor = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(wcstoull(arg.c_str() + 3, nullptr, 10)));
        } else {
            options.Valid = false;
        }
    }
    if (options.LogFile.empty()) options.Valid = false;
    return options;
}

int RunUninstaller() {
    TUnbrdOptions options = ParseUnbrdArguments(CommandLineArguments());
    if (options.WaitFor) {
        brd::UniqueKernel original(options.WaitFor);
        WaitForSingleObject(original.get(), HandOverWaitMs);
    }
    if (!options.Valid) {
        Tell(options, UsageText, MB_ICONINFORMATION);
        return euUsage;
    }
    TRunMutex oneRun;
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

    const TUndoLogContent log = ReadUndoLog(options.LogFile);
    int32_t result = log.Result;
    if (result == 0 && !log.Whole) result = duNotALog;
    if (result != 0) {
        Tell(options, LogProblemText(result, options.LogFile));
        return euBadLog;
    }

    // A silent run cannot wait for the user, so it ends before the hand-over, where its
    // exit code still reaches whoever started it.
    std::vector<std::wstring> ideRoots = LoggedIdeRoots(log);
    if (options.Silent) {
        std::vector<TRunningIde> running = FindRunningIdes(ideRoots);
        if (!running.empty()) {
            WriteStdErr(IdesRunningText(running));
            return euIdeRunning;
        }
    }

    const int removed = log.Cut ? euCutLog : euRemoved;
    // The original hands over before anything is removed; the copy never does.
    if (!options.WaitFor && PathLiesBelow(OwnFileName(), log.Header.InstallDir) && HandOverToTempCopy(HandOverArguments(options)))
        return removed;
    // Nothing of this process may hold the installation directory open.
    SetCurrentDirectoryW(GetTempDir().c_str());

    if (options.Silent) {
        TReplayObserver quiet;
        ReplayUndoLog(log, options.Partial, quiet);
        return removed;
    }
    const int exitCode = RemoveWithDialog(log, options.Partial, std::move(ideRoots));
    return exitCode == euRemoved ? removed : exitCode;
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
