// Page 5: runs the install script row by row on the user-interface thread, shows
// each row in the status line and the progress bar, reports failing rows and moves
// on to the Finish page by itself.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <memory>
#include <vector>

#include "pages/UPage.h"
#include "resources/UResourceIds.h"
#include "script/UScript.h"
#include "script/UScriptItems.h"
#include "script/UScriptRun.h"
#include "support/UProduct.h"

namespace {

std::wstring ProgressText() {
    return std::wstring(L"Performing install of the ") + EditionText + L" of " + ProductName + L" v" +
           ProductVersion + L" on you computer." + L"\r\n\r\n" + L"Please wait...";
}

// Lets one waiting keyboard message through, or else one mouse message, so that
// Cancel and the link label answer while the run holds the thread.
void LetOneInputMessageThrough() {
    MSG msg;
    if (PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_UNICHAR, PM_REMOVE) ||
        PeekMessageW(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSEHWHEEL, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

// The page's side of the run: status line, progress bar, error box, input.
class TPageProgress::ProgressObserver : public TScriptRunObserver {
public:
    explicit ProgressObserver(TPageProgress& Page) : FPage(Page) {}
    void RowStarting(const std::wstring& Status) override { FPage.SetText(Status); }
    void RowFailed(const std::wstring& ErrorText) override {
        MessageBoxW(FPage.DlgHandle, ErrorText.c_str(), L"Error", MB_OK);
    }
    void RowDone(int32_t ProgressStep) override {
        HWND bar = FPage.Item(idcProgressBar);
        SendMessageW(bar, PBM_DELTAPOS, static_cast<WPARAM>(ProgressStep), 0);
        // The run holds the thread, so the two controls that change are painted here.
        UpdateWindow(bar);
        UpdateWindow(FPage.Item(idcStatusLine));
        LetOneInputMessageThrough();
    }

private:
    TPageProgress& FPage;
};

std::wstring TPageProgress::ErrorMessage(int32_t Row, int32_t Error, uint32_t TypeId, const std::wstring& LogText) {
    return RowErrorText(Row, Error, TypeId, LogText);
}

int32_t TPageProgress::Show() {
    for (int id : {idcProgressGroup, idcProgressBar, idcStatusLine}) ShowItem(id, true);
    EnableWindow(Item(idcNext), FALSE);
    EnableWindow(Item(idcBack), FALSE);
    RedrawWindow(DlgHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SetItemText(idcPageText, ProgressText());
    return DoScript();
}

int32_t TPageProgress::Hide() {
    for (int id : {idcProgressGroup, idcProgressBar, idcStatusLine}) ShowItem(id, false);
    return 1;
}

void TPageProgress::SetText(const std::wstring& Value) { SetItemText(idcStatusLine, Value); }

int32_t TPageProgress::DoScript() {
    FInDoScript = true;
    auto script = std::make_unique<TScript>(*Plan);
    script->Start();
    HWND bar = Item(idcProgressBar);
    SendMessageW(bar, PBM_SETRANGE, 0, MAKELPARAM(0, static_cast<WORD>(script->ProgressCount() - 1)));
    SendMessageW(bar, PBM_SETPOS, 0, 0);
    ProgressObserver observer(*this);
    RunScriptRows(*script, observer);
    EnableWindow(Item(idcNext), TRUE);
    SendMessageW(Item(idcNext), BM_CLICK, 0, 0);
    Hide();
    script.reset();
    FInDoScript = false;
    return 1;
}
