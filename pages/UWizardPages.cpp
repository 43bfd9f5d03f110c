#include "pages/UWizardPages.h"

#include "pages/UPageFinish.h"
#include "pages/UPageReadyForInstall.h"
#include "pages/UPageSelectDelphi.h"
#include "pages/UPageSelectDirectory.h"
#include "pages/UPageWelcome.h"

TWizardPages CreatePages(const TWizardValues& Values) {
    TWizardPages pages;
    pages[1] = std::make_unique<TPageWelcome>();
    pages[2] = std::make_unique<TPageSelectDelphi>(Values.Plan, Values.Selection, Values.Detected);
    pages[3] = std::make_unique<TPageSelectDirectory>(Values.Plan, Values.Detected);
    pages[4] = std::make_unique<TPageReadyForInstall>(Values.Plan, Values.Detected);
    pages[5] = std::make_unique<TPageProgress>(Values.Plan, Values.Detected, Values.Outcome);
    pages[6] = std::make_unique<TPageFinish>(Values.Plan, Values.Outcome);
    return pages;
}
