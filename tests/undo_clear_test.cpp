#include <gtest/gtest.h>

#include <vector>

#include "app/app_state.h"
#include "ink/renderer.h"
#include "ink/surfaces.h"
#include "ink/undo_clear.h"
#include "input/capture.h"
#include "input/laser_fade.h"
#include "support/pixels.h"
#include "support/test_app.h"

// The history limit, undo and clear, on the test program's real windows (canvas 640 x 480).
namespace {

constexpr uint32_t GROUND = 0x01000000;
constexpr uint32_t SENTINEL = 0xDEADBEEF;
const uint32_t BLUE = ColourToArgb(Palette[4], 255);

Stroke Line(float y, COLORREF colour = Palette[4]) {
    return MakeStroke(Pen, 12.0f, {{50, y, 1.0f}, {300, y, 1.0f}}, colour);
}

Stroke Dot(float x, float y) { return MakeStroke(Pen, 3.0f, {{x, y, 1.0f}}, Palette[6]); }

// Commits a stroke the way capture does: into history and drawn onto the ink layer as it stands.
void CommitLive(const Stroke& stroke) {
    AppendToHistory(stroke);
    Gdiplus::Graphics graphics(app.inkLayer);
    DrawStroke(graphics, stroke, 1.0f);
}

bool InkIsEmpty() {
    for (uint32_t pixel : InkPixels()) {
        if (pixel != 0) return false;
    }
    return true;
}

bool PushedWholeCanvas() {
    const RECT& dirty = Pushed().lastOverlayDirty;
    return Pushed().overlayPushes == 1 && dirty.left == 0 && dirty.top == 0 && dirty.right == app.canvasWidth &&
           dirty.bottom == app.canvasHeight;
}

class UndoClear : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartTestApp(); }
    void SetUp() override { ResetAppForTest(); }
    void WatchFrame() {
        FillFrame(SENTINEL);
        ForgetPushes();
    }
};

TEST_F(UndoClear, TheOldestStrokeGoesPastTheLimitButItsInkStays) {
    CommitLive(Dot(20, 20));
    CommitLive(Dot(301, 300));
    while (app.history.size() < MAX_HISTORY_STROKES) AppendToHistory(Dot(300, 300));
    ASSERT_EQ(app.history.size(), 4000u) << "4000 strokes drop none";
    EXPECT_EQ(app.history.front().points[0].x, 20.0f);

    CommitLive(Dot(400, 300));
    ASSERT_EQ(app.history.size(), 4000u);
    EXPECT_EQ(app.history.front().points[0].x, 301.0f) << "the former second is first";
    EXPECT_EQ(app.history.back().points[0].x, 400.0f);
    EXPECT_NE(InkPixel(20, 20), 0u) << "the dropped stroke's pixels stay";

    // Undo takes back only the newest stroke; the dropped one stays, also through a full rebuild.
    UndoLastStroke();
    EXPECT_EQ(app.history.size(), 3999u);
    EXPECT_NE(InkPixel(20, 20), 0u);
    EXPECT_EQ(InkPixel(400, 300), 0u);
    EXPECT_NE(InkPixel(301, 300), 0u);
    RebuildInkLayer();
    EXPECT_NE(InkPixel(20, 20), 0u);
    EXPECT_NE(InkPixel(301, 300), 0u);

    // A clear takes all ink, the dropped strokes' too.
    ClearAll();
    RebuildInkLayer();
    EXPECT_TRUE(InkIsEmpty());
}

TEST_F(UndoClear, UndoTakesBackTheNewestStrokeAndPresentsItsArea) {
    AppendToHistory(Line(100));
    AppendToHistory(Line(200, Palette[0]));
    RebuildInkLayer();
    app.laserTrails.push_back(MakeStroke(Laser, 12.0f, {{50, 300, 0.5f}, {300, 300, 0.5f}}, Palette[4]));
    WatchFrame();

    UndoLastStroke();

    ASSERT_EQ(app.history.size(), 1u);
    EXPECT_EQ(app.history[0].colour, Palette[4]);
    EXPECT_EQ(app.laserTrails.size(), 1u) << "laser trails are never undone";
    EXPECT_EQ(InkPixel(150, 200), 0u);
    EXPECT_EQ(InkPixel(150, 100), BLUE);
    EXPECT_EQ(FramePixel(150, 200), GROUND);
    // Only the undone stroke's area is composed again: its samples with radius 4 x 12 plus 6.
    const RECT area = {0, 200 - 54, 300 + 54, 200 + 54};
    EXPECT_EQ(CountFramePixelsNot(SENTINEL), (area.right - area.left) * (area.bottom - area.top));
    EXPECT_EQ(FramePixel(150, 100), SENTINEL);
    EXPECT_EQ(Pushed().overlayPushes, 1);
    const RECT& dirty = Pushed().lastOverlayDirty;
    EXPECT_TRUE(dirty.left == area.left && dirty.top == area.top && dirty.right == area.right &&
                dirty.bottom == area.bottom);
}

TEST_F(UndoClear, UndoingAnEraserBringsBackWhatItErased) {
    AppendToHistory(Line(100));
    AppendToHistory(MakeStroke(Eraser, 12.0f, {{150, 50, 0.5f}, {150, 150, 0.5f}}, Palette[4]));
    RebuildInkLayer();
    ASSERT_EQ(InkPixel(150, 100), 0u);

    UndoLastStroke();
    EXPECT_EQ(InkPixel(150, 100), BLUE);
    EXPECT_EQ(FramePixel(150, 100), BLUE);
}

TEST_F(UndoClear, UndoIsIgnoredWhileDrawingAndOnAnEmptyHistory) {
    struct Case {
        const char* name;
        bool drawing;
        int strokes;
    };
    const Case cases[] = {{"while drawing", true, 2}, {"empty history", false, 0}, {"both", true, 0}};
    for (const Case& c : cases) {
        ResetAppForTest();
        for (int i = 0; i < c.strokes; ++i) AppendToHistory(Line(100.0f + 50 * i));
        RebuildInkLayer();
        app.drawing = c.drawing;
        const std::vector<uint32_t> ink = InkPixels();
        WatchFrame();

        UndoLastStroke();

        EXPECT_EQ(app.history.size(), size_t(c.strokes)) << c.name;
        EXPECT_TRUE(InkPixels() == ink) << c.name;
        EXPECT_EQ(Pushed().overlayPushes, 0) << c.name;
        EXPECT_EQ(CountFramePixelsNot(SENTINEL), 0) << c.name;
    }
}

TEST_F(UndoClear, ClearEmptiesBothListsStopsTheLaserAndPresentsTheEmptyCanvas) {
    struct Case {
        const char* name;
        void (*arrange)();
    };
    const Case cases[] = {
        {"nothing to clear", [] {}},
        {"ink and trails in the hold",
         [] {
             AppendToHistory(Line(100));
             RebuildInkLayer();
             app.laserTrails.push_back(MakeStroke(Laser, 12.0f, {{50, 300, 0.5f}, {300, 300, 0.5f}}, Palette[4]));
             StartLaserHold();
         }},
        {"trails fading",
         [] {
             app.laserTrails.push_back(MakeStroke(Laser, 12.0f, {{50, 300, 0.5f}, {300, 300, 0.5f}}, Palette[4]));
             app.laserPhase = 2;
             app.laserFade = 0.4f;
             app.laserFadeStart = GetTickCount();
             app.laserTimer = SetTimer(app.overlayWindow, LASER_TIMER_ID, LASER_TICK_MS, LaserFadeTimerProc);
         }},
    };
    for (const Case& c : cases) {
        ResetAppForTest();
        c.arrange();
        {
            // Ink that history does not hold, as a stroke in progress leaves it.
            Gdiplus::Graphics graphics(app.inkLayer);
            DrawStroke(graphics, Line(400, Palette[0]), 1.0f);
        }
        app.laserDirty = {5, 6, 7, 8};
        WatchFrame();

        ClearAll();

        EXPECT_TRUE(app.history.empty()) << c.name;
        EXPECT_TRUE(app.laserTrails.empty()) << c.name;
        EXPECT_EQ(app.laserTimer, 0u) << c.name;
        EXPECT_FALSE(KillTimer(app.overlayWindow, LASER_TIMER_ID)) << c.name << ": a timer still runs";
        EXPECT_EQ(app.laserPhase, 0) << c.name;
        EXPECT_EQ(app.laserFade, 1.0f) << c.name;
        EXPECT_EQ(app.laserDirty.right, 7) << c.name << ": the laser area is left alone";
        EXPECT_TRUE(InkIsEmpty()) << c.name;
        EXPECT_EQ(CountFramePixelsNot(GROUND), 0) << c.name;
        EXPECT_TRUE(PushedWholeCanvas()) << c.name;
    }
}

TEST_F(UndoClear, ClearDuringCaptureKeepsOnlyTheNewestSampleOfTheStrokeInProgress) {
    // What a stroke drew before a clear must not come back when it is committed or replayed.
    for (ToolKind tool : {Pen, Highlighter, Laser, Eraser}) {
        ResetAppForTest();
        app.currentTool = tool;
        BeginStroke(50.0f, 100.0f, 0.5f);
        ExtendStroke(150.0f, 100.0f, 0.5f);
        ExtendStroke(300.0f, 100.0f, 0.5f);
        AppendToHistory(Line(200));

        ClearAll();
        EXPECT_TRUE(app.drawing) << tool;
        ASSERT_EQ(app.currentStroke.points.size(), 1u) << tool;
        EXPECT_EQ(app.currentStroke.points[0].x, 300.0f) << tool;
        EXPECT_EQ(FramePixel(150, 100), GROUND) << tool;

        ExtendStroke(320.0f, 100.0f, 0.5f);
        EndStroke();
        const std::vector<Stroke>& list = tool == Laser ? app.laserTrails : app.history;
        ASSERT_EQ(list.size(), 1u) << tool;
        ASSERT_EQ(list[0].points.size(), 2u) << tool;
        EXPECT_EQ(list[0].points[0].x, 300.0f) << tool;
        EXPECT_EQ(InkPixel(150, 100), 0u) << tool;
        EXPECT_EQ(FramePixel(150, 100), GROUND) << tool;
        EXPECT_EQ(FramePixel(150, 200), GROUND) << tool << ": the cleared history stays cleared";

        const std::vector<uint32_t> ink = InkPixels();
        RebuildInkLayer();
        EXPECT_TRUE(InkPixels() == ink) << tool << ": the ink layer is what a replay gives";
    }
}

}  // namespace
