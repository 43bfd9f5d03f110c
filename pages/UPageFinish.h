// Page 6: writes the installation record, commits the run and says how it went.
#pragma once

#include <string>

#include "catalogue/URunContext.h"
#include "pages/UPage.h"
#include "pages/UPageProgress.h"

class TPageFinish : public TPage {
public:
    // Plan and Outcome belong to whoever runs the wizard and outlive the page.
    TPageFinish(const TInstallPlan& Plan, TRunOutcome& Outcome) : FPlan(Plan), FOutcome(Outcome) {}
    TPageShow Show() override;
    int32_t Hide() override { return 1; }
    TCancelAnswer OnCancel() override { return TCancelAnswer::Close; }
    bool SaveInstallState();

private:
    const TInstallPlan& FPlan;
    TRunOutcome& FOutcome;
};

std::wstring FinishText();

// The lines the Finish page adds below its text when steps failed; empty when none.
std::wstring FailureSummary(const TRunOutcome& Outcome);
