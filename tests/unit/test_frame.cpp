// The wizard frame and the text pages, driven in-process through a modeless copy of
// the frame dialog.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <iterator>

#include "catalogue/UInstallRecord.h"
#include "pages/UPageFinish.h"
#include "pages/UPageReadyForInstall.h"
#include "pages/UPageWelcome.h"
#include "resources/UResourceIds.h"
#include "setup/UFrame.h"
#include "support/UConst.h"

namespace {

int OpenCount = 0;
void CountingOpener(const wchar_t*) { ++OpenCount; }

class Frame : public testing::Test {
protected:
    void SetUp() override {
        ResetSwitchFlags();
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        RegisterLinkLabelClass();
        Wizard = std::make_unique<TFrame>(CreatePages({Plan, Selection, Detected, Outcome}));
        OpenCount = 0;
        Wizard->LinkOpener = CountingOpener;
        Wnd = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), nullptr, FrameDlgProc,
                                 reinterpret_cast<LPARAM>(Wizard.get()));
        ASSERT_NE(Wnd, nullptr);
    }
    void TearDown() override {
        if (Wnd) DestroyWindow(Wnd);
        Wizard.reset();
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
        GetWindowRect(Wizard->LinkLabel(), &r);
        POINT p{r.left + 2, r.top + 2};
        ScreenToClient(Wnd, &p);
        return p;
    }
    TInstallPlan Plan;  // the wizard's plan, which the pages build
    TSelectionList Selection = NewSelectionList();
    TDetectedIdes Detected;
    TRunOutcome Outcome;
    std::unique_ptr<TFrame> Wizard;
    HWND Wnd = nullptr;
};

TEST_F(Frame, OpensOnTheWelcomePage) {
    wchar_t caption[256] = {};
    GetWindowTextW(Wnd, caption, 256);
    EXPECT_STREQ(caption, L"Installation Wizard for Corvane library v4.07");
    EXPECT_EQ(Wizard->CurrentPage(), 1);
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
    ASSERT_EQ(Wizard->CurrentPage(), 4);
    EXPECT_EQ(Text(idcNext), L"Start");
    EXPECT_TRUE(Enabled(idcBack));
    EXPECT_EQ(Text(idcPageText), ReadyText());
    EXPECT_EQ(Height(idcPageText), PictureHeight() / 2);
    Press(idcBack);
    EXPECT_EQ(Wizard->CurrentPage(), 3);
    EXPECT_EQ(Text(idcNext), L"&Next >");
    Press(idcNext);
    EXPECT_EQ(Text(idcNext), L"Start");
}

TEST_F(Frame, NavigateReturnsTheResultOfTheLastShow) {
    EXPECT_EQ(Press(idcNext), 1);
    EXPECT_EQ(Wizard->CurrentPage(), 2);
}

TEST_F(Frame, LinkClicksWithinHalfASecondAreSwallowed) {
    ASSERT_NE(Wizard->LinkLabel(), nullptr);
    ClickAt(InsideLink());
    EXPECT_EQ(OpenCount, 1);
    ClickAt(InsideLink());  // at once: swallowed
    EXPECT_EQ(OpenCount, 1);
    Wizard->LastLinkClick = GetTickCount() - 300;
    const uint32_t accepted = Wizard->LastLinkClick;
    ClickAt(InsideLink());  // 300 ms after the accepted click: swallowed, window not extended
    EXPECT_EQ(OpenCount, 1);
    EXPECT_EQ(Wizard->LastLinkClick, accepted);
    Wizard->LastLinkClick = GetTickCount() - 600;
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
    GetWindowRect(Wizard->LinkLabel(), &label);
    GetWindowRect(GetDlgItem(Wnd, idcBack), &back);
    EXPECT_EQ(label.top, back.top + 4);
    POINT origin{label.left, label.top};
    ScreenToClient(Wnd, &origin);
    EXPECT_EQ(origin.x, 30);
    wchar_t text[64] = {};
    GetWindowTextW(Wizard->LinkLabel(), text, 64);
    EXPECT_STREQ(text, L"Brindlecraft");
    HDC dc = GetDC(Wnd);
    auto brush = SendMessageW(Wnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Wizard->LinkLabel()));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0xC0));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(NULL_BRUSH));
    ReleaseDC(Wnd, dc);
}

TEST(InstallRecord, SevenValuesInTheirOrder) {
    std::vector<std::wstring> names;
    for (const auto& value : InstallRecordValues(CurrentInstallRecord(TInstallPlan{}))) names.push_back(value.Name);
    // The seven in their order, then the files-only choice that the next run proposes again.
    EXPECT_EQ(names, (std::vector<std::wstring>{L"InstallVersions", L"InstallItems", L"RootDir", L"Version", L"Type",
                                                L"InstallDate", L"CustomizeItems", L"FilesOnlyVersions"}));
}

TEST(InstallRecord, AFailedWriteStopsTheRest) {
    std::vector<std::wstring> written;
    std::vector<TRecordValue> values;
    for (const auto& value : InstallRecordValues(CurrentInstallRecord(TInstallPlan{}))) {
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

namespace {

// Reads an extended dialog template the way the dialog manager does.
class TemplateReader {
public:
    explicit TemplateReader(const BYTE* data) : FPos(data) {}
    template <typename T>
    T Take() {
        T value;
        memcpy(&value, FPos, sizeof(T));
        FPos += sizeof(T);
        return value;
    }
    // A string or, after 0xFFFF, an ordinal written as "#n".
    std::wstring SzOrOrd() {
        auto first = Take<WORD>();
        if (first == 0xFFFF) return L"#" + std::to_wstring(Take<WORD>());
        std::wstring text;
        for (WORD c = first; c != 0; c = Take<WORD>()) text += static_cast<wchar_t>(c);
        return text;
    }
    void AlignDword(const BYTE* base) {
        while ((FPos - base) % 4) ++FPos;
    }

private:
    const BYTE* FPos;
};

std::wstring ClassName(const std::wstring& raw) {
    if (raw == L"#128") return L"Button";
    if (raw == L"#129") return L"Edit";
    if (raw == L"#130") return L"Static";
    if (raw == L"#131") return L"ListBox";
    return raw;
}

TEST(FrameTemplate, ControlsMatchTheirTemplate) {
    HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_DIALOG);
    ASSERT_NE(info, nullptr);
    const BYTE* base = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, info)));
    TemplateReader t(base);
    EXPECT_EQ(t.Take<WORD>(), 1);       // version
    EXPECT_EQ(t.Take<WORD>(), 0xFFFF);  // extended template
    t.Take<DWORD>();                    // help id
    EXPECT_EQ(t.Take<DWORD>(), 0u);     // extended style
    EXPECT_EQ(t.Take<DWORD>(), 0x80C80BC0u);
    const WORD count = t.Take<WORD>();
    EXPECT_EQ(count, 14);
    EXPECT_EQ(t.Take<short>(), 0);
    EXPECT_EQ(t.Take<short>(), 0);
    EXPECT_EQ(t.Take<short>(), 267);
    EXPECT_EQ(t.Take<short>(), 238);
    EXPECT_EQ(t.SzOrOrd(), L"");  // menu
    EXPECT_EQ(t.SzOrOrd(), L"");  // class
    EXPECT_EQ(t.SzOrOrd(), L"Installation Wizard");
    EXPECT_EQ(t.Take<WORD>(), 8);  // points
    t.Take<WORD>();
    t.Take<BYTE>();
    t.Take<BYTE>();
    EXPECT_EQ(t.SzOrOrd(), L"MS Sans Serif");

    struct Item {
        int id;
        std::wstring cls, text;
        DWORD style, exStyle;
        short x, y, cx, cy;
    };
    std::vector<Item> items;
    for (WORD i = 0; i < count; ++i) {
        t.AlignDword(base);
        Item item{};
        t.Take<DWORD>();
        item.exStyle = t.Take<DWORD>();
        item.style = t.Take<DWORD>();
        item.x = t.Take<short>();
        item.y = t.Take<short>();
        item.cx = t.Take<short>();
        item.cy = t.Take<short>();
        item.id = static_cast<int>(t.Take<DWORD>());
        item.cls = ClassName(t.SzOrOrd());
        item.text = t.SzOrOrd();
        WORD extra = t.Take<WORD>();
        for (WORD b = 0; b < extra; ++b) t.Take<BYTE>();
        items.push_back(item);
    }
    const struct {
        int id;
        const wchar_t *cls, *text;
        DWORD style, exStyle;
        short x, y, cx, cy;
    } expected[] = {
        {1010, L"Edit", L"", 0x40810080, 0, 101, 74, 106, 13},
        {1002, L"Button", L"Browse...", 0x40010000, 0, 210, 74, 35, 13},
        {1001, L"Button", L"< &Back", 0x50010000, 0, 102, 219, 50, 14},
        {1000, L"Button", L"&Next >", 0x50010001, 0, 152, 219, 50, 14},
        {2, L"Button", L"&Cancel", 0x50010000, 0, 206, 219, 50, 14},
        {501, L"Static", L"#1", 0x5000120E, 0, 5, 6, 81, 202},
        {-1, L"Static", L"", 0x58800007, WS_EX_STATICEDGE, 4, 213, 257, 1},
        {256, L"Static", L"text", 0x40020000, 0, 97, 6, 156, 40},
        {258, L"Button", L"Destination Folder", 0x40000007, 0, 97, 65, 152, 28},
        {261, L"Button", L"", 0x40000007, 0, 97, 100, 153, 39},
        {1009, L"msctls_progress32", L"Progress1", 0x40800000, 0, 103, 121, 143, 14},
        {260, L"Static", L"Copying", 0x40020000, 0, 103, 108, 141, 8},
        {1013, L"ListBox", L"List1", 0x40A10150, 0, 93, 22, 162, 166},
        {1003, L"Button", L"Customize...", 0x40010000, 0, 205, 194, 50, 14},
    };
    ASSERT_EQ(items.size(), std::size(expected));
    for (size_t i = 0; i < items.size(); ++i) {
        const auto& got = items[i];
        const auto& want = expected[i];
        SCOPED_TRACE(testing::Message() << "control " << want.id);
        EXPECT_EQ(static_cast<int16_t>(got.id), want.id);
        EXPECT_EQ(lstrcmpiW(got.cls.c_str(), want.cls), 0) << testing::PrintToString(got.cls);
        EXPECT_EQ(got.text, want.text);
        EXPECT_EQ(got.style, want.style);
        EXPECT_EQ(got.exStyle, want.exStyle);
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.cx, want.cx);
        EXPECT_EQ(got.cy, want.cy);
    }
}

TEST(FrameTemplate, PictureAtOneHundredPercentAndIconFromSixteenTo256Pixels) {
    HBITMAP picture = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(picture, nullptr);
    DIBSECTION dib{};
    ASSERT_TRUE(GetObjectW(picture, sizeof(dib), &dib));
    EXPECT_EQ(dib.dsBm.bmWidth, 119);
    EXPECT_EQ(dib.dsBm.bmHeight, 258);
    EXPECT_EQ(dib.dsBmih.biBitCount, 24);
    DeleteObject(picture);
    // The icon group: a 6-byte header, then 14 bytes an image (width and height 0
    // stand for 256; the bit count is the word at offset 6 of an entry).
    HRSRC group = FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    const BYTE* dir = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, group)));
    const int count = dir[4] | (dir[5] << 8);
    int smallest = 256, largest = 0;
    for (int i = 0; i < count; ++i) {
        const BYTE* entry = dir + 6 + 14 * i;
        const int width = entry[0] ? entry[0] : 256;
        smallest = std::min(smallest, width);
        largest = std::max(largest, width);
        EXPECT_EQ(entry[6] | (entry[7] << 8), 32) << "image " << i;
    }
    EXPECT_EQ(smallest, 16);
    EXPECT_EQ(largest, 256);
}

}  // namespace
