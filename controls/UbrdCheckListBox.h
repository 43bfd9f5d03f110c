// A check list: an ordinary owner-drawn dialog list box with a check box in front of
// every entry. No window class of its own: the list box is subclassed for the mouse
// and the keyboard, its parent for drawing and selection notifications. Each
// entry's state lives in its item data (checked 1, disabled 4). Check boxes and rows
// are sized for the DPI of the window, and the list answers screen readers
// (UbrdCheckListAccessible.h). Disabled entries never take the selection from the
// keyboard or the mouse.
//
// The list box must be LBS_OWNERDRAWFIXED | LBS_HASSTRINGS and not sorted; it
// reports selection changes (OnClick) only with LBS_NOTIFY.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TbrdCheckListBox;

// Handler of a box's events; Sender is the box that fires. Empty means unassigned.
using TbrdCheckListBoxNotifyEvent = std::function<void(TbrdCheckListBox* Sender)>;

// Bits of an entry's item data.
constexpr LRESULT clbChecked = 1;
constexpr LRESULT clbDisabled = 4;

// The window properties that tie the windows to their boxes.
inline constexpr const wchar_t* PropCLBWndProc = L"brdCLBWndProc";
inline constexpr const wchar_t* PropParentCLBWndProc = L"brdParentCLBWndProc";
inline constexpr const wchar_t* PropParentCLBRefCount = L"brdParentCLBRefCount";

// Cell size of the system check-box bitmap (OBM_CHECKBOXES, four images across),
// measured once at start-up.
extern int32_t CheckWidth;
extern int32_t CheckHeight;

class TbrdCheckListBox {
public:
    explicit TbrdCheckListBox(HWND ListBoxHandle);
    virtual ~TbrdCheckListBox();
    TbrdCheckListBox(const TbrdCheckListBox&) = delete;
    TbrdCheckListBox& operator=(const TbrdCheckListBox&) = delete;

    void Clear();
    int32_t Add(const std::wstring& Value);
    void Insert(int32_t Index, const std::wstring& Value);  // -1 appends
    void Delete(int32_t Index);

    std::wstring GetItemString(int32_t Index) const;
    // Replaces the text of an existing entry; its check and enable state start afresh.
    void SetItemString(int32_t Index, const std::wstring& Value);
    bool GetChecked(int32_t Index) const;
    void SetChecked(int32_t Index, bool Value);
    bool GetEnabled(int32_t Index) const;
    void SetEnabled(int32_t Index, bool Value);

    int32_t Count() const;
    int32_t Selected() const;  // -1 for none
    void SetSelected(int32_t Index);
    int32_t Caret() const;  // the entry with the focus rectangle
    // Selects an enabled entry as the user's keys do, telling screen readers.
    void MoveTo(int32_t Index);
    // The user's toggle of an entry: false for a disabled or missing one.
    bool ToggleEntry(int32_t Index);
    HWND Handle() const { return FHandle; }

    // What screen readers call the list; without it, what the system's own list says.
    void SetAccessibleName(const std::wstring& Name) { FAccessibleName = Name; }
    const std::wstring& AccessibleName() const { return FAccessibleName; }

    void SetOnCheckClick(TbrdCheckListBoxNotifyEvent Handler) { FOnCheckClick = std::move(Handler); }
    void SetOnClick(TbrdCheckListBoxNotifyEvent Handler) { FOnClick = std::move(Handler); }

    // Used by the window procedures.
    LRESULT ListBoxMessage(UINT Msg, WPARAM wParam, LPARAM lParam);
    void DrawItem(HDC DC, int32_t Index, UINT State, const RECT& Rect) const;
    void Click();
    // The size of a drawn check box and the width of the area it stands in, at the list's DPI.
    int32_t CheckSize() const;
    int32_t CheckAreaWidth() const;

private:
    void ToggleSelected();
    bool OnKeyDown(WPARAM Key);
    bool OnButtonDown(LPARAM Position);
    void OnFocus();
    void FitRowsToFont();
    int32_t NextEnabled(int32_t From, int32_t Step) const;
    void NotifySelectionMoved(int32_t Before);
    RECT ItemRect(int32_t Index) const;
    LRESULT ItemData(int32_t Index) const;
    void SetItemData(int32_t Index, LRESULT Data);
    void Attach();
    void Detach();

    int32_t FLClicksCount = 0;
    int32_t FDpi = 96;
    HWND FHandle = nullptr;
    WNDPROC FOldWndProc = nullptr;
    TbrdCheckListBoxNotifyEvent FOnCheckClick;
    TbrdCheckListBoxNotifyEvent FOnClick;
    std::wstring FAccessibleName;
};

// The live boxes, in registration order, so that a parent's shared window procedure
// finds the box of a list box. It references the boxes and owns none.
class TbrdCLBArray {
public:
    virtual ~TbrdCLBArray() { Clear(); }

    void Clear() { FItems.clear(); }
    int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
    int32_t Add(TbrdCheckListBox* Item);
    int32_t IndexOf(const TbrdCheckListBox* Item) const;
    void Delete(const TbrdCheckListBox* Item);
    TbrdCheckListBox* Items(int32_t Index) const;
    TbrdCheckListBox* FindByHandle(HWND AHandle) const;

private:
    // Grows as boxes come; a dialog opened many times never runs out of slots.
    std::vector<TbrdCheckListBox*> FItems;
};

extern TbrdCLBArray CLBArray;

LRESULT CALLBACK CLBWndProc(HWND Wnd, UINT Msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK CLBParentWndProc(HWND Wnd, UINT Msg, WPARAM wParam, LPARAM lParam);

// Draws a check box of Size pixels square in the middle of Area: State 0 unchecked,
// 1 checked, other values checked and grey.
void DrawCheck(HDC DC, const RECT& Area, bool Enabled, int32_t State, int32_t Size = CheckWidth);
