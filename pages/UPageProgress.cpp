// Page 5: runs the install script on a worker thread, shows each row in the status
// line and the progress bar, reports failing rows and moves on to the Finish page
// by itself. Cancel with Yes stops the run at the next row boundary (a compiler
// that runs is ended with its job); the page then shows the rollback, tells the user
// and closes the wizard.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <memory>
#include <vector>

#include "pages/UPageProgress.h"
#include "resources/UResourceIds.h"
#include "script/UScript.h"
#include "script/UScriptItems.h"
#include "script/UScriptRun.h"
#include "support/UGuard.h"
#include "support/UConst.h"
#include "support/UPaths.h"
#include "support/UProduct.h"

namespace {

// What the worker sends to the page's thread. Texts travel as pointers: the worker
// waits in SendMessage until they have been used.
enum : UINT {
    // clang-format off
    rmStatus = WM_APP + 1,    // lParam: const std::wstring*
    rmRowFailed,              // lParam: const std::wstring*
    rmStep,                   // wParam: the bar's step
    rmRollbackStart,          // wParam: the rollback's steps
    rmRollbackStep,           // wParam: steps left
    rmDone,                   // posted when the worker has ended
    // clang-format on
};

constexpr const wchar_t* RelayClass = L"CvlProgressRelay";
constexpr const wchar_t* RollbackText = L"Rolling back the installation";

std::wstring ProgressText() {
    return std::wstring(L"Performing install of the ") + EditionText + L" of " + ProductName + L" v" +
           ProductVersion + L" on you computer." + L"\r\n\r\n" + L"Please wait...";
}

void RegisterRelayClass() {
    WNDCLASSW cls{};
    if (GetClassInfoW(GetModuleHandleW(nullptr), RelayClass, &cls)) return;
    cls.lpfnWndProc = DefWindowProcW;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = RelayClass;
    RegisterClassW(&cls);
}

}  // namespace

const wchar_t* const TPageProgress::CancelledText =
    L"The installation was cancelled. Everything it had changed has been put back: the computer is as it was "
    L"before the installation.";

// The worker's side of the run: every call waits until the page's thread has shown it.
class TPageProgress::ProgressObserver : public TScriptRunObserver, public TRollbackObserver {
public:
    explicit ProgressObserver(HWND Relay) : FRelay(Relay) {}
    void RowStarting(const std::wstring& Status) override {
        SendMessageW(FRelay, rmStatus, 0, reinterpret_cast<LPARAM>(&Status));
    }
    void RowFailed(const std::wstring& ErrorText) override {
        SendMessageW(FRelay, rmRowFailed, 0, reinterpret_cast<LPARAM>(&ErrorText));
    }
    void RowDone(int32_t ProgressStep) override { SendMessageW(FRelay, rmStep, static_cast<WPARAM>(ProgressStep), 0); }
    void RollbackStarting(int32_t Steps) override { SendMessageW(FRelay, rmRollbackStart, static_cast<WPARAM>(Steps), 0); }
    void RollbackStep(int32_t StepsLeft) override {
        SendMessageW(FRelay, rmRollbackStep, static_cast<WPARAM>(StepsLeft), 0);
    }

private:
    HWND FRelay;
};

TPageProgress::TPageProgress(const TInstallPlan& Plan, const TDetectedIdes& Detected, TRunOutcome& Outcome)
    : FPlan(Plan), FDetected(Detected), FWizardOutcome(Outcome) {}

TPageProgress::~TPageProgress() {
    // The wizard never closes while the worker runs; should it, the run is stopped.
    if (FThread) {
        if (FScript) FScript->RequestStop(L"the wizard was closed");
        WaitForSingleObject(FThread.get(), INFINITE);
    }
    if (FRelay) DestroyWindow(FRelay);
}

std::wstring TPageProgress::ErrorMessage(int32_t Row, int32_t Error, uint32_t TypeId, const std::wstring& LogText) {
    return RowErrorText(Row, Error, TypeId, LogText);
}

TPageShow TPageProgress::Show() {
    for (int id : {idcProgressGroup, idcProgressBar, idcStatusLine}) ShowItem(id, true);
    EnableWindow(Item(idcNext), FALSE);
    EnableWindow(Item(idcBack), FALSE);
    RedrawWindow(DlgHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SetItemText(idcPageText, ProgressText());
    return DoScript() != 0 ? TPageShow::Shown : TPageShow::Failed;
}

int32_t TPageProgress::Hide() {
    for (int id : {idcProgressGroup, idcProgressBar, idcStatusLine}) ShowItem(id, false);
    return 1;
}

void TPageProgress::SetText(const std::wstring& Value) { SetItemText(idcStatusLine, Value); }

TCancelAnswer TPageProgress::OnCancel() { return FStopping ? TCancelAnswer::Ignore : TCancelAnswer::Ask; }

bool TPageProgress::StopForCancel() {
    if (!FInDoScript || !FScript) return false;
    FStopping = true;
    FScript->RequestStop(L"cancelled by the user");
    return true;
}

void TPageProgress::StopRunAndWait() {
    if (!FThread) return;
    FStopping = true;
    if (FScript) FScript->RequestStop(L"setup stopped");
    // The worker reports with SendMessage to this thread: those messages are taken
    // while it is waited for, the rest (its end among them) go with the relay.
    HANDLE thread = FThread.get();
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    FThread.reset();
    FScript.reset();
    FInDoScript = false;
    if (FRelay) DestroyWindow(FRelay);
    FRelay = nullptr;
}

// Something failed on this thread that never should: a run that goes on is stopped
// and rolled back, and its end closes the wizard; else the wizard closes now.
void TPageProgress::OnUnexpected(const wchar_t* Why) {
    FUnexpected = Why;
    if (FThread && FScript) {
        FScript->RequestStop(Why);
        return;
    }
    FWizardOutcome.Unexpected = FUnexpected;
    EndDialog(DlgHandle, IDCANCEL);
}

int32_t TPageProgress::DoScript() {
    if (FInDoScript) return 1;
    RegisterRelayClass();
    if (!FRelay)
        FRelay = CreateWindowExW(0, RelayClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                                 nullptr);
    if (!FRelay) return 0;
    SetWindowLongPtrW(FRelay, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(FRelay, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RelayProc));
    FInDoScript = true;
    FStopping = false;
    FRolledBack = false;
    FOutcome = TRunOutcome{};
    FScript = std::make_unique<TScript>(FPlan, FDetected);
    HWND bar = Item(idcProgressBar);
    SendMessageW(bar, PBM_SETRANGE, 0, MAKELPARAM(0, static_cast<WORD>(FScript->ProgressCount() - 1)));
    SendMessageW(bar, PBM_SETPOS, 0, 0);
    FThread.reset(CreateThread(nullptr, 0, RunThread, this, 0, nullptr));
    if (!FThread) RunThread(this);  // no thread to be had: the run holds this thread as before
    return 1;
}

// Nothing thrown leaves the thread: whatever it is stops the run, which is rolled back.
DWORD WINAPI TPageProgress::RunThread(void* Page) {
    auto* page = static_cast<TPageProgress*>(Page);
    ProgressObserver observer(page->FRelay);
    page->Run(observer);
    Guarded([&] { page->RollBackIfStopped(observer); }, [](const wchar_t*) {});
    PostMessageW(page->FRelay, rmDone, 0, 0);
    return 0;
}

// The worker: the removal of the previous installation and the rows.
void TPageProgress::Run(ProgressObserver& Observer) {
    Guarded(
        [&] {
            if (FScript->Start() == 0) FOutcome.Failures = RunScriptRows(*FScript, Observer);
            FOutcome.Ides = FScript->FailedIdes();
        },
        [&](const wchar_t* Why) {
            FOutcome.Unexpected = Why;
            FScript->RequestStop(Why);
        });
}

// A run that was stopped is rolled back; a rollback that fails on the way leaves the
// journal, which the wizard rolls back when it closes.
void TPageProgress::RollBackIfStopped(ProgressObserver& Observer) {
    if (!FScript->StopRequested()) return;
    FRolledBack = true;
    FStopReason = FScript->StopReason();
    FOutcome.Failures += 1;
    RollBackRun(*FScript, Observer);
}

LRESULT CALLBACK TPageProgress::RelayProc(HWND Wnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    auto* page = reinterpret_cast<TPageProgress*>(GetWindowLongPtrW(Wnd, GWLP_USERDATA));
    if (!page) return DefWindowProcW(Wnd, Msg, wParam, lParam);
    return Guarded([&] { return page->Relay(Wnd, Msg, wParam, lParam); },
                   [&](const wchar_t* Why) -> LRESULT {
                       page->OnUnexpected(Why);
                       return 0;
                   });
}

// What the worker sent, shown on the page's thread.
LRESULT TPageProgress::Relay(HWND Wnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    HWND bar = Item(idcProgressBar);
    switch (Msg) {
        case rmStatus: SetText(*reinterpret_cast<const std::wstring*>(lParam)); return 0;
        case rmRowFailed:
            MessageBoxW(DlgHandle, reinterpret_cast<const std::wstring*>(lParam)->c_str(), L"Error", MB_OK);
            return 0;
        case rmStep: SendMessageW(bar, PBM_DELTAPOS, wParam, 0); return 0;
        case rmRollbackStart:
            SetText(RollbackText);
            // The bar goes back from where the run was to its start.
            FRollbackFrom = static_cast<WPARAM>(SendMessageW(bar, PBM_GETPOS, 0, 0));
            FRollbackSteps = wParam > 0 ? wParam : 1;
            return 0;
        case rmRollbackStep:
            SendMessageW(bar, PBM_SETPOS, FRollbackFrom * wParam / FRollbackSteps, 0);
            return 0;
        case rmDone: RunDone(); return 0;
        default: return DefWindowProcW(Wnd, Msg, wParam, lParam);
    }
}

// On the page's thread, once the worker has ended: on to the Finish page, or after
// a rollback, the user is told and the wizard closes.
void TPageProgress::RunDone() {
    if (FThread) WaitForSingleObject(FThread.get(), INFINITE);
    FThread.reset();
    FScript.reset();
    FInDoScript = false;
    if (!FUnexpected.empty()) FOutcome.Unexpected = FUnexpected;
    FWizardOutcome = FOutcome;
    FWizardOutcome.LogPath = PathJoin(FPlan.Dir, L"install.log");
    if (FRolledBack && !FStopping && FUnexpected.empty()) FWizardOutcome.Stopped = FStopReason;
    if (FRolledBack) {
        const std::wstring text = FStopping && FUnexpected.empty()
                                      ? std::wstring(CancelledText)
                                      : L"The installation was stopped (" + FStopReason +
                                            L"). Everything it had changed has been put back.";
        MessageBoxW(DlgHandle, text.c_str(), L"Install", MB_OK | MB_ICONINFORMATION);
        EndDialog(DlgHandle, IDCANCEL);
        return;
    }
    EnableWindow(Item(idcNext), TRUE);
    SendMessageW(Item(idcNext), BM_CLICK, 0, 0);
    Hide();
}
