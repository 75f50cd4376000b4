#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/app_state.h"
#include "ink/surfaces.h"
#include "input/capture.h"
#include "support/pixels.h"
#include "support/test_app.h"

namespace {

constexpr uint32_t SENTINEL = 0x12345678;
constexpr uint32_t SEE_THROUGH = 0x01000000;
constexpr uint32_t RED = 0xFFEF4444;  // Palette[0], opaque
constexpr uint32_t GREEN = 0xFF00FF00;

class Capture : public ::testing::Test {
protected:
    void SetUp() override {
        StartTestApp();
        ResetAppForTest();
    }
};

void FillInk(uint32_t argb) {
    Gdiplus::Graphics graphics(app.inkLayer);
    graphics.Clear(Gdiplus::Color(argb));
}

bool Empty(const std::vector<uint32_t>& pixels) {
    for (uint32_t pixel : pixels) {
        if (pixel != 0) return false;
    }
    return true;
}

void ExpectRect(const RECT& actual, const DirtyRect& expected, const char* what) {
    EXPECT_EQ(actual.left, expected.left) << what;
    EXPECT_EQ(actual.top, expected.top) << what;
    EXPECT_EQ(actual.right, expected.right) << what;
    EXPECT_EQ(actual.bottom, expected.bottom) << what;
}

void ExpectRect(const DirtyRect& actual, const DirtyRect& expected, const char* what) {
    ExpectRect(RECT{actual.left, actual.top, actual.right, actual.bottom}, expected, what);
}

// Frame pixels that changed from the sentinel, counted inside and outside a rectangle.
struct Changed {
    int inside = 0;
    int outside = 0;
};

Changed FramePixelsChanged(const DirtyRect& rect) {
    Changed changed;
    for (int y = 0; y < app.canvasHeight; ++y) {
        for (int x = 0; x < app.canvasWidth; ++x) {
            if (FramePixel(x, y) == SENTINEL) continue;
            const bool in = x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
            ++(in ? changed.inside : changed.outside);
        }
    }
    return changed;
}

struct ClickCase {
    const char* name;
    ToolKind tool;
    uint32_t inkBefore;     // the ink layer is filled with this first
    uint32_t inkAtPoint;    // ink layer at the clicked pixel afterwards
    uint32_t inkAt10;       // 10 px to the right
    uint32_t inkAt16;       // 16 px to the right
    uint32_t frameAtPoint;  // what the overlay shows at the clicked pixel
    size_t history;
    size_t trails;
    int32_t phase;
};

TEST_F(Capture, AClickWithoutMovementLeavesEachToolsMark) {
    // Width 6: the pen dot is 5.1 px across, the eraser disc 24 px, the laser core 6 px.
    const ClickCase cases[] = {
        {"pen dot", Pen, 0, RED, 0, 0, RED, 1, 0, 0},
        {"eraser disc", Eraser, GREEN, 0, 0, GREEN, SEE_THROUGH, 1, 0, 0},
        {"laser trail that holds", Laser, 0, 0, 0, 0, 0xFFFF3C3C, 0, 1, 1},
    };
    for (const ClickCase& c : cases) {
        ResetAppForTest();
        FillInk(c.inkBefore);
        app.currentTool = c.tool;
        BeginStroke(200.0f, 150.0f, 0.5f);
        EndStroke();

        EXPECT_FALSE(app.drawing) << c.name;
        EXPECT_EQ(InkPixel(200, 150), c.inkAtPoint) << c.name;
        EXPECT_EQ(InkPixel(210, 150), c.inkAt10) << c.name;
        EXPECT_EQ(InkPixel(216, 150), c.inkAt16) << c.name;
        EXPECT_EQ(FramePixel(200, 150), c.frameAtPoint) << c.name;
        ASSERT_EQ(app.history.size(), c.history) << c.name;
        ASSERT_EQ(app.laserTrails.size(), c.trails) << c.name;
        const Stroke& committed = c.history ? app.history.back() : app.laserTrails.back();
        EXPECT_EQ(committed.tool, c.tool) << c.name;
        ASSERT_EQ(committed.points.size(), 1u) << c.name;
        EXPECT_EQ(committed.points[0].x, 200.0f) << c.name;
        EXPECT_EQ(committed.points[0].pressure, 0.5f) << c.name;
        EXPECT_EQ(app.laserPhase, c.phase) << c.name;
        EXPECT_EQ(app.laserTimer != 0, c.phase == 1) << c.name;
    }
}

TEST_F(Capture, TheHighlighterEntersTheInkLayerOnlyAtItsEndAndOnlyOnce) {
    struct Shape {
        const char* name;
        std::vector<InkPoint> samples;
    };
    const Shape shapes[] = {
        {"click", {{300.0f, 200.0f, 0.5f}}},
        {"line", {{300.0f, 200.0f, 0.5f}, {340.0f, 205.0f, 0.5f}, {380.0f, 200.0f, 0.5f}}},
    };
    for (const Shape& shape : shapes) {
        ResetAppForTest();
        app.currentTool = Highlighter;
        app.colourIndex = 4;  // blue
        BeginStroke(shape.samples[0].x, shape.samples[0].y, 0.5f);
        for (size_t i = 1; i < shape.samples.size(); ++i) {
            ExtendStroke(shape.samples[i].x, shape.samples[i].y, 0.5f);
        }
        EXPECT_TRUE(Empty(InkPixels())) << shape.name << ": ink before the end";
        // Shown meanwhile by the presents, over the ink; remember what the overlay showed.
        std::vector<uint32_t> live(app.frameBits,
                                   app.frameBits + size_t(app.canvasWidth) * app.canvasHeight);
        int shown = 0;
        for (uint32_t pixel : live) shown += pixel != SEE_THROUGH;
        EXPECT_GT(shown, 0) << shape.name;

        EndStroke();
        ASSERT_EQ(app.history.size(), 1u) << shape.name;
        EXPECT_EQ(app.history[0].tool, Highlighter) << shape.name;
        EXPECT_EQ(app.history[0].points.size(), shape.samples.size()) << shape.name;
        int inked = 0;
        for (uint32_t pixel : InkPixels()) {
            if (pixel == 0) continue;
            ++inked;
            EXPECT_EQ(AlphaOf(pixel), 0x5A) << shape.name;
        }
        EXPECT_EQ(inked, shown) << shape.name;
        // Drawn a second time over the ink, the translucent stroke would come out darker.
        int differing = 0;
        for (size_t i = 0; i < live.size(); ++i) differing += app.frameBits[i] != live[i];
        EXPECT_EQ(differing, 0) << shape.name;
    }
}

TEST_F(Capture, SamplesCloserThanHalfAPixelOnBothAxesAreDropped) {
    struct Step {
        float x, y;
        bool stored;
    };
    // Each step is compared with the last stored sample, not the last offered one.
    const Step steps[] = {
        {100.4f, 100.4f, false}, {100.5f, 100.4f, true}, {100.9f, 100.8f, false},
        {101.0f, 100.0f, true},  {101.0f, 99.5f, true},  {100.6f, 99.9f, false},
        {100.5f, 99.9f, true},
    };
    app.currentTool = Pen;
    BeginStroke(100.0f, 100.0f, 0.5f);
    size_t stored = 1;
    for (const Step& step : steps) {
        const int pushesBefore = Pushed().overlayPushes;
        const std::vector<uint32_t> inkBefore = InkPixels();
        ExtendStroke(step.x, step.y, 1.0f);
        if (step.stored) ++stored;
        ASSERT_EQ(app.currentStroke.points.size(), stored) << step.x << ", " << step.y;
        EXPECT_EQ(Pushed().overlayPushes, pushesBefore + (step.stored ? 1 : 0)) << step.x << ", " << step.y;
        if (step.stored) {
            EXPECT_EQ(app.currentStroke.points.back().x, step.x);
            EXPECT_EQ(app.currentStroke.points.back().y, step.y);
        } else {
            EXPECT_TRUE(InkPixels() == inkBefore) << step.x << ", " << step.y << " was drawn";
        }
    }
    EndStroke();
    ASSERT_EQ(app.history.size(), 1u);
    EXPECT_EQ(app.history[0].points.size(), stored);
}

TEST_F(Capture, APenStrokeDrawnLiveMatchesItsReplayExceptTheFirstDot) {
    // Wide, with pressure swinging from 0 to 1, and long enough that the sample list is moved
    // many times while it grows.
    app.currentTool = Pen;
    app.widthIndex = 2;
    app.colourIndex = 5;
    const float startX = 60.0f, startY = 240.0f;
    BeginStroke(startX, startY, 0.5f);
    for (int i = 1; i <= 180; ++i) {
        const float x = startX + 2.9f * i;
        const float y = startY + 150.0f * std::sin(i * 0.06f);
        const float pressure = 0.5f + 0.5f * std::sin(i * 0.21f);
        ExtendStroke(x, y, pressure);
    }
    const std::vector<uint32_t> live = InkPixels();
    EndStroke();
    ASSERT_EQ(app.history.size(), 1u);
    ASSERT_EQ(app.history[0].points.size(), 181u);
    RebuildInkLayer();
    const std::vector<uint32_t> replay = InkPixels();

    const float dotRadius = (0.7f * 0.5f + 0.5f) * 12.0f * 0.5f;
    int compared = 0, inked = 0, differing = 0;
    for (int y = 0; y < app.canvasHeight; ++y) {
        for (int x = 0; x < app.canvasWidth; ++x) {
            if (std::hypot(x - startX, y - startY) <= dotRadius + 2.0f) continue;
            const size_t i = size_t(y) * app.canvasWidth + x;
            ++compared;
            inked += replay[i] != 0;
            differing += live[i] != replay[i];
        }
    }
    EXPECT_GT(inked, 3000);
    EXPECT_EQ(differing, 0) << "of " << compared << " pixels";
}

struct PresentCase {
    const char* name;
    ToolKind tool;
    int widthIndex;
};

TEST_F(Capture, EachStepPresentsTheAreaItChangedAndNothingElse) {
    const PresentCase cases[] = {
        {"pen", Pen, 1},
        {"eraser", Eraser, 1},
        {"laser", Laser, 1},
        {"highlighter", Highlighter, 1},
        {"pen, narrow", Pen, 0},
        {"laser, wide", Laser, 2},
    };
    const int strokeMargin[3] = {18, 30, 54};
    const int laserMargin[3] = {15, 24, 42};
    for (const PresentCase& c : cases) {
        ResetAppForTest();
        app.currentTool = c.tool;
        app.widthIndex = c.widthIndex;
        const int m = strokeMargin[c.widthIndex];
        const int l = laserMargin[c.widthIndex];

        FillFrame(SENTINEL);
        BeginStroke(200.0f, 200.0f, 0.5f);
        const DirtyRect first{200 - m, 200 - m, 200 + m, 200 + m};
        ExpectRect(app.strokeDirty, first, c.name);
        ExpectRect(Pushed().lastOverlayDirty, first, c.name);
        Changed changed = FramePixelsChanged(first);
        EXPECT_EQ(changed.outside, 0) << c.name;
        EXPECT_EQ(changed.inside, 4 * m * m) << c.name;

        ExtendStroke(210.7f, 204.2f, 0.5f);
        ForgetPushes();
        FillFrame(SENTINEL);
        ExtendStroke(220.0f, 190.0f, 0.5f);
        const DirtyRect segment{210 - m, 190 - m, 220 + m, 204 + m};
        const DirtyRect whole{200 - m, 190 - m, 220 + m, 204 + m};
        ExpectRect(app.strokeDirty, whole, c.name);
        // Every tool, the highlighter too, composes only the newest segment's area.
        const DirtyRect& extended = segment;
        ExpectRect(Pushed().lastOverlayDirty, extended, c.name);
        changed = FramePixelsChanged(extended);
        EXPECT_EQ(changed.outside, 0) << c.name;
        EXPECT_EQ(changed.inside, (extended.right - extended.left) * (extended.bottom - extended.top))
            << c.name;

        const int pushesBefore = Pushed().overlayPushes;
        EndStroke();
        EXPECT_EQ(Pushed().overlayPushes, pushesBefore + 1) << c.name;
        ExpectRect(Pushed().lastOverlayDirty, whole, c.name);
        ExpectRect(app.strokeDirty, whole, c.name);
        const DirtyRect laserArea =
            c.tool == Laser ? DirtyRect{200 - l, 190 - l, 220 + l, 204 + l} : DirtyRect{};
        ExpectRect(app.laserDirty, laserArea, c.name);
    }
}

TEST_F(Capture, WithoutAStrokeOrInPassThroughNothingChangesAndNothingIsPresented) {
    FillInk(GREEN);
    const std::vector<uint32_t> ink = InkPixels();
    app.history.push_back(MakeStroke(Pen, 6.0f, {{5.0f, 5.0f, 0.5f}}, Palette[0]));
    FillFrame(SENTINEL);
    struct Attempt {
        const char* name;
        bool passThrough;
        bool begin;
    };
    const Attempt attempts[] = {
        {"extend and end without a stroke", false, false},
        {"a whole stroke in pass-through", true, true},
    };
    for (const Attempt& a : attempts) {
        for (ToolKind tool : {Pen, Highlighter, Laser, Eraser}) {
            app.currentTool = tool;
            app.passThrough = a.passThrough;
            if (a.begin) BeginStroke(300.0f, 200.0f, 0.5f);
            ExtendStroke(320.0f, 210.0f, 0.5f);
            EndStroke();
            EXPECT_FALSE(app.drawing) << a.name << ", tool " << tool;
        }
        EXPECT_EQ(Pushed().overlayPushes, 0) << a.name;
        EXPECT_EQ(CountFramePixelsNot(SENTINEL), 0) << a.name;
        EXPECT_TRUE(InkPixels() == ink) << a.name;
        EXPECT_EQ(app.history.size(), 1u) << a.name;
        EXPECT_TRUE(app.laserTrails.empty()) << a.name;
        EXPECT_TRUE(app.strokeDirty.IsEmpty() && app.laserDirty.IsEmpty()) << a.name;
        EXPECT_EQ(app.laserTimer, 0u) << a.name;
    }
}

TEST_F(Capture, AStrokeBegunBeforePassThroughStillGrowsAndCommits) {
    BeginStroke(100.0f, 100.0f, 0.5f);
    app.passThrough = true;
    ExtendStroke(150.0f, 120.0f, 0.5f);
    EndStroke();
    ASSERT_EQ(app.history.size(), 1u);
    EXPECT_EQ(app.history[0].points.size(), 2u);
    EXPECT_EQ(InkPixel(130, 112), RED);
}

TEST_F(Capture, TheStrokeKeepsTheToolColourAndWidthItBeganWith) {
    app.currentTool = Pen;
    BeginStroke(100.0f, 100.0f, 0.5f);
    app.currentTool = Eraser;
    app.colourIndex = 4;
    app.widthIndex = 2;
    ExtendStroke(200.0f, 100.0f, 0.5f);
    EndStroke();
    ASSERT_EQ(app.history.size(), 1u);
    EXPECT_EQ(app.history[0].tool, Pen);
    EXPECT_EQ(app.history[0].colour, Palette[0]);
    EXPECT_EQ(app.history[0].width, 6.0f);
    EXPECT_EQ(InkPixel(150, 100), RED);
    EXPECT_EQ(InkPixel(150, 100 + 4), 0u);  // 0.85 x 6 = 5.1 px across
}

TEST_F(Capture, BeginningDuringAStrokeCommitsTheStrokeInProgressFirst) {
    app.currentTool = Pen;
    BeginStroke(100.0f, 100.0f, 0.5f);
    ExtendStroke(200.0f, 100.0f, 0.5f);
    app.currentTool = Laser;
    BeginStroke(300.0f, 300.0f, 0.5f);
    EXPECT_TRUE(app.drawing);
    ASSERT_EQ(app.currentStroke.points.size(), 1u);
    EXPECT_EQ(app.currentStroke.tool, Laser);
    ASSERT_EQ(app.history.size(), 1u) << "the interrupted pen stroke is committed, whole";
    EXPECT_EQ(app.history[0].points.size(), 2u);
    EndStroke();
    ASSERT_EQ(app.laserTrails.size(), 1u);
    EXPECT_EQ(app.laserTrails[0].points[0].x, 300.0f);
    // Its ink survives a rebuild, as every committed stroke's does.
    RebuildInkLayer();
    EXPECT_EQ(InkPixel(150, 100), RED);
}

TEST_F(Capture, CommittingPastTheLimitDropsTheOldestAndLaserStrokesNeverCount) {
    for (int i = 0; i < 4000; ++i) {
        app.history.push_back(MakeStroke(Pen, 3.0f, {{float(i % 600), 10.0f, 0.5f}}, Palette[0]));
    }
    app.currentTool = Laser;
    BeginStroke(50.0f, 50.0f, 0.5f);
    EndStroke();
    EXPECT_EQ(app.history.size(), 4000u);
    EXPECT_EQ(app.history.front().points[0].x, 0.0f);

    app.currentTool = Highlighter;
    BeginStroke(70.0f, 70.0f, 0.5f);
    EndStroke();
    ASSERT_EQ(app.history.size(), 4000u);
    EXPECT_EQ(app.history.front().points[0].x, 1.0f);
    EXPECT_EQ(app.history.back().tool, Highlighter);
    EXPECT_EQ(app.laserTrails.size(), 1u);
}

}  // namespace
