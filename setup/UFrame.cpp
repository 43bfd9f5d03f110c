#include "setup/UFrame.h"

#include <shellapi.h>

#include "controls/ULinkLabel.h"
#include "pages/UPage.h"
#include "resources/UResourceIds.h"
#include "support/UDpi.h"
#include "support/UProduct.h"
#include "support/WinHandles.h"

HWND LinkLabel = nullptr;
uint32_t LastLinkClick = 0;
TLinkOpener LinkOpener = ShellOpenLink;

namespace {

HWND FrameHandle = nullptr;
brd::UniqueGdi LinkFont;
brd::UniqueIcon FrameIcon;
brd::UniqueIcon FrameSmallIcon;
brd::UniqueGdi SidePicture;
uint16_t LastClickX = 0;
uint16_t LastClickY = 0;

constexpr uint32_t LinkClickWindowMs = 500;
// Posted on a change of display scale, once the dialog manager has scaled the frame.
constexpr UINT WM_FRAME_RESCALED = WM_APP + 1;

void SetFrameIcon(HWND wnd, int32_t dpi) {
    FrameIcon = ProgramIconForDpi(SM_CXICON, dpi);
    FrameSmallIcon = ProgramIconForDpi(SM_CXSMICON, dpi);
    if (FrameIcon) SetClassLongPtrW(wnd, GCLP_HICON, reinterpret_cast<LONG_PTR>(FrameIcon.get()));
    if (FrameSmallIcon) SendMessageW(wnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(FrameSmallIcon.get()));
}

// The dialog's own font, which the system made for the frame's DPI, underlined.
brd::UniqueGdi MakeLinkFont(HWND wnd) {
    LOGFONTW font{};
    auto dialogFont = reinterpret_cast<HGDIOBJ>(SendMessageW(wnd, WM_GETFONT, 0, 0));
    if (!dialogFont || GetObjectW(dialogFont, sizeof(font), &font) != sizeof(font)) {
        font.lfHeight = -MulDiv(8, WindowDpi(wnd), 72);
        font.lfWeight = FW_NORMAL;
        lstrcpynW(font.lfFaceName, L"MS Sans Serif", LF_FACESIZE);
    }
    font.lfUnderline = TRUE;
    return brd::UniqueGdi(CreateFontIndirectW(&font));
}

// Left of the button row, level with the buttons, as large as its text.
void PlaceLinkLabel(HWND wnd) {
    int32_t dpi = WindowDpi(wnd);
    SIZE size{};
    {
        brd::WindowDC dc(wnd);
        brd::SelectedObject font(dc.get(), LinkFont.get());
        GetTextExtentPoint32W(dc.get(), MakerName, static_cast<int>(wcslen(MakerName)), &size);
    }
    RECT back{};
    GetWindowRect(GetDlgItem(wnd, idcBack), &back);
    POINT topLeft{back.left, back.top};
    ScreenToClient(wnd, &topLeft);
    SetWindowPos(LinkLabel, nullptr, ScaleToDpi(30, dpi), topLeft.y + ScaleToDpi(4, dpi), size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// The label takes the focus with Tab after the buttons; the first control to take
// the focus stays the one it always was.
void CreateLinkLabel(HWND wnd) {
    LinkFont = MakeLinkFont(wnd);
    LastLinkClick = 0;
    LinkLabel = CreateWindowExW(0, LinkLabelClass, MakerName, WS_CHILD | WS_VISIBLE | WS_TABSTOP | SS_NOTIFY, 0, 0, 0,
                                0, wnd, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!LinkLabel) return;
    SendMessageW(LinkLabel, WM_SETFONT, reinterpret_cast<WPARAM>(LinkFont.get()), FALSE);
    PlaceLinkLabel(wnd);
    SetWindowPos(LinkLabel, GetDlgItem(wnd, idcCancel), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void ShowSidePicture(HWND wnd) {
    ShowPicture(GetDlgItem(wnd, idcSidePicture), SidePicture, SidePictureForDpi(WindowDpi(wnd)));
}

// What the system does not scale by itself when the frame moves to a monitor of
// another scale: the picture, the icons, the link label's font and place.
void OnRescaled(HWND wnd) {
    int32_t dpi = WindowDpi(wnd);
    SetFrameIcon(wnd, dpi);
    ShowSidePicture(wnd);
    if (!LinkLabel) return;
    brd::UniqueGdi font = MakeLinkFont(wnd);
    SendMessageW(LinkLabel, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    LinkFont = std::move(font);
    PlaceLinkLabel(wnd);
}

// The page text is sized by the picture's height and the group boxes frame other
// controls (the directory edit, the progress bar), so they overlap what lies inside
// them. At the bottom of the z-order and clipped by their siblings, they never paint
// over those controls, whichever repaints last.
void KeepBackgroundControlsBehind(HWND wnd) {
    for (int id : {idcDestinationGroup, idcProgressGroup, idcPageText}) {
        HWND control = GetDlgItem(wnd, id);
        if (!control) continue;
        SetWindowLongPtrW(control, GWL_STYLE, GetWindowLongPtrW(control, GWL_STYLE) | WS_CLIPSIBLINGS);
        SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

bool IsPushButton(HWND control) {
    return (SendMessageW(control, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

bool CanTakeFocus(HWND control) { return control && IsWindowVisible(control) && IsWindowEnabled(control); }

// The button that Enter presses, drawn as the default: Next while the user moves
// through the pages, the Cancel button captioned Finish on the last page. A push
// button with the focus is drawn as the default itself, as the dialog manager does.
// Pages set the focus directly and a mnemonic presses a button without moving the
// focus, so the dialog manager would leave the button drawn as the default that
// had the focus before.
void FollowDefaultButton() {
    int id = CurrentPage == PageCount ? static_cast<int>(idcCancel) : static_cast<int>(idcNext);
    SendMessageW(FrameHandle, DM_SETDEFID, static_cast<WPARAM>(id), 0);
    HWND focus = GetFocus();
    if (!IsChild(FrameHandle, focus) || !CanTakeFocus(focus)) {
        HWND button = GetDlgItem(FrameHandle, id);
        SendMessageW(FrameHandle, WM_NEXTDLGCTL,
                     reinterpret_cast<WPARAM>(CanTakeFocus(button) ? button : GetDlgItem(FrameHandle, idcCancel)), TRUE);
        focus = GetFocus();
    }
    HWND drawnDefault = focus && IsPushButton(focus) ? focus : GetDlgItem(FrameHandle, id);
    for (int button : {idcBack, idcNext, idcCancel, idcBrowse, idcCustomize}) {
        HWND control = GetDlgItem(FrameHandle, button);
        if (control) SendMessageW(control, BM_SETSTYLE, control == drawnDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    }
}

void OnLinkClick() {
    uint32_t now = GetTickCount();
    if (LastLinkClick != 0 && now - LastLinkClick > LinkClickWindowMs) LastLinkClick = 0;
    if (LastLinkClick != 0) return;  // swallowed: inside the window of an accepted click
    LastLinkClick = now ? now : 1;
    LinkOpener(MakerWebSite);
}

void OnParentNotify(HWND wnd, WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) != WM_LBUTTONDOWN) return;
    LastClickX = LOWORD(lParam);
    LastClickY = HIWORD(lParam);
    POINT pt{static_cast<int16_t>(LastClickX), static_cast<int16_t>(LastClickY)};
    if (LinkLabel && ChildWindowFromPoint(wnd, pt) == LinkLabel) OnLinkClick();
}

INT_PTR OnCancel(HWND wnd, WPARAM wParam) {
    TPage* page = Pages[CurrentPage].get();
    switch (page ? page->OnCancel() : TCancelAnswer::Ask) {
        case TCancelAnswer::Ignore: break;
        case TCancelAnswer::Close: EndDialog(wnd, static_cast<INT_PTR>(wParam)); break;
        case TCancelAnswer::Ask:
            if (MessageBoxW(wnd, L"Are you sure you want to cancel the install?", L"Install", MB_YESNO) == IDYES &&
                !(page && page->StopForCancel()))
                EndDialog(wnd, static_cast<INT_PTR>(wParam));
            break;
    }
    return TRUE;
}

INT_PTR OnCommand(HWND wnd, WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL: return OnCancel(wnd, wParam);
        case idcNext: return Navigate(+1);
        case idcBack: return Navigate(-1);
        default:
            if (CurrentPage > 0 && Pages[CurrentPage])
                return Pages[CurrentPage]->DlgProc(WM_COMMAND, wParam, lParam);
            return FALSE;
    }
}

void OnDestroy() {
    FrameIcon.reset();
    FrameSmallIcon.reset();
    if (LinkLabel) DestroyWindow(LinkLabel);
    LinkLabel = nullptr;
    LinkFont.reset();
    SidePicture.reset();
}

}  // namespace

// Tab reaches the label; Enter and Space open the site as a click does.
void RegisterLinkLabelClass() {
    RegisterLinkLabelWindowClass(LinkLabelClass, [](HWND) { OnLinkClick(); });
}

void ShellOpenLink(const wchar_t* url) {
    ShellExecuteW(GetDesktopWindow(), L"open", url, L"", L"", SW_SHOWNORMAL);
}

BOOL FrameInitDialog(HWND Wnd) {
    FrameHandle = Wnd;
    SetFrameIcon(Wnd, WindowDpi(Wnd));
    ShowSidePicture(Wnd);
    std::wstring caption = std::wstring(L"Installation Wizard for ") + ProductName + L" v" + ProductVersion;
    SetWindowTextW(Wnd, caption.c_str());
    CreateLinkLabel(Wnd);
    KeepBackgroundControlsBehind(Wnd);
    Navigate(0);
    return TRUE;
}

int32_t Navigate(int32_t Step) {
    if (Step != 0 && Pages[CurrentPage] && !Pages[CurrentPage]->MayLeave(Step)) return 0;
    for (;;) {
        if (Step != 0 && Pages[CurrentPage]) Pages[CurrentPage]->Hide();
        CurrentPage += Step;
        TPage* page = Pages[CurrentPage].get();
        if (!page) return 0;
        page->DlgHandle = FrameHandle;
        EnableWindow(GetDlgItem(FrameHandle, idcBack), CurrentPage > 1);
        EnableWindow(GetDlgItem(FrameHandle, idcNext), CurrentPage < PageCount);
        const TPageShow r = page->Show();
        FollowDefaultButton();
        if (!IsPageStep(r)) return static_cast<int32_t>(r);
        Step = StepOf(r);
        // A page must not move the wizard off its ends.
        if (CurrentPage + Step < 1 || CurrentPage + Step > PageCount) return static_cast<int32_t>(r);
    }
}

INT_PTR CALLBACK FrameDlgProc(HWND Wnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    switch (Msg) {
        case WM_PARENTNOTIFY:
            OnParentNotify(Wnd, wParam, lParam);
            return FALSE;
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) != LinkLabel || !LinkLabel) return FALSE;
            SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 0xC0));
            SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
        case WM_INITDIALOG: return FrameInitDialog(Wnd);
        case WmDpiChanged:
            // The dialog manager scales the frame and its controls; the rest follows.
            PostMessageW(Wnd, WM_FRAME_RESCALED, 0, 0);
            return FALSE;
        case WM_FRAME_RESCALED:
            OnRescaled(Wnd);
            return TRUE;
        case WM_DESTROY:
            OnDestroy();
            return FALSE;
        case WM_COMMAND: {
            // The page's result is the message's result, for SendMessage callers too.
            INT_PTR result = OnCommand(Wnd, wParam, lParam);
            SetWindowLongPtrW(Wnd, DWLP_MSGRESULT, result);
            return result;
        }
        default: return FALSE;
    }
}
