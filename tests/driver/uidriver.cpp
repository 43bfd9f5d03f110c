// uidriver.exe: drives the windows of the programs under test from inside the same
// Wine machine. One command per run; results go to standard output as UTF-8.
//
// Every wait ends as soon as its condition holds; its deadline, unless a command is
// given one, is Patience: generous, so that a loaded machine does not fail a scenario.
// Commands other than wait, gone and answer first wait for their window likewise.
//
//   wait CAPTION [ms]            a top-level window with that caption exists
//   gone CAPTION [ms]            no top-level window has that caption any more
//   step CAPTION ID              presses a button and waits until the window shows
//                                something else or its program opens another window
//   idle CAPTION                 waits until the window's program has handled what was
//                                sent or posted to it before (a round trip through its loop)
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
//   lbcur CAPTION ID             the index of the selected list-box item, -1 for none
//   lbtop CAPTION ID             the index of the first list-box item on view
//   mouse CAPTION ID down|up|dbl X Y   sends a left-button message to a control
//   postclick CAPTION ID         posts a left-button press and release to a control, as
//                                a user's click arrives through the input queue
//   key CAPTION ID VK            sends WM_KEYDOWN/WM_KEYUP; and WM_CHAR for a space
//   char CAPTION ID CODE         sends WM_CHAR
//   postkey CAPTION ID VK        posts WM_KEYDOWN/WM_KEYUP, through the dialog's own loop
//   setedit CAPTION ID TEXT      sets a control's text
//   focus CAPTION                brings the window to the foreground and waits until it is
//   pings CAPTION COUNT MS       sends WM_NULL COUNT times, MS apart, each waiting at
//                                most 5 s; prints the longest answer time in ms
//   paint CAPTION                has the window and its controls painted now
//   focused CAPTION              the id and class of the control that has the keyboard focus
//   defid CAPTION                the dialog's default id, then the ids of the buttons drawn
//                                as default (BS_DEFPUSHBUTTON)
//   lbrect CAPTION ID INDEX      a list-box item's rectangle on the screen
//   keys CAPTION KEY...          posts keys to the control that has the focus, one after the
//                                other as a user types them: tab, enter, space, esc, up, down,
//                                home, end, or alt+LETTER
//   layout CAPTION               what is out of place: a visible control that leaves the
//                                client area, a static text larger than its control; one
//                                line each, nothing when all is well
#include <windows.h>

#include "tests/driver/Utf8Output.h"

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cwctype>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// The deadline of a wait on the program under test: a wait that takes a second on an
// idle machine can take many under load (both cores busy, a first start of Wine).
constexpr DWORD Patience = 60000;

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

// Waits until ready() holds, polling; false when ms have passed first.
template <typename Ready>
bool WaitFor(DWORD ms, Ready ready) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (ready()) return true;
        if (GetTickCount() - start > ms) return false;
        Sleep(20);
    }
}

HWND WaitWindow(const std::wstring& caption, DWORD ms, bool messageBox = false) {
    HWND found = nullptr;
    WaitFor(ms, [&] { return (found = FindTopWindow(caption, messageBox)) != nullptr; });
    return found;
}

BOOL CALLBACK AddCaption(HWND wnd, LPARAM param) {
    auto* seen = reinterpret_cast<std::wstring*>(param);
    wchar_t text[512] = {};
    if (!IsWindowVisible(wnd) || GetWindowTextW(wnd, text, 512) == 0) return TRUE;
    *seen += (seen->empty() ? L"[" : L", [") + std::wstring(text) + L"]";
    return TRUE;
}

// The captions of the visible top-level windows, for a failure to say what was there.
std::wstring CaptionsSeen() {
    std::wstring seen;
    EnumWindows(AddCaption, reinterpret_cast<LPARAM>(&seen));
    return seen.empty() ? L"none" : seen;
}

std::wstring Seconds(DWORD ms) { return std::to_wstring(ms / 1000) + L"." + std::to_wstring(ms % 1000 / 100) + L" s"; }

std::wstring WindowText(HWND wnd) {
    // Edit controls of another process may report a short length under Wine, so the
    // buffer does not trust it.
    int length = GetWindowTextLengthW(wnd);
    std::vector<wchar_t> text(static_cast<size_t>(length > 32766 ? length : 32766) + 2);
    // WM_GETTEXT works across processes for every control class.
    SendMessageW(wnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

HWND FocusOf(HWND top) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info) ? info.hwndFocus : nullptr;
}

std::wstring ClassOf(HWND wnd) {
    wchar_t name[64] = {};
    GetClassNameW(wnd, name, 64);
    return name;
}

// Waits until the program has handled what was posted to it.
void WaitIdle(HWND top) {
    DWORD pid = 0;
    GetWindowThreadProcessId(top, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (process) {
        WaitForInputIdle(process, 2000);
        CloseHandle(process);
    }
    Sleep(120);
}

struct KeyName {
    const wchar_t* name;
    WPARAM vk;
};
constexpr KeyName KeyNames[] = {
    {L"tab", VK_TAB},
    {L"enter", VK_RETURN},
    {L"space", VK_SPACE},
    {L"esc", VK_ESCAPE},
    {L"up", VK_UP},
    {L"down", VK_DOWN},
    {L"home", VK_HOME},
    {L"end", VK_END},
};

// A key as the input queue delivers it: down and up, with the character that
// TranslateMessage makes of it; alt+LETTER as the system character of a mnemonic.
bool PostKey(HWND top, const std::wstring& key) {
    HWND target = FocusOf(top);
    if (!target) target = top;
    if (key.size() == 5 && key.compare(0, 4, L"alt+") == 0) {
        PostMessageW(target, WM_SYSCHAR, static_cast<WPARAM>(towlower(key[4])), 0x20000001);
        return true;
    }
    for (const KeyName& k : KeyNames) {
        if (key != k.name) continue;
        UINT scan = MapVirtualKeyW(static_cast<UINT>(k.vk), MAPVK_VK_TO_VSC);
        PostMessageW(target, WM_KEYDOWN, k.vk, static_cast<LPARAM>(1 | scan << 16));
        PostMessageW(target, WM_KEYUP, k.vk, static_cast<LPARAM>(0xC0000001 | scan << 16));
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- layout

struct LayoutCheck {
    HWND top;
    RECT client;
    std::wstring problems;
};

bool IsTextStatic(HWND wnd) {
    std::wstring cls = ClassOf(wnd);
    if (lstrcmpiW(cls.c_str(), L"Static") != 0 && cls != L"CV_ILABEL") return false;
    LONG type = GetWindowLongW(wnd, GWL_STYLE) & SS_TYPEMASK;
    return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE;
}

// GetDpiForWindow is newer than the Windows version the build targets.
int DpiOf(HWND wnd) {
    using Proc = UINT(WINAPI*)(HWND);
    auto proc = reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    UINT dpi = proc ? proc(wnd) : 0;
    return dpi ? static_cast<int>(dpi) : 96;
}

// The control's font as the program made it; GDI objects of another process can be
// read on Windows, and where they cannot, the frame's template font at the window's DPI.
HFONT FontOf(HWND wnd, HWND top) {
    LOGFONTW font{};
    auto handle = reinterpret_cast<HFONT>(SendMessageW(wnd, WM_GETFONT, 0, 0));
    if (!handle || GetObjectW(handle, sizeof(font), &font) != sizeof(font)) {
        font = LOGFONTW{};
        font.lfHeight = -MulDiv(8, DpiOf(top), 72);
        lstrcpyW(font.lfFaceName, L"MS Sans Serif");
    }
    return CreateFontIndirectW(&font);
}

void CheckStaticText(LayoutCheck& check, HWND wnd, int id) {
    std::wstring text = WindowText(wnd);
    if (text.empty()) return;
    RECT box{};
    GetClientRect(wnd, &box);
    LONG style = GetWindowLongW(wnd, GWL_STYLE);
    UINT format = DT_CALCRECT | DT_EXPANDTABS | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0);
    LONG type = style & SS_TYPEMASK;
    if (type != SS_LEFTNOWORDWRAP && type != SS_SIMPLE) format |= DT_WORDBREAK;
    if (ClassOf(wnd) == L"CV_ILABEL") format = DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX;
    HDC dc = GetDC(wnd);
    HFONT font = FontOf(wnd, check.top);
    HGDIOBJ old = SelectObject(dc, font);
    RECT need = box;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &need, format);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(wnd, dc);
    if (need.right - need.left <= box.right - box.left && need.bottom - need.top <= box.bottom - box.top) return;
    wchar_t line[160];
    swprintf(line, 160, L"text of %d needs %ldx%ld in %ldx%ld\n", id, need.right - need.left, need.bottom - need.top,
             box.right - box.left, box.bottom - box.top);
    check.problems += line;
}

BOOL CALLBACK CheckControl(HWND wnd, LPARAM param) {
    auto& check = *reinterpret_cast<LayoutCheck*>(param);
    if (GetParent(wnd) != check.top || !IsWindowVisible(wnd)) return TRUE;
    int id = GetDlgCtrlID(wnd);
    RECT r{};
    GetWindowRect(wnd, &r);
    MapWindowPoints(nullptr, check.top, reinterpret_cast<POINT*>(&r), 2);
    if (r.left < check.client.left || r.top < check.client.top || r.right > check.client.right ||
        r.bottom > check.client.bottom) {
        wchar_t line[160];
        swprintf(line, 160, L"control %d (%ld %ld %ld %ld) leaves the client area (%ld x %ld)\n", id, r.left, r.top,
                 r.right, r.bottom, check.client.right, check.client.bottom);
        check.problems += line;
    }
    if (IsTextStatic(wnd)) CheckStaticText(check, wnd, id);
    return TRUE;
}

std::wstring LayoutProblems(HWND top) {
    LayoutCheck check{top, {}, L""};
    GetClientRect(top, &check.client);
    EnumChildWindows(top, CheckControl, reinterpret_cast<LPARAM>(&check));
    return check.problems;
}

int Fail(const wchar_t* what, const std::wstring& detail) {
    PrintUtf8(std::wstring(L"uidriver: ") + what + L": " + detail + L"\n");
    return 1;
}

int NoWindow(const wchar_t* what, const std::wstring& caption, DWORD ms) {
    return Fail(what, L"[" + caption + L"] within " + Seconds(ms) + L"; windows on screen: " + CaptionsSeen());
}

// What the window shows: its visible controls' ids and texts.
std::wstring Looks(HWND top) {
    std::wstring looks;
    for (HWND c = GetWindow(top, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (IsWindowVisible(c))
            looks += std::to_wstring(GetDlgCtrlID(c)) + (IsWindowEnabled(c) ? L"=" : L"~") + WindowText(c) + L"\n";
    return looks;
}

struct OwnWindows {
    DWORD pid;
    std::vector<HWND> windows;
};

BOOL CALLBACK AddOwnWindow(HWND wnd, LPARAM param) {
    auto* own = reinterpret_cast<OwnWindows*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid == own->pid && IsWindowVisible(wnd)) own->windows.push_back(wnd);
    return TRUE;
}

// The visible top-level windows of the window's program, in no particular order (a
// change of the z-order is no change here).
std::vector<HWND> WindowsOfProgram(HWND top) {
    OwnWindows own{0, {}};
    GetWindowThreadProcessId(top, &own.pid);
    EnumWindows(AddOwnWindow, reinterpret_cast<LPARAM>(&own));
    std::sort(own.windows.begin(), own.windows.end());
    return own.windows;
}

// Presses a button and waits for its effect: the window shows other pages, texts or
// states, its program opens a window (a message box, a dialog), or the window closes.
int Step(HWND top, HWND button, int id) {
    const std::wstring before = Looks(top);
    const std::vector<HWND> windowsBefore = WindowsOfProgram(top);
    PostMessageW(button, BM_CLICK, 0, 0);
    const bool changed = WaitFor(Patience, [&] {
        return !IsWindow(top) || Looks(top) != before || WindowsOfProgram(top) != windowsBefore;
    });
    if (changed) return 0;
    return Fail(L"nothing changed", L"after pressing " + std::to_wstring(id) + L" within " + Seconds(Patience) +
                                        L"; the window shows:\n" + before);
}

// A message sent to a window is handled when its thread next reads its queue, after
// what the thread is doing now (a button's handler, a message box that just closed).
int Idle(HWND top) {
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(top, WM_NULL, 0, 0, SMTO_NORMAL, Patience, &result)) return 0;
    return Fail(L"not answering", L"the window's program handled nothing within " + Seconds(Patience));
}

// SetForegroundWindow asks; Wine's window manager grants it a moment later.
int Focus(HWND top) {
    if (WaitFor(Patience, [&] {
            if (GetForegroundWindow() == top) return true;
            SetForegroundWindow(top);
            return false;
        }))
        return 0;
    wchar_t text[512] = {};
    GetWindowTextW(GetForegroundWindow(), text, 512);
    return Fail(L"not in the foreground", L"within " + Seconds(Patience) + L"; the foreground window is [" + text + L"]");
}

HWND Control(HWND top, int id) { return id == 0 ? top : GetDlgItem(top, id); }

int Run(int argc, wchar_t** argv) {
    if (argc < 3) return Fail(L"usage", L"uidriver COMMAND CAPTION ...");
    std::wstring cmd = argv[1];
    std::wstring caption = argv[2];
    auto arg = [&](int i) { return i < argc ? std::wstring(argv[i]) : std::wstring(); };
    auto num = [&](int i, long fallback) { return i < argc ? wcstol(argv[i], nullptr, 0) : fallback; };

    if (cmd == L"wait") {
        const auto ms = static_cast<DWORD>(num(3, Patience));
        return WaitWindow(caption, ms) ? 0 : NoWindow(L"no window", caption, ms);
    }
    if (cmd == L"gone") {
        const auto ms = static_cast<DWORD>(num(3, Patience));
        return WaitFor(ms, [&] { return !FindTopWindow(caption); }) ? 0 : NoWindow(L"still there", caption, ms);
    }
    if (cmd == L"answer") {
        const auto ms = static_cast<DWORD>(num(4, Patience));
        HWND box = WaitWindow(caption, ms, true);
        if (!box) return NoWindow(L"no message box", caption, ms);
        PrintUtf8(WindowText(GetDlgItem(box, 0xFFFF)));
        HWND button = GetDlgItem(box, static_cast<int>(num(3, IDOK)));
        if (!button) return Fail(L"no button", arg(3));
        PostMessageW(button, BM_CLICK, 0, 0);
        return 0;
    }

    HWND top = WaitWindow(caption, Patience);
    if (!top) return NoWindow(L"no window", caption, Patience);
    if (cmd == L"close") return PostMessageW(top, WM_CLOSE, 0, 0) ? 0 : Fail(L"cannot post", L"WM_CLOSE");
    if (cmd == L"focus") return Focus(top);
    if (cmd == L"idle") return Idle(top);
    if (cmd == L"paint")
        return RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW)
                   ? 0
                   : Fail(L"cannot paint", caption);
    if (cmd == L"layout") {
        PrintUtf8(LayoutProblems(top));
        return 0;
    }
    if (cmd == L"focused") {
        HWND focus = FocusOf(top);
        PrintUtf8(focus ? std::to_wstring(GetDlgCtrlID(focus)) + L" " + ClassOf(focus) : L"none");
        return 0;
    }
    if (cmd == L"defid") {
        LRESULT def = SendMessageW(top, DM_GETDEFID, 0, 0);
        std::wstring out = HIWORD(def) == DC_HASDEFID ? std::to_wstring(LOWORD(def)) : L"none";
        for (HWND c = GetWindow(top, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if (IsWindowVisible(c) && ClassOf(c) == L"Button" && (GetWindowLongW(c, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON)
                out += L" " + std::to_wstring(GetDlgCtrlID(c));
        PrintUtf8(out);
        return 0;
    }
    if (cmd == L"keys") {
        for (int i = 3; i < argc; ++i) {
            if (!PostKey(top, argv[i])) return Fail(L"unknown key", argv[i]);
            WaitIdle(top);
        }
        return 0;
    }
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

    if (cmd == L"text")
        PrintUtf8(WindowText(ctl));
    else if (cmd == L"visible")
        PrintUtf8(IsWindowVisible(ctl) ? L"1" : L"0");
    else if (cmd == L"enabled")
        PrintUtf8(IsWindowEnabled(ctl) ? L"1" : L"0");
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
        if (cmd == L"workarea")
            SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
        else
            GetWindowRect(ctl, &r);
        wchar_t buf[64];
        swprintf(buf, 64, L"%ld %ld %ld %ld", r.left, r.top, r.right, r.bottom);
        PrintUtf8(buf);
    } else if (cmd == L"lbrect") {
        RECT r{};
        SendMessageW(ctl, LB_GETITEMRECT, static_cast<WPARAM>(num(4, 0)), reinterpret_cast<LPARAM>(&r));
        MapWindowPoints(ctl, nullptr, reinterpret_cast<POINT*>(&r), 2);
        wchar_t buf[64];
        swprintf(buf, 64, L"%ld %ld %ld %ld", r.left, r.top, r.right, r.bottom);
        PrintUtf8(buf);
    } else if (cmd == L"step")
        return Step(top, ctl, id);
    else if (cmd == L"click")
        PostMessageW(ctl, BM_CLICK, 0, 0);
    else if (cmd == L"command")
        PostMessageW(top, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(ctl));
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
    } else if (cmd == L"lbcur")
        PrintUtf8(std::to_wstring(static_cast<long>(SendMessageW(ctl, LB_GETCURSEL, 0, 0))));
    else if (cmd == L"lbtop")
        PrintUtf8(std::to_wstring(static_cast<long>(SendMessageW(ctl, LB_GETTOPINDEX, 0, 0))));
    else if (cmd == L"lbsel")
        SendMessageW(ctl, LB_SETCURSEL, static_cast<WPARAM>(num(4, 0)), 0);
    else if (cmd == L"mouse") {
        std::wstring kind = arg(4);
        LPARAM pos = MAKELPARAM(num(5, 1), num(6, 1));
        UINT msg = kind == L"down" ? WM_LBUTTONDOWN : kind == L"up" ? WM_LBUTTONUP
                                                                    : WM_LBUTTONDBLCLK;
        SendMessageW(ctl, msg, kind == L"up" ? 0 : MK_LBUTTON, pos);
    } else if (cmd == L"postclick") {
        PostMessageW(ctl, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        PostMessageW(ctl, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    } else if (cmd == L"key") {
        auto vk = static_cast<WPARAM>(num(4, VK_SPACE));
        SendMessageW(ctl, WM_KEYDOWN, vk, 1);
        if (vk == VK_SPACE) SendMessageW(ctl, WM_CHAR, L' ', 1);
        SendMessageW(ctl, WM_KEYUP, vk, 0xC0000001);
    } else if (cmd == L"char")
        SendMessageW(ctl, WM_CHAR, static_cast<WPARAM>(num(4, L' ')), 1);
    else if (cmd == L"postkey") {
        // Posted, so that the dialog manager sees it as it sees a real key (Escape, Enter).
        auto vk = static_cast<WPARAM>(num(4, VK_ESCAPE));
        PostMessageW(ctl, WM_KEYDOWN, vk, 1);
        PostMessageW(ctl, WM_KEYUP, vk, 0xC0000001);
    } else if (cmd == L"setedit")
        SendMessageW(ctl, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(arg(4).c_str()));
    else
        return Fail(L"unknown command", cmd);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // texts go out with their own line ends
    return Run(argc, argv);
}
