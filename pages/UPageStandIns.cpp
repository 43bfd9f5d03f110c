// Interim pages 2, 3 and 5: they show their controls so that the wizard can be
// walked from Welcome to Finish until the real pages replace them.
#include "pages/UPage.h"
#include "setup/UFrame.h"
#include "support/UConst.h"

int32_t TPageSelectDelphi::Show() {
    SizePageText(3);
    SetItemText(idcPageText, L"Select the IDEs to install the library into.");
    ShowItem(idcPageText, true);
    ShowItem(idcIdeList, true);
    return 1;
}

int32_t TPageSelectDelphi::Hide() {
    ShowItem(idcIdeList, false);
    return 1;
}

int32_t TPageSelectDirectory::Show() {
    SizePageText(2);
    SetItemText(idcPageText, L"Choose the install directory.");
    ShowItem(idcPageText, true);
    ShowItem(idcDestinationGroup, true);
    ShowItem(idcInstallDir, true);
    ShowItem(idcBrowse, true);
    SetItemText(idcInstallDir, InstallDir.empty() ? L"C:\\Corvane" : InstallDir);
    return 1;
}

int32_t TPageSelectDirectory::Hide() {
    wchar_t text[1024] = {};
    GetDlgItemTextW(DlgHandle, idcInstallDir, text, 1024);
    InstallDir = text;
    ShowItem(idcDestinationGroup, false);
    ShowItem(idcInstallDir, false);
    ShowItem(idcBrowse, false);
    return 1;
}

int32_t TPageProgress::Show() {
    ShowItem(idcProgressGroup, true);
    ShowItem(idcProgressBar, true);
    ShowItem(idcStatusLine, true);
    SendMessageW(DlgHandle, WM_COMMAND, idcNext, 0);
    return 1;
}

int32_t TPageProgress::Hide() {
    ShowItem(idcProgressGroup, false);
    ShowItem(idcProgressBar, false);
    return 1;
}
