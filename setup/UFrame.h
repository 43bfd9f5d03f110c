// The wizard frame: one modal dialog (resource 1) that owns Back, Next and Cancel,
// the caption and the maker link label, and shows the pages one at a time. The frame
// object owns the pages and knows the page shown; its dialog finds it in the
// window's user data, set when the dialog is made.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "pages/UWizardPages.h"
#include "resources/UResourceIds.h"
#include "support/UProduct.h"  // MakerWebSite
#include "support/WinHandles.h"

inline constexpr const wchar_t* LinkLabelClass = L"CV_ILABEL";

// How a click on the link label opens the web site; the tests replace it.
using TLinkOpener = void (*)(const wchar_t* url);
void ShellOpenLink(const wchar_t* url);

// The link label's class: the system static class with a hand cursor, which Tab
// reaches and Enter or Space open (controls/ULinkLabel.h).
void RegisterLinkLabelClass();

class TFrame {
public:
    explicit TFrame(TWizardPages Pages) : FPages(std::move(Pages)) {}

    // The page shown, 1..PageCount.
    int32_t CurrentPage() const { return FCurrent; }
    HWND LinkLabel() const { return FLinkLabel; }
    // Shows the page Step pages on (0: the page shown again); the last Show's result.
    int32_t Navigate(int32_t Step);
    // The message's result, as the dialog procedure returns it.
    INT_PTR Message(HWND Wnd, UINT Msg, WPARAM wParam, LPARAM lParam);
    // Something failed that never should: the page's run is stopped and rolled back,
    // and the wizard closes; whoever runs it tells the user Why.
    void CloseOnUnexpected(const std::wstring& Why);

    TLinkOpener LinkOpener = ShellOpenLink;
    uint32_t LastLinkClick = 0;  // when the accepted click was, 0 for none
    std::wstring Unexpected;     // what closed the wizard on CloseOnUnexpected

    void OnLinkClick();

private:
    BOOL InitDialog(HWND Wnd);
    TPage* Shown() const { return FPages[static_cast<size_t>(FCurrent)].get(); }
    void SetFrameIcon(int32_t Dpi);
    void PlaceLinkLabel();
    void CreateLinkLabel();
    void ShowSidePicture();
    void OnRescaled();
    void FollowDefaultButton();
    void OnParentNotify(WPARAM wParam, LPARAM lParam);
    INT_PTR OnCancel(WPARAM wParam);
    INT_PTR OnCommand(WPARAM wParam, LPARAM lParam);
    void OnDestroy();

    TWizardPages FPages;
    int32_t FCurrent = 1;
    HWND FHandle = nullptr;
    HWND FLinkLabel = nullptr;
    brd::UniqueGdi FLinkFont;
    brd::UniqueIcon FIcon;
    brd::UniqueIcon FSmallIcon;
    brd::UniqueGdi FSidePicture;
};

// The frame's dialog procedure; WM_INITDIALOG's lParam is the TFrame.
INT_PTR CALLBACK FrameDlgProc(HWND Wnd, UINT Msg, WPARAM wParam, LPARAM lParam);
