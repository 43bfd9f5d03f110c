// cvlabout.dll: the About box of Corvane library. The library's design-time
// editors (unit cvlAbout) load it by its full path below the install directory
// and call ShowCorvaneAbout; nothing else uses it.
#include <windows.h>

#include <string>

#include "AboutIds.h"

namespace {

HINSTANCE ThisModule = nullptr;

// The folder the DLL was loaded from: tells the user which installation of the
// library the IDE is using when several are on the machine.
std::wstring ModuleFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD len = GetModuleFileNameW(ThisModule, path.data(), static_cast<DWORD>(path.size()));
        if (len == 0) return std::wstring();
        if (len < path.size()) {
            path.resize(len);
            break;
        }
        path.resize(path.size() * 2);  // truncated: a long path, try a larger buffer
    }
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

INT_PTR CALLBACK AboutProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        SetDlgItemTextW(dlg, IDC_ABOUT_FOLDER, ModuleFolder().c_str());
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dlg, LOWORD(wParam));
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

}  // namespace

// Called by Delphi code as: procedure(ParentWnd: HWND); stdcall
extern "C" __declspec(dllexport) void WINAPI ShowCorvaneAbout(HWND ParentWnd) {
    DialogBoxParamW(ThisModule, MAKEINTRESOURCEW(IDD_ABOUT), ParentWnd, AboutProc, 0);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        ThisModule = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
