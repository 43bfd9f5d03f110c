#include "controls/UbrdCheckListAccessible.h"

#include <oleacc.h>

#include <new>
#include <string>

#include "controls/UbrdCheckListBox.h"
#include "support/UPaths.h"
#include "support/UPlatform.h"
#include "support/WinHandles.h"

namespace {

// Spelled out: the value in MinGW's import library does not match the one of Wine's oleacc.
const IID AccessibleIid = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
const IID DispatchIid = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID UnknownIid = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

brd::UniqueModule SystemLibrary(const wchar_t* name) {
    brd::UniqueModule module(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (!module) module.reset(LoadLibraryW(PathJoin(GetSystemDir(), name).c_str()));
    return module;
}

template <typename Fn>
Fn ProcOf(const brd::UniqueModule& module, const char* name) {
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module.get(), name))) : nullptr;
}

// oleacc.dll and oleaut32.dll (whose strings the clients free) are not imported: they
// are loaded at run time, only from the system directory, when a client first asks.
struct AccessibilityApi {
    using LresultFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
    using StdObjectFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
    using AllocStringFn = BSTR(WINAPI*)(const OLECHAR*);

    brd::UniqueModule oleacc = SystemLibrary(L"oleacc.dll");
    brd::UniqueModule oleaut = SystemLibrary(L"oleaut32.dll");
    LresultFn lresult = ProcOf<LresultFn>(oleacc, "LresultFromObject");
    StdObjectFn stdObject = ProcOf<StdObjectFn>(oleacc, "CreateStdAccessibleObject");
    AllocStringFn allocString = ProcOf<AllocStringFn>(oleaut, "SysAllocString");

    bool Ready() const { return lresult && allocString; }
};

AccessibilityApi& Api() {
    static AccessibilityApi api;
    return api;
}

BSTR AllocString(const std::wstring& text) { return Api().allocString(text.c_str()); }

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// VariantInit without oleaut32: the results this object gives need no clearing.
void Empty(VARIANT* out) {
    ZeroMemory(out, sizeof(*out));
    out->vt = VT_EMPTY;
}

void SetChild(VARIANT* out, long id) {
    Empty(out);
    out->vt = VT_I4;
    out->lVal = id;
}

// The list box as the object; its entries are simple elements 1..Count. Every call
// looks the box up again, so a client that keeps the object after the list is gone
// gets an error and never a dangling box.
class TCheckListAccessible : public IAccessible {
public:
    explicit TCheckListAccessible(HWND list) : FList(list) {
        if (Api().stdObject) Api().stdObject(list, OBJID_CLIENT, AccessibleIid, reinterpret_cast<void**>(&FStandard));
    }
    virtual ~TCheckListAccessible() {
        if (FStandard) FStandard->Release();
    }
    TCheckListAccessible(const TCheckListAccessible&) = delete;
    TCheckListAccessible& operator=(const TCheckListAccessible&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!IsEqualIID(riid, UnknownIid) && !IsEqualIID(riid, DispatchIid) && !IsEqualIID(riid, AccessibleIid))
            return E_NOINTERFACE;
        *out = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&FRefs)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG refs = InterlockedDecrement(&FRefs);
        if (refs == 0) delete this;
        return static_cast<ULONG>(refs);
    }

    // IDispatch: clients of accessible objects call the methods directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (!parent) return E_POINTER;
        *parent = nullptr;
        return FStandard ? FStandard->get_accParent(parent) : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (!count) return E_POINTER;
        TbrdCheckListBox* box = Box();
        *count = box ? box->Count() : 0;
        return box ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        return Entry(child) >= 0 ? S_FALSE : E_INVALIDARG;  // entries are simple elements
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!name) return E_POINTER;
        *name = nullptr;
        if (IsSelf(child)) {
            TbrdCheckListBox* box = Box();
            if (box && !box->AccessibleName().empty()) {
                *name = AllocString(box->AccessibleName());
                return *name ? S_OK : E_OUTOFMEMORY;
            }
            return FStandard ? FStandard->get_accName(child, name) : S_FALSE;
        }
        int32_t index = Entry(child);
        if (index < 0) return E_INVALIDARG;
        *name = AllocString(Box()->GetItemString(index));
        return *name ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        if (!value) return E_POINTER;
        *value = nullptr;
        return IsSelf(child) || Entry(child) >= 0 ? DISP_E_MEMBERNOTFOUND : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        if (!text) return E_POINTER;
        *text = nullptr;
        if (IsSelf(child)) return FStandard ? FStandard->get_accDescription(child, text) : S_FALSE;
        return Entry(child) >= 0 ? S_FALSE : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!role) return E_POINTER;
        Empty(role);
        if (!IsSelf(child) && Entry(child) < 0) return E_INVALIDARG;
        SetChild(role, IsSelf(child) ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_CHECKBUTTON);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (!state) return E_POINTER;
        Empty(state);
        if (IsSelf(child)) return FStandard ? FStandard->get_accState(child, state) : S_FALSE;
        int32_t index = Entry(child);
        if (index < 0) return E_INVALIDARG;
        SetChild(state, EntryState(*Box(), index));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override {
        if (help) *help = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        if (file) *file = nullptr;
        if (topic) *topic = 0;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        if (!keys) return E_POINTER;
        *keys = nullptr;
        if (IsSelf(child)) return FStandard ? FStandard->get_accKeyboardShortcut(child, keys) : S_FALSE;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (!focus) return E_POINTER;
        Empty(focus);
        TbrdCheckListBox* box = Box();
        if (!box || GetFocus() != FList) return S_FALSE;
        int32_t caret = box->Caret();
        SetChild(focus, caret >= 0 && caret < box->Count() ? caret + 1 : CHILDID_SELF);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (!selection) return E_POINTER;
        Empty(selection);
        TbrdCheckListBox* box = Box();
        if (!box || box->Selected() < 0) return S_FALSE;
        SetChild(selection, box->Selected() + 1);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (!action) return E_POINTER;
        *action = nullptr;
        if (IsSelf(child)) return FStandard ? FStandard->get_accDefaultAction(child, action) : S_FALSE;
        int32_t index = Entry(child);
        if (index < 0) return E_INVALIDARG;
        if (!Box()->GetEnabled(index)) return S_FALSE;
        *action = AllocString(Box()->GetChecked(index) ? L"Uncheck" : L"Check");
        return *action ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        if (IsSelf(child)) return FStandard ? FStandard->accSelect(flags, child) : E_NOTIMPL;
        int32_t index = Entry(child);
        if (index < 0) return E_INVALIDARG;
        if (!Box()->GetEnabled(index)) return E_FAIL;
        if (flags & SELFLAG_TAKEFOCUS) SetFocus(FList);
        if (flags & (SELFLAG_TAKESELECTION | SELFLAG_TAKEFOCUS)) Box()->MoveTo(index);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        if (!left || !top || !width || !height) return E_POINTER;
        if (IsSelf(child))
            return FStandard ? FStandard->accLocation(left, top, width, height, child) : E_NOTIMPL;
        int32_t index = Entry(child);
        if (index < 0) return E_INVALIDARG;
        RECT rect{};
        SendMessageW(FList, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
        MapWindowPoints(FList, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        *left = rect.left;
        *top = rect.top;
        *width = rect.right - rect.left;
        *height = rect.bottom - rect.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        if (!end) return E_POINTER;
        Empty(end);
        TbrdCheckListBox* box = Box();
        if (!box) return E_FAIL;
        long count = box->Count();
        if (IsSelf(start)) {
            if (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD) {
                if (count == 0) return S_FALSE;
                SetChild(end, direction == NAVDIR_FIRSTCHILD ? 1 : count);
                return S_OK;
            }
            return FStandard ? FStandard->accNavigate(direction, start, end) : S_FALSE;
        }
        int32_t index = Entry(start);
        if (index < 0) return E_INVALIDARG;
        long next = direction == NAVDIR_NEXT || direction == NAVDIR_DOWN     ? index + 2
                    : direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP ? index
                                                                             : 0;
        if (next < 1 || next > count) return S_FALSE;
        SetChild(end, next);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
        if (!hit) return E_POINTER;
        Empty(hit);
        POINT point{x, y};
        ScreenToClient(FList, &point);
        RECT client{};
        GetClientRect(FList, &client);
        if (!PtInRect(&client, point)) return FStandard ? FStandard->accHitTest(x, y, hit) : S_FALSE;
        LRESULT item = SendMessageW(FList, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
        SetChild(hit, HIWORD(item) == 0 ? static_cast<long>(LOWORD(item)) + 1 : CHILDID_SELF);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (IsSelf(child)) return FStandard ? FStandard->accDoDefaultAction(child) : DISP_E_MEMBERNOTFOUND;
        int32_t index = Entry(child);
        if (index < 0) return E_INVALIDARG;
        return Box()->ToggleEntry(index) ? S_OK : DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    TbrdCheckListBox* Box() const {
        return IsWindow(FList) ? static_cast<TbrdCheckListBox*>(GetPropW(FList, PropCLBWndProc)) : nullptr;
    }
    // The entry index of a child id, -1 for none.
    int32_t Entry(const VARIANT& child) const {
        TbrdCheckListBox* box = Box();
        if (!box || child.vt != VT_I4 || child.lVal < 1 || child.lVal > box->Count()) return -1;
        return static_cast<int32_t>(child.lVal - 1);
    }
    long EntryState(const TbrdCheckListBox& box, int32_t index) const {
        long state = 0;
        if (box.GetChecked(index)) state |= STATE_SYSTEM_CHECKED;
        if (!box.GetEnabled(index))
            state |= STATE_SYSTEM_UNAVAILABLE;
        else
            state |= STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
        if (box.Selected() == index) state |= STATE_SYSTEM_SELECTED;
        if (GetFocus() == FList && box.Caret() == index) state |= STATE_SYSTEM_FOCUSED;
        RECT rect{}, client{};
        SendMessageW(FList, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
        GetClientRect(FList, &client);
        if (rect.bottom <= client.top || rect.top >= client.bottom) state |= STATE_SYSTEM_OFFSCREEN | STATE_SYSTEM_INVISIBLE;
        return state;
    }

    LONG FRefs = 1;
    HWND FList;
    IAccessible* FStandard = nullptr;
};

}  // namespace

LRESULT CheckListAccessibleObject(HWND ListBox, WPARAM wParam, LPARAM lParam) {
    if (static_cast<LONG>(lParam) != static_cast<LONG>(OBJID_CLIENT) || !Api().Ready()) return 0;
    auto* object = new (std::nothrow) TCheckListAccessible(ListBox);
    if (!object) return 0;
    LRESULT result = Api().lresult(AccessibleIid, wParam, object);
    object->Release();
    return FAILED(result) ? 0 : result;
}

void NotifyEntryEvent(HWND ListBox, DWORD Event, int32_t Index) {
    if (Index >= 0) NotifyWinEvent(Event, ListBox, OBJID_CLIENT, Index + 1);
}
