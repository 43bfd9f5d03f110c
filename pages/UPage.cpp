#include "pages/UPage.h"

#include "catalogue/UIdeState.h"
#include "catalogue/UInstallChoice.h"
#include "catalogue/UInstallRecord.h"
#include "resources/UResourceIds.h"
#include "script/UMachineCheck.h"
#include "script/UScriptRun.h"
#include "support/UPaths.h"
#include "support/UProduct.h"

int32_t CurrentPage = 1;
TRunOutcome RunOutcome;
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
    RunOutcome = TRunOutcome{};
}

void FreePages() {
    for (int i = 1; i <= PageCount; ++i) Pages[i].reset();
}

int32_t TPage::DlgProc(UINT, WPARAM, LPARAM) { return 0; }

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

std::wstring FailureSummary(const TRunOutcome& Outcome) {
    if (Outcome.Failures == 0) return L"";
    std::wstring text = Outcome.Failures == 1 ? std::wstring(L"1 step of the installation failed")
                                              : std::to_wstring(Outcome.Failures) + L" steps of the installation failed";
    for (size_t i = 0; i < Outcome.Ides.size(); ++i)
        text += (i == 0 ? L", for " : i + 1 == Outcome.Ides.size() ? L" and "
                                                                   : L", ") +
                Outcome.Ides[i];
    text += L".";
    if (!Outcome.LogPath.empty()) text += L" What failed is listed in " + Outcome.LogPath + L".";
    return text;
}

// ---------------------------------------------------------------- Welcome

TPageShow TPageWelcome::Show() {
    SizePageText(1);
    SetItemText(idcPageText, WelcomeText());
    ShowItem(idcPageText, true);
    SetFocus(Item(idcNext));
    return TPageShow::Shown;
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
        case dirBadName: {
            std::wstring text = L"The folder " + Plan->Dir + L" cannot be used: " + InstallDirNameProblem(Plan->Dir) +
                                L".\r\n\r\nPlease choose another folder for " + ProductName + L".";
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

TPageShow TPageReadyForInstall::Show() {
    if (!InstallDirAcceptable()) return TPageShow::Back;  // back to the directory page
    SizePageText(2);
    SetItemText(idcPageText, ReadyText());
    ShowItem(idcPageText, true);
    SetItemText(idcNext, L"Start");
    SetFocus(Item(idcNext));
    return TPageShow::Shown;
}

bool TPageReadyForInstall::MayLeave(int32_t Step) {
    if (Step < 0) return true;
    if (!AskToCloseRunningIdes(DlgHandle, IdeRootsOfVersions(VersionsTouchedByRun(Plan->Versions)), L"Install",
                               L"to go back without installing anything"))
        return false;
    // Before the first write: a run that could not finish must not begin.
    const std::wstring problem = MachineProblem(Plan->Dir, Plan->Versions);
    if (problem.empty()) return true;
    const std::wstring text = problem + L"\r\n\r\nNothing has been installed.";
    MessageBoxW(DlgHandle, text.c_str(), L"Install", MB_OK | MB_ICONERROR);
    return false;
}

int32_t TPageReadyForInstall::Hide() {
    SetItemText(idcNext, L"&Next >");
    return 1;
}

// ---------------------------------------------------------------- Finish

TPageShow TPageFinish::Show() {
    ShowItem(idcBack, false);
    ShowItem(idcNext, false);
    ShowItem(idcStatusLine, true);
    SetFocus(Item(IDCANCEL));
    SendMessageW(Item(IDCANCEL), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    const bool saved = SaveInstallState();
    CommitRun();  // the run is complete: a record that failed is reported like a failing row
    if (!saved) RunOutcome.Failures += 1;
    const std::wstring summary = FailureSummary(RunOutcome);
    SetItemText(idcPageText, summary.empty() ? FinishText() : FinishText() + L"\r\n\r\n" + summary);
    SetItemText(IDCANCEL, L"Finish");
    return saved ? TPageShow::Shown : TPageShow::Failed;
}

bool TPageFinish::SaveInstallState() { return WriteInstallRecord(CurrentInstallRecord(*Plan)); }
