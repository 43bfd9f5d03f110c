// The side picture for a display scale: the nearest of the drawn sizes, scaled to the
// 96-DPI size times the scale, from the program's own resources.
#include <gtest/gtest.h>
#include <windows.h>

#include "support/UDpi.h"

namespace {

TEST(DisplayScale, TheSidePictureIsAlwaysTheScaledSize) {
    struct {
        int32_t dpi;
        LONG width, height;
    } cases[] = {
        {96, 119, 258},
        {120, 149, 323},
        {144, 179, 387},
        {168, 208, 452},
        {192, 238, 516},
        {288, 357, 774},
    };
    for (const auto& c : cases) {
        brd::UniqueGdi picture = SidePictureForDpi(c.dpi);
        BITMAP info{};
        ASSERT_EQ(GetObjectW(picture.get(), sizeof(info), &info), static_cast<int>(sizeof(info))) << c.dpi;
        EXPECT_EQ(info.bmWidth, c.width) << c.dpi;
        EXPECT_EQ(info.bmHeight, c.height) << c.dpi;
    }
}

}  // namespace
