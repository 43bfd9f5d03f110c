// a11yreader.exe: reads a control of another program as a screen reader does, through
// oleacc (AccessibleObjectFromWindow). Results go to standard output as UTF-8.
//
//   a11yreader CAPTION ID           "count N", the control's own line, then one line per child:
//                                   "name<TAB>role<TAB>state" (role and state hexadecimal)
//   a11yreader CAPTION ID do N      the child's default action (children count from 1),
//                                   then the lines as above
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "tests/driver/Utf8Output.h"

namespace {

// Spelled out: the IID that MinGW's import library carries does not match Wine's oleacc.
const IID AccessibleIid = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

int Fail(const std::wstring& what) {
    PrintUtf8(L"a11yreader: " + what + L"\n");
    return 1;
}

VARIANT Child(long id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

std::wstring Hex(long value) {
    wchar_t buf[16];
    swprintf(buf, 16, L"0x%lX", static_cast<unsigned long>(value));
    return buf;
}

std::wstring Describe(IAccessible* acc, long id) {
    BSTR name = nullptr;
    std::wstring line;
    if (SUCCEEDED(acc->get_accName(Child(id), &name)) && name) line = name;
    SysFreeString(name);
    VARIANT role, state;
    VariantInit(&role);
    VariantInit(&state);
    acc->get_accRole(Child(id), &role);
    acc->get_accState(Child(id), &state);
    line += L"\t" + Hex(role.vt == VT_I4 ? role.lVal : -1) + L"\t" + Hex(state.vt == VT_I4 ? state.lVal : -1);
    VariantClear(&role);
    VariantClear(&state);
    return line;
}

int Run(int argc, wchar_t** argv) {
    if (argc < 3) return Fail(L"usage: a11yreader CAPTION ID [do N]");
    HWND top = FindWindowW(nullptr, argv[1]);
    if (!top) return Fail(L"no window " + std::wstring(argv[1]));
    HWND list = GetDlgItem(top, static_cast<int>(wcstol(argv[2], nullptr, 0)));
    if (!list) return Fail(L"no control");
    IAccessible* acc = nullptr;
    HRESULT hr = AccessibleObjectFromWindow(list, static_cast<DWORD>(OBJID_CLIENT), AccessibleIid,
                                            reinterpret_cast<void**>(&acc));
    if (FAILED(hr) || !acc) return Fail(L"AccessibleObjectFromWindow " + Hex(hr));
    if (argc >= 5 && std::wstring(argv[3]) == L"do") {
        hr = acc->accDoDefaultAction(Child(wcstol(argv[4], nullptr, 0)));
        if (FAILED(hr)) PrintUtf8(L"action " + Hex(hr) + L"\n");
    }
    long count = 0;
    acc->get_accChildCount(&count);
    PrintUtf8(L"count " + std::to_wstring(count) + L"\n");
    for (long id = 0; id <= count; ++id) PrintUtf8(Describe(acc, id) + L"\n");
    acc->Release();
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    CoInitialize(nullptr);
    int result = Run(argc, argv);
    CoUninitialize();
    return result;
}
