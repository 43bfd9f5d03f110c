#include "pages/UPageReadyForInstall.h"

#include "catalogue/UIdeState.h"
#include "catalogue/UInstallChoice.h"
#include "catalogue/UInstallRecord.h"
#include "resources/UResourceIds.h"
#include "script/UMachineCheck.h"
#include "support/UProduct.h"

std::wstring ReadyText() {
    return std::wstring(L"You are now ready to install ") + EditionText + L" of " + ProductName + L" v" +
           ProductVersion + L" on you computer." + L"\r\n\r\n" +
           L"Press the Start button to begin the installation or the Back button to reenter the "
           L"installation information.";
}

// The uninstaller removes the install directory with everything in it, so the
// directory must be a real absolute path, and a folder that already holds other
// files is taken only when the user says so.
bool TPageReadyForInstall::InstallDirAcceptable() const {
    switch (CheckInstallDir(FPlan.Dir, ReadPreviousInstallDir())) {
        case dirAcceptable: return true;
        case dirNotFullPath: {
            std::wstring text = std::wstring(L"Please choose a full path for the ") + ProductName +
                                L" folder, such as C:\\Program Files\\" + ProductWord + L".";
            MessageBoxW(DlgHandle, text.c_str(), L"Install", MB_OK | MB_ICONWARNING);
            return false;
        }
        case dirBadName: {
            std::wstring text = L"The folder " + FPlan.Dir + L" cannot be used: " + InstallDirNameProblem(FPlan.Dir) +
                                L".\r\n\r\nPlease choose another folder for " + ProductName + L".";
            MessageBoxW(DlgHandle, text.c_str(), L"Install", MB_OK | MB_ICONWARNING);
            return false;
        }
        case dirHoldsFiles: break;
    }
    std::wstring text = L"The folder " + FPlan.Dir + L" already holds files.\r\n\r\n" +
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
    if (!AskToCloseRunningIdes(DlgHandle, IdeRootsOfVersions(VersionsTouchedByRun(FPlan.Versions), FDetected),
                               FDetected, L"Install", L"to go back without installing anything"))
        return false;
    // Before the first write: a run that could not finish must not begin.
    const std::wstring problem = MachineProblem(FPlan.Dir, FPlan.Versions, FDetected);
    if (problem.empty()) return true;
    const std::wstring text = problem + L"\r\n\r\nNothing has been installed.";
    MessageBoxW(DlgHandle, text.c_str(), L"Install", MB_OK | MB_ICONERROR);
    return false;
}

int32_t TPageReadyForInstall::Hide() {
    SetItemText(idcNext, L"&Next >");
    return 1;
}
