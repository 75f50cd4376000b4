#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/display_geometry.h"
#include "app/display_scale.h"
#include "app/frame_rate.h"
#include "app/startup.h"
#include "ink/ink_undo.h"
#include "ink/surfaces.h"
#include "input/capture.h"
#include "support/test_app.h"

namespace {

std::string Describe(const DirtyRect& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ")-(" + std::to_string(r.right) + ", " +
           std::to_string(r.bottom) + ")";
}

bool SameRect(const DirtyRect& a, const DirtyRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Monitor layouts the desktop can have, with the canvas and the overlays laid over them.
struct LayoutCase {
    const char* what;
    std::vector<MonitorArea> monitors;
    int32_t left, top, width, height;
    std::vector<DirtyRect> overlays;  // primary first
};

const MonitorArea PRIMARY = {{0, 0, 1920, 1080}, true};

const LayoutCase LAYOUTS[] = {
    {"one monitor", {PRIMARY}, 1, 1, 1919, 1079, {{1, 1, 1920, 1080}}},
    {"side by side", {PRIMARY, {{1920, 0, 3200, 720}, false}}, 1, 1, 3199, 1079,
     {{1, 1, 1920, 1080}, {1921, 1, 3200, 720}}},
    {"stacked below", {PRIMARY, {{0, 1080, 1920, 2160}, false}}, 1, 1, 1919, 2159,
     {{1, 1, 1920, 1080}, {1, 1081, 1920, 2160}}},
    {"offset down", {PRIMARY, {{1920, 300, 3200, 1020}, false}}, 1, 1, 3199, 1079,
     {{1, 1, 1920, 1080}, {1921, 301, 3200, 1020}}},
    {"left of the primary", {PRIMARY, {{-1280, 0, 0, 720}, false}}, -1279, 1, 3199, 1079,
     {{1, 1, 1920, 1080}, {-1279, 1, 0, 720}}},
    {"above the primary", {PRIMARY, {{0, -1080, 1920, 0}, false}}, 1, -1079, 1919, 2159,
     {{1, 1, 1920, 1080}, {1, -1079, 1920, 0}}},
    {"primary listed last, three sizes",
     {{{-2560, -400, 0, 1040}, false}, {{1920, 200, 2944, 968}, false}, PRIMARY}, -2559, -399, 5503, 1479,
     {{1, 1, 1920, 1080}, {-2559, -399, 0, 1040}, {1921, 201, 2944, 968}}},
};

class CanvasLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(CanvasLayout, TheCanvasReachesEveryMonitorAndNoOverlayCoversOneWhole) {
    const LayoutCase& c = GetParam();
    const CanvasGeometry geometry = LayOutCanvas(c.monitors, nullptr, INK_TILE);
    EXPECT_EQ(geometry.left, c.left);
    EXPECT_EQ(geometry.top, c.top);
    EXPECT_EQ(geometry.width, c.width);
    EXPECT_EQ(geometry.height, c.height);
    ASSERT_EQ(geometry.overlays.size(), c.overlays.size());
    for (size_t i = 0; i < c.overlays.size(); ++i) {
        EXPECT_TRUE(SameRect(geometry.overlays[i], c.overlays[i]))
            << "overlay " << i << " is " << Describe(geometry.overlays[i]);
    }
    // Each overlay lies on its monitor, inside the canvas, and leaves the monitor's top row and left
    // column uncovered.
    for (const DirtyRect& overlay : geometry.overlays) {
        EXPECT_GE(overlay.left, geometry.left);
        EXPECT_GE(overlay.top, geometry.top);
        EXPECT_LE(overlay.right, geometry.left + geometry.width);
        EXPECT_LE(overlay.bottom, geometry.top + geometry.height);
        for (const MonitorArea& monitor : c.monitors) {
            const DirtyRect& m = monitor.rect;
            EXPECT_FALSE(overlay.left <= m.left && overlay.top <= m.top && overlay.right >= m.right &&
                         overlay.bottom >= m.bottom)
                << Describe(overlay) << " covers the monitor " << Describe(m);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, CanvasLayout, ::testing::ValuesIn(LAYOUTS), [](const auto& info) {
    std::string name = info.param.what;
    for (char& ch : name) {
        if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
    }
    return name;
});

TEST(CanvasLayoutWithoutMonitors, ThePrimaryScreensSizeStandsForTheMonitor) {
    const CanvasGeometry geometry = LayOutCanvas({}, nullptr, INK_TILE);
    EXPECT_EQ(geometry.left, 1);
    EXPECT_EQ(geometry.top, 1);
    EXPECT_EQ(geometry.width, GetSystemMetrics(SM_CXSCREEN) - 1);
    EXPECT_EQ(geometry.height, GetSystemMetrics(SM_CYSCREEN) - 1);
    ASSERT_EQ(geometry.overlays.size(), 1u);
}

// After start-up the origin only steps back, in whole undo tiles, as far as a monitor reaches beyond
// it: ink keeps its desktop place, and undo records keep their tiles.
struct OriginCase {
    const char* what;
    int32_t beforeLeft, beforeTop;
    std::vector<MonitorArea> monitors;
    int32_t left, top, width, height;
};

const OriginCase ORIGINS[] = {
    {"a monitor of 1280 added left", 1, 1, {PRIMARY, {{-1280, 0, 0, 720}, false}}, -1279, 1, 3199, 1079},
    {"a monitor of 1366 added left", 1, 1, {PRIMARY, {{-1366, 0, 0, 768}, false}}, -1407, 1, 3327, 1079},
    {"a monitor added above", 1, 1, {PRIMARY, {{0, -768, 1366, 0}, false}}, 1, -767, 1919, 1847},
    {"the left monitor gone", -1279, 1, {PRIMARY}, -1279, 1, 3199, 1079},
    {"the left monitor moved right", -1279, 1, {PRIMARY, {{1920, 0, 3200, 720}, false}}, -1279, 1, 4479, 1079},
    {"a monitor right of the primary", 1, 1, {PRIMARY, {{1920, 0, 3200, 720}, false}}, 1, 1, 3199, 1079},
};

class CanvasOrigin : public ::testing::TestWithParam<OriginCase> {};

TEST_P(CanvasOrigin, StepsBackOnlyAsFarAsAMonitorReachesInWholeTiles) {
    const OriginCase& c = GetParam();
    const CanvasGeometry before = {c.beforeLeft, c.beforeTop, 1919, 1079, {{1, 1, 1920, 1080}}};
    const CanvasGeometry geometry = LayOutCanvas(c.monitors, &before, INK_TILE);
    EXPECT_EQ(geometry.left, c.left);
    EXPECT_EQ(geometry.top, c.top);
    EXPECT_EQ(geometry.width, c.width);
    EXPECT_EQ(geometry.height, c.height);
    EXPECT_EQ((c.beforeLeft - geometry.left) % INK_TILE, 0);
    EXPECT_EQ((c.beforeTop - geometry.top) % INK_TILE, 0);
}

INSTANTIATE_TEST_SUITE_P(Origins, CanvasOrigin, ::testing::ValuesIn(ORIGINS), [](const auto& info) {
    std::string name = info.param.what;
    for (char& ch : name) {
        if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
    }
    return name;
});

TEST(FrameRateOfMonitors, TheFastestPlausibleRateDecides) {
    struct Case {
        const char* what;
        double compositor;
        std::vector<double> monitors;
        double expected;
    };
    const Case cases[] = {
        {"the compositor alone", 144, {0}, 144},
        {"a faster second monitor", 60, {60, 144}, 144},
        {"the compositor faster than the modes", 165, {60, 120}, 165},
        {"no compositor, the fastest mode", 0, {75, 60}, 75},
        {"nonsense everywhere", 1, {0, 1, 5000}, 60},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(FastestRefreshHz(c.compositor, c.monitors), c.expected) << c.what;
}

// Two monitors played inside the test: the test canvas (at 1, 1) is the primary, and a second
// monitor lies right of it or left of it. Real overlay windows are made for both.
constexpr int32_t CANVAS_W = 640, CANVAS_H = 480;
const MonitorArea TEST_PRIMARY = {{0, 0, CANVAS_W + 1, CANVAS_H + 1}, true};
const MonitorArea RIGHT_MONITOR = {{CANVAS_W + 1, 0, CANVAS_W + 1 + 320, 240}, false};
const MonitorArea LEFT_MONITOR = {{-320, 0, 0, 240}, false};

// Everything the overlays were handed in one push each.
struct WindowPush {
    HWND window;
    POINT destination;
    SIZE size;
    POINT source;
    RECT dirty;
};
std::vector<WindowPush> windowPushes;

BOOL WINAPI RecordWindowPush(HWND window, const UPDATELAYEREDWINDOWINFO* info) {
    windowPushes.push_back({window, *info->pptDst, *info->psize, *info->pptSrc, *info->prcDirty});
    return UpdateLayeredWindowIndirect(window, info);
}

class TwoMonitors : public ::testing::Test {
protected:
    void SetUp() override {
        StartTestApp(CANVAS_W, CANVAS_H);
        ResetAppForTest();
    }
    void TearDown() override {
        app.pUpdateLayeredWindowIndirect = savedPush;
        // The second overlays go, and the test canvas is again one without a monitor list.
        SetCanvasGeometry(LayOutCanvas({TEST_PRIMARY}, nullptr, INK_TILE));
        ApplyCanvasGeometry();
        app.overlays.clear();
        CreateSurfaces();
        ApplyCanvasGeometry();
        ResetAppForTest();
    }
    void LayOut(const std::vector<MonitorArea>& monitors) {
        const CanvasGeometry before = CurrentCanvasGeometry();
        SetCanvasGeometry(LayOutCanvas(monitors, app.overlays.empty() ? nullptr : &before, INK_TILE));
        ApplyCanvasGeometry();
        PumpMessages();
    }
    UpdateLayeredWindowIndirectFn savedPush = app.pUpdateLayeredWindowIndirect;
};

RECT WindowRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

TEST_F(TwoMonitors, EachMonitorHasItsOverlayAndAPresentReachesBothInTheirOwnCoordinates) {
    LayOut({TEST_PRIMARY, RIGHT_MONITOR});
    ASSERT_EQ(app.overlays.size(), 2u);
    EXPECT_EQ(app.overlays[0].window, app.overlayWindow);
    const HWND second = app.overlays[1].window;
    ASSERT_TRUE(IsWindow(second));
    EXPECT_TRUE(IsWindowVisible(second));
    const RECT rect = WindowRect(second);
    EXPECT_EQ(rect.left, CANVAS_W + 2);
    EXPECT_EQ(rect.top, 1);
    EXPECT_EQ(rect.right, CANVAS_W + 1 + 320);
    EXPECT_EQ(rect.bottom, 240);
    // The second overlay never takes the activation, so it never rises above the toolbar.
    EXPECT_TRUE(GetWindowLongW(second, GWL_EXSTYLE) & WS_EX_NOACTIVATE);

    ForgetPushes();
    app.pUpdateLayeredWindowIndirect = RecordWindowPush;
    windowPushes.clear();
    // Canvas x 600..700 spans both: 600..639 on the primary, 641..700 on the second (canvas x 640 is
    // the second monitor's uncovered left column).
    PresentRegion({600, 100, 700, 120});
    PushPendingFrame();
    ASSERT_EQ(windowPushes.size(), 2u);
    const WindowPush& onPrimary = windowPushes[0];
    EXPECT_EQ(onPrimary.window, app.overlayWindow);
    EXPECT_EQ(onPrimary.source.x, 0);
    EXPECT_EQ(onPrimary.size.cx, CANVAS_W);
    EXPECT_EQ(onPrimary.dirty.left, 600);
    EXPECT_EQ(onPrimary.dirty.right, CANVAS_W);
    const WindowPush& onSecond = windowPushes[1];
    EXPECT_EQ(onSecond.window, second);
    EXPECT_EQ(onSecond.destination.x, CANVAS_W + 2);
    EXPECT_EQ(onSecond.source.x, CANVAS_W + 1);
    EXPECT_EQ(onSecond.size.cx, 319);
    EXPECT_EQ(onSecond.size.cy, 239);
    EXPECT_EQ(onSecond.dirty.left, 0);
    EXPECT_EQ(onSecond.dirty.right, 700 - (CANVAS_W + 1));
    EXPECT_EQ(onSecond.dirty.top, 100);

    // Gone again: the second overlay with it.
    LayOut({TEST_PRIMARY});
    EXPECT_EQ(app.overlays.size(), 1u);
    EXPECT_FALSE(IsWindow(second));
    EXPECT_TRUE(IsWindow(app.overlayWindow));
}

TEST_F(TwoMonitors, PassThroughLetsClicksThroughEveryOverlayAndANewOneComesSo) {
    LayOut({TEST_PRIMARY, RIGHT_MONITOR});
    SendMessageW(app.overlayWindow, WM_RBUTTONUP, 0, 0);
    ASSERT_TRUE(app.passThrough);
    for (const OverlayPane& pane : app.overlays) {
        EXPECT_TRUE(GetWindowLongW(pane.window, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    }
    LayOut({TEST_PRIMARY, RIGHT_MONITOR, {{-320, 0, 0, 240}, false}});
    ASSERT_EQ(app.overlays.size(), 3u);
    for (const OverlayPane& pane : app.overlays) {
        EXPECT_TRUE(GetWindowLongW(pane.window, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    }
    SendMessageW(app.overlays[2].window, WM_RBUTTONUP, 0, 0);
    EXPECT_FALSE(app.passThrough);
    for (const OverlayPane& pane : app.overlays) {
        EXPECT_FALSE(GetWindowLongW(pane.window, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    }
}

TEST_F(TwoMonitors, AMouseStrokeOnTheSecondMonitorLandsAtItsDesktopPlaceAndCrossesOver) {
    LayOut({TEST_PRIMARY, RIGHT_MONITOR});
    const HWND second = app.overlays[1].window;
    // Client pixels of the second overlay: its (0, 0) is canvas (641, 0).
    SendMessageW(second, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 100));
    SendMessageW(second, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-100, 100));
    SendMessageW(second, WM_LBUTTONUP, 0, MAKELPARAM(-100, 100));
    ASSERT_EQ(app.history.size(), 1u);
    const Stroke& stroke = app.history[0];
    EXPECT_FLOAT_EQ(stroke.points.front().x, float(CANVAS_W + 1 + 50));
    EXPECT_FLOAT_EQ(stroke.points.front().y, 100.0f);
    EXPECT_FLOAT_EQ(stroke.points.back().x, float(CANVAS_W + 1 - 100));
    EXPECT_GT(AlphaOf(InkPixel(CANVAS_W + 1 + 50, 100)), 0);
    EXPECT_GT(AlphaOf(InkPixel(CANVAS_W - 100, 100)), 0) << "the stroke goes on across onto the primary";
    EXPECT_EQ(DifferenceFromReplay(), 0);
    // The keys go to the primary's overlay.
    EXPECT_EQ(GetFocus(), app.overlayWindow);
}

TEST_F(TwoMonitors, TheToolbarKeepsItsPlaceOnThePrimaryWhereverTheOtherMonitorIs) {
    LayOut({TEST_PRIMARY});
    const RECT alone = WindowRect(app.toolbarWindow);
    LayOut({TEST_PRIMARY, RIGHT_MONITOR});
    const RECT withRight = WindowRect(app.toolbarWindow);
    EXPECT_EQ(withRight.left, alone.left);
    EXPECT_EQ(withRight.top, alone.top);
    // Dragged onto the second monitor, then a display change: back to its place on the primary.
    SetWindowPos(app.toolbarWindow, HWND_TOPMOST, CANVAS_W + 20, 20, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    LayOut({TEST_PRIMARY});
    const RECT back = WindowRect(app.toolbarWindow);
    EXPECT_EQ(back.left, alone.left);
    EXPECT_EQ(back.top, alone.top);
}

// The system's part in a move from a 150 % monitor back onto the 100 % primary: once the toolbar lies
// on the primary, it announces the primary's DPI with a rect at a corner of its own choosing.
WNDPROC toolbarProc = nullptr;
LRESULT CALLBACK AnnouncingPrimaryDpi(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcW(toolbarProc, window, message, wParam, lParam);
    if (message == WM_WINDOWPOSCHANGED && app.displayDpi != 96) {
        const WINDOWPOS* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (pos->x < CANVAS_W) {
            RECT suggested = {pos->x + 37, pos->y - 50, pos->x + 37 + pos->cx * 2 / 3, pos->y - 50 + pos->cy * 2 / 3};
            CallWindowProcW(toolbarProc, window, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
        }
    }
    return result;
}

TEST_F(TwoMonitors, BroughtBackFromAMonitorOfAnotherScaleTheToolbarTakesItsPlaceAtThePrimarysScale) {
    LayOut({TEST_PRIMARY, RIGHT_MONITOR});
    const RECT home = WindowRect(app.toolbarWindow);
    // Dragged onto the 150 % monitor, where the system laid it out at 144 DPI.
    RECT onSecond = {CANVAS_W + 20, 20, CANVAS_W + 20 + 1, 20 + 1};
    SendMessageW(app.toolbarWindow, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&onSecond));
    ASSERT_EQ(app.displayDpi, 144);
    toolbarProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(app.toolbarWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AnnouncingPrimaryDpi)));
    const struct {
        const char* what;
        void (*bringBack)();
    } ways[] = {
        {"V turned it and back", [] { LayoutToolbar(); }},
        {"the second monitor gone", [] {
             const CanvasGeometry before = CurrentCanvasGeometry();
             SetCanvasGeometry(LayOutCanvas({TEST_PRIMARY}, &before, INK_TILE));
             ApplyCanvasGeometry();
         }},
    };
    for (const auto& way : ways) {
        SendMessageW(app.toolbarWindow, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&onSecond));
        way.bringBack();
        EXPECT_EQ(app.displayDpi, 96) << way.what;
        const RECT back = WindowRect(app.toolbarWindow);
        EXPECT_TRUE(EqualRect(&back, &home)) << way.what << ": in its place, at the primary's size, not at ("
                                             << back.left << ", " << back.top << ")";
        EXPECT_EQ(app.toolbarWidth, home.right - home.left) << way.what;
    }
    SetWindowLongPtrW(app.toolbarWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(toolbarProc));
}

// Monitors of their own scales, through the two seams: left of canvas x 300 a monitor at 100 %,
// right of it one at 150 %.
const HMONITOR AT_100 = reinterpret_cast<HMONITOR>(uintptr_t(0x100));
const HMONITOR AT_150 = reinterpret_cast<HMONITOR>(uintptr_t(0x150));
HMONITOR WINAPI FakeMonitorFromPoint(POINT point, DWORD) { return point.x - 1 < 300 ? AT_100 : AT_150; }
HRESULT WINAPI FakeDpiForMonitor(HMONITOR monitor, int, UINT* dpiX, UINT* dpiY) {
    *dpiX = *dpiY = monitor == AT_150 ? 144 : 96;
    return S_OK;
}

class MonitorScales : public ::testing::Test {
protected:
    void SetUp() override {
        StartTestApp(CANVAS_W, CANVAS_H);
        ResetAppForTest();
        app.pMonitorFromPoint = FakeMonitorFromPoint;
        app.pGetDpiForMonitor = FakeDpiForMonitor;
    }
    void TearDown() override {
        app.pMonitorFromPoint = &MonitorFromPoint;
        app.pGetDpiForMonitor = nullptr;
        ResetAppForTest();
    }
};

TEST_F(MonitorScales, AStrokeTakesTheScaleOfTheMonitorWhereItBeginsAndKeepsItAcross) {
    struct Case {
        const char* what;
        float x;
        ToolKind tool;
        float width;
    };
    const Case cases[] = {
        {"pen at 100 %", 100, Pen, 6.0f},
        {"pen at 150 %", 400, Pen, 9.0f},
        {"highlighter at 150 %", 400, Highlighter, 9.0f},
    };
    app.displayDpi = 120;  // the toolbar's monitor decides nothing here
    for (const Case& c : cases) {
        app.currentTool = c.tool;
        BeginStroke(c.x, 100, 0.5f);
        ExtendStroke(c.x < 300 ? 500.0f : 50.0f, 100, 0.5f);  // across onto the other monitor
        EndStroke();
        EXPECT_FLOAT_EQ(app.history.back().width, c.width) << c.what;
    }
    EXPECT_EQ(DifferenceFromReplay(), 0);
}

TEST_F(MonitorScales, WithoutTheSystemsAnswerTheDisplayScaleStays) {
    app.pGetDpiForMonitor = nullptr;
    app.displayDpi = 144;
    BeginStroke(100, 100, 0.5f);
    EndStroke();
    EXPECT_FLOAT_EQ(app.history.back().width, 9.0f);
}

TEST_F(MonitorScales, TheToolbarComesBackAtThePrimarysScale) {
    // Dragged onto a 150 % monitor, the toolbar was laid out at 144 DPI; the display change lays it
    // out at the primary's 100 % (the fake puts desktop (0, 0) on the 100 % monitor).
    app.displayDpi = 144;
    ReadDisplayScale();
    EXPECT_EQ(app.displayDpi, 96);
}

}  // namespace
