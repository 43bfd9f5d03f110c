// The check list box on real list boxes of a real window: toggling by key and mouse,
// the shared parent subclass, the registry of boxes and the owner drawing.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <vector>

#include "controls/UbrdCheckListBox.h"

namespace {

constexpr int FirstListId = 100;
constexpr DWORD ListStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                            LBS_NOINTEGRALHEIGHT | LBS_NOTIFY;

// The parent's own procedure counts what reaches it past the subclass.
int ParentDrawItems = 0;
int ParentSelChanges = 0;

LRESULT CALLBACK ParentProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DRAWITEM) ++ParentDrawItems;
    if (msg == WM_COMMAND && HIWORD(wParam) == LBN_SELCHANGE) ++ParentSelChanges;
    return DefWindowProcW(wnd, msg, wParam, lParam);
}

const wchar_t* ParentClass() {
    static ATOM atom = [] {
        WNDCLASSW cls{};
        cls.lpfnWndProc = ParentProc;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.lpszClassName = L"CvlTestCheckListParent";
        cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        return RegisterClassW(&cls);
    }();
    return atom ? L"CvlTestCheckListParent" : nullptr;
}

class CheckList : public testing::Test {
protected:
    void SetUp() override {
        ParentDrawItems = ParentSelChanges = 0;
        Parent = CreateWindowExW(0, ParentClass(), L"check list test", WS_POPUP, 0, 0, 320, 300, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(Parent, nullptr);
        List = NewList();
        Box = std::make_unique<TbrdCheckListBox>(List);
        Box->SetOnCheckClick([this](TbrdCheckListBox* Sender) {
            ++CheckClicks;
            LastSender = Sender;
        });
        for (const wchar_t* text : {L"Delphi 7", L"Delphi 6", L"Delphi 5"}) Box->Add(text);
    }
    void TearDown() override {
        Box.reset();
        if (Parent) DestroyWindow(Parent);
    }

    HWND NewList() {
        HWND list = CreateWindowExW(0, L"ListBox", L"", ListStyle, 10, 10 + 140 * Lists, 200, 120, Parent,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(FirstListId + Lists)),
                                    GetModuleHandleW(nullptr), nullptr);
        ++Lists;
        return list;
    }
    RECT ItemRect(int index) const {
        RECT r{};
        SendMessageW(List, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    // A point on the entry's text, well right of the check box.
    LPARAM OnText(int index) const {
        RECT r = ItemRect(index);
        return MAKELPARAM(r.left + 60, (r.top + r.bottom) / 2);
    }
    void Mouse(UINT msg, LPARAM at) { SendMessageW(List, msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, at); }
    void Click(LPARAM at) {
        Mouse(WM_LBUTTONDOWN, at);
        Mouse(WM_LBUTTONUP, at);
    }
    void Space() { SendMessageW(List, WM_CHAR, L' ', 1); }
    LRESULT Data(int index) const { return SendMessageW(List, LB_GETITEMDATA, index, 0); }

    HWND Parent = nullptr;
    HWND List = nullptr;
    int Lists = 0;
    std::unique_ptr<TbrdCheckListBox> Box;
    int CheckClicks = 0;
    TbrdCheckListBox* LastSender = nullptr;
};

TEST_F(CheckList, SpaceTogglesTheSelectedEnabledEntryOnly) {
    Box->SetEnabled(1, false);
    struct {
        int select;
        LRESULT data0, data1;
        int clicks;
    } steps[] = {
        {-1, 0, clbDisabled, 0},          // nothing selected: nothing happens
        {0, clbChecked, clbDisabled, 1},  // checks and fires once
        {1, clbChecked, clbDisabled, 1},  // disabled: no change, no event
        {0, 0, clbDisabled, 2},           // unchecks again
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(testing::Message() << "select " << step.select << ", clicks so far " << CheckClicks);
        Box->SetSelected(step.select);
        Space();
        EXPECT_EQ(Data(0), step.data0);
        EXPECT_EQ(Data(1), step.data1);
        EXPECT_EQ(CheckClicks, step.clicks);
    }
    EXPECT_EQ(LastSender, Box.get());
    SendMessageW(List, WM_CHAR, L'x', 1);
    EXPECT_EQ(CheckClicks, 2);
}

TEST_F(CheckList, AClickChecksTheClickedEntryOnRelease) {
    Box->SetSelected(0);
    Mouse(WM_LBUTTONDOWN, OnText(2));
    EXPECT_EQ(Box->Selected(), 2);
    EXPECT_FALSE(Box->GetChecked(2)) << "toggled on the press";
    Mouse(WM_LBUTTONUP, OnText(2));
    EXPECT_TRUE(Box->GetChecked(2));
    EXPECT_FALSE(Box->GetChecked(0));
    EXPECT_EQ(CheckClicks, 1);
}

TEST_F(CheckList, ADoubleClickTogglesTwice) {
    Mouse(WM_LBUTTONDOWN, OnText(1));
    Mouse(WM_LBUTTONUP, OnText(1));
    Mouse(WM_LBUTTONDBLCLK, OnText(1));
    Mouse(WM_LBUTTONUP, OnText(1));
    EXPECT_FALSE(Box->GetChecked(1));
    EXPECT_EQ(CheckClicks, 2);
}

// Disabled entries never take the selection: neither a click nor a double click on
// one moves it or toggles anything, and the moving keys pass over them.
TEST_F(CheckList, DisabledEntriesAreNeverSelectedByTheUser) {
    Box->Add(L"Delphi 4");
    Box->SetEnabled(1, false);
    Box->SetEnabled(2, false);
    Box->SetSelected(0);
    Click(OnText(1));
    Mouse(WM_LBUTTONDBLCLK, OnText(2));
    Mouse(WM_LBUTTONUP, OnText(2));
    EXPECT_EQ(Box->Selected(), 0);
    EXPECT_EQ(CheckClicks, 0);
    struct {
        WPARAM key;
        int selected;
    } moves[] = {{VK_DOWN, 3}, {VK_DOWN, 3}, {VK_UP, 0}, {VK_END, 3}, {VK_HOME, 0}};
    for (const auto& move : moves) {
        SendMessageW(List, WM_KEYDOWN, move.key, 1);
        EXPECT_EQ(Box->Selected(), move.selected) << "key " << move.key;
    }
}

TEST_F(CheckList, AReleaseWithoutAPressInsideTogglesNothing) {
    Box->SetSelected(1);
    Mouse(WM_LBUTTONUP, OnText(1));
    EXPECT_EQ(Data(1), 0);
    Click(OnText(1));  // a whole click after it still works
    Mouse(WM_LBUTTONUP, OnText(1));
    EXPECT_TRUE(Box->GetChecked(1));
    EXPECT_EQ(CheckClicks, 1);
}

TEST_F(CheckList, AClickBelowTheLastEntryTogglesTheSelectedOne) {
    Box->SetSelected(1);
    RECT last = ItemRect(2);
    Click(MAKELPARAM(60, last.bottom + 10));
    EXPECT_EQ(Box->Selected(), 1);
    EXPECT_TRUE(Box->GetChecked(1));
    EXPECT_FALSE(Box->GetChecked(2));
}

TEST_F(CheckList, SelectionChangesFireOnClickInsteadOfReachingTheParent) {
    int clicks = 0;
    Box->SetOnClick([&clicks](TbrdCheckListBox*) { ++clicks; });
    Click(OnText(2));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(ParentSelChanges, 0);
    // Other lists of the same parent still notify the parent.
    HWND plain = NewList();
    SendMessageW(Parent, WM_COMMAND, MAKEWPARAM(FirstListId + 1, LBN_SELCHANGE), reinterpret_cast<LPARAM>(plain));
    EXPECT_EQ(ParentSelChanges, 1);
}

TEST_F(CheckList, EntryStateLivesInTheItemData) {
    Box->SetChecked(0, true);
    Box->SetEnabled(0, false);
    EXPECT_EQ(Data(0), clbChecked | clbDisabled);
    Box->SetChecked(0, false);
    Box->SetEnabled(0, true);
    EXPECT_EQ(Data(0), 0);
    // Other bits of the item data are left alone.
    SendMessageW(List, LB_SETITEMDATA, 1, 0x10);
    Box->SetChecked(1, true);
    EXPECT_EQ(Data(1), 0x11);
    // An invalid index reads as checked and disabled and writes nowhere.
    EXPECT_TRUE(Box->GetChecked(-1));
    EXPECT_FALSE(Box->GetEnabled(-1));
    Box->SetChecked(-1, false);
    Box->SetEnabled(-1, false);
    Box->SetChecked(7, true);
    EXPECT_EQ(Data(0), 0);
    EXPECT_EQ(Data(2), 0);
}

TEST_F(CheckList, SetItemStringReplacesTheTextAndResetsTheCheck) {
    Box->SetChecked(1, true);
    Box->SetEnabled(1, false);
    Box->SetItemString(1, L"Delphi 2005");
    EXPECT_EQ(Box->GetItemString(1), L"Delphi 2005");
    EXPECT_EQ(Data(1), 0);
    EXPECT_EQ(Box->Count(), 3);
    for (int index : {3, -1}) {
        Box->SetItemString(index, L"ignored");
        EXPECT_EQ(Box->Count(), 3) << "index " << index;
    }
    EXPECT_EQ(Box->GetItemString(2), L"Delphi 5");
    EXPECT_EQ(Box->GetItemString(5), L"");
}

TEST_F(CheckList, TextsComeBackWhole) {
    Box->Insert(0, L"RAD Studio 11");
    std::wstring longText(6000, L'x');
    int index = Box->Add(longText);
    EXPECT_EQ(Box->GetItemString(0), L"RAD Studio 11");
    EXPECT_EQ(Box->GetItemString(index), longText);
}

// ---------------------------------------------------------------- subclassing

WNDPROC ProcOf(HWND wnd) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(wnd, GWLP_WNDPROC)); }
intptr_t RefCount(HWND wnd) { return reinterpret_cast<intptr_t>(GetPropW(wnd, PropParentCLBRefCount)); }

TEST_F(CheckList, BoxesOfOneParentShareOneSubclass) {
    Box.reset();
    ASSERT_EQ(ProcOf(Parent), ParentProc);
    WNDPROC listProc = ProcOf(List);
    auto first = std::make_unique<TbrdCheckListBox>(List);
    HWND secondList = NewList();
    auto second = std::make_unique<TbrdCheckListBox>(secondList);
    EXPECT_EQ(ProcOf(Parent), CLBParentWndProc);
    EXPECT_EQ(ProcOf(List), CLBWndProc);
    EXPECT_EQ(GetPropW(List, PropCLBWndProc), first.get());
    EXPECT_EQ(RefCount(Parent), 2);
    EXPECT_EQ(GetPropW(Parent, PropParentCLBWndProc), reinterpret_cast<HANDLE>(ParentProc));

    first.reset();
    EXPECT_EQ(RefCount(Parent), 1);
    EXPECT_EQ(ProcOf(Parent), CLBParentWndProc);
    EXPECT_EQ(ProcOf(List), listProc);
    EXPECT_EQ(GetPropW(List, PropCLBWndProc), nullptr);

    second.reset();
    EXPECT_EQ(ProcOf(Parent), ParentProc);
    EXPECT_EQ(GetPropW(Parent, PropParentCLBWndProc), nullptr);
    EXPECT_EQ(GetPropW(Parent, PropParentCLBRefCount), nullptr);
}

TEST_F(CheckList, AListBoxDestroyedFirstGivesItsWindowsBack) {
    HWND secondList = NewList();
    auto second = std::make_unique<TbrdCheckListBox>(secondList);
    DestroyWindow(secondList);
    EXPECT_EQ(second->Handle(), nullptr);
    EXPECT_EQ(CLBArray.FindByHandle(secondList), nullptr);
    EXPECT_EQ(RefCount(Parent), 1);
    second.reset();  // touches no window
    EXPECT_EQ(RefCount(Parent), 1);
    EXPECT_EQ(ProcOf(Parent), CLBParentWndProc);

    // The whole dialog closes while the box lives on.
    DestroyWindow(Parent);
    Parent = nullptr;
    EXPECT_EQ(Box->Handle(), nullptr);
    EXPECT_EQ(Box->Count(), 0);
    Box.reset();
}

TEST_F(CheckList, TheRegistryKeepsOrderWhenABoxLeaves) {
    int before = CLBArray.Count();
    HWND lists[] = {NewList(), NewList()};
    auto a = std::make_unique<TbrdCheckListBox>(lists[0]);
    auto b = std::make_unique<TbrdCheckListBox>(lists[1]);
    EXPECT_EQ(CLBArray.Count(), before + 2);
    CLBArray.Delete(Box.get());
    EXPECT_EQ(CLBArray.Count(), before + 1);
    EXPECT_EQ(CLBArray.IndexOf(Box.get()), -1);
    EXPECT_EQ(CLBArray.Items(CLBArray.IndexOf(a.get()) + 1), b.get());
    EXPECT_EQ(CLBArray.FindByHandle(lists[0]), a.get());
    EXPECT_EQ(CLBArray.FindByHandle(lists[1]), b.get());
    EXPECT_EQ(CLBArray.FindByHandle(List), nullptr);
    CLBArray.Delete(Box.get());  // not registered: no change
    EXPECT_EQ(CLBArray.Count(), before + 1);
}

TEST(CheckListRegistry, GrowsPastThirtyTwoBoxes) {
    TbrdCLBArray array;
    std::vector<std::unique_ptr<TbrdCheckListBox>> boxes;
    for (int i = 0; i < 40; ++i) {
        boxes.push_back(std::make_unique<TbrdCheckListBox>(nullptr));
        EXPECT_EQ(array.Add(boxes.back().get()), i);
    }
    EXPECT_EQ(array.Count(), 40);
    EXPECT_EQ(array.IndexOf(boxes[39].get()), 39);
    array.Delete(boxes[0].get());
    EXPECT_EQ(array.Items(0), boxes[1].get());
    EXPECT_EQ(array.Items(38), boxes[39].get());
    EXPECT_EQ(array.Items(39), nullptr);
}

// ---------------------------------------------------------------- drawing

// A 32-bit white canvas that the parent is asked to draw one entry into.
class Canvas {
public:
    Canvas(int width, int height) : FWidth(width), FHeight(height) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        FBitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        FBits = static_cast<const uint32_t*>(bits);
        FDC = CreateCompatibleDC(nullptr);
        FOld = SelectObject(FDC, FBitmap);
        PatBlt(FDC, 0, 0, width, height, WHITENESS);
    }
    ~Canvas() {
        SelectObject(FDC, FOld);
        DeleteDC(FDC);
        DeleteObject(FBitmap);
    }
    HDC dc() const { return FDC; }
    RECT rect() const { return {0, 0, FWidth, FHeight}; }
    COLORREF At(int x, int y) const {
        GdiFlush();
        uint32_t p = FBits[y * FWidth + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    int Count(const RECT& area, COLORREF colour) const {
        int n = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) n += At(x, y) == colour;
        return n;
    }

private:
    int FWidth, FHeight;
    HBITMAP FBitmap;
    const uint32_t* FBits = nullptr;
    HDC FDC;
    HGDIOBJ FOld;
};

class CheckListDrawing : public CheckList {
protected:
    static constexpr int Width = 200;
    static constexpr int Height = 20;
    LRESULT Draw(Canvas& canvas, int index, UINT state) {
        DRAWITEMSTRUCT item{ODT_LISTBOX, FirstListId, static_cast<UINT>(index), ODA_DRAWENTIRE, state, List, canvas.dc(),
                            canvas.rect(), 0};
        return SendMessageW(Parent, WM_DRAWITEM, FirstListId, reinterpret_cast<LPARAM>(&item));
    }
    // The box as the drawing places it in an entry of the canvas's height: a square of
    // the classic 13 pixels at the list's 96 DPI, in an area 2 pixels wider.
    RECT CheckRect(int shrink) const {
        int size = Box->CheckSize();
        int x = (Box->CheckAreaWidth() - size) / 2;
        int y = (Height - size) / 2;
        return {x + shrink, y + shrink, x + size - shrink, y + size - shrink};
    }
    RECT TextArea() const { return {Box->CheckAreaWidth(), 0, Width, Height}; }
    const COLORREF White = RGB(255, 255, 255);
    const COLORREF Black = RGB(0, 0, 0);
};

TEST_F(CheckListDrawing, TheParentDrawsRegisteredListsItself) {
    Canvas canvas(Width, Height);
    EXPECT_EQ(Draw(canvas, 0, 0), 1);
    EXPECT_EQ(ParentDrawItems, 0);
}

TEST_F(CheckListDrawing, ACheckedEntryShowsItsMarkInAFlatBox) {
    for (bool checked : {false, true}) {
        SCOPED_TRACE(checked ? "checked" : "unchecked");
        Box->SetChecked(0, checked);
        Canvas canvas(Width, Height);
        Draw(canvas, 0, 0);
        RECT inner = CheckRect(2);
        EXPECT_EQ(canvas.Count(inner, Black) > 0, checked);
        // The flat frame on the box's edge, the white field inside it; the 3-D edge
        // of the frame control is clipped away.
        RECT box = CheckRect(0);
        int middle = (box.top + box.bottom) / 2;
        EXPECT_EQ(canvas.At(box.left, middle), GetSysColor(COLOR_BTNSHADOW));
        EXPECT_EQ(canvas.At(box.right - 1, middle), GetSysColor(COLOR_BTNSHADOW));
        EXPECT_EQ(canvas.At(box.left - 1, middle), White);
        EXPECT_EQ(canvas.At(box.left + 1, box.top + 1), White);
        EXPECT_GT(canvas.Count(TextArea(), Black), 0) << "text";
    }
}

TEST_F(CheckListDrawing, ADisabledEntryIsGrey) {
    Box->SetEnabled(0, false);
    Canvas canvas(Width, Height);
    Draw(canvas, 0, 0);
    EXPECT_GT(canvas.Count(TextArea(), GetSysColor(COLOR_GRAYTEXT)), 0);
    EXPECT_EQ(canvas.Count(TextArea(), Black), 0);
    EXPECT_EQ(GetTextColor(canvas.dc()), Black) << "colours restored";
}

TEST_F(CheckListDrawing, TheSelectedEntryIsHighlightedWithTheFocusAroundItsText) {
    Canvas canvas(Width, Height);
    Draw(canvas, 0, ODS_SELECTED | ODS_FOCUS);
    COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_EQ(canvas.At(Width - 3, Height / 2), highlight);
    EXPECT_GT(canvas.Count(TextArea(), GetSysColor(COLOR_HIGHLIGHTTEXT)), 0);
    EXPECT_EQ(canvas.At(0, 0), White) << "the check area is not filled";
    // The dotted focus frame along the top of the text area.
    RECT top{Box->CheckAreaWidth(), 0, Width, 1};
    EXPECT_GT(Width - Box->CheckAreaWidth() - canvas.Count(top, highlight), 10);

    Canvas plain(Width, Height);
    Draw(plain, 0, ODS_SELECTED);
    EXPECT_EQ(plain.Count(top, highlight), Width - Box->CheckAreaWidth());
}

TEST_F(CheckListDrawing, AnEmptyFocusedListGetsOnlyItsTextAreaFilled) {
    Canvas canvas(Width, Height);
    SetBkColor(canvas.dc(), RGB(0, 128, 0));
    Draw(canvas, -1, ODS_FOCUS);
    EXPECT_EQ(canvas.At(Width - 3, Height / 2), RGB(0, 128, 0));
    EXPECT_EQ(canvas.Count(CheckRect(0), White), (CheckRect(0).right - CheckRect(0).left) * (CheckRect(0).bottom - CheckRect(0).top));
}

}  // namespace
