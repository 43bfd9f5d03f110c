// The wizard frame: one modal dialog (resource 1) that owns Back, Next and Cancel,
// the caption and the maker link label, and shows the pages one at a time.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "resources/UResourceIds.h"
#include "support/UProduct.h"  // MakerWebSite

inline constexpr const wchar_t* LinkLabelClass = L"CV_ILABEL";

extern HWND LinkLabel;
extern uint32_t LastLinkClick;

// How a click on the link label opens the web site; the tests replace it.
using TLinkOpener = void (*)(const wchar_t* url);
extern TLinkOpener LinkOpener;
void ShellOpenLink(const wchar_t* url);

// The link label's class: the system static class with a hand cursor, which Tab
// reaches and Enter or Space open (controls/ULinkLabel.h).
void RegisterLinkLabelClass();

INT_PTR CALLBACK FrameDlgProc(HWND Wnd, UINT Msg, WPARAM wParam, LPARAM lParam);
BOOL FrameInitDialog(HWND Wnd);
int32_t Navigate(int32_t Step);
