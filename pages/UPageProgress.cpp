// Page 5: runs the install script row by row on the user-interface thread, shows
// each row in the status line and the progress bar, reports failing rows and moves
// on to the Finish page by itself.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <memory>
#include <vector>

#include "pages/UPage.h"
#include "script/UScript.h"
#include "script/UScriptItems.h"
#include "setup/UFrame.h"

namespace {

std::wstring ProgressText() {
    return std::wstring(L"Performing install of the ") + EditionText + L" of " + ProductName + L" v" +
           ProductVersion + L" on you computer." + L"\r\n\r\n" + L"Please wait...";
}

// The whole text, however long the row's log text is.
std::wstring ErrorText(int32_t Row, int32_t Error, uint32_t TypeId, const std::wstring& LogText) {
    const wchar_t* format = L"Error in ScriptItem=%d, ErrorCode=%xh ScriptItemId=%x with text\r\n";
    int length = _scwprintf(format, Row, static_cast<unsigned>(Error), TypeId);
    std::vector<wchar_t> head(static_cast<size_t>(length > 0 ? length : 0) + 1);
    swprintf(head.data(), head.size(), format, Row, static_cast<unsigned>(Error), TypeId);
    return head.data() + LogText;
}

// Lets one waiting keyboard message through, or else one mouse message, so that
// Cancel and the link label answer while the run holds the thread.
void LetOneInputMessageThrough() {
    MSG msg;
    if (PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_UNICHAR, PM_REMOVE) ||
        PeekMessageW(&msg, nullptr, WM_MOUSEFIRST, 0x20E, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

std::wstring TPageProgress::ErrorMessage(int32_t Row, int32_t Error, uint32_t TypeId, const std::wstring& LogText) {
    return ErrorText(Row, Error, TypeId, LogText);
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
    auto script = std::make_unique<TScript>();
    script->Start();
    HWND bar = Item(idcProgressBar);
    SendMessageW(bar, PBM_SETRANGE, 0, MAKELPARAM(0, static_cast<WORD>(script->ProgressCount() - 1)));
    SendMessageW(bar, PBM_SETPOS, 0, 0);
    std::wstring status;
    while (script->Current < script->Count()) {
        script->ItemText(status);
        SetText(status);
        const int32_t error = script->ItemDoScript();
        if (error != 0) {
            // The error's own text stays as it is; what a compiler printed goes below it.
            std::wstring text = ErrorText(script->Current, error, ScriptItems[script->Current].TypeId,
                                          script->LogString()) +
                                script->CompilerReport();
            MessageBoxW(DlgHandle, text.c_str(), L"Error", MB_OK);
        }
        SendMessageW(bar, PBM_DELTAPOS, static_cast<WPARAM>(script->ItemProgressStep()), 0);
        // The run holds the thread, so the two controls that change are painted here.
        UpdateWindow(bar);
        UpdateWindow(Item(idcStatusLine));
        script->Current += 1;
        LetOneInputMessageThrough();
    }
    EnableWindow(Item(idcNext), TRUE);
    SendMessageW(Item(idcNext), BM_CLICK, 0, 0);
    Hide();
    script.reset();
    FInDoScript = false;
    return 1;
}
