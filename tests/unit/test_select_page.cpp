// The IDE selection list as the page fills it and reads it back, and the Customize
// dialog, opened modally from a page attached to a stand-in frame window.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "FreshState.h"
#include "catalogue/UProducts.h"
#include "controls/UbrdCheckListBox.h"
#include "pages/UPageSelectDelphi.h"
#include "resources/UResourceIds.h"
#include "setup/UFrame.h"
#include "support/UConst.h"

namespace {

constexpr int DelphiDemos = 25;
constexpr int HelpFiles = 24;
constexpr int Delphi7 = 19;
constexpr int Delphi6 = 20;
constexpr int RadStudio11 = 0;
constexpr int RowDelphi7 = 9;
constexpr int RowRadStudio11 = 28;
constexpr int RowCBuilder6 = 8;

// A hidden window with an owner-drawn list, standing in for the frame.
class SelectionList : public cvltest::FreshStateTest {
protected:
    void SetUp() override {
        FreshStateTest::SetUp();
        Frame = CreateWindowExW(0, L"Static", L"frame", WS_POPUP, 0, 0, 300, 400, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(Frame, nullptr);
        List = CreateWindowExW(0, L"ListBox", L"", WS_CHILD | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, 0, 0, 200, 300,
                               Frame, reinterpret_cast<HMENU>(static_cast<INT_PTR>(idcIdeList)),
                               GetModuleHandleW(nullptr), nullptr);
        Box = std::make_unique<TbrdCheckListBox>(List);
    }
    void TearDown() override {
        Box.reset();
        DestroyWindow(Frame);
        FreshStateTest::TearDown();
    }
    LRESULT Data(int index) const { return SendMessageW(List, LB_GETITEMDATA, index, 0); }

    HWND Frame = nullptr;
    HWND List = nullptr;
    std::unique_ptr<TbrdCheckListBox> Box;
};

TEST_F(SelectionList, EntriesOfMissingEnvironmentsAreDisabled) {
    TDetectedIdes detected;
    detected[RowDelphi7].Exists = true;
    detected[RowRadStudio11].Exists = true;
    detected[RowCBuilder6].Exists = true;  // no entry of its own
    TSelectionList selection = NewSelectionList();
    selection[Delphi7].Checked = true;
    selection[Delphi6].Checked = true;  // a stale check on a missing environment stays visible
    FillSelectionList(*Box, selection, detected);
    ASSERT_EQ(Box->Count(), SelectionItemCount);
    for (int i = 0; i < SelectionItemCount; ++i) {
        SCOPED_TRACE(testing::Message() << "entry " << i);
        EXPECT_EQ(Box->GetItemString(i), selection[i].Caption);
        LRESULT want = 0;
        if (i != Delphi7 && i != RadStudio11 && i != HelpFiles && i != DelphiDemos) want |= clbDisabled;
        if (i == Delphi7 || i == Delphi6) want |= clbChecked;
        EXPECT_EQ(Data(i), want);
    }
    // Filling again starts from an empty list.
    FillSelectionList(*Box, selection, detected);
    EXPECT_EQ(Box->Count(), SelectionItemCount);
}

TEST_F(SelectionList, LeavingThePageBuildsBothMasks) {
    const struct {
        std::vector<int> checked;
        int32_t versions, items;
    } cases[] = {
        {{Delphi7, DelphiDemos}, 0x100, 0x500},
        {{HelpFiles}, 0, 0x80},
        {{DelphiDemos}, 0, 0x100},
        {{Delphi6}, 0x40, 0x8},
        {{RadStudio11, Delphi7, HelpFiles}, 0x8000100, 0x20000480},
        {{}, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "versions " << std::hex << c.versions);
        TSelectionList selection = NewSelectionList();
        FillSelectionList(*Box, selection, TDetectedIdes{});
        for (int i : c.checked) Box->SetChecked(i, true);
        TInstallPlan plan;
        plan.Versions = plan.Items = -1;
        StoreSelectionList(*Box, selection, plan);
        EXPECT_EQ(plan.Versions, c.versions);
        EXPECT_EQ(plan.Items, c.items);
        for (int i = 0; i < SelectionItemCount; ++i)
            EXPECT_EQ(selection[i].Checked, Box->GetChecked(i)) << "entry " << i;
    }
}

TEST_F(SelectionList, AShortListChecksNothingBeyondItsEnd) {
    Box->Add(L"RAD Studio 11");
    Box->SetChecked(0, true);
    TSelectionList selection = NewSelectionList();
    TInstallPlan plan;
    StoreSelectionList(*Box, selection, plan);
    EXPECT_EQ(plan.Items, 0x20000000);
    EXPECT_EQ(plan.Versions, 0x8000000);
}

// ---------------------------------------------------------------- Customize dialog

// Runs Script against the Customize dialog once it exists, from inside its modal loop.
std::function<void(HWND)> DialogScript;

// The top-level window of this thread with Caption: another test process may have
// a dialog of the same caption open at the same time.
HWND FindThreadWindow(const wchar_t* Caption) {
    struct Search {
        const wchar_t* Caption;
        HWND Found;
    } search{Caption, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND wnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            wchar_t text[64] = {};
            GetWindowTextW(wnd, text, 64);
            if (wcscmp(text, s->Caption) != 0) return TRUE;
            s->Found = wnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

void CALLBACK FindDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = FindThreadWindow(L"Customize...");
    if (!dialog) return;
    KillTimer(nullptr, timer);
    auto script = std::move(DialogScript);
    DialogScript = nullptr;
    if (script) script(dialog);
    if (IsWindow(dialog)) EndDialog(dialog, IDABORT);  // a script that failed halfway
}

class CustomizeDialog : public testing::Test {
protected:
    void SetUp() override {
        Plan = TInstallPlan{};
        Frame = CreateWindowExW(0, L"Static", L"frame", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        Page = std::make_unique<TPageSelectDelphi>(Plan, Selection, Detected);
        Page->DlgHandle = Frame;
    }
    void TearDown() override {
        Page.reset();
        DestroyWindow(Frame);
    }
    // Presses the hidden Customize button and runs Script while the dialog is open.
    void Open(std::function<void(HWND)> script) {
        DialogScript = std::move(script);
        SetTimer(nullptr, 0, 20, FindDialog);
        EXPECT_EQ(Page->DlgProc(WM_COMMAND, MAKEWPARAM(idcCustomize, BN_CLICKED), 0), 1);
    }

    HWND Frame = nullptr;
    TInstallPlan Plan;
    TSelectionList Selection = NewSelectionList();
    TDetectedIdes Detected;
    std::unique_ptr<TPageSelectDelphi> Page;
};

TEST_F(CustomizeDialog, ShowsOneEmptyRowCheckedFromCustomizeItems) {
    int boxesBefore = CLBArray.Count();
    bool ran = false;
    Open([&](HWND dialog) {
        ran = true;
        wchar_t text[64] = {};
        GetWindowTextW(dialog, text, 64);
        EXPECT_STREQ(text, L"Customize...");
        EXPECT_EQ(GetWindowLongW(dialog, GWL_STYLE) & WS_SYSMENU, 0);
        EXPECT_FALSE(IsWindowEnabled(Frame)) << "the frame waits for the dialog";
        HWND list = GetDlgItem(dialog, 901);
        EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 1);
        EXPECT_EQ(SendMessageW(list, LB_GETTEXTLEN, 0, 0), 0);
        EXPECT_EQ(SendMessageW(list, LB_GETITEMDATA, 0, 0), clbChecked);  // 5 has bit 0
        EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0);
        // Another test's window may have taken the activation meanwhile; the dialog
        // then gives the focus back to the control that had it when it is active again.
        SetActiveWindow(dialog);
        EXPECT_EQ(GetFocus(), list);
        EXPECT_EQ(GetWindowTextLengthW(GetDlgItem(dialog, 902)), 0);
        EXPECT_EQ(CLBArray.Count(), boxesBefore + 1);
        GetDlgItemTextW(dialog, 904, text, 64);
        EXPECT_STREQ(text, L"&OK");
        GetDlgItemTextW(dialog, 905, text, 64);
        EXPECT_STREQ(text, L"&Cancel");
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(905, BN_CLICKED), 0);
    });
    EXPECT_TRUE(ran);
    EXPECT_TRUE(IsWindowEnabled(Frame));
    EXPECT_EQ(CLBArray.Count(), boxesBefore) << "the dialog's box goes with it";
    EXPECT_EQ(Plan.CustomizeItems, DefaultCustomizeItems);
}

TEST_F(CustomizeDialog, OkRebuildsTheMaskAndCancelKeepsIt) {
    const struct {
        int32_t before;
        bool toggle;
        WORD button;
        int32_t after;
    } cases[] = {
        {5, false, 904, 1},  // rebuilt from the one row: bit 2 has no row
        // clang-format off
        {5, true, 904, 0},   {5, true, 905, 5}, {2, false, IDCANCEL, 2},
        {2, true, IDOK, 1},  {0, true, 904, 1},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.before << (c.toggle ? " toggled, " : ", ") << c.button);
        Plan.CustomizeItems = c.before;
        Open([&](HWND dialog) {
            HWND list = GetDlgItem(dialog, 901);
            EXPECT_EQ(SendMessageW(list, LB_GETITEMDATA, 0, 0), (c.before & 1) ? clbChecked : 0);
            if (c.toggle) SendMessageW(list, WM_CHAR, L' ', 1);
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(c.button, BN_CLICKED), 0);
        });
        EXPECT_EQ(Plan.CustomizeItems, c.after);
        EXPECT_TRUE(IsWindowEnabled(Frame));
    }
}

}  // namespace
