#include "controls/UbrdCheckListBox.h"

#include <algorithm>

#include "controls/UbrdCheckListAccessible.h"
#include "support/UDpi.h"
#include "support/WinHandles.h"

namespace {

// The predefined check-box bitmap (OBM_CHECKBOXES): four images across, three down.
constexpr int ObmCheckBoxes = 32759;
constexpr int CheckImagesAcross = 4;
// The classic 13-pixel images, for a system that cannot give us the bitmap.
constexpr SIZE ClassicCheckBitmap{52, 39};
// Room beside the check box before the text begins, and above and below the taller
// of text and box in a row, at 96 DPI.
constexpr int CheckMargin = 2;
constexpr int RowPadding = 3;
// The classic check box, 13 pixels at 96 DPI, whatever size the system's bitmap has.
constexpr int ClassicCheckSize = 13;

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
    FDpi = WindowDpi(FHandle);
    FitRowsToFont();
}

int32_t TbrdCheckListBox::CheckSize() const { return ScaleToDpi(ClassicCheckSize, FDpi); }

int32_t TbrdCheckListBox::CheckAreaWidth() const { return CheckSize() + ScaleToDpi(CheckMargin, FDpi); }

// The list box takes its row height from the font it had when it was created, before
// the dialog gave it its own; rows follow the list's font and check box instead.
void TbrdCheckListBox::FitRowsToFont() {
    auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(FHandle, WM_GETFONT, 0, 0));
    TEXTMETRICW metrics{};
    {
        brd::WindowDC dc(FHandle);
        brd::SelectedObject selected(dc.get(), font);
        if (!dc.get() || !GetTextMetricsW(dc.get(), &metrics)) return;
    }
    int32_t height = std::max<int32_t>(metrics.tmHeight, CheckSize()) + ScaleToDpi(RowPadding, FDpi);
    SendMessageW(FHandle, LB_SETITEMHEIGHT, 0, MAKELPARAM(std::min<int32_t>(height, 255), 0));
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

int32_t TbrdCheckListBox::Caret() const { return static_cast<int32_t>(SendMessageW(FHandle, LB_GETCARETINDEX, 0, 0)); }

// As the list box itself does for the user's moves, the parent hears of the change
// when the list asks for notifications.
void TbrdCheckListBox::MoveTo(int32_t Index) {
    if (Index < 0 || Index >= Count() || !GetEnabled(Index)) return;
    int32_t before = Selected();
    SetSelected(Index);
    NotifySelectionMoved(before);
    if (before != Index && (GetWindowLongW(FHandle, GWL_STYLE) & LBS_NOTIFY))
        SendMessageW(GetParent(FHandle), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(FHandle), LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(FHandle));
}

void TbrdCheckListBox::NotifySelectionMoved(int32_t Before) {
    int32_t now = Selected();
    if (now == Before) return;
    NotifyEntryEvent(FHandle, EVENT_OBJECT_SELECTION, now);
    if (GetFocus() == FHandle) NotifyEntryEvent(FHandle, EVENT_OBJECT_FOCUS, now);
}

// The nearest enabled entry from From on in the direction of Step (-1 or 1), -1 for none.
int32_t TbrdCheckListBox::NextEnabled(int32_t From, int32_t Step) const {
    for (int32_t i = From; i >= 0 && i < Count(); i += Step)
        if (GetEnabled(i)) return i;
    return -1;
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
void TbrdCheckListBox::ToggleSelected() { ToggleEntry(Selected()); }

bool TbrdCheckListBox::ToggleEntry(int32_t Index) {
    if (Index < 0 || Index >= Count() || !GetEnabled(Index)) return false;
    SetChecked(Index, !GetChecked(Index));
    RECT area = ItemRect(Index);
    area.right = area.left + CheckAreaWidth();
    InvalidateRect(FHandle, &area, TRUE);
    UpdateWindow(FHandle);
    NotifyEntryEvent(FHandle, EVENT_OBJECT_STATECHANGE, Index);
    if (FOnCheckClick) FOnCheckClick(this);  // last: the handler may free the box
    return true;
}

// The moving keys pass over disabled entries; a move that finds none stays put.
bool TbrdCheckListBox::OnKeyDown(WPARAM Key) {
    int32_t count = Count();
    int32_t from = Caret();
    if (from < 0 || from >= count) from = 0;
    RECT client{};
    GetClientRect(FHandle, &client);
    auto rowHeight = static_cast<int32_t>(SendMessageW(FHandle, LB_GETITEMHEIGHT, 0, 0));
    int32_t page = std::max<int32_t>(1, (client.bottom - client.top) / std::max<int32_t>(1, rowHeight) - 1);
    int32_t target;
    switch (Key) {
        case VK_UP:
        case VK_LEFT: target = NextEnabled(from - 1, -1); break;
        case VK_DOWN:
        case VK_RIGHT: target = NextEnabled(from + 1, 1); break;
        case VK_HOME: target = NextEnabled(0, 1); break;
        case VK_END: target = NextEnabled(count - 1, -1); break;
        case VK_PRIOR: {
            int32_t above = NextEnabled(std::max(0, from - page), -1);
            target = above >= 0 ? above : NextEnabled(std::max(0, from - page), 1);
            break;
        }
        case VK_NEXT: {
            int32_t below = NextEnabled(std::min(count - 1, from + page), 1);
            target = below >= 0 ? below : NextEnabled(std::min(count - 1, from + page), -1);
            break;
        }
        default: return false;
    }
    MoveTo(target);
    return true;
}

// A press on a disabled entry takes the focus to the list but leaves the selection,
// and the release that follows toggles nothing.
bool TbrdCheckListBox::OnButtonDown(LPARAM Position) {
    LRESULT hit = SendMessageW(FHandle, LB_ITEMFROMPOINT, 0, Position);
    if (HIWORD(hit) != 0 || GetEnabled(static_cast<int32_t>(LOWORD(hit)))) return false;
    FLClicksCount = 0;
    SetFocus(FHandle);
    return true;
}

// The focus rectangle never rests on a disabled entry.
void TbrdCheckListBox::OnFocus() {
    int32_t caret = Caret();
    if (Selected() < 0 && (caret < 0 || caret >= Count() || !GetEnabled(caret))) {
        int32_t first = NextEnabled(0, 1);
        if (first >= 0) SendMessageW(FHandle, LB_SETCARETINDEX, static_cast<WPARAM>(first), FALSE);
        caret = Caret();
    }
    NotifyEntryEvent(FHandle, EVENT_OBJECT_FOCUS, caret);
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
    int32_t before = Selected();
    switch (Msg) {
        case WM_GETOBJECT:
            if (LRESULT object = CheckListAccessibleObject(wnd, wParam, lParam)) return object;
            break;
        case WM_KEYDOWN:
            if (OnKeyDown(wParam)) return 0;
            break;
        case WM_CHAR:
            if (wParam == L' ') {
                // Without a selection the key acts on the entry with the focus rectangle.
                if (before < 0 && GetFocus() == wnd) MoveTo(Caret());
                ToggleSelected();
                break;
            }
            {
                // The list box's search by first letter must not land on a disabled entry.
                LRESULT result = CallWindowProcW(oldProc, wnd, Msg, wParam, lParam);
                int32_t now = Selected();
                if (now >= 0 && !GetEnabled(now)) SetSelected(before);
                NotifySelectionMoved(before);
                return result;
            }
        case WM_LBUTTONDOWN:
            if (OnButtonDown(lParam)) return 0;
            FLClicksCount = 1;
            {
                LRESULT result = CallWindowProcW(oldProc, wnd, Msg, wParam, lParam);
                NotifySelectionMoved(before);
                return result;
            }
        case WM_LBUTTONUP:
            if (FLClicksCount > 0 && --FLClicksCount == 0) ToggleSelected();
            break;
        case WM_LBUTTONDBLCLK:
            if (OnButtonDown(lParam)) return 0;
            ToggleSelected();
            break;
        case WM_SETFOCUS: {
            LRESULT result = CallWindowProcW(oldProc, wnd, Msg, wParam, lParam);
            OnFocus();
            return result;
        }
        case WM_SETFONT: {
            LRESULT result = CallWindowProcW(oldProc, wnd, Msg, wParam, lParam);
            FitRowsToFont();
            return result;
        }
        case WmDpiChangedAfterParent:
            FDpi = WindowDpi(wnd);
            FitRowsToFont();
            InvalidateRect(wnd, nullptr, TRUE);
            break;
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
    text.left += CheckAreaWidth();
    if (Index < 0) {
        FillRect(DC, &text, static_cast<HBRUSH>(brush.get()));  // an empty list with the focus
    } else {
        RECT check = Rect;
        check.right = Rect.left + CheckAreaWidth();
        bool enabled = GetEnabled(Index);
        DrawCheck(DC, check, enabled, GetChecked(Index) ? 1 : 0, CheckSize());
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
// field and the mark of the system's check box, whose 3-D edge is clipped away. The
// frame control is drawn one pixel larger on every side, so that its field fills
// the square and its mark is sized for the box.
void DrawCheck(HDC DC, const RECT& Area, bool Enabled, int32_t State, int32_t Size) {
    int x = Area.left + (Area.right - Area.left - Size) / 2;
    int y = Area.top + (Area.bottom - Area.top - Size) / 2;
    RECT box{x, y, x + Size, y + Size};

    UINT look = State == 0 ? 0 : State == 1 ? DFCS_CHECKED
                                            : DFCS_CHECKED | DFCS_BUTTON3STATE;
    if (!Enabled) look |= DFCS_INACTIVE;

    {
        brd::UniqueGdi shadow(CreatePen(PS_SOLID, 0, GetSysColor(COLOR_BTNSHADOW)));
        brd::SelectedObject selected(DC, shadow.get());
        Rectangle(DC, box.left, box.top, box.right, box.bottom);
    }

    brd::UniqueGdi saved(CreateRectRgn(0, 0, 0, 0));
    bool hadClip = saved && GetClipRgn(DC, static_cast<HRGN>(saved.get())) == 1;
    brd::UniqueGdi inner(CreateRectRgn(box.left + 1, box.top + 1, box.right - 1, box.bottom - 1));
    // The clipping region is in device units; a list box's own region stays in force.
    if (hadClip) CombineRgn(static_cast<HRGN>(inner.get()), static_cast<HRGN>(inner.get()),
                            static_cast<HRGN>(saved.get()), RGN_AND);
    SelectClipRgn(DC, static_cast<HRGN>(inner.get()));
    RECT control{box.left - 1, box.top - 1, box.right + 1, box.bottom + 1};
    DrawFrameControl(DC, &control, DFC_BUTTON, DFCS_BUTTONCHECK | look);
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
