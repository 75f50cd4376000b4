#include <gtest/gtest.h>

#include <cmath>

#include "app/app_state.h"
#include "app/display_scale.h"
#include "support/test_app.h"
#include "toolbar/toolbar_layout.h"

namespace {

struct EntryCase {
    ButtonKind kind;
    int32_t param;
    RECT horizontal;
    RECT vertical;
};

const EntryCase ENTRIES[27] = {
    {Grip, 0, {6, 6, 18, 40}, {6, 6, 40, 18}},
    {PassThroughButton, 0, {20, 6, 54, 40}, {6, 20, 40, 54}},
    {Separator, 0, {56, 6, 63, 40}, {6, 56, 40, 63}},
    {PenButton, 0, {65, 6, 99, 40}, {6, 65, 40, 99}},
    {HighlighterButton, 0, {101, 6, 135, 40}, {6, 101, 40, 135}},
    {LaserButton, 0, {137, 6, 171, 40}, {6, 137, 40, 171}},
    {EraserButton, 0, {173, 6, 207, 40}, {6, 173, 40, 207}},
    {Separator, 0, {209, 6, 216, 40}, {6, 209, 40, 216}},
    {ColourSwatch, 0, {218, 6, 246, 40}, {6, 218, 40, 246}},
    {ColourSwatch, 1, {248, 6, 276, 40}, {6, 248, 40, 276}},
    {ColourSwatch, 2, {278, 6, 306, 40}, {6, 278, 40, 306}},
    {ColourSwatch, 3, {308, 6, 336, 40}, {6, 308, 40, 336}},
    {ColourSwatch, 4, {338, 6, 366, 40}, {6, 338, 40, 366}},
    {ColourSwatch, 5, {368, 6, 396, 40}, {6, 368, 40, 396}},
    {ColourSwatch, 6, {398, 6, 426, 40}, {6, 398, 40, 426}},
    {ColourSwatch, 7, {428, 6, 456, 40}, {6, 428, 40, 456}},
    {Separator, 0, {458, 6, 465, 40}, {6, 458, 40, 465}},
    {WidthDot, 0, {467, 6, 495, 40}, {6, 467, 40, 495}},
    {WidthDot, 1, {497, 6, 525, 40}, {6, 497, 40, 525}},
    {WidthDot, 2, {527, 6, 555, 40}, {6, 527, 40, 555}},
    {Separator, 0, {557, 6, 564, 40}, {6, 557, 40, 564}},
    {UndoButton, 0, {566, 6, 600, 40}, {6, 566, 40, 600}},
    {ClearButton, 0, {602, 6, 636, 40}, {6, 602, 40, 636}},
    {BoardButton, 0, {638, 6, 672, 40}, {6, 638, 40, 672}},
    {Separator, 0, {674, 6, 681, 40}, {6, 674, 40, 681}},
    {OrientationButton, 0, {683, 6, 717, 40}, {6, 683, 40, 717}},
    {QuitButton, 0, {719, 6, 753, 40}, {6, 719, 40, 753}},
};

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

::testing::AssertionResult RectIs(const RECT& actual, const RECT& expected) {
    if (SameRect(actual, expected)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "{" << actual.left << ", " << actual.top << ", " << actual.right
                                         << ", " << actual.bottom << "} instead of {" << expected.left << ", "
                                         << expected.top << ", " << expected.right << ", " << expected.bottom
                                         << "}";
}

RECT ToolbarWindowRect() {
    RECT rect = {};
    GetWindowRect(app.toolbarWindow, &rect);
    return rect;
}

class ToolbarLayout : public ::testing::Test {
protected:
    void SetUp() override {
        StartTestApp();
        ResetAppForTest();
        savedWidth = app.canvasWidth;
        savedHeight = app.canvasHeight;
    }
    void TearDown() override {
        app.displayDpi = BASE_DPI;
        app.canvasWidth = savedWidth;
        app.canvasHeight = savedHeight;
        app.verticalToolbar = false;
        LayoutToolbar();
    }
    void LayOut(bool vertical) {
        app.verticalToolbar = vertical;
        LayoutToolbar();
    }
    int32_t savedWidth = 0;
    int32_t savedHeight = 0;
};

TEST_F(ToolbarLayout, BuildsTheTwentySevenEntriesInEitherOrientation) {
    for (bool vertical : {false, true}) {
        LayOut(vertical);
        ASSERT_EQ(app.buttons.size(), 27u) << (vertical ? "vertical" : "horizontal");
        for (size_t i = 0; i < 27; ++i) {
            const EntryCase& expected = ENTRIES[i];
            const ToolbarButton& button = app.buttons[i];
            EXPECT_EQ(button.kind, expected.kind) << "entry " << i;
            EXPECT_EQ(button.param, expected.param) << "entry " << i;
            EXPECT_TRUE(RectIs(button.rect, vertical ? expected.vertical : expected.horizontal))
                << (vertical ? "vertical" : "horizontal") << " entry " << i;
        }
    }
}

TEST_F(ToolbarLayout, SizesTheWindowForTheOrientation) {
    for (bool vertical : {false, true}) {
        LayOut(vertical);
        const int32_t width = vertical ? 46 : 759;
        const int32_t height = vertical ? 759 : 46;
        EXPECT_EQ(app.toolbarWidth, width);
        EXPECT_EQ(app.toolbarHeight, height);
        const RECT window = ToolbarWindowRect();
        EXPECT_EQ(window.right - window.left, width);
        EXPECT_EQ(window.bottom - window.top, height);
    }
}

TEST_F(ToolbarLayout, TurningTwiceGivesBackTheSameEntriesSizeAndPlace) {
    const std::vector<ToolbarButton> before = app.buttons;
    const RECT windowBefore = ToolbarWindowRect();
    LayOut(true);
    LayOut(false);
    ASSERT_EQ(app.buttons.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(app.buttons[i].kind, before[i].kind) << "entry " << i;
        EXPECT_EQ(app.buttons[i].param, before[i].param) << "entry " << i;
        EXPECT_TRUE(RectIs(app.buttons[i].rect, before[i].rect)) << "entry " << i;
    }
    EXPECT_EQ(app.toolbarWidth, 759);
    EXPECT_EQ(app.toolbarHeight, 46);
    EXPECT_TRUE(RectIs(ToolbarWindowRect(), windowBefore));
}

struct PlacementCase {
    const char* name;
    int32_t canvasWidth, canvasHeight;
    bool vertical;
    int32_t x, y;
};

TEST_F(ToolbarLayout, PlacesTheWindowAtItsPreferredPositionClampedIntoTheCanvas) {
    const PlacementCase cases[] = {
        {"1920x1080 screen, horizontal", 1919, 1079, false, 581, 986},
        {"1920x1080 screen, vertical", 1919, 1079, true, 19, 161},
        {"narrow canvas keeps the left edge", 600, 500, false, 1, 407},
        {"low canvas keeps the top edge", 600, 500, true, 19, 1},
        {"odd leftover truncates", 1000, 700, false, 121, 607},
        {"odd leftover truncates, vertical", 1000, 1000, true, 19, 121},
        {"canvas lower than 94 pixels", 800, 90, false, 21, 1},
        {"canvas smaller than the bar both ways", 40, 30, false, 1, 1},
    };
    for (const PlacementCase& c : cases) {
        app.canvasWidth = c.canvasWidth;
        app.canvasHeight = c.canvasHeight;
        LayOut(c.vertical);
        const RECT window = ToolbarWindowRect();
        EXPECT_EQ(window.left, c.x) << c.name;
        EXPECT_EQ(window.top, c.y) << c.name;
    }
}

TEST_F(ToolbarLayout, KeepsTheWindowTopmostUnactivatedAndPaintsItWhereItNowIs) {
    app.canvasWidth = 1919;
    app.canvasHeight = 1079;
    SetWindowPos(app.toolbarWindow, HWND_NOTOPMOST, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    ForgetPushes();
    LayOut(false);
    EXPECT_TRUE(GetWindowLongW(app.toolbarWindow, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_NE(GetActiveWindow(), app.toolbarWindow);
    EXPECT_EQ(pushes.toolbarPushes, 1);
    EXPECT_EQ(pushes.toolbarPosition.x, 581);
    EXPECT_EQ(pushes.toolbarPosition.y, 986);
    EXPECT_EQ(pushes.toolbarSize.cx, 759);
    EXPECT_EQ(pushes.toolbarSize.cy, 46);
}

TEST_F(ToolbarLayout, HitTestFindsEntriesButNotTheirGapsAndMargins) {
    for (bool vertical : {false, true}) {
        LayOut(vertical);
        // (main, cross) to client (x, y) for this orientation.
        auto hit = [vertical](int main, int cross) {
            return vertical ? HitTestToolbar(cross, main) : HitTestToolbar(main, cross);
        };
        const char* orientation = vertical ? "vertical" : "horizontal";
        for (int i = 0; i < 27; ++i) {
            const RECT& r = ENTRIES[i].horizontal;  // main axis along x
            const int middle = (r.left + r.right) / 2;
            EXPECT_EQ(hit(r.left, 23), i) << orientation << " first pixel of entry " << i;
            EXPECT_EQ(hit(r.right - 1, 23), i) << orientation << " last pixel of entry " << i;
            EXPECT_EQ(hit(r.right, 23), -1) << orientation << " just after entry " << i;
            EXPECT_EQ(hit(r.right + 1, 23), -1) << orientation << " two after entry " << i;
            EXPECT_EQ(hit(middle, 6), i) << orientation << " top row of entry " << i;
            EXPECT_EQ(hit(middle, 39), i) << orientation << " bottom row of entry " << i;
            EXPECT_EQ(hit(middle, 5), -1) << orientation << " margin before entry " << i;
            EXPECT_EQ(hit(middle, 40), -1) << orientation << " margin after entry " << i;
        }
        for (int main : {0, 5, 753, 758}) {
            EXPECT_EQ(hit(main, 23), -1) << orientation << " end margin at " << main;
        }
        EXPECT_EQ(hit(-1, 23), -1) << orientation << " outside the window";
    }
}

// ---- Other display scalings ----

constexpr int32_t DPIS[] = {96, 120, 144, 192, 240};

// A coordinate of the 96-DPI tables at another DPI: scaled, and halves rounded up (every coordinate
// here is positive).
int32_t At(int32_t dpi, int32_t at96) { return int32_t(std::floor(at96 * dpi / 96.0 + 0.5)); }

RECT At(int32_t dpi, const RECT& r) { return {At(dpi, r.left), At(dpi, r.top), At(dpi, r.right), At(dpi, r.bottom)}; }

TEST_F(ToolbarLayout, AtEveryScalingTheEntriesAndWindowAreTheTablesScaledAndRounded) {
    for (int32_t dpi : DPIS) {
        app.displayDpi = dpi;
        for (bool vertical : {false, true}) {
            LayOut(vertical);
            const char* orientation = vertical ? "vertical" : "horizontal";
            ASSERT_EQ(app.buttons.size(), 27u) << dpi << " DPI " << orientation;
            for (size_t i = 0; i < 27; ++i) {
                const EntryCase& expected = ENTRIES[i];
                EXPECT_EQ(app.buttons[i].kind, expected.kind) << dpi << " DPI entry " << i;
                EXPECT_EQ(app.buttons[i].param, expected.param) << dpi << " DPI entry " << i;
                EXPECT_TRUE(RectIs(app.buttons[i].rect, At(dpi, vertical ? expected.vertical : expected.horizontal)))
                    << dpi << " DPI " << orientation << " entry " << i;
            }
            const int32_t length = At(dpi, 759), breadth = At(dpi, 46);
            EXPECT_EQ(app.toolbarWidth, vertical ? breadth : length) << dpi << " DPI " << orientation;
            EXPECT_EQ(app.toolbarHeight, vertical ? length : breadth) << dpi << " DPI " << orientation;
            const RECT window = ToolbarWindowRect();
            EXPECT_EQ(window.right - window.left, app.toolbarWidth) << dpi << " DPI " << orientation;
            EXPECT_EQ(window.bottom - window.top, app.toolbarHeight) << dpi << " DPI " << orientation;
        }
    }
}

// Rounding each edge on its own: at 120 DPI the 96-DPI edges 6 and 54 fall on halves (7.5, 67.5) and go
// up, so the margin and the entries keep their sizes to within a pixel and the gaps stay open.
TEST_F(ToolbarLayout, At120DpiHalvesRoundUp) {
    app.displayDpi = 120;
    LayOut(false);
    EXPECT_TRUE(RectIs(app.buttons[0].rect, RECT{8, 8, 23, 50}));
    EXPECT_TRUE(RectIs(app.buttons[1].rect, RECT{25, 8, 68, 50}));
    EXPECT_TRUE(RectIs(app.buttons[2].rect, RECT{70, 8, 79, 50}));
    EXPECT_TRUE(RectIs(app.buttons[26].rect, RECT{899, 8, 941, 50}));
    EXPECT_EQ(app.toolbarWidth, 949);
    EXPECT_EQ(app.toolbarHeight, 58);
}

TEST_F(ToolbarLayout, AtEveryScalingEntriesNeitherOverlapNorTouchAndTheMarginsStayEqual) {
    for (int32_t dpi : DPIS) {
        app.displayDpi = dpi;
        LayOut(false);
        const std::vector<ToolbarButton>& b = app.buttons;
        for (size_t i = 0; i < b.size(); ++i) {
            EXPECT_GT(b[i].rect.right, b[i].rect.left) << dpi << " DPI entry " << i;
            if (i + 1 < b.size()) {
                EXPECT_GE(b[i + 1].rect.left - b[i].rect.right, 1) << dpi << " DPI gap after entry " << i;
                EXPECT_LE(b[i + 1].rect.left - b[i].rect.right, At(dpi, 2) + 1) << dpi << " DPI gap after entry " << i;
            }
            EXPECT_EQ(b[i].rect.top, b[0].rect.top) << dpi << " DPI entry " << i;
            EXPECT_EQ(b[i].rect.bottom, b[0].rect.bottom) << dpi << " DPI entry " << i;
        }
        EXPECT_EQ(b[0].rect.left, b[0].rect.top) << dpi << " DPI";
        EXPECT_EQ(app.toolbarWidth - b.back().rect.right, b[0].rect.left) << dpi << " DPI end margin";
        EXPECT_EQ(app.toolbarHeight - b[0].rect.bottom, b[0].rect.top) << dpi << " DPI bottom margin";
    }
}

TEST_F(ToolbarLayout, AtEveryScalingThePreferredPlaceKeepsItsScaledDistanceFromTheCanvasEdge) {
    app.canvasWidth = 1919;
    app.canvasHeight = 1079;
    for (int32_t dpi : DPIS) {
        app.displayDpi = dpi;
        const int32_t length = At(dpi, 759), breadth = At(dpi, 46);
        LayOut(false);
        RECT window = ToolbarWindowRect();
        EXPECT_EQ(window.left, 1 + (1919 - length) / 2) << dpi << " DPI horizontal";
        EXPECT_EQ(window.top, 1 + 1079 - At(dpi, 48) - breadth) << dpi << " DPI horizontal";
        LayOut(true);
        window = ToolbarWindowRect();
        EXPECT_EQ(window.left, 1 + At(dpi, 18)) << dpi << " DPI vertical";
        EXPECT_EQ(window.top, std::max(1, 1 + (1079 - length) / 2)) << dpi << " DPI vertical";
    }
    // Worked through by hand: 144 DPI on a 1920 x 1080 screen.
    app.displayDpi = 144;
    LayOut(false);
    EXPECT_TRUE(RectIs(ToolbarWindowRect(), RECT{391, 939, 391 + 1139, 939 + 69}));
    LayOut(true);
    EXPECT_TRUE(RectIs(ToolbarWindowRect(), RECT{28, 1, 28 + 69, 1 + 1139}));
}

TEST_F(ToolbarLayout, AtEveryScalingHitTestFollowsTheScaledEntries) {
    for (int32_t dpi : DPIS) {
        app.displayDpi = dpi;
        for (bool vertical : {false, true}) {
            LayOut(vertical);
            auto hit = [vertical](int main, int cross) {
                return vertical ? HitTestToolbar(cross, main) : HitTestToolbar(main, cross);
            };
            const int top = At(dpi, 6), bottom = At(dpi, 40), middleAcross = At(dpi, 23);
            for (int i = 0; i < 27; ++i) {
                const RECT r = At(dpi, ENTRIES[i].horizontal);
                const int middle = (r.left + r.right) / 2;
                EXPECT_EQ(hit(r.left, middleAcross), i) << dpi << " DPI first pixel of entry " << i;
                EXPECT_EQ(hit(r.right - 1, middleAcross), i) << dpi << " DPI last pixel of entry " << i;
                EXPECT_EQ(hit(r.right, middleAcross), -1) << dpi << " DPI just after entry " << i;
                EXPECT_EQ(hit(r.left - 1, middleAcross), -1) << dpi << " DPI just before entry " << i;
                EXPECT_EQ(hit(middle, top), i) << dpi << " DPI top row of entry " << i;
                EXPECT_EQ(hit(middle, bottom - 1), i) << dpi << " DPI bottom row of entry " << i;
                EXPECT_EQ(hit(middle, top - 1), -1) << dpi << " DPI margin before entry " << i;
                EXPECT_EQ(hit(middle, bottom), -1) << dpi << " DPI margin after entry " << i;
            }
        }
    }
}

TEST_F(ToolbarLayout, MovedToADisplayOfAnotherDpiItLaysItselfOutThereAtTheSuggestedPlace) {
    LayOut(false);
    RECT suggested = {300, 200, 300 + 1518, 200 + 92};
    SendMessageW(app.toolbarWindow, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(app.displayDpi, 192);
    EXPECT_EQ(app.toolbarWidth, 1518);
    EXPECT_EQ(app.toolbarHeight, 92);
    EXPECT_TRUE(RectIs(app.buttons[3].rect, RECT{130, 12, 198, 80}));
    EXPECT_TRUE(RectIs(ToolbarWindowRect(), RECT{300, 200, 300 + 1518, 200 + 92}));
    // Suggested with a size of the system's own making: only its corner is taken.
    suggested = {-40, 700, 0, 710};
    SendMessageW(app.toolbarWindow, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_TRUE(RectIs(app.buttons[3].rect, ENTRIES[3].horizontal));
    EXPECT_TRUE(RectIs(ToolbarWindowRect(), RECT{-40, 700, -40 + 759, 700 + 46}));
    EXPECT_EQ(pushes.toolbarPosition.x, -40);
    EXPECT_EQ(pushes.toolbarSize.cx, 759);
}

}  // namespace
