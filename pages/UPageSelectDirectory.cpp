// Page 3: the install directory. Proposes one, lets the user edit it or pick a
// folder with the shell's browser, and stores it as the plan's directory when left.
#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "catalogue/UInstallChoice.h"
#include "catalogue/UInstallRecord.h"
#include "catalogue/UProducts.h"
#include "pages/UPageSelectDirectory.h"
#include "resources/UResourceIds.h"
#include "support/UProduct.h"
#include "support/URegistry.h"
#include "support/UText.h"

namespace {

std::wstring DirectoryText() {
    return std::wstring(L"Setup will install ") + ProductName +
           L" into following folder, click Browse, and select another folder." + L"\r\n\r\n" +
           L"You can choose not to install " + ProductName + L" by clicking Cancel to exit Setup.";
}

std::wstring ItemTextOf(HWND item) {
    std::vector<wchar_t> text(static_cast<size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
    GetWindowTextW(item, text.data(), static_cast<int>(text.size()));
    return text.data();
}

}  // namespace

TPageShow TPageSelectDirectory::Show() {
    if (FFirstShow) {
        FPrevInstallPath = ReadPreviousInstallDir();
        DefaultDirectory();
        FFirstShow = false;
    } else {
        Directory = FPlan.Dir;
    }
    SizePageText(2);
    SetItemText(idcPageText, DirectoryText());
    for (int id : {idcPageText, idcBrowse, idcDestinationGroup, idcInstallDir}) ShowItem(id, true);
    ShowDirectory();
    return TPageShow::Shown;
}

void TPageSelectDirectory::DefaultDirectory() { Directory = ProposedInstallDir(FPrevInstallPath, FDetected); }

void TPageSelectDirectory::ShowDirectory() {
    HWND edit = Item(idcInstallDir);
    SetWindowTextW(edit, Directory.c_str());
    auto end = static_cast<LPARAM>(Directory.size());
    SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(end), end);
    SetFocus(edit);
}

int32_t TPageSelectDirectory::DlgProc(UINT Msg, WPARAM wParam, LPARAM) {
    if (Msg != WM_COMMAND || LOWORD(wParam) != idcBrowse) return 0;
    if (Browse()) {
        // The previous installation's own folder is taken as it is.
        if (Directory != FPrevInstallPath && !Directory.empty()) Directory = WithProductWord(Directory);
        ShowDirectory();
    }
    return 1;
}

bool TPageSelectDirectory::Browse() {
    Directory.clear();
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || !allocator) return false;
    auto* buffer = static_cast<wchar_t*>(allocator->Alloc(MAX_PATH * sizeof(wchar_t)));
    bool picked = false;
    if (buffer) {
        buffer[0] = L'\0';
        std::wstring title = std::wstring(L"Select directory for ") + ProductName;
        BROWSEINFOW info{};
        info.hwndOwner = DlgHandle;
        info.pszDisplayName = buffer;
        info.lpszTitle = title.c_str();
        info.ulFlags = BIF_RETURNONLYFSDIRS;
        info.lpfn = BrowseCallback;
        info.lParam = reinterpret_cast<LPARAM>(this);
        if (PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&info)) {
            picked = SHGetPathFromIDListW(item, buffer) != FALSE;
            allocator->Free(item);
            if (picked) Directory = buffer;
        }
        allocator->Free(buffer);
    }
    allocator->Release();
    return picked;
}

int CALLBACK TPageSelectDirectory::BrowseCallback(HWND Wnd, UINT Msg, LPARAM, LPARAM Data) {
    if (Msg != BFFM_INITIALIZED) return 0;
    auto* page = reinterpret_cast<TPageSelectDirectory*>(Data);
    RECT work{}, button{}, browser{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(page->Item(idcBrowse), &button);
    GetWindowRect(Wnd, &browser);
    int w = browser.right - browser.left, h = browser.bottom - browser.top;
    int x = button.right - w;
    int y = button.bottom + 1;
    if (y + h > work.bottom) y = work.bottom - h;
    SetWindowPos(Wnd, HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    return 0;
}

int32_t TPageSelectDirectory::Hide() {
    // The whole text: a long path cut short would install somewhere else.
    FPlan.Dir = TrimInstallDir(ItemTextOf(Item(idcInstallDir)));
    for (int id : {idcBrowse, idcDestinationGroup, idcInstallDir}) ShowItem(id, false);
    return 1;
}
