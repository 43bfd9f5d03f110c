#include "pages/UPage.h"

#include "resources/UResourceIds.h"

int32_t TPage::DlgProc(UINT, WPARAM, LPARAM) { return 0; }

void TPage::SizePageText(int Divisor) const {
    RECT picture{};
    GetClientRect(Item(idcSidePicture), &picture);
    RECT text{};
    GetWindowRect(Item(idcPageText), &text);
    MapWindowPoints(nullptr, DlgHandle, reinterpret_cast<POINT*>(&text), 2);
    SetWindowPos(Item(idcPageText), nullptr, text.left, text.top, text.right - text.left,
                 (picture.bottom - picture.top) / Divisor, SWP_NOZORDER | SWP_SHOWWINDOW);
}
