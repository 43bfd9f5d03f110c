// The one catch at a boundary: whatever the standard library throws in a body is
// caught there, named, and turned into the boundary's own result.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>

#include "pages/UWizardPages.h"
#include "setup/UFrame.h"
#include "support/UGuard.h"

namespace {

constexpr int Unexpected = 9;

TEST(Guard, AnEscapingExceptionIsNamedAndGivesTheBoundarysCode) {
    const struct {
        std::function<int()> body;
        const wchar_t* reported;  // nullptr: nothing escaped
        int code;
    } cases[] = {
        {[]() -> int { throw std::bad_alloc(); }, L"out of memory", Unexpected},
        {[]() -> int { return static_cast<int>(std::wstring().substr(1).size()); }, L"an unexpected error", Unexpected},
        {[]() -> int { throw std::length_error("vector"); }, L"a text or list grew past its limit", Unexpected},
        {[] { return 0; }, nullptr, 0},
    };
    for (const auto& c : cases) {
        const wchar_t* reported = nullptr;
        const int code = Guarded(c.body, [&](const wchar_t* Why) {
            reported = Why;
            return Unexpected;
        });
        EXPECT_EQ(code, c.code);
        EXPECT_EQ(reported ? std::wstring(reported) : L"-", c.reported ? std::wstring(c.reported) : L"-");
    }
}

// A page whose Show runs out of memory: the frame's procedure catches it, the wizard
// closes and knows why.
class ThrowingPage : public TPage {
public:
    TPageShow Show() override { throw std::bad_alloc(); }
    int32_t Hide() override { return 1; }
};

TEST(Guard, TheFrameClosesWhenAPageThrows) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    RegisterLinkLabelClass();
    TInstallPlan plan;
    TSelectionList selection = NewSelectionList();
    TDetectedIdes detected;
    TRunOutcome outcome;
    TWizardPages pages = CreatePages({plan, selection, detected, outcome});
    pages[2] = std::make_unique<ThrowingPage>();
    TFrame frame(std::move(pages));
    HWND wnd = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), nullptr, FrameDlgProc,
                                  reinterpret_cast<LPARAM>(&frame));
    ASSERT_NE(wnd, nullptr);
    EXPECT_EQ(SendMessageW(wnd, WM_COMMAND, MAKEWPARAM(idcNext, BN_CLICKED), 0), 0);
    EXPECT_EQ(frame.Unexpected, L"out of memory");
    DestroyWindow(wnd);
}

}  // namespace
