// The wizard pages. A page is an object, not a window: it shows, fills, sizes and
// hides controls of the frame dialog it is handed before each Show. The pages share
// one plan, owned by whoever runs the wizard: the selection and directory pages
// build it (through catalogue/UInstallChoice), the later pages read it.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/URunContext.h"
#include "support/WinHandles.h"

class TScript;

// What Show returns: the page is shown, or a failure ends the wizard's navigation,
// or the page asks to go back one page, to be shown again, or to be passed over onto
// the next one. The values are the frame's message results for Next and Back.
enum class TPageShow : int32_t {
    Failed = 0,
    Shown = 1,
    Back = 9,
    Again = 10,
    Forward = 11,
};

// The move a result asks for: -1, 0 or +1 pages.
constexpr int32_t StepOf(TPageShow Result) {
    return static_cast<int32_t>(Result) - static_cast<int32_t>(TPageShow::Again);
}
constexpr bool IsPageStep(TPageShow Result) {
    return Result == TPageShow::Back || Result == TPageShow::Again || Result == TPageShow::Forward;
}

// How the frame answers Cancel on a page.
enum class TCancelAnswer {
    Ignore,  // the page has taken care of it; nothing more happens
    Close,   // the wizard closes at once
    Ask,     // the user is asked whether to cancel the install
};

class TPage {
public:
    virtual ~TPage() = default;
    virtual TPageShow Show() = 0;
    virtual int32_t Hide() = 0;
    virtual int32_t DlgProc(UINT Msg, WPARAM wParam, LPARAM lParam);
    virtual TCancelAnswer OnCancel() { return TCancelAnswer::Ask; }
    // The user has answered Yes to the cancel question. True when the page stops a
    // run of its own and closes the wizard itself once it has been rolled back;
    // false lets the wizard close at once.
    virtual bool StopForCancel() { return false; }
    // Asked before the user's Next (Step 1) or Back (Step -1) leaves the page; false
    // keeps the wizard on it, as it is.
    virtual bool MayLeave(int32_t) { return true; }

    HWND DlgHandle = nullptr;
    std::wstring Name;
    TInstallPlan* Plan = nullptr;  // the wizard's plan, set by CreatePages

protected:
    HWND Item(int id) const { return GetDlgItem(DlgHandle, id); }
    void ShowItem(int id, bool visible) const { ShowWindow(Item(id), visible ? SW_SHOW : SW_HIDE); }
    void SetItemText(int id, const std::wstring& text) const { SetDlgItemTextW(DlgHandle, id, text.c_str()); }
    // Sizes the page text to 1/Divisor of the side picture's client height and shows it.
    void SizePageText(int Divisor) const;
};

class TPageWelcome : public TPage {
public:
    TPageShow Show() override;
    int32_t Hide() override { return 1; }
};

class TbrdCheckListBox;

// Page 2: the environments and optional parts to install, preset from detection and
// from the record of a previous installation. Owns the check list on list box 1013
// and the Customize dialog (resource 900).
class TPageSelectDelphi : public TPage {
public:
    TPageSelectDelphi();
    ~TPageSelectDelphi() override;
    TPageShow Show() override;
    int32_t Hide() override;
    int32_t DlgProc(UINT Msg, WPARAM wParam, LPARAM lParam) override;
    // Next with an IDE that was never started asks whether to go on with files only.
    bool MayLeave(int32_t Step) override;

    void CheckClick(TbrdCheckListBox* Sender);
    void CustomizeOnClick(TbrdCheckListBox* Sender);

private:
    void LoadPreviousInstall();
    void ShowCustomizeDialog();
    uint32_t CheckedMask() const;
    void EnableNextByChecks() const;

    int32_t FPrevInstallSelected = 0;  // "InstallVersions" of the previous installation
    int32_t FPrevInstallItems = 0;     // "InstallItems" of the previous installation
    std::wstring FPrevVersion;
    bool FFirstShow = true;
    std::unique_ptr<TbrdCheckListBox> CLB;
};

// The one selection page, while it exists; the Customize dialog reaches it here.
extern TPageSelectDelphi* PageSelectDelphi;

// The Customize dialog's list: bit i of CustomizeItems belongs to row i.
struct TCustomizeEntry {
    const wchar_t* Caption;
    const wchar_t* Description;
};
extern const std::vector<TCustomizeEntry> CustomizeEntries;

INT_PTR CALLBACK CustomizeDlgProc(HWND Wnd, UINT Msg, WPARAM wParam, LPARAM lParam);

// The selection list, as the page fills it and reads it back into Plan.
void FillSelectionList(TbrdCheckListBox& List);
void StoreSelectionList(const TbrdCheckListBox& List, TInstallPlan& Plan);

class TPageSelectDirectory : public TPage {
public:
    TPageShow Show() override;
    int32_t Hide() override;
    int32_t DlgProc(UINT Msg, WPARAM wParam, LPARAM lParam) override;

    std::wstring Directory;  // proposed, or returned by the folder browser

private:
    void DefaultDirectory();
    void ShowDirectory();
    bool Browse();
    static int CALLBACK BrowseCallback(HWND Wnd, UINT Msg, LPARAM lParam, LPARAM Data);

    std::wstring FPrevInstallPath;
    bool FFirstShow = true;
};

class TPageReadyForInstall : public TPage {
public:
    TPageShow Show() override;
    int32_t Hide() override;
    // Start waits until no IDE of the run is running.
    bool MayLeave(int32_t Step) override;

private:
    // False (after telling the user) when the wizard should go back for another folder.
    bool InstallDirAcceptable() const;
};

// The run goes on a thread of its own, so that the frame answers all the time; the
// page observes it: the worker sends the status, the progress and the error boxes
// to a message-only window of the page's thread, which shows them.
// What the progress page's run left for the Finish page and the wizard's exit status.
struct TRunOutcome {
    int32_t Failures = 0;
    std::vector<std::wstring> Ides;  // the environments in whose blocks rows failed
    std::wstring LogPath;            // install.log
};
class TPageProgress : public TPage {
public:
    TPageProgress();
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

    // The text of the box that reports a failing row.
    static std::wstring ErrorMessage(int32_t Row, int32_t Error, uint32_t TypeId, const std::wstring& LogText);

    // What the wizard says after a cancelled run has been rolled back.
    static const wchar_t* const CancelledText;

private:
    class ProgressObserver;
    friend class ProgressObserver;
    static DWORD WINAPI RunThread(void* Page);
    static LRESULT CALLBACK RelayProc(HWND Wnd, UINT Msg, WPARAM wParam, LPARAM lParam);
    void Run();
    void RunDone();

    bool FInDoScript = false;
    bool FStopping = false;
    bool FRolledBack = false;  // set by the worker before it posts its end
    std::wstring FStopReason;  // the same
    TRunOutcome FOutcome;      // the same
    WPARAM FRollbackFrom = 0;  // where the bar was when the rollback began
    WPARAM FRollbackSteps = 1;
    std::unique_ptr<TScript> FScript;
    HWND FRelay = nullptr;  // the message-only window the worker reports to
    brd::UniqueKernel FThread;
};

class TPageFinish : public TPage {
public:
    TPageShow Show() override;
    int32_t Hide() override { return 1; }
    TCancelAnswer OnCancel() override { return TCancelAnswer::Close; }
    bool SaveInstallState();
};

extern TRunOutcome RunOutcome;

// The lines the Finish page adds below its text when steps failed; empty when none.
std::wstring FailureSummary(const TRunOutcome& Outcome);

constexpr int PageCount = 6;
// The page the wizard shows, 1..PageCount.
extern int32_t CurrentPage;
// Entries 1..6; entry 0 stays empty.
extern std::array<std::unique_ptr<TPage>, PageCount + 1> Pages;

// The six pages, all working on Plan, which must outlive them.
void CreatePages(TInstallPlan& Plan);
void FreePages();

// The page texts.
std::wstring WelcomeText();
std::wstring ReadyText();
std::wstring FinishText();
