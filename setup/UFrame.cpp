#include "setup/UFrame.h"

#include <shellapi.h>

#include "pages/UPage.h"
#include "resources/UResourceIds.h"
#include "support/UProduct.h"
#include "support/WinHandles.h"

HWND LinkLabel = nullptr;
uint32_t LastLinkClick = 0;
TLinkOpener LinkOpener = ShellOpenLink;

namespace {

HWND FrameHandle = nullptr;
brd::UniqueGdi LinkFont;
brd::UniqueIcon FrameIcon;
uint16_t LastClickX = 0;
uint16_t LastClickY = 0;

constexpr uint32_t LinkClickWindowMs = 500;

void SetFrameIcon(HWND wnd) {
    FrameIcon.reset(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR)));
    if (FrameIcon) SetClassLongPtrW(wnd, GCLP_HICON, reinterpret_cast<LONG_PTR>(FrameIcon.get()));
}

void CreateLinkLabel(HWND wnd) {
    LinkFont.reset(CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, TRUE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"MS Sans Serif"));
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
    LastLinkClick = 0;
    LinkLabel = CreateWindowExW(0, LinkLabelClass, MakerName, WS_CHILD | WS_VISIBLE | SS_NOTIFY, 30, topLeft.y + 4,
                                size.cx, size.cy, wnd, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (LinkLabel) SendMessageW(LinkLabel, WM_SETFONT, reinterpret_cast<WPARAM>(LinkFont.get()), FALSE);
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
                return Pages[CurrentPage]->DlgProc(WM_COMMAND, static_cast<uint32_t>(wParam),
                                                   static_cast<uint32_t>(lParam));
            return FALSE;
    }
}

void OnDestroy() {
    FrameIcon.reset();
    if (LinkLabel) DestroyWindow(LinkLabel);
    LinkLabel = nullptr;
    LinkFont.reset();
}

}  // namespace

void RegisterLinkLabelClass() {
    WNDCLASSW cls{};
    if (!GetClassInfoW(nullptr, L"Static", &cls)) return;
    cls.lpszClassName = LinkLabelClass;
    cls.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32649));  // the hand cursor
    cls.hInstance = GetModuleHandleW(nullptr);
    RegisterClassW(&cls);
}

void ShellOpenLink(const wchar_t* url) {
    ShellExecuteW(GetDesktopWindow(), L"open", url, L"", L"", SW_SHOWNORMAL);
}

BOOL FrameInitDialog(HWND Wnd) {
    FrameHandle = Wnd;
    SetFrameIcon(Wnd);
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
        int32_t r = page->Show();
        if (!IsPageStep(r)) return r;
        Step = StepOf(r);
        // A page must not move the wizard off its ends.
        if (CurrentPage + Step < 1 || CurrentPage + Step > PageCount) return r;
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
