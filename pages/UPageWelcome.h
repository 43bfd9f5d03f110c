// Page 1: the welcome text.
#pragma once

#include <string>

#include "pages/UPage.h"

class TPageWelcome : public TPage {
public:
    TPageShow Show() override;
    int32_t Hide() override { return 1; }
};

std::wstring WelcomeText();
