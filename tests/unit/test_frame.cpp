// The wizard frame and the text pages, driven in-process through a modeless copy of
// the frame dialog.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "pages/UPage.h"
#include "setup/UFrame.h"
#include "support/UConst.h"

namespace {

int OpenCount = 0;
void CountingOpener(const wchar_t*) { ++OpenCount; }

class Frame : public testing::Test {
protected:
    void SetUp() override {
        ResetInstallState();
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        RegisterLinkLabelClass();
        CreatePages();
        OpenCount = 0;
        LinkOpener = CountingOpener;
        Wnd = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), nullptr, FrameDlgProc, 0);
        ASSERT_NE(Wnd, nullptr);
    }
    void TearDown() override {
        if (Wnd) DestroyWindow(Wnd);
        FreePages();
        LinkOpener = ShellOpenLink;
    }
    std::wstring Text(int id) const {
        wchar_t buf[4096] = {};
        GetDlgItemTextW(Wnd, id, buf, 4096);
        return buf;
    }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(Wnd, id)) != FALSE; }
    LRESULT Press(int id) { return SendMessageW(Wnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    int Height(int id) const {
        RECT r{};
        GetWindowRect(GetDlgItem(Wnd, id), &r);
        return r.bottom - r.top;
    }
    int PictureHeight() const {
        RECT r{};
        GetClientRect(GetDlgItem(Wnd, idcSidePicture), &r);
        return r.bottom - r.top;
    }
    void ClickAt(POINT client) {
        SendMessageW(Wnd, WM_PARENTNOTIFY, MAKEWPARAM(WM_LBUTTONDOWN, 0), MAKELPARAM(client.x, client.y));
    }
    POINT InsideLink() const {
        RECT r{};
        GetWindowRect(LinkLabel, &r);
        POINT p{r.left + 2, r.top + 2};
        ScreenToClient(Wnd, &p);
        return p;
    }
    HWND Wnd = nullptr;
};

TEST_F(Frame, OpensOnTheWelcomePage) {
    wchar_t caption[256] = {};
    GetWindowTextW(Wnd, caption, 256);
    EXPECT_STREQ(caption, L"Installation Wizard for Corvane library v4.07");
    EXPECT_EQ(CurrentPage, 1);
    EXPECT_FALSE(Enabled(idcBack));
    EXPECT_TRUE(Enabled(idcNext));
    EXPECT_EQ(Text(idcPageText), WelcomeText());
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(Wnd, idcPageText)) || !IsWindowVisible(Wnd));
    EXPECT_EQ(Height(idcPageText), PictureHeight());
}

TEST_F(Frame, WelcomeTextReadsExactly) {
    EXPECT_EQ(WelcomeText(),
              L"Welcome to the Corvane library Setup program. This program will install trial Delphi version of "
              L"Corvane library v4.07 on you computer.\r\n\r\n"
              L"Corvane library - collection of components for working with the application settings.\r\n\r\n"
              L"It is strongly recommended that you exit all version of Delphi and CBuilder before running this "
              L"Setup program.\r\n\r\nClick Next to continue with the Setup program.");
}

TEST_F(Frame, ReadyPageCallsNextStartAndBackRestoresIt) {
    Press(idcNext);
    Press(idcNext);
    Press(idcNext);
    ASSERT_EQ(CurrentPage, 4);
    EXPECT_EQ(Text(idcNext), L"Start");
    EXPECT_TRUE(Enabled(idcBack));
    EXPECT_EQ(Text(idcPageText), ReadyText());
    EXPECT_EQ(Height(idcPageText), PictureHeight() / 2);
    Press(idcBack);
    EXPECT_EQ(CurrentPage, 3);
    EXPECT_EQ(Text(idcNext), L"&Next >");
    Press(idcNext);
    EXPECT_EQ(Text(idcNext), L"Start");
}

TEST_F(Frame, NavigateReturnsTheResultOfTheLastShow) {
    EXPECT_EQ(Press(idcNext), 1);
    EXPECT_EQ(CurrentPage, 2);
}

TEST_F(Frame, LinkClicksWithinHalfASecondAreSwallowed) {
    ASSERT_NE(LinkLabel, nullptr);
    ClickAt(InsideLink());
    EXPECT_EQ(OpenCount, 1);
    ClickAt(InsideLink());  // at once: swallowed
    EXPECT_EQ(OpenCount, 1);
    LastLinkClick = GetTickCount() - 300;
    const uint32_t accepted = LastLinkClick;
    ClickAt(InsideLink());  // 300 ms after the accepted click: swallowed, window not extended
    EXPECT_EQ(OpenCount, 1);
    EXPECT_EQ(LastLinkClick, accepted);
    LastLinkClick = GetTickCount() - 600;
    ClickAt(InsideLink());
    EXPECT_EQ(OpenCount, 2);
}

TEST_F(Frame, ClicksElsewhereOpenNothing) {
    ClickAt(POINT{2, 2});
    RECT next{};
    GetWindowRect(GetDlgItem(Wnd, idcNext), &next);
    POINT p{next.left + 3, next.top + 3};
    ScreenToClient(Wnd, &p);
    ClickAt(p);
    EXPECT_EQ(OpenCount, 0);
}

TEST_F(Frame, LinkLabelSitsLeftOfTheButtonRowInBlue) {
    RECT label{}, back{};
    GetWindowRect(LinkLabel, &label);
    GetWindowRect(GetDlgItem(Wnd, idcBack), &back);
    EXPECT_EQ(label.top, back.top + 4);
    POINT origin{label.left, label.top};
    ScreenToClient(Wnd, &origin);
    EXPECT_EQ(origin.x, 30);
    wchar_t text[64] = {};
    GetWindowTextW(LinkLabel, text, 64);
    EXPECT_STREQ(text, L"Brindlecraft");
    HDC dc = GetDC(Wnd);
    auto brush = SendMessageW(Wnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(LinkLabel));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0xC0));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(NULL_BRUSH));
    ReleaseDC(Wnd, dc);
}

TEST(InstallRecord, SevenValuesInTheirOrder) {
    std::vector<std::wstring> names;
    for (const auto& value : InstallRecordValues()) names.push_back(value.Name);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"InstallVersions", L"InstallItems", L"RootDir", L"Version", L"Type",
                                                L"InstallDate", L"CustomizeItems"}));
}

TEST(InstallRecord, AFailedWriteStopsTheRest) {
    std::vector<std::wstring> written;
    std::vector<TRecordValue> values;
    for (const auto& value : InstallRecordValues()) {
        std::wstring name = value.Name;
        values.push_back({value.Name, [&written, name] {
                              if (name == L"RootDir") return false;
                              written.push_back(name);
                              return true;
                          }});
    }
    EXPECT_FALSE(WriteInOrder(values));
    EXPECT_EQ(written, (std::vector<std::wstring>{L"InstallVersions", L"InstallItems"}));
}

}  // namespace
