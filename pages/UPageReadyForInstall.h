// Page 4: the last page before anything is written. Checks the directory, waits until
// no IDE of the run is running and that the machine can take the installation.
#pragma once

#include <string>

#include "catalogue/URunContext.h"
#include "pages/UPage.h"

class TPageReadyForInstall : public TPage {
public:
    TPageReadyForInstall(const TInstallPlan& Plan, const TDetectedIdes& Detected) : FPlan(Plan), FDetected(Detected) {}
    TPageShow Show() override;
    int32_t Hide() override;
    // Start waits until no IDE of the run is running.
    bool MayLeave(int32_t Step) override;

private:
    // False (after telling the user) when the wizard should go back for another folder.
    bool InstallDirAcceptable() const;

    const TInstallPlan& FPlan;
    const TDetectedIdes& FDetected;
};

std::wstring ReadyText();
