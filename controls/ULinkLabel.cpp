#include "controls/ULinkLabel.h"

#include "support/WinHandles.h"

namespace {

WNDPROC StaticWndProc = nullptr;
TLinkActivate Activate = nullptr;

constexpr LPARAM KeyRepeated = 0x40000000;

// A focus rectangle around the text while the label has the focus.
void DrawFocus(HWND wnd) {
    if (GetFocus() != wnd) return;
    RECT rect{};
    GetClientRect(wnd, &rect);
    brd::WindowDC dc(wnd);
    DrawFocusRect(dc.get(), &rect);
}

// A label that paints transparently has its parent's background, so the parent
// repaints what lies below it when the focus rectangle comes or goes.
void RedrawBackground(HWND wnd) {
    HWND parent = GetParent(wnd);
    RECT rect{};
    GetWindowRect(wnd, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    RedrawWindow(parent, &rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT CALLBACK LinkLabelWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!StaticWndProc) return DefWindowProcW(wnd, msg, wParam, lParam);
    switch (msg) {
        case WM_GETDLGCODE: {
            // Enter would otherwise press the dialog's default button.
            const auto* key = reinterpret_cast<const MSG*>(lParam);
            LRESULT code = CallWindowProcW(StaticWndProc, wnd, msg, wParam, lParam);
            if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
            return code;
        }
        case WM_KEYDOWN:
            if ((wParam == VK_RETURN || wParam == VK_SPACE) && !(lParam & KeyRepeated) && Activate) Activate(wnd);
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS: {
            LRESULT result = CallWindowProcW(StaticWndProc, wnd, msg, wParam, lParam);
            RedrawBackground(wnd);
            return result;
        }
        case WM_PAINT: {
            LRESULT result = CallWindowProcW(StaticWndProc, wnd, msg, wParam, lParam);
            DrawFocus(wnd);
            return result;
        }
        default: return CallWindowProcW(StaticWndProc, wnd, msg, wParam, lParam);
    }
}

}  // namespace

bool RegisterLinkLabelWindowClass(const wchar_t* ClassName, TLinkActivate OnActivate) {
    WNDCLASSW cls{};
    if (!GetClassInfoW(nullptr, L"Static", &cls)) return false;
    StaticWndProc = cls.lpfnWndProc;
    Activate = OnActivate;
    cls.lpfnWndProc = LinkLabelWndProc;
    cls.lpszClassName = ClassName;
    cls.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32649));  // the hand cursor
    cls.hInstance = GetModuleHandleW(nullptr);
    return RegisterClassW(&cls) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}
