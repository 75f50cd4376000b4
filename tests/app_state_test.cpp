#include <gtest/gtest.h>

#include "app/app_state.h"

namespace {

struct IncludeCase {
    const char* name;
    DirtyRect start;
    float x, y, radius;
    DirtyRect expected;
};

TEST(DirtyRect, IncludePointStartsOrGrowsTheRectangle) {
    const IncludeCase cases[] = {
        {"empty takes the square", {}, 10.7f, -3.2f, 12.0f, {-8, -21, 28, 15}},
        {"radius truncates to the same margin", {}, 10.7f, -3.2f, 12.9f, {-8, -21, 28, 15}},
        {"negative coordinates truncate toward zero", {}, -3.7f, -3.7f, 0.0f, {-9, -9, 3, 3}},
        {"right equal to left counts as empty", {5, -100, 5, 100}, 0.0f, 0.0f, 0.0f, {-6, -6, 6, 6}},
        {"grows on every side it must", {0, 0, 10, 10}, 20.0f, -5.0f, 0.0f, {0, -11, 26, 10}},
        {"a point inside changes nothing", {-50, -50, 50, 50}, 1.0f, 1.0f, 3.0f, {-50, -50, 50, 50}},
    };
    for (const IncludeCase& c : cases) {
        DirtyRect rect = c.start;
        rect.IncludePoint(c.x, c.y, c.radius);
        EXPECT_EQ(rect.left, c.expected.left) << c.name;
        EXPECT_EQ(rect.top, c.expected.top) << c.name;
        EXPECT_EQ(rect.right, c.expected.right) << c.name;
        EXPECT_EQ(rect.bottom, c.expected.bottom) << c.name;
    }
}

TEST(Palette, EveryColourTurnsIntoItsOpaqueArgb) {
    const uint32_t expected[8] = {0xFFEF4444, 0xFFF97316, 0xFFFACC15, 0xFF22C55E,
                                  0xFF3B82F6, 0xFFA855F7, 0xFF000000, 0xFFFFFFFF};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(ColourToArgb(Palette[i], 255), expected[i]) << "palette index " << i;
    }
}

TEST(Palette, ColourToArgbTakesTheGivenAlphaAndIgnoresTheTopByte) {
    EXPECT_EQ(ColourToArgb(0x00FFFFFF, 0), 0x00FFFFFFu);
    EXPECT_EQ(ColourToArgb(0x7F4444EF, 255), ColourToArgb(0x004444EF, 255));
    EXPECT_EQ(ColourToArgb(0x00123456, 0x5A), 0x5A563412u);
}

TEST(AppState, StartsWithPenRedAndTheMiddleWidth) {
    const AppState fresh;
    EXPECT_EQ(fresh.currentTool, Pen);
    EXPECT_EQ(fresh.colourIndex, 0);
    EXPECT_EQ(fresh.widthIndex, 1);
    EXPECT_EQ(StrokeWidths[fresh.widthIndex], 6.0f);
    EXPECT_EQ(fresh.hoveredButton, -1);
    EXPECT_EQ(fresh.laserFade, 1.0f);
    EXPECT_FALSE(fresh.passThrough || fresh.boardMode || fresh.verticalToolbar || fresh.drawing);
}

}  // namespace
