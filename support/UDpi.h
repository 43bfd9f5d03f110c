// Display scale: the DPI a window is shown at, sizes scaled to it, and the program's
// art (side picture, icon) in the size that suits it. Layouts are drawn for 96 DPI;
// the functions that tell a window's own DPI are newer than Windows 7 and are looked
// up at run time.
#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>

#include "support/WinHandles.h"

constexpr int32_t StandardDpi = 96;

// Messages of a change of display scale, newer than the Windows version the build targets.
constexpr UINT WmDpiChanged = 0x02E0;             // WM_DPICHANGED, to a top-level window
constexpr UINT WmDpiChangedAfterParent = 0x02E3;  // WM_DPICHANGED_AFTERPARENT, to its children

// The DPI of the monitor the window is on (per-monitor aware), else the system's.
int32_t WindowDpi(HWND Wnd);
// A length of the 96-DPI layout at Dpi.
int32_t ScaleToDpi(int32_t Value, int32_t Dpi);
// GetSystemMetrics for a DPI that need not be the system's.
int32_t SystemMetricForDpi(int Index, int32_t Dpi);

// Of the scales the art was drawn for, the one nearest Dpi; between two, the larger,
// since scaling down loses less than scaling up.
int32_t NearestArtDpi(int32_t Dpi, std::initializer_list<int32_t> ArtDpis);
// A 24-bit copy of Source at Size, resampled with halftoning; empty on failure.
brd::UniqueGdi ScaleBitmap(HBITMAP Source, SIZE Size);

// The wizard's side picture for a window at Dpi: the nearest of its drawn sizes,
// scaled to the 96-DPI size times the scale.
brd::UniqueGdi SidePictureForDpi(int32_t Dpi);
// Shows Picture in a static bitmap control; Holder keeps it alive while shown, and
// the image the control showed before is freed.
void ShowPicture(HWND Control, brd::UniqueGdi& Holder, brd::UniqueGdi Picture);
// The program's icon (resource 1) for Metric (SM_CXICON or SM_CXSMICON) at Dpi.
brd::UniqueIcon ProgramIconForDpi(int Metric, int32_t Dpi);
