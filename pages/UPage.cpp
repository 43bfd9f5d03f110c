#include "pages/UPage.h"

#include "catalogue/UIdeState.h"
#include "catalogue/UInstallChoice.h"
#include "catalogue/UInstallRecord.h"
#include "resources/UResourceIds.h"
#include "script/UScriptRun.h"
#include "support/UPaths.h"
#include "support/UProduct.h"

int32_t CurrentPage = 1;
std::array<std::unique_ptr<TPage>, PageCount + 1> Pages;

void CreatePages(TInstallPlan& Plan) {
    Pages[1] = std::make_unique<TPageWelcome>();
    Pages[2] = std::make_unique<TPageSelectDelphi>();
    Pages[3] = std::make_unique<TPageSelectDirectory>();
    Pages[4] = std::make_unique<TPageReadyForInstall>();
    Pages[5] = std::make_unique<TPageProgress>();
    Pages[6] = std::make_unique<TPageFinish>();
    for (int i = 1; i <= PageCount; ++i) Pages[i]->Plan = &Plan;
    CurrentPage = 1;
}

void FreePages() {
    for (int i = 1; i <= PageCount; ++i) Pages[i].reset();
}

int32_t TPage::DlgProc(uint32_t, uint32_t, uint32_t) { return 0; }

void TPage::SizePageText(int Divisor) const {
    RECT picture{};
    GetClientRect(Item(idcSidePicture), &picture);
    RECT text{};
    GetWindowRect(Item(idcPageText), &text);
    MapWindowPoints(nullptr, DlgHandle, reinterpret_cast<POINT*>(&text), 2);
    SetWindowPos(Item(idcPageText), nullptr, text.left, text.top, text.right - text.left,
                 (picture.bottom - picture.top) / Divisor, SWP_NOZORDER | SWP_SHOWWINDOW);
}

// ---------------------------------------------------------------- texts

std::wstring WelcomeText() {
    return std::wstring(L"Welcome to the ") + ProductName + L" Setup program. This program will install " +
           EditionText + L" of " + ProductName + L" v" + ProductVersion + L" on you computer." + L"\r\n\r\n" +
           ProductDescription +
           L"It is strongly recommended that you exit all version of Delphi and CBuilder "
           L"before running this Setup program." +
           L"\r\n\r\n" + L"Click Next to continue with the Setup program.";
}

std::wstring ReadyText() {
    return std::wstring(L"You are now ready to install ") + EditionText + L" of " + ProductName + L" v" +
           ProductVersion + L" on you computer." + L"\r\n\r\n" +
           L"Press the Start button to begin the installation or the Back button to reenter the "
           L"installation information.";
}

std::wstring FinishText() {
    return std::wstring(L"Setup has finished installing ") + EditionText + L" of " + ProductName + L" v" +
           ProductVersion + L" on you computer." + L"\r\n\r\n" + L"Click Finish to exit Setup.";
}

// ---------------------------------------------------------------- Welcome

int32_t TPageWelcome::Show() {
    SizePageText(1);
    SetItemText(idcPageText, WelcomeText());
    ShowItem(idcPageText, true);
    SetFocus(Item(idcNext));
    return 1;
}

// ---------------------------------------------------------------- Ready

// The uninstaller removes the install directory with everything in it, so the
// directory must be a real absolute path, and a folder that already holds other
// files is taken only when the user says so.
bool TPageReadyForInstall::InstallDirAcceptable() const {
    switch (CheckInstallDir(Plan->Dir, ReadPreviousInstallDir())) {
        case dirAcceptable: return true;
        case dirNotFullPath: {
            std::wstring text = std::wstring(L"Please choose a full path for the ") + ProductName +
                                L" folder, such as C:\\Program Files\\" + ProductWord + L".";
            MessageBoxW(DlgHandle, text.c_str(), L"Install", MB_OK | MB_ICONWARNING);
            return false;
        }
        case dirHoldsFiles: break;
    }
    std::wstring text = L"The folder " + Plan->Dir + L" already holds files.\r\n\r\n" +
                        L"Removing " + ProductName + L" later removes this whole folder with everything in it." +
                        L"\r\n\r\nInstall into this folder anyway?";
    return MessageBoxW(DlgHandle, text.c_str(), L"Install", MB_YESNO | MB_ICONWARNING) == IDYES;
}

int32_t TPageReadyForInstall::Show() {
    if (!InstallDirAcceptable()) return psBack;  // back to the directory page
    SizePageText(2);
    SetItemText(idcPageText, ReadyText());
    ShowItem(idcPageText, true);
    SetItemText(idcNext, L"Start");
    SetFocus(Item(idcNext));
    return 1;
}

bool TPageReadyForInstall::MayLeave(int32_t Step) {
    if (Step < 0) return true;
    return AskToCloseRunningIdes(DlgHandle, IdeRootsOfVersions(VersionsTouchedByRun(Plan->Versions)), L"Install",
                                 L"to go back without installing anything");
}

int32_t TPageReadyForInstall::Hide() {
    SetItemText(idcNext, L"&Next >");
    return 1;
}

// ---------------------------------------------------------------- Finish

int32_t TPageFinish::Show() {
    ShowItem(idcBack, false);
    ShowItem(idcNext, false);
    ShowItem(idcStatusLine, true);
    SetFocus(Item(IDCANCEL));
    SendMessageW(Item(IDCANCEL), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    SetItemText(idcPageText, FinishText());
    SetItemText(IDCANCEL, L"Finish");
    const bool saved = SaveInstallState();
    CommitRun();  // the run is complete: a record that failed is reported like a failing row
    return saved ? 1 : 0;
}

bool TPageFinish::SaveInstallState() { return WriteInstallRecord(CurrentInstallRecord(*Plan)); }
