#include "setup/UFrame.h"

#include <shellapi.h>

#include "controls/ULinkLabel.h"
#include "support/UGuard.h"
#include "resources/UResourceIds.h"
#include "support/UDpi.h"
#include "support/UProduct.h"
#include "support/WinHandles.h"

namespace {

constexpr uint32_t LinkClickWindowMs = 500;
// Posted on a change of display scale, once the dialog manager has scaled the frame.
constexpr UINT WM_FRAME_RESCALED = WM_APP + 1;

TFrame* FrameOf(HWND Wnd) { return reinterpret_cast<TFrame*>(GetWindowLongPtrW(Wnd, DWLP_USER)); }

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

}  // namespace

void TFrame::SetFrameIcon(int32_t dpi) {
    FIcon = ProgramIconForDpi(SM_CXICON, dpi);
    FSmallIcon = ProgramIconForDpi(SM_CXSMICON, dpi);
    if (FIcon) SetClassLongPtrW(FHandle, GCLP_HICON, reinterpret_cast<LONG_PTR>(FIcon.get()));
    if (FSmallIcon) SendMessageW(FHandle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(FSmallIcon.get()));
}

// Left of the button row, level with the buttons, as large as its text.
void TFrame::PlaceLinkLabel() {
    int32_t dpi = WindowDpi(FHandle);
    SIZE size{};
    {
        brd::WindowDC dc(FHandle);
        brd::SelectedObject font(dc.get(), FLinkFont.get());
        GetTextExtentPoint32W(dc.get(), MakerName, static_cast<int>(wcslen(MakerName)), &size);
    }
    RECT back{};
    GetWindowRect(GetDlgItem(FHandle, idcBack), &back);
    POINT topLeft{back.left, back.top};
    ScreenToClient(FHandle, &topLeft);
    SetWindowPos(FLinkLabel, nullptr, ScaleToDpi(30, dpi), topLeft.y + ScaleToDpi(4, dpi), size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// The label takes the focus with Tab after the buttons; the first control to take
// the focus stays the one it always was.
void TFrame::CreateLinkLabel() {
    FLinkFont = MakeLinkFont(FHandle);
    LastLinkClick = 0;
    FLinkLabel = CreateWindowExW(0, LinkLabelClass, MakerName, WS_CHILD | WS_VISIBLE | WS_TABSTOP | SS_NOTIFY, 0, 0,
                                 0, 0, FHandle, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!FLinkLabel) return;
    SendMessageW(FLinkLabel, WM_SETFONT, reinterpret_cast<WPARAM>(FLinkFont.get()), FALSE);
    PlaceLinkLabel();
    SetWindowPos(FLinkLabel, GetDlgItem(FHandle, idcCancel), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TFrame::ShowSidePicture() {
    ShowPicture(GetDlgItem(FHandle, idcSidePicture), FSidePicture, SidePictureForDpi(WindowDpi(FHandle)));
}

// What the system does not scale by itself when the frame moves to a monitor of
// another scale: the picture, the icons, the link label's font and place.
void TFrame::OnRescaled() {
    SetFrameIcon(WindowDpi(FHandle));
    ShowSidePicture();
    if (!FLinkLabel) return;
    brd::UniqueGdi font = MakeLinkFont(FHandle);
    SendMessageW(FLinkLabel, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    FLinkFont = std::move(font);
    PlaceLinkLabel();
}

// The button that Enter presses, drawn as the default: Next while the user moves
// through the pages, the Cancel button captioned Finish on the last page. A push
// button with the focus is drawn as the default itself, as the dialog manager does.
// Pages set the focus directly and a mnemonic presses a button without moving the
// focus, so the dialog manager would leave the button drawn as the default that
// had the focus before.
void TFrame::FollowDefaultButton() {
    int id = FCurrent == PageCount ? static_cast<int>(idcCancel) : static_cast<int>(idcNext);
    SendMessageW(FHandle, DM_SETDEFID, static_cast<WPARAM>(id), 0);
    HWND focus = GetFocus();
    if (!IsChild(FHandle, focus) || !CanTakeFocus(focus)) {
        HWND button = GetDlgItem(FHandle, id);
        SendMessageW(FHandle, WM_NEXTDLGCTL,
                     reinterpret_cast<WPARAM>(CanTakeFocus(button) ? button : GetDlgItem(FHandle, idcCancel)), TRUE);
        focus = GetFocus();
    }
    HWND drawnDefault = focus && IsPushButton(focus) ? focus : GetDlgItem(FHandle, id);
    for (int button : {idcBack, idcNext, idcCancel, idcBrowse, idcCustomize}) {
        HWND control = GetDlgItem(FHandle, button);
        if (control) SendMessageW(control, BM_SETSTYLE, control == drawnDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    }
}

void TFrame::OnLinkClick() {
    uint32_t now = GetTickCount();
    if (LastLinkClick != 0 && now - LastLinkClick > LinkClickWindowMs) LastLinkClick = 0;
    if (LastLinkClick != 0) return;  // swallowed: inside the window of an accepted click
    LastLinkClick = now ? now : 1;
    LinkOpener(MakerWebSite);
}

void TFrame::OnParentNotify(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) != WM_LBUTTONDOWN) return;
    POINT pt{static_cast<int16_t>(LOWORD(lParam)), static_cast<int16_t>(HIWORD(lParam))};
    if (FLinkLabel && ChildWindowFromPoint(FHandle, pt) == FLinkLabel) OnLinkClick();
}

INT_PTR TFrame::OnCancel(WPARAM wParam) {
    TPage* page = Shown();
    switch (page ? page->OnCancel() : TCancelAnswer::Ask) {
        case TCancelAnswer::Ignore: break;
        case TCancelAnswer::Close: EndDialog(FHandle, static_cast<INT_PTR>(wParam)); break;
        case TCancelAnswer::Ask:
            if (MessageBoxW(FHandle, L"Are you sure you want to cancel the install?", L"Install", MB_YESNO) == IDYES &&
                !(page && page->StopForCancel()))
                EndDialog(FHandle, static_cast<INT_PTR>(wParam));
            break;
    }
    return TRUE;
}

INT_PTR TFrame::OnCommand(WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL: return OnCancel(wParam);
        case idcNext: return Navigate(+1);
        case idcBack: return Navigate(-1);
        default:
            if (TPage* page = Shown()) return page->DlgProc(WM_COMMAND, wParam, lParam);
            return FALSE;
    }
}

void TFrame::OnDestroy() {
    FIcon.reset();
    FSmallIcon.reset();
    if (FLinkLabel) DestroyWindow(FLinkLabel);
    FLinkLabel = nullptr;
    FLinkFont.reset();
    FSidePicture.reset();
}

// Tab reaches the label; Enter and Space open the site as a click does.
void RegisterLinkLabelClass() {
    RegisterLinkLabelWindowClass(LinkLabelClass, [](HWND Label) {
        if (TFrame* frame = FrameOf(GetParent(Label))) frame->OnLinkClick();
    });
}

void ShellOpenLink(const wchar_t* url) {
    ShellExecuteW(GetDesktopWindow(), L"open", url, L"", L"", SW_SHOWNORMAL);
}

BOOL TFrame::InitDialog(HWND Wnd) {
    FHandle = Wnd;
    SetFrameIcon(WindowDpi(Wnd));
    ShowSidePicture();
    std::wstring caption = std::wstring(L"Installation Wizard for ") + ProductName + L" v" + ProductVersion;
    SetWindowTextW(Wnd, caption.c_str());
    CreateLinkLabel();
    KeepBackgroundControlsBehind(Wnd);
    FCurrent = 1;
    Navigate(0);
    return TRUE;
}

int32_t TFrame::Navigate(int32_t Step) {
    if (Step != 0 && Shown() && !Shown()->MayLeave(Step)) return 0;
    for (;;) {
        if (Step != 0 && Shown()) Shown()->Hide();
        FCurrent += Step;
        TPage* page = Shown();
        if (!page) return 0;
        page->DlgHandle = FHandle;
        EnableWindow(GetDlgItem(FHandle, idcBack), FCurrent > 1);
        EnableWindow(GetDlgItem(FHandle, idcNext), FCurrent < PageCount);
        const TPageShow r = page->Show();
        FollowDefaultButton();
        if (!IsPageStep(r)) return static_cast<int32_t>(r);
        Step = StepOf(r);
        // A page must not move the wizard off its ends.
        if (FCurrent + Step < 1 || FCurrent + Step > PageCount) return static_cast<int32_t>(r);
    }
}

void TFrame::CloseOnUnexpected(const std::wstring& Why) {
    Unexpected = Why;
    if (TPage* page = Shown()) page->StopRunAndWait();
    if (FHandle) EndDialog(FHandle, IDCANCEL);
}

INT_PTR TFrame::Message(HWND Wnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    switch (Msg) {
        case WM_PARENTNOTIFY:
            OnParentNotify(wParam, lParam);
            return FALSE;
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) != FLinkLabel || !FLinkLabel) return FALSE;
            SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 0xC0));
            SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
        case WM_INITDIALOG: return InitDialog(Wnd);
        case WmDpiChanged:
            // The dialog manager scales the frame and its controls; the rest follows.
            PostMessageW(Wnd, WM_FRAME_RESCALED, 0, 0);
            return FALSE;
        case WM_FRAME_RESCALED:
            OnRescaled();
            return TRUE;
        case WM_DESTROY:
            OnDestroy();
            return FALSE;
        case WM_COMMAND: {
            // The page's result is the message's result, for SendMessage callers too.
            INT_PTR result = OnCommand(wParam, lParam);
            SetWindowLongPtrW(Wnd, DWLP_MSGRESULT, result);
            return result;
        }
        default: return FALSE;
    }
}

// The frame comes with WM_INITDIALOG and stays in the dialog's user data; messages
// before it (WM_SETFONT) are left to the dialog manager. Nothing thrown passes into
// user32: the wizard closes and says why.
INT_PTR CALLBACK FrameDlgProc(HWND Wnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (Msg == WM_INITDIALOG) SetWindowLongPtrW(Wnd, DWLP_USER, lParam);
    TFrame* frame = FrameOf(Wnd);
    if (!frame) return FALSE;
    return Guarded([&] { return frame->Message(Wnd, Msg, wParam, lParam); },
                   [&](const wchar_t* Why) -> INT_PTR {
                       frame->CloseOnUnexpected(Why);
                       return FALSE;
                   });
}
