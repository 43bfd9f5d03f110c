// The wizard's six pages in their order, made for one run of the wizard.
#pragma once

#include <array>
#include <memory>

#include "catalogue/UProducts.h"
#include "catalogue/URunContext.h"
#include "pages/UPage.h"
#include "pages/UPageProgress.h"

constexpr int PageCount = 6;

// Entries 1..PageCount; entry 0 stays empty, so that a page number indexes directly.
using TWizardPages = std::array<std::unique_ptr<TPage>, PageCount + 1>;

// What the pages work on; it belongs to whoever runs the wizard and outlives the pages.
struct TWizardValues {
    TInstallPlan& Plan;
    TSelectionList& Selection;
    TDetectedIdes& Detected;  // filled when the selection page is first shown
    TRunOutcome& Outcome;
};

TWizardPages CreatePages(const TWizardValues& Values);
