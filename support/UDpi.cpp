#include "support/UDpi.h"

#include <cstdlib>

#include "resources/UResourceIds.h"

namespace {

template <typename Proc>
Proc User32Proc(const char* name) {
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

struct TSidePictureArt {
    int32_t Dpi;
    int ResourceId;
};
constexpr TSidePictureArt SidePictureArt[] = {
    {96, IDB_SIDE_PICTURE},
    {144, IDB_SIDE_PICTURE_150},
    {192, IDB_SIDE_PICTURE_200},
};
constexpr SIZE SidePictureSize{119, 258};

int SidePictureResource(int32_t dpi) {
    int32_t art = NearestArtDpi(dpi, {SidePictureArt[0].Dpi, SidePictureArt[1].Dpi, SidePictureArt[2].Dpi});
    for (const TSidePictureArt& entry : SidePictureArt)
        if (entry.Dpi == art) return entry.ResourceId;
    return IDB_SIDE_PICTURE;
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (GetObjectW(bitmap, sizeof(info), &info) != sizeof(info)) return {0, 0};
    return {info.bmWidth, info.bmHeight};
}

}  // namespace

int32_t WindowDpi(HWND Wnd) {
    using TGetDpiForWindow = UINT(WINAPI*)(HWND);
    static const auto forWindow = User32Proc<TGetDpiForWindow>("GetDpiForWindow");
    if (forWindow && Wnd) {
        UINT dpi = forWindow(Wnd);
        if (dpi > 0) return static_cast<int32_t>(dpi);
    }
    brd::WindowDC screen(nullptr);
    int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : StandardDpi;
}

int32_t ScaleToDpi(int32_t Value, int32_t Dpi) { return MulDiv(Value, Dpi, StandardDpi); }

int32_t SystemMetricForDpi(int Index, int32_t Dpi) {
    using TGetSystemMetricsForDpi = int(WINAPI*)(int, UINT);
    static const auto forDpi = User32Proc<TGetSystemMetricsForDpi>("GetSystemMetricsForDpi");
    if (forDpi) return forDpi(Index, static_cast<UINT>(Dpi));
    return MulDiv(GetSystemMetrics(Index), Dpi, WindowDpi(nullptr));
}

int32_t NearestArtDpi(int32_t Dpi, std::initializer_list<int32_t> ArtDpis) {
    int32_t best = StandardDpi;
    bool first = true;
    for (int32_t art : ArtDpis) {
        int32_t distance = std::abs(art - Dpi), bestDistance = std::abs(best - Dpi);
        if (first || distance < bestDistance || (distance == bestDistance && art > best)) best = art;
        first = false;
    }
    return best;
}

brd::UniqueGdi ScaleBitmap(HBITMAP Source, SIZE Size) {
    SIZE from = BitmapSize(Source);
    if (from.cx <= 0 || from.cy <= 0 || Size.cx <= 0 || Size.cy <= 0) return {};
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), Size.cx, Size.cy, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    brd::UniqueGdi target(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    brd::UniqueDC sourceDC(CreateCompatibleDC(nullptr));
    brd::UniqueDC targetDC(CreateCompatibleDC(nullptr));
    if (!target || !sourceDC || !targetDC) return {};
    bool drawn;
    {
        brd::SelectedObject selectedSource(sourceDC.get(), Source);
        brd::SelectedObject selectedTarget(targetDC.get(), target.get());
        SetStretchBltMode(targetDC.get(), HALFTONE);
        SetBrushOrgEx(targetDC.get(), 0, 0, nullptr);
        drawn = StretchBlt(targetDC.get(), 0, 0, Size.cx, Size.cy, sourceDC.get(), 0, 0, from.cx, from.cy, SRCCOPY) != FALSE;
    }
    return drawn ? std::move(target) : brd::UniqueGdi();
}

brd::UniqueGdi SidePictureForDpi(int32_t Dpi) {
    HINSTANCE module = GetModuleHandleW(nullptr);
    brd::UniqueGdi art(LoadImageW(module, MAKEINTRESOURCEW(SidePictureResource(Dpi)), IMAGE_BITMAP, 0, 0,
                                  LR_CREATEDIBSECTION));
    if (!art) art.reset(LoadImageW(module, MAKEINTRESOURCEW(IDB_SIDE_PICTURE), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!art) return {};
    SIZE want{ScaleToDpi(SidePictureSize.cx, Dpi), ScaleToDpi(SidePictureSize.cy, Dpi)};
    SIZE have = BitmapSize(static_cast<HBITMAP>(art.get()));
    if (have.cx == want.cx && have.cy == want.cy) return art;
    brd::UniqueGdi scaled = ScaleBitmap(static_cast<HBITMAP>(art.get()), want);
    return scaled ? std::move(scaled) : std::move(art);
}

void ShowPicture(HWND Control, brd::UniqueGdi& Holder, brd::UniqueGdi Picture) {
    if (!Control || !Picture) return;
    auto previous = reinterpret_cast<HGDIOBJ>(
        SendMessageW(Control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(Picture.get())));
    // The template's image belongs to the control until it is replaced; ours stays in Holder.
    if (previous && previous != Holder.get()) DeleteObject(previous);
    Holder = std::move(Picture);
}

brd::UniqueIcon ProgramIconForDpi(int Metric, int32_t Dpi) {
    int size = SystemMetricForDpi(Metric, Dpi);
    return brd::UniqueIcon(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}
