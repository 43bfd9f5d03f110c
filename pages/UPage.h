// The base of the wizard pages. A page is an object, not a window: it shows, fills,
// sizes and hides controls of the frame dialog it is handed before each Show. What a
// page works on (the plan, the selection list, what detection found, the run's
// outcome) it is given when it is made, by whoever runs the wizard; the frame owns
// the pages and knows which one is shown.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

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
    // Stops a run the page has going on another thread and waits until it has been
    // rolled back; the frame asks for it before it closes on an unexpected failure.
    virtual void StopRunAndWait() {}

    HWND DlgHandle = nullptr;

protected:
    HWND Item(int id) const { return GetDlgItem(DlgHandle, id); }
    void ShowItem(int id, bool visible) const { ShowWindow(Item(id), visible ? SW_SHOW : SW_HIDE); }
    void SetItemText(int id, const std::wstring& text) const { SetDlgItemTextW(DlgHandle, id, text.c_str()); }
    // Sizes the page text to 1/Divisor of the side picture's client height and shows it.
    void SizePageText(int Divisor) const;
};
