// What a screen reader is told about a check list: the list with one check button per
// entry, named by the entry's text, checked or not, unavailable when disabled, focused
// and selected as the list box has them; the default action toggles the entry.
#pragma once

#include <windows.h>

#include <cstdint>

// The answer to WM_GETOBJECT for a check list box, or 0 when the request is not for
// its client area or the accessibility library cannot be loaded.
LRESULT CheckListAccessibleObject(HWND ListBox, WPARAM wParam, LPARAM lParam);

// Tells accessibility clients that an entry changed (Event: EVENT_OBJECT_STATECHANGE,
// EVENT_OBJECT_FOCUS, EVENT_OBJECT_SELECTION).
void NotifyEntryEvent(HWND ListBox, DWORD Event, int32_t Index);
