#include "pages/UPageWelcome.h"

#include "resources/UResourceIds.h"
#include "support/UProduct.h"

std::wstring WelcomeText() {
    return std::wstring(L"Welcome to the ") + ProductName + L" Setup program. This program will install " +
           EditionText + L" of " + ProductName + L" v" + ProductVersion + L" on you computer." + L"\r\n\r\n" +
           ProductDescription +
           L"It is strongly recommended that you exit all version of Delphi and CBuilder "
           L"before running this Setup program." +
           L"\r\n\r\n" + L"Click Next to continue with the Setup program.";
}

TPageShow TPageWelcome::Show() {
    SizePageText(1);
    SetItemText(idcPageText, WelcomeText());
    ShowItem(idcPageText, true);
    SetFocus(Item(idcNext));
    return TPageShow::Shown;
}
