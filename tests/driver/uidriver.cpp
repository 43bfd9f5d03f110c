// uidriver.exe: drives the windows of the programs under test from inside the same
// Wine machine. One command per run; results go to standard output as UTF-8.
//
//   wait CAPTION [ms]            a top-level window with that caption exists
//   gone CAPTION [ms]            no top-level window has that caption any more
//   text CAPTION ID              the text of a control (ID 0: the window itself)
//   visible CAPTION ID           1 or 0
//   enabled CAPTION ID           1 or 0
//   style CAPTION ID             the control's style word, hexadecimal
//   rect CAPTION ID              the control's rectangle in the window's client coordinates
//   screenrect CAPTION ID        the control's (ID 0: the window's) rectangle on the screen
//   workarea CAPTION             the desktop work area: left top right bottom
//   click CAPTION ID             presses a button (posted, so a modal box may open)
//   command CAPTION ID           posts WM_COMMAND for a control id
//   answer CAPTION BUTTON [ms]   waits for a message box, prints its text, presses BUTTON
//   close CAPTION                posts WM_CLOSE
//   lbitems CAPTION ID           list-box items: "data<TAB>text" lines, data hexadecimal
//   lbsel CAPTION ID INDEX       selects a list-box item
//   mouse CAPTION ID down|up|dbl X Y   sends a left-button message to a control
//   postclick CAPTION ID         posts a left-button press and release to a control, as
//                                a user's click arrives through the input queue
//   key CAPTION ID VK            sends WM_KEYDOWN/WM_KEYUP; and WM_CHAR for a space
//   char CAPTION ID CODE         sends WM_CHAR
//   postkey CAPTION ID VK        posts WM_KEYDOWN/WM_KEYUP, through the dialog's own loop
//   setedit CAPTION ID TEXT      sets a control's text
//   focus CAPTION                brings the window to the foreground
//   pings CAPTION COUNT MS       sends WM_NULL COUNT times, MS apart, each waiting at
//                                most 5 s; prints the longest answer time in ms
#include <windows.h>

#include "tests/driver/Utf8Output.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct FindData {
    std::wstring caption;
    bool messageBox;
    HWND found;
};

BOOL CALLBACK FindTop(HWND wnd, LPARAM param) {
    auto* data = reinterpret_cast<FindData*>(param);
    if (!IsWindowVisible(wnd)) return TRUE;
    wchar_t text[512] = {};
    GetWindowTextW(wnd, text, 512);
    if (data->caption != text) return TRUE;
    if (data->messageBox && !GetDlgItem(wnd, 0xFFFF)) return TRUE;
    data->found = wnd;
    return FALSE;
}

HWND FindTopWindow(const std::wstring& caption, bool messageBox = false) {
    FindData data{caption, messageBox, nullptr};
    EnumWindows(FindTop, reinterpret_cast<LPARAM>(&data));
    return data.found;
}

HWND WaitWindow(const std::wstring& caption, DWORD ms, bool messageBox = false) {
    DWORD start = GetTickCount();
    for (;;) {
        HWND wnd = FindTopWindow(caption, messageBox);
        if (wnd) return wnd;
        if (GetTickCount() - start > ms) return nullptr;
        Sleep(20);
    }
}

std::wstring WindowText(HWND wnd) {
    // Edit controls of another process may report a short length under Wine, so the
    // buffer does not trust it.
    int length = GetWindowTextLengthW(wnd);
    std::vector<wchar_t> text(static_cast<size_t>(length > 32766 ? length : 32766) + 2);
    // WM_GETTEXT works across processes for every control class.
    SendMessageW(wnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

int Fail(const wchar_t* what, const std::wstring& detail) {
    PrintUtf8(std::wstring(L"uidriver: ") + what + L": " + detail + L"\n");
    return 1;
}

HWND Control(HWND top, int id) { return id == 0 ? top : GetDlgItem(top, id); }

int Run(int argc, wchar_t** argv) {
    if (argc < 3) return Fail(L"usage", L"uidriver COMMAND CAPTION ...");
    std::wstring cmd = argv[1];
    std::wstring caption = argv[2];
    auto arg = [&](int i) { return i < argc ? std::wstring(argv[i]) : std::wstring(); };
    auto num = [&](int i, long fallback) { return i < argc ? wcstol(argv[i], nullptr, 0) : fallback; };

    if (cmd == L"wait") return WaitWindow(caption, static_cast<DWORD>(num(3, 10000))) ? 0 : Fail(L"no window", caption);
    if (cmd == L"gone") {
        DWORD start = GetTickCount();
        while (FindTopWindow(caption))
            if (GetTickCount() - start > static_cast<DWORD>(num(3, 10000))) return Fail(L"still there", caption);
            else Sleep(20);
        return 0;
    }
    if (cmd == L"answer") {
        HWND box = WaitWindow(caption, static_cast<DWORD>(num(4, 10000)), true);
        if (!box) return Fail(L"no message box", caption);
        PrintUtf8(WindowText(GetDlgItem(box, 0xFFFF)));
        HWND button = GetDlgItem(box, static_cast<int>(num(3, IDOK)));
        if (!button) return Fail(L"no button", arg(3));
        PostMessageW(button, BM_CLICK, 0, 0);
        return 0;
    }

    HWND top = WaitWindow(caption, 5000);
    if (!top) return Fail(L"no window", caption);
    if (cmd == L"close") return PostMessageW(top, WM_CLOSE, 0, 0) ? 0 : 1;
    if (cmd == L"focus") return SetForegroundWindow(top) ? 0 : 1;
    if (cmd == L"pings") {
        DWORD longest = 0;
        for (long i = 0; i < num(3, 1); ++i) {
            const DWORD start = GetTickCount();
            DWORD_PTR result = 0;
            if (!SendMessageTimeoutW(top, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result)) longest = 5000;
            const DWORD took = GetTickCount() - start;
            if (took > longest) longest = took;
            Sleep(static_cast<DWORD>(num(4, 100)));
        }
        PrintUtf8(std::to_wstring(longest));
        return 0;
    }
    int id = static_cast<int>(num(3, 0));
    HWND ctl = Control(top, id);
    if (!ctl) return Fail(L"no control", arg(3));

    if (cmd == L"text") PrintUtf8(WindowText(ctl));
    else if (cmd == L"visible") PrintUtf8(IsWindowVisible(ctl) ? L"1" : L"0");
    else if (cmd == L"enabled") PrintUtf8(IsWindowEnabled(ctl) ? L"1" : L"0");
    else if (cmd == L"style") {
        wchar_t buf[32];
        swprintf(buf, 32, L"0x%08lX", static_cast<unsigned long>(GetWindowLongW(ctl, GWL_STYLE)));
        PrintUtf8(buf);
    } else if (cmd == L"rect") {
        RECT r{};
        GetWindowRect(ctl, &r);
        MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&r), 2);
        wchar_t buf[64];
        swprintf(buf, 64, L"%ld %ld %ld %ld", r.left, r.top, r.right, r.bottom);
        PrintUtf8(buf);
    } else if (cmd == L"screenrect" || cmd == L"workarea") {
        RECT r{};
        if (cmd == L"workarea") SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
        else GetWindowRect(ctl, &r);
        wchar_t buf[64];
        swprintf(buf, 64, L"%ld %ld %ld %ld", r.left, r.top, r.right, r.bottom);
        PrintUtf8(buf);
    } else if (cmd == L"click") PostMessageW(ctl, BM_CLICK, 0, 0);
    else if (cmd == L"command") PostMessageW(top, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(ctl));
    else if (cmd == L"lbitems") {
        auto count = SendMessageW(ctl, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            auto length = SendMessageW(ctl, LB_GETTEXTLEN, i, 0);
            std::vector<wchar_t> text(static_cast<size_t>(length > 0 ? length : 0) + 1);
            SendMessageW(ctl, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
            wchar_t buf[32];
            swprintf(buf, 32, L"0x%lX\t", static_cast<unsigned long>(SendMessageW(ctl, LB_GETITEMDATA, i, 0)));
            PrintUtf8(std::wstring(buf) + text.data() + L"\n");
        }
    } else if (cmd == L"lbsel") SendMessageW(ctl, LB_SETCURSEL, static_cast<WPARAM>(num(4, 0)), 0);
    else if (cmd == L"mouse") {
        std::wstring kind = arg(4);
        LPARAM pos = MAKELPARAM(num(5, 1), num(6, 1));
        UINT msg = kind == L"down" ? WM_LBUTTONDOWN : kind == L"up" ? WM_LBUTTONUP : WM_LBUTTONDBLCLK;
        SendMessageW(ctl, msg, kind == L"up" ? 0 : MK_LBUTTON, pos);
    } else if (cmd == L"postclick") {
        PostMessageW(ctl, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        PostMessageW(ctl, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    } else if (cmd == L"key") {
        auto vk = static_cast<WPARAM>(num(4, VK_SPACE));
        SendMessageW(ctl, WM_KEYDOWN, vk, 1);
        if (vk == VK_SPACE) SendMessageW(ctl, WM_CHAR, L' ', 1);
        SendMessageW(ctl, WM_KEYUP, vk, 0xC0000001);
    } else if (cmd == L"char") SendMessageW(ctl, WM_CHAR, static_cast<WPARAM>(num(4, L' ')), 1);
    else if (cmd == L"postkey") {
        // Posted, so that the dialog manager sees it as it sees a real key (Escape, Enter).
        auto vk = static_cast<WPARAM>(num(4, VK_ESCAPE));
        PostMessageW(ctl, WM_KEYDOWN, vk, 1);
        PostMessageW(ctl, WM_KEYUP, vk, 0xC0000001);
    }
    else if (cmd == L"setedit") SendMessageW(ctl, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(arg(4).c_str()));
    else return Fail(L"unknown command", cmd);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // texts go out with their own line ends
    return Run(argc, argv);
}
