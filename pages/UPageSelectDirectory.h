// Page 3: the install directory. Proposes one, lets the user edit it or pick a
// folder with the shell's browser, and stores it as the plan's directory when left.
#pragma once

#include <string>

#include "catalogue/URunContext.h"
#include "pages/UPage.h"

class TPageSelectDirectory : public TPage {
public:
    TPageSelectDirectory(TInstallPlan& Plan, const TDetectedIdes& Detected) : FPlan(Plan), FDetected(Detected) {}
    TPageShow Show() override;
    int32_t Hide() override;
    int32_t DlgProc(UINT Msg, WPARAM wParam, LPARAM lParam) override;

    std::wstring Directory;  // proposed, or returned by the folder browser

private:
    void DefaultDirectory();
    void ShowDirectory();
    bool Browse();
    static int CALLBACK BrowseCallback(HWND Wnd, UINT Msg, LPARAM lParam, LPARAM Data);

    TInstallPlan& FPlan;
    const TDetectedIdes& FDetected;
    std::wstring FPrevInstallPath;
    bool FFirstShow = true;
};
