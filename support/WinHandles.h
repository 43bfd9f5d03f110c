// Small owners for Win32 handles, so that every return path releases what it
// opened. Each wrapper closes with the one function that pairs with the call that
// produced the handle.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

namespace brd {

template <typename Handle, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : FHandle(h) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : FHandle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    Handle get() const { return FHandle; }
    bool valid() const { return Traits::IsValid(FHandle); }
    explicit operator bool() const { return valid(); }

    // For out-parameters of the creating call; releases the old handle first.
    Handle* put() {
        reset();
        return &FHandle;
    }
    Handle release() { return std::exchange(FHandle, Traits::Invalid()); }
    // Closes the handle now; true when there was nothing to close or closing worked.
    bool reset(Handle h = Traits::Invalid()) {
        bool ok = true;
        if (Traits::IsValid(FHandle)) ok = Traits::Close(FHandle);
        FHandle = h;
        return ok;
    }

private:
    Handle FHandle = Traits::Invalid();
};

struct KeyTraits {
    static HKEY Invalid() { return nullptr; }
    static bool IsValid(HKEY h) { return h != nullptr; }
    static bool Close(HKEY h) { return RegCloseKey(h) == ERROR_SUCCESS; }
};
struct FileTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static bool Close(HANDLE h) { return CloseHandle(h) != FALSE; }
};
struct KernelTraits {
    static HANDLE Invalid() { return nullptr; }
    static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static bool Close(HANDLE h) { return CloseHandle(h) != FALSE; }
};
struct FindTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static bool Close(HANDLE h) { return FindClose(h) != FALSE; }
};
struct ModuleTraits {
    static HMODULE Invalid() { return nullptr; }
    static bool IsValid(HMODULE h) { return h != nullptr; }
    static bool Close(HMODULE h) { return FreeLibrary(h) != FALSE; }
};
struct GdiTraits {
    static HGDIOBJ Invalid() { return nullptr; }
    static bool IsValid(HGDIOBJ h) { return h != nullptr; }
    static bool Close(HGDIOBJ h) { return DeleteObject(h) != FALSE; }
};
struct DCTraits {
    static HDC Invalid() { return nullptr; }
    static bool IsValid(HDC h) { return h != nullptr; }
    static bool Close(HDC h) { return DeleteDC(h) != FALSE; }
};
struct IconTraits {
    static HICON Invalid() { return nullptr; }
    static bool IsValid(HICON h) { return h != nullptr; }
    static bool Close(HICON h) { return DestroyIcon(h) != FALSE; }
};
struct LocalTraits {
    static HLOCAL Invalid() { return nullptr; }
    static bool IsValid(HLOCAL h) { return h != nullptr; }
    static bool Close(HLOCAL h) { return LocalFree(h) == nullptr; }
};

using UniqueKey = UniqueHandle<HKEY, KeyTraits>;           // RegOpenKeyEx, RegCreateKeyEx
using UniqueFile = UniqueHandle<HANDLE, FileTraits>;       // CreateFile
using UniqueKernel = UniqueHandle<HANDLE, KernelTraits>;   // processes, threads, events
using UniqueFind = UniqueHandle<HANDLE, FindTraits>;       // FindFirstFile
using UniqueModule = UniqueHandle<HMODULE, ModuleTraits>;  // LoadLibrary
using UniqueGdi = UniqueHandle<HGDIOBJ, GdiTraits>;        // fonts, brushes, bitmaps
using UniqueDC = UniqueHandle<HDC, DCTraits>;              // CreateCompatibleDC
using UniqueIcon = UniqueHandle<HICON, IconTraits>;        // LoadImage of an icon
using UniqueLocal = UniqueHandle<HLOCAL, LocalTraits>;     // LocalAlloc'ed results

// A window's device context, released to the window it came from.
class WindowDC {
public:
    explicit WindowDC(HWND wnd) : FWnd(wnd), FDC(GetDC(wnd)) {}
    ~WindowDC() {
        if (FDC) ReleaseDC(FWnd, FDC);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return FDC; }

private:
    HWND FWnd;
    HDC FDC;
};

// Selects a GDI object into a DC for one scope and puts the previous one back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ obj) : FDC(dc), FOld(dc && obj ? SelectObject(dc, obj) : nullptr) {}
    ~SelectedObject() {
        if (FOld) SelectObject(FDC, FOld);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC FDC;
    HGDIOBJ FOld;
};

// COM for the thread's windows (a single-threaded apartment) for one scope: screen
// readers reach the windows' accessible objects through it.
class ComApartment {
public:
    ComApartment() : FInitialized(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (FInitialized) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool FInitialized;
};

}  // namespace brd
