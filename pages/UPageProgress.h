// Page 5: the run. It goes on a thread of its own, so that the frame answers all the
// time; the page observes it: the worker sends the status, the progress and the
// error boxes to a message-only window of the page's thread, which shows them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/URunContext.h"
#include "pages/UPage.h"
#include "support/WinHandles.h"

class TScript;

// What the progress page's run left for the Finish page and the wizard's exit status.
struct TRunOutcome {
    int32_t Failures = 0;
    std::vector<std::wstring> Ides;  // the environments in whose blocks rows failed
    std::wstring LogPath;            // install.log
    std::wstring Unexpected;         // what stopped the run when something failed that never should
    std::wstring Stopped;            // what stopped and rolled back the run when the machine could not
                                     // take it (a drive filled up, the uninstall log could not be written)
};

class TPageProgress : public TPage {
public:
    // Plan, Detected and Outcome belong to whoever runs the wizard and outlive the page.
    TPageProgress(const TInstallPlan& Plan, const TDetectedIdes& Detected, TRunOutcome& Outcome);
    ~TPageProgress() override;
    TPageShow Show() override;
    int32_t Hide() override;
    int32_t DoScript();
    void SetText(const std::wstring& Value);
    bool InDoScript() const { return FInDoScript; }
    // Cancel during the run is asked; while the run is being stopped and rolled
    // back, it is passed over.
    TCancelAnswer OnCancel() override;
    bool StopForCancel() override;
    void StopRunAndWait() override;

    // The text of the box that reports a failing row.
    static std::wstring ErrorMessage(int32_t Row, int32_t Error, uint32_t TypeId, const std::wstring& LogText);

    // What the wizard says after a cancelled run has been rolled back.
    static const wchar_t* const CancelledText;

private:
    class ProgressObserver;
    friend class ProgressObserver;
    static DWORD WINAPI RunThread(void* Page);
    static LRESULT CALLBACK RelayProc(HWND Wnd, UINT Msg, WPARAM wParam, LPARAM lParam);
    LRESULT Relay(HWND Wnd, UINT Msg, WPARAM wParam, LPARAM lParam);
    void Run(ProgressObserver& Observer);
    void RollBackIfStopped(ProgressObserver& Observer);
    void RunDone();
    void OnUnexpected(const wchar_t* Why);

    const TInstallPlan& FPlan;
    const TDetectedIdes& FDetected;
    TRunOutcome& FWizardOutcome;  // handed on when the run has ended
    bool FInDoScript = false;
    bool FStopping = false;
    bool FRolledBack = false;  // set by the worker before it posts its end
    std::wstring FStopReason;  // the same
    TRunOutcome FOutcome;      // the same
    std::wstring FUnexpected;  // what failed on the page's thread
    WPARAM FRollbackFrom = 0;  // where the bar was when the rollback began
    WPARAM FRollbackSteps = 1;
    std::unique_ptr<TScript> FScript;
    HWND FRelay = nullptr;  // the message-only window the worker reports to
    brd::UniqueKernel FThread;
};
