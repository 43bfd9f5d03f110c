// cvlabout.dll: the About box of Corvane library. The library's design-time
// editors (unit cvlAbout) load it by its full path below the install directory
// and call ShowCorvaneAbout; nothing else uses it.
#include <windows.h>

#include <cwchar>

#include "AboutIds.h"

namespace {

HINSTANCE ThisModule = nullptr;

// Long enough for any path the system can return (the limit of \\?\ paths).
constexpr DWORD MaxPathLength = 32768;
wchar_t FolderBuffer[MaxPathLength];

// The folder the DLL was loaded from: tells the user which installation of the
// library the IDE is using when several are on the machine. A plain buffer, not
// std::wstring: the DLL stays small without the C++ library linked in.
const wchar_t* ModuleFolder() {
    const DWORD len = GetModuleFileNameW(ThisModule, FolderBuffer, MaxPathLength);
    if (len == 0 || len >= MaxPathLength) return L"";
    wchar_t* slash = wcsrchr(FolderBuffer, L'\\');
    if (slash == nullptr) return L"";
    *slash = L'\0';
    return FolderBuffer;
}

INT_PTR CALLBACK AboutProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG:
            SetDlgItemTextW(dlg, IDC_ABOUT_FOLDER, ModuleFolder());
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
