#include "controls/UbrdCheckListBox.h"

#include "support/WinHandles.h"

namespace {

// The predefined check-box bitmap (OBM_CHECKBOXES): four images across, three down.
constexpr int ObmCheckBoxes = 32759;
constexpr int CheckImagesAcross = 4;
// The classic 13-pixel images, for a system that cannot give us the bitmap.
constexpr SIZE ClassicCheckBitmap{52, 39};
// Room beside the check box before the text begins.
constexpr int CheckMargin = 2;

// The cell width and "height" of the bitmap; the height is divided by 4 as well,
// and the box adds 4 pixels to it, which gives a square box for the classic images.
SIZE MeasureCheckBoxCell() {
    brd::UniqueGdi bitmap(LoadBitmapW(nullptr, MAKEINTRESOURCEW(ObmCheckBoxes)));
    BITMAP info{};
    SIZE size = ClassicCheckBitmap;
    if (bitmap && GetObjectW(bitmap.get(), sizeof(info), &info) == sizeof(info)) size = {info.bmWidth, info.bmHeight};
    return {size.cx / CheckImagesAcross, size.cy / CheckImagesAcross};
}

const SIZE CheckCell = MeasureCheckBoxCell();

template <typename T>
HANDLE AsProp(T value) {
    return reinterpret_cast<HANDLE>(value);
}

intptr_t ParentRefCount(HWND parent) { return reinterpret_cast<intptr_t>(GetPropW(parent, PropParentCLBRefCount)); }

void SetParentRefCount(HWND parent, intptr_t count) { SetPropW(parent, PropParentCLBRefCount, AsProp(count)); }

WNDPROC WindowProcOf(HWND wnd) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(wnd, GWLP_WNDPROC)); }

WNDPROC SetWindowProc(HWND wnd, WNDPROC proc) {
    return reinterpret_cast<WNDPROC>(SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

// One subclass serves every box of a parent; the count says how many share it.
void SubclassParent(HWND parent) {
    if (WindowProcOf(parent) == CLBParentWndProc) {
        SetParentRefCount(parent, ParentRefCount(parent) + 1);
        return;
    }
    WNDPROC previous = WindowProcOf(parent);
    SetPropW(parent, PropParentCLBWndProc, AsProp(previous));
    SetWindowProc(parent, CLBParentWndProc);
    SetParentRefCount(parent, 1);
}

void ReleaseParent(HWND parent) {
    intptr_t count = ParentRefCount(parent);
    if (count - 1 > 0) {
        SetParentRefCount(parent, count - 1);
        return;
    }
    auto previous = reinterpret_cast<WNDPROC>(GetPropW(parent, PropParentCLBWndProc));
    if (previous) SetWindowProc(parent, previous);
    RemovePropW(parent, PropParentCLBWndProc);
    RemovePropW(parent, PropParentCLBRefCount);
}

}  // namespace

int32_t CheckWidth = CheckCell.cx;
int32_t CheckHeight = CheckCell.cy;
TbrdCLBArray CLBArray;

// ---------------------------------------------------------------- TbrdCheckListBox

TbrdCheckListBox::TbrdCheckListBox(HWND ListBoxHandle) {
    if (IsWindow(ListBoxHandle)) {
        FHandle = ListBoxHandle;
        Attach();
    }
    CLBArray.Add(this);
}

TbrdCheckListBox::~TbrdCheckListBox() {
    CLBArray.Delete(this);
    Detach();
}

void TbrdCheckListBox::Attach() {
    FOldWndProc = WindowProcOf(FHandle);
    SetPropW(FHandle, PropCLBWndProc, AsProp(this));
    SetWindowProc(FHandle, CLBWndProc);
    if (HWND parent = GetParent(FHandle)) SubclassParent(parent);
}

// Also runs when the list box is destroyed before its box (a dialog that closes
// while its page lives on): the windows are then put back while they still exist,
// and the box keeps no handle that a later window could reuse.
void TbrdCheckListBox::Detach() {
    if (!FHandle || !FOldWndProc) return;
    if (HWND parent = GetParent(FHandle)) ReleaseParent(parent);
    SetWindowProc(FHandle, FOldWndProc);
    RemovePropW(FHandle, PropCLBWndProc);
    FOldWndProc = nullptr;
    FHandle = nullptr;
}

void TbrdCheckListBox::Clear() { SendMessageW(FHandle, LB_RESETCONTENT, 0, 0); }

int32_t TbrdCheckListBox::Add(const std::wstring& Value) {
    return static_cast<int32_t>(SendMessageW(FHandle, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Value.c_str())));
}

void TbrdCheckListBox::Insert(int32_t Index, const std::wstring& Value) {
    SendMessageW(FHandle, LB_INSERTSTRING, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(Value.c_str()));
}

void TbrdCheckListBox::Delete(int32_t Index) { SendMessageW(FHandle, LB_DELETESTRING, static_cast<WPARAM>(Index), 0); }

std::wstring TbrdCheckListBox::GetItemString(int32_t Index) const {
    LRESULT length = SendMessageW(FHandle, LB_GETTEXTLEN, static_cast<WPARAM>(Index), 0);
    if (length == LB_ERR || length < 0) return L"";
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    LRESULT copied = SendMessageW(FHandle, LB_GETTEXT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

// A negative index would make the re-insert append a new entry instead.
void TbrdCheckListBox::SetItemString(int32_t Index, const std::wstring& Value) {
    if (Index < 0 || Index >= Count()) return;
    Delete(Index);
    Insert(Index, Value);
}

LRESULT TbrdCheckListBox::ItemData(int32_t Index) const {
    return SendMessageW(FHandle, LB_GETITEMDATA, static_cast<WPARAM>(Index), 0);
}

// Index -1 would give every entry the same data on Windows.
void TbrdCheckListBox::SetItemData(int32_t Index, LRESULT Data) {
    if (Index < 0) return;
    SendMessageW(FHandle, LB_SETITEMDATA, static_cast<WPARAM>(Index), Data);
}

bool TbrdCheckListBox::GetChecked(int32_t Index) const { return (ItemData(Index) & clbChecked) != 0; }

void TbrdCheckListBox::SetChecked(int32_t Index, bool Value) {
    LRESULT data = ItemData(Index);
    SetItemData(Index, Value ? data | clbChecked : data & ~clbChecked);
}

bool TbrdCheckListBox::GetEnabled(int32_t Index) const { return (ItemData(Index) & clbDisabled) == 0; }

void TbrdCheckListBox::SetEnabled(int32_t Index, bool Value) {
    LRESULT data = ItemData(Index);
    SetItemData(Index, Value ? data & ~clbDisabled : data | clbDisabled);
}

int32_t TbrdCheckListBox::Count() const { return static_cast<int32_t>(SendMessageW(FHandle, LB_GETCOUNT, 0, 0)); }

int32_t TbrdCheckListBox::Selected() const { return static_cast<int32_t>(SendMessageW(FHandle, LB_GETCURSEL, 0, 0)); }

void TbrdCheckListBox::SetSelected(int32_t Index) {
    SendMessageW(FHandle, LB_SETCURSEL, static_cast<WPARAM>(Index), 0);
}

// Index Count is the row just below the last entry.
RECT TbrdCheckListBox::ItemRect(int32_t Index) const {
    RECT rect{};
    int32_t count = Count();
    if (Index == 0 || Index < count) {
        SendMessageW(FHandle, LB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&rect));
    } else if (Index == count) {
        SendMessageW(FHandle, LB_GETITEMRECT, static_cast<WPARAM>(Index - 1), reinterpret_cast<LPARAM>(&rect));
        OffsetRect(&rect, 0, rect.bottom - rect.top);
    }
    return rect;
}

// The whole row reacts, but it is always the current selection that changes: a
// click has moved the selection before its release arrives here.
void TbrdCheckListBox::ToggleSelected() {
    int32_t index = Selected();
    if (!GetEnabled(index)) return;  // no selection reads as disabled
    SetChecked(index, !GetChecked(index));
    RECT area = ItemRect(index);
    area.right = area.left + CheckWidth + CheckMargin;
    InvalidateRect(FHandle, &area, TRUE);
    UpdateWindow(FHandle);
    if (FOnCheckClick) FOnCheckClick(this);
}

void TbrdCheckListBox::Click() {
    if (FOnClick) FOnClick(this);
}

// Toggles before the list box itself sees the message. A click toggles on the
// release that follows a press inside the list, a double click once more.
LRESULT TbrdCheckListBox::ListBoxMessage(UINT Msg, WPARAM wParam, LPARAM lParam) {
    // A handler may free the box; what the list box needs is taken first.
    HWND wnd = FHandle;
    WNDPROC oldProc = FOldWndProc;
    switch (Msg) {
        case WM_CHAR:
            if (wParam == L' ') ToggleSelected();
            break;
        case WM_LBUTTONDOWN: FLClicksCount = 1; break;
        case WM_LBUTTONUP:
            if (FLClicksCount > 0 && --FLClicksCount == 0) ToggleSelected();
            break;
        case WM_LBUTTONDBLCLK: ToggleSelected(); break;
        case WM_NCDESTROY: Detach(); break;
        default: break;
    }
    return CallWindowProcW(oldProc, wnd, Msg, wParam, lParam);
}

void TbrdCheckListBox::DrawItem(HDC DC, int32_t Index, UINT State, const RECT& Rect) const {
    bool selected = Index >= 0 && (State & ODS_SELECTED) != 0;
    COLORREF background = selected ? GetSysColor(COLOR_HIGHLIGHT) : GetBkColor(DC);
    COLORREF foreground = selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : GetTextColor(DC);
    brd::UniqueGdi brush(CreateSolidBrush(background));
    brd::UniqueGdi pen(CreatePen(PS_SOLID, 0, foreground));
    brd::SelectedObject selectedBrush(DC, brush.get());
    brd::SelectedObject selectedPen(DC, pen.get());
    COLORREF oldBackground = SetBkColor(DC, background);
    COLORREF oldForeground = SetTextColor(DC, foreground);

    RECT text = Rect;
    text.left += CheckWidth + CheckMargin;
    if (Index < 0) {
        FillRect(DC, &text, static_cast<HBRUSH>(brush.get()));  // an empty list with the focus
    } else {
        RECT check = Rect;
        check.right = Rect.left + CheckWidth + CheckMargin;
        bool enabled = GetEnabled(Index);
        DrawCheck(DC, check, enabled, GetChecked(Index) ? 1 : 0);
        if (!enabled) SetTextColor(DC, GetSysColor(COLOR_GRAYTEXT));
        FillRect(DC, &text, static_cast<HBRUSH>(brush.get()));
        std::wstring caption = GetItemString(Index);
        DrawTextW(DC, caption.c_str(), static_cast<int>(caption.size()), &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
        if (!enabled) SetTextColor(DC, foreground);
    }
    if (State & ODS_FOCUS) DrawFocusRect(DC, &text);

    SetBkColor(DC, oldBackground);
    SetTextColor(DC, oldForeground);
}

// ---------------------------------------------------------------- drawing the box

// A flat box: a one-pixel shadow-coloured square, and inside it only the white
// field and the mark of the system's check box, whose 3-D edge is clipped away.
void DrawCheck(HDC DC, const RECT& Area, bool Enabled, int32_t State) {
    int x = Area.left + (Area.right - Area.left - CheckWidth) / 2;
    int y = Area.top + (Area.bottom - Area.top - CheckWidth) / 2;
    RECT box{x, y, x + CheckWidth, y + CheckHeight + 4};

    UINT look = State == 0 ? 0 : State == 1 ? DFCS_CHECKED
                                            : DFCS_CHECKED | DFCS_BUTTON3STATE;
    if (!Enabled) look |= DFCS_INACTIVE;

    {
        brd::UniqueGdi shadow(CreatePen(PS_SOLID, 0, GetSysColor(COLOR_BTNSHADOW)));
        brd::SelectedObject selected(DC, shadow.get());
        Rectangle(DC, box.left + 1, box.top + 1, box.right - 1, box.bottom - 1);
    }

    brd::UniqueGdi saved(CreateRectRgn(0, 0, 0, 0));
    bool hadClip = saved && GetClipRgn(DC, static_cast<HRGN>(saved.get())) == 1;
    brd::UniqueGdi inner(CreateRectRgn(box.left + 2, box.top + 2, box.right - 2, box.bottom - 2));
    SelectClipRgn(DC, static_cast<HRGN>(inner.get()));
    DrawFrameControl(DC, &box, DFC_BUTTON, DFCS_BUTTONCHECK | look);
    SelectClipRgn(DC, hadClip ? static_cast<HRGN>(saved.get()) : nullptr);
}

// ---------------------------------------------------------------- window procedures

LRESULT CALLBACK CLBWndProc(HWND Wnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    auto* box = static_cast<TbrdCheckListBox*>(GetPropW(Wnd, PropCLBWndProc));
    if (!box) return DefWindowProcW(Wnd, Msg, wParam, lParam);
    return box->ListBoxMessage(Msg, wParam, lParam);
}

LRESULT CALLBACK CLBParentWndProc(HWND Wnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (Msg == WM_DRAWITEM) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item && item->CtlType == ODT_LISTBOX) {
            if (const TbrdCheckListBox* box = CLBArray.FindByHandle(item->hwndItem)) {
                box->DrawItem(item->hDC, static_cast<int32_t>(item->itemID), item->itemState, item->rcItem);
                return 1;
            }
        }
    } else if (Msg == WM_COMMAND && HIWORD(wParam) == LBN_SELCHANGE) {
        if (TbrdCheckListBox* box = CLBArray.FindByHandle(reinterpret_cast<HWND>(lParam))) {
            box->Click();
            return 1;
        }
    }
    auto previous = reinterpret_cast<WNDPROC>(GetPropW(Wnd, PropParentCLBWndProc));
    if (!previous) return DefWindowProcW(Wnd, Msg, wParam, lParam);
    return CallWindowProcW(previous, Wnd, Msg, wParam, lParam);
}

// ---------------------------------------------------------------- TbrdCLBArray

int32_t TbrdCLBArray::Add(TbrdCheckListBox* Item) {
    FItems.push_back(Item);
    return Count() - 1;
}

int32_t TbrdCLBArray::IndexOf(const TbrdCheckListBox* Item) const {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i] == Item) return static_cast<int32_t>(i);
    return -1;
}

void TbrdCLBArray::Delete(const TbrdCheckListBox* Item) {
    int32_t index = IndexOf(Item);
    if (index >= 0) FItems.erase(FItems.begin() + index);
}

TbrdCheckListBox* TbrdCLBArray::Items(int32_t Index) const {
    return Index >= 0 && Index < Count() ? FItems[static_cast<size_t>(Index)] : nullptr;
}

TbrdCheckListBox* TbrdCLBArray::FindByHandle(HWND AHandle) const {
    if (!AHandle) return nullptr;
    for (TbrdCheckListBox* box : FItems)
        if (box->Handle() == AHandle) return box;
    return nullptr;
}
