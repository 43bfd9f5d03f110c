// Interim page 2: it shows its controls so that the wizard can be walked from
// Welcome to Finish until the real page replaces it.
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
