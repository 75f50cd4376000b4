#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/display_scale.h"
#include "app/startup.h"
#include "ink/surfaces.h"
#include "input/capture.h"
#include "support/test_app.h"
#include "toolbar/toolbar_layout.h"

namespace {

class DisplayScaleTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartTestApp();
        ResetAppForTest();
    }
    void TearDown() override {
        app.displayDpi = BASE_DPI;
        ResetAppForTest();
    }
};

int ScreenLogPixels() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// The test prefix runs at the system's default 96 DPI; the end-to-end run covers another DPI.
TEST_F(DisplayScaleTest, ReadingTheGeometryTakesTheDpiFromTheSystemAndTheToolbarsWindow) {
    EXPECT_EQ(ReadSystemDpi(nullptr), ScreenLogPixels());
    EXPECT_EQ(ReadSystemDpi(app.toolbarWindow), ScreenLogPixels());

    app.displayDpi = 240;
    const int32_t width = app.canvasWidth, height = app.canvasHeight;
    ReadCanvasGeometry();
    EXPECT_EQ(app.displayDpi, ScreenLogPixels());
    app.canvasWidth = width;
    app.canvasHeight = height;
    app.overlays.clear();  // the test canvas again, not the monitor just read
}

// What the substituted DPI functions report; 0 is the systems' "nothing known".
UINT fakeSystemDpi = 0;
UINT fakeWindowDpi = 0;
UINT WINAPI FakeDpiForSystem() { return fakeSystemDpi; }
UINT WINAPI FakeDpiForWindow(HWND) { return fakeWindowDpi; }

// The display's DPI functions replaced, and put back afterwards.
class SubstitutedDpi {
public:
    SubstitutedDpi(GetDpiForSystemFn forSystem, GetDpiForWindowFn forWindow) {
        app.pGetDpiForSystem = forSystem;
        app.pGetDpiForWindow = forWindow;
    }
    ~SubstitutedDpi() {
        app.pGetDpiForSystem = savedSystem;
        app.pGetDpiForWindow = savedWindow;
    }

private:
    GetDpiForSystemFn savedSystem = app.pGetDpiForSystem;
    GetDpiForWindowFn savedWindow = app.pGetDpiForWindow;
};

TEST_F(DisplayScaleTest, TheWindowsDpiComesFirstThenTheSystemsThenTheScreens) {
    struct Case {
        const char* name;
        GetDpiForSystemFn forSystem;
        GetDpiForWindowFn forWindow;
        UINT system, window;
        int32_t withWindow, withoutWindow;
    };
    const int32_t screen = ScreenLogPixels();
    const Case cases[] = {
        {"both known", FakeDpiForSystem, FakeDpiForWindow, 120, 144, 144, 120},
        {"the window's unknown", FakeDpiForSystem, FakeDpiForWindow, 120, 0, 120, 120},
        {"neither known", FakeDpiForSystem, FakeDpiForWindow, 0, 0, screen, screen},
        {"neither function there", nullptr, nullptr, 120, 144, screen, screen},
        {"only the system's there", FakeDpiForSystem, nullptr, 168, 144, 168, 168},
    };
    for (const Case& c : cases) {
        SubstitutedDpi substituted(c.forSystem, c.forWindow);
        fakeSystemDpi = c.system;
        fakeWindowDpi = c.window;
        EXPECT_EQ(ReadSystemDpi(app.toolbarWindow), c.withWindow) << c.name;
        EXPECT_EQ(ReadSystemDpi(nullptr), c.withoutWindow) << c.name;
    }
}

// Before its windows exist the program can read only the system's DPI, which keeps its value from
// sign-in through a change of scaling. Once the toolbar is shown, its display's scale is the one it
// is laid out at, and strokes are drawn at.
TEST_F(DisplayScaleTest, AtStartUpTheScaleIsTheToolbarsDisplaysNotTheSystems) {
    struct Case {
        UINT system, display;
    };
    const Case cases[] = {{96, 144}, {144, 96}, {120, 120}};
    SubstitutedDpi substituted(FakeDpiForSystem, FakeDpiForWindow);
    for (const Case& c : cases) {
        fakeSystemDpi = c.system;
        fakeWindowDpi = c.display;
        // The toolbar's size where it is laid out at the display's scale.
        app.displayDpi = int32_t(c.display);
        LayoutToolbar();
        const SIZE atDisplay = {app.toolbarWidth, app.toolbarHeight};

        // Start-up as the program runs it: the geometry first, without windows, then the layout.
        const HWND toolbar = app.toolbarWindow;
        const int32_t width = app.canvasWidth, height = app.canvasHeight;
        app.toolbarWindow = nullptr;
        ReadCanvasGeometry();
        app.toolbarWindow = toolbar;
        app.canvasWidth = width;
        app.canvasHeight = height;
        EXPECT_EQ(app.displayDpi, int32_t(c.system));
        LayoutToolbar();
        ForgetPushes();
        FollowToolbarDisplayScale();

        const std::string name = "system " + std::to_string(c.system) + ", display " + std::to_string(c.display);
        EXPECT_EQ(app.displayDpi, int32_t(c.display)) << name;
        EXPECT_EQ(app.toolbarWidth, atDisplay.cx) << name;
        EXPECT_EQ(app.toolbarHeight, atDisplay.cy) << name;
        EXPECT_EQ(Pushed().toolbarPushes, c.system == c.display ? 0 : 1) << name;
        RECT shown;
        GetWindowRect(app.toolbarWindow, &shown);
        EXPECT_EQ(shown.right - shown.left, atDisplay.cx) << name;
        EXPECT_EQ(shown.bottom - shown.top, atDisplay.cy) << name;
    }
}

// Rows of the ink layer's column x, from top to bottom inclusive, that hold ink.
int InkRowsAt(int x, int top, int bottom) {
    const std::vector<uint32_t> ink = InkPixels();
    int rows = 0;
    for (int y = top; y <= bottom; ++y) {
        if (ink[size_t(y) * app.canvasWidth + x] >> 24) ++rows;
    }
    return rows;
}

void DrawLine(float y) {
    BeginStroke(100, y, 0.5f);
    for (float x = 110; x <= 300; x += 10) ExtendStroke(x, y, 0.5f);
    EndStroke();
}

TEST_F(DisplayScaleTest, ANewStrokeTakesItsBaseWidthTimesTheScaleAndKeepsIt) {
    struct Case {
        int32_t dpi;
        int32_t widthIndex;
        float width;
        int32_t margin;  // of the stroke's area around its first sample: 4 x width, truncated, + 6
    };
    const Case cases[] = {
        {96, 1, 6.0f, 30}, {120, 0, 3.75f, 21}, {144, 1, 9.0f, 42}, {144, 2, 18.0f, 78}, {192, 2, 24.0f, 102},
    };
    for (const Case& c : cases) {
        app.displayDpi = c.dpi;
        app.widthIndex = c.widthIndex;
        BeginStroke(200, 150, 0.5f);
        EXPECT_EQ(app.currentStroke.width, c.width) << c.dpi << " DPI, width " << c.widthIndex;
        EXPECT_EQ(app.strokeDirty.left, 200 - c.margin) << c.dpi << " DPI, width " << c.widthIndex;
        EXPECT_EQ(app.strokeDirty.bottom, 150 + c.margin) << c.dpi << " DPI, width " << c.widthIndex;
        EndStroke();
        EXPECT_EQ(app.history.back().width, c.width) << c.dpi << " DPI, width " << c.widthIndex;
    }
}

TEST_F(DisplayScaleTest, AStrokeDrawnAt144DpiIsHalfAgainAsThickAndIsReplayedSo) {
    DrawLine(100);
    app.displayDpi = 144;
    DrawLine(200);
    const int at96 = InkRowsAt(200, 80, 120);
    const int at144 = InkRowsAt(200, 180, 220);
    EXPECT_GE(at96, 5);  // 0.85 x 6 at the mouse's pressure
    EXPECT_NEAR(at144, 1.5 * at96, 1.0) << "at 96 DPI " << at96 << " rows";

    // Undo and redraw replay each stroke at its own width, whatever the scale is now.
    const std::vector<uint32_t> drawn = InkPixels();
    app.displayDpi = BASE_DPI;
    RebuildInkLayer();
    EXPECT_TRUE(InkPixels() == drawn);
}

}  // namespace
