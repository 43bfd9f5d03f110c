// cvlabout.dll, the library's About box (payload resource 27), as the
// design-time editors use it: loaded by full path, ShowCorvaneAbout found by
// its plain name, the box shown and closed; its version resource says 4.07.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "resources/cvlabout/AboutIds.h"
#include "support/WinHandles.h"

namespace {

using ShowAboutProc = void(WINAPI*)(HWND);

// The DLL is built into the folder of the test program, which the loader
// searches first. (The test program runs from a host path that has no drive
// letter in the sandboxed machine, so the path is taken from the loaded DLL.)
HMODULE LoadAboutDll() {
    return LoadLibraryW(L"cvlabout.dll");
}

std::wstring ModulePath(HMODULE module) {
    wchar_t path[MAX_PATH];
    DWORD len = GetModuleFileNameW(module, path, MAX_PATH);
    return std::wstring(path, len < MAX_PATH ? len : 0);
}

std::wstring ControlText(HWND dlg, int id) {
    wchar_t text[512] = L"";
    GetDlgItemTextW(dlg, id, text, 512);
    return text;
}

using brd::UniqueModule;

TEST(AboutDll, ExportsShowCorvaneAboutByPlainName) {
    UniqueModule dll(LoadAboutDll());
    ASSERT_TRUE(dll.valid()) << "error " << GetLastError();
    EXPECT_NE(GetProcAddress(dll.get(), "ShowCorvaneAbout"), nullptr);
}

// Read from the loaded DLL's own version resource: the fixed part starts with
// the signature 0xFEEF04BD, the product version follows at bytes 16 to 23.
TEST(AboutDll, ProductVersionIs407) {
    UniqueModule dll(LoadAboutDll());
    ASSERT_TRUE(dll.valid());
    HRSRC info = FindResourceW(dll.get(), MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    ASSERT_NE(info, nullptr);
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(dll.get(), info)));
    const DWORD size = SizeofResource(dll.get(), info);
    const VS_FIXEDFILEINFO* fixed = nullptr;
    for (DWORD at = 0; at + sizeof(VS_FIXEDFILEINFO) <= size; at += 4) {
        const auto* candidate = reinterpret_cast<const VS_FIXEDFILEINFO*>(data + at);
        if (candidate->dwSignature == 0xFEEF04BD) {
            fixed = candidate;
            break;
        }
    }
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00040007u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
}

TEST(AboutDll, ShowsTheBoxUntilOk) {
    UniqueModule dll(LoadAboutDll());
    ASSERT_TRUE(dll.valid());
    auto show = reinterpret_cast<ShowAboutProc>(
        reinterpret_cast<void*>(GetProcAddress(dll.get(), "ShowCorvaneAbout")));
    ASSERT_NE(show, nullptr);

    // The box is modal: a second thread reads it and presses OK.
    std::wstring title, folder;
    std::atomic<bool> found{false};
    std::thread closer([&] {
        for (int i = 0; i < 200 && !found; ++i) {
            // Visible only after WM_INITDIALOG has filled in the controls.
            HWND box = FindWindowW(nullptr, L"About Corvane library");
            if (box != nullptr && IsWindowVisible(box)) {
                title = ControlText(box, IDC_ABOUT_TITLE);
                folder = ControlText(box, IDC_ABOUT_FOLDER);
                found = true;
                PostMessageW(box, WM_COMMAND, IDOK, 0);
            }
            Sleep(50);
        }
    });
    show(nullptr);
    closer.join();

    ASSERT_TRUE(found);
    EXPECT_EQ(title, L"Corvane library v4.07");
    const std::wstring dll_path = ModulePath(dll.get());
    EXPECT_EQ(folder, dll_path.substr(0, dll_path.find_last_of(L'\\')));
}

}  // namespace
