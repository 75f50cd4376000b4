#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/app_state.h"
#include "app/startup.h"
#include "ink/undo_clear.h"
#include "input/capture.h"
#include "input/laser_fade.h"
#include "support/test_app.h"

namespace {

constexpr uint32_t SENTINEL = 0x12345678;
constexpr uint32_t SEE_THROUGH = 0x01000000;
constexpr uint32_t LASER_CORE = 0xFFFF3C3C;

class LaserFade : public ::testing::Test {
protected:
    void SetUp() override {
        StartTestApp();
        ResetAppForTest();
    }
};

void LaserClick(float x, float y) {
    app.currentTool = Laser;
    BeginStroke(x, y, 0.5f);
    EndStroke();
}

void Tick() { LaserFadeTimerProc(app.overlayWindow, WM_TIMER, LASER_TIMER_ID, GetTickCount()); }

// One fading tick as if `elapsed` ms had passed since the fade began. The tick count moves in steps
// of about 16 ms: starting right after a step, the tick reads the very count the start was set from.
void TickAfter(DWORD elapsed) {
    const DWORD previous = GetTickCount();
    DWORD now;
    while ((now = GetTickCount()) == previous) {
    }
    app.laserFadeStart = now - elapsed;
    Tick();
}

// True while a laser timer exists on the overlay (killing it is then the only side effect).
bool LaserTimerExists() { return KillTimer(app.overlayWindow, LASER_TIMER_ID) != 0; }

bool Inside(const DirtyRect& rect, int x, int y) {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

// The rectangle was presented: every pixel in it composed again, or with `onlyTrails` just those that
// hold a trail (the others already show what they must), and nothing outside it.
void ExpectPresented(const DirtyRect& rect, const char* what, bool onlyTrails = false) {
    EXPECT_EQ(Pushed().lastOverlayDirty.left, rect.left) << what;
    EXPECT_EQ(Pushed().lastOverlayDirty.top, rect.top) << what;
    EXPECT_EQ(Pushed().lastOverlayDirty.right, rect.right) << what;
    EXPECT_EQ(Pushed().lastOverlayDirty.bottom, rect.bottom) << what;
    int outside = 0, untouchedInside = 0;
    for (int y = 0; y < app.canvasHeight; ++y) {
        for (int x = 0; x < app.canvasWidth; ++x) {
            const bool changed = FramePixel(x, y) != SENTINEL;
            if (Inside(rect, x, y)) {
                const bool trail = onlyTrails && *PixelAt(app.trailPixels, x, y) != 0;
                untouchedInside += onlyTrails && !trail ? changed : !changed;
            } else {
                outside += changed;
            }
        }
    }
    EXPECT_EQ(outside, 0) << what;
    EXPECT_EQ(untouchedInside, 0) << what;
}

void ExpectIdle(const char* what) {
    EXPECT_TRUE(app.laserTrails.empty()) << what;
    EXPECT_EQ(app.laserPhase, 0) << what;
    EXPECT_EQ(app.laserTimer, 0u) << what;
    EXPECT_FALSE(LaserTimerExists()) << what;
    EXPECT_EQ(app.laserFade, 1.0f) << what;
}

TEST_F(LaserFade, ATickOutsideHoldAndFadeChangesNothing) {
    for (int32_t phase : {0, 3, -1}) {
        ResetAppForTest();
        LaserClick(200.0f, 200.0f);
        KillTimer(app.overlayWindow, app.laserTimer);
        app.laserTimer = 0;
        app.laserPhase = phase;
        const DirtyRect dirty = app.laserDirty;
        ForgetPushes();
        FillFrame(SENTINEL);
        Tick();
        EXPECT_EQ(app.laserPhase, phase);
        EXPECT_EQ(app.laserFade, 1.0f);
        EXPECT_EQ(app.laserTrails.size(), 1u);
        EXPECT_EQ(app.laserDirty.right, dirty.right);
        EXPECT_EQ(app.laserTimer, 0u);
        EXPECT_EQ(Pushed().overlayPushes, 0);
        EXPECT_EQ(CountFramePixelsNot(SENTINEL), 0);
    }
}

TEST_F(LaserFade, TheEndOfTheHoldStartsTheFadeWithoutPresenting) {
    LaserClick(200.0f, 200.0f);
    ASSERT_EQ(app.laserPhase, 1);
    ASSERT_NE(app.laserTimer, 0u);
    ForgetPushes();
    FillFrame(SENTINEL);
    const DWORD before = GetTickCount();
    Tick();
    const DWORD after = GetTickCount();
    EXPECT_EQ(app.laserPhase, 2);
    EXPECT_LE(app.laserFadeStart - before, after - before);
    EXPECT_NE(app.laserTimer, 0u);
    EXPECT_EQ(app.laserFade, 1.0f);
    EXPECT_EQ(app.laserTrails.size(), 1u);
    EXPECT_EQ(Pushed().overlayPushes, 0);
    EXPECT_EQ(CountFramePixelsNot(SENTINEL), 0);
}

struct FadeCase {
    const char* name;
    DWORD elapsed;
    bool over;
    uint8_t minCoreAlpha, maxCoreAlpha;  // the overlay at the first trail's centre, while fading
};

TEST_F(LaserFade, EachFadingTickFollowsTheTimeElapsedAndTheFirstTickPast900msRemovesTheTrails) {
    const FadeCase cases[] = {
        {"just begun", 0, false, 255, 255},
        {"half way", 450, false, 126, 131},
        {"a moment before the end", 899, false, 1, 20},
        {"at 900 ms", 900, true, 0, 0},
        {"a late tick", 5000, true, 0, 0},
    };
    for (const FadeCase& c : cases) {
        ResetAppForTest();
        LaserClick(200.0f, 200.0f);
        LaserClick(420.0f, 330.0f);
        Tick();  // end of the hold
        const DirtyRect dirty = app.laserDirty;
        ASSERT_EQ(dirty.left, 200 - 24) << c.name;
        ASSERT_EQ(dirty.bottom, 330 + 24) << c.name;
        ForgetPushes();
        FillFrame(SENTINEL);
        TickAfter(c.elapsed);

        ExpectPresented(dirty, c.name, !c.over);
        if (c.over) {
            ExpectIdle(c.name);
            EXPECT_TRUE(app.laserDirty.IsEmpty() && app.laserDirty.left == 0 &&
                        app.laserDirty.top == 0 && app.laserDirty.bottom == 0)
                << c.name;
            EXPECT_EQ(FramePixel(200, 200), SEE_THROUGH) << c.name;
            EXPECT_EQ(FramePixel(420, 330), SEE_THROUGH) << c.name;
            continue;
        }
        EXPECT_EQ(app.laserPhase, 2) << c.name;
        EXPECT_EQ(app.laserTrails.size(), 2u) << c.name;
        EXPECT_TRUE(LaserTimerExists()) << c.name;
        EXPECT_EQ(app.laserFade, 1.0f - c.elapsed / 900.0f) << c.name;
        EXPECT_GE(AlphaOf(FramePixel(200, 200)), c.minCoreAlpha) << c.name;
        EXPECT_LE(AlphaOf(FramePixel(200, 200)), c.maxCoreAlpha) << c.name;
    }
}

TEST_F(LaserFade, TheFadeLevelCountsAcrossTheWrapOfTheTickCounter) {
    struct Level {
        DWORD start, now;
        float expected;
    };
    const Level levels[] = {
        {0xFFFFFE00u, 0xFFFFFE00u + 450u, 0.5f},  // no wrap
        {0xFFFFFF00u, 0x000000C2u, 0.5f},         // 256 ms before the wrap, 194 after
        {0xFFFFFFFFu, 0x00000382u, 1.0f - 899.0f / 900.0f},
        {0xFFFFFF00u, 0x00000284u, 0.0f},  // 900 ms
    };
    for (const Level& l : levels) {
        EXPECT_EQ(LaserFadeLevel(l.now, l.start), l.expected) << std::hex << l.start << " " << l.now;
    }
}

struct InterruptCase {
    const char* name;
    bool fading;
    ToolKind tool;
    bool cancels;
};

TEST_F(LaserFade, OnlyALaserStrokeEndsTheHoldOrFadeAndDoesSoBeforeItsFirstSampleIsShown) {
    const InterruptCase cases[] = {
        {"laser during the hold", false, Laser, true},
        {"laser during the fade", true, Laser, true},
        {"pen during the hold", false, Pen, false},
        {"pen during the fade", true, Pen, false},
        {"highlighter during the fade", true, Highlighter, false},
    };
    for (const InterruptCase& c : cases) {
        ResetAppForTest();
        LaserClick(200.0f, 200.0f);
        if (c.fading) {
            Tick();
            TickAfter(630);  // trails at 0.3
            ASSERT_EQ(app.laserPhase, 2) << c.name;
        }
        const int32_t phase = app.laserPhase;
        const float fade = app.laserFade;
        const UINT_PTR timer = app.laserTimer;

        // 15 px from the trail: the first sample's area covers the trail, its own mark does not.
        app.currentTool = c.tool;
        BeginStroke(215.0f, 200.0f, 0.5f);
        if (c.cancels) {
            EXPECT_EQ(app.laserPhase, 0) << c.name;
            EXPECT_EQ(app.laserTimer, 0u) << c.name;
            EXPECT_FALSE(LaserTimerExists()) << c.name;
            EXPECT_EQ(app.laserFade, 1.0f) << c.name;
            EXPECT_EQ(FramePixel(200, 200), LASER_CORE) << c.name;
        } else {
            EXPECT_EQ(app.laserPhase, phase) << c.name;
            EXPECT_EQ(app.laserTimer, timer) << c.name;
            EXPECT_EQ(app.laserFade, fade) << c.name;
            if (c.fading) {
                EXPECT_LT(AlphaOf(FramePixel(200, 200)), 128) << c.name;
            } else {
                EXPECT_EQ(FramePixel(200, 200), LASER_CORE) << c.name;
            }
        }
        EXPECT_EQ(app.laserTrails.size(), 1u) << c.name;
        EXPECT_EQ(app.laserDirty.left, 200 - 24) << c.name;
        EndStroke();
        EXPECT_EQ(app.laserPhase, c.cancels ? 1 : phase) << c.name;
        EXPECT_EQ(app.laserTrails.size(), c.cancels ? 2u : 1u) << c.name;
        EXPECT_TRUE(LaserTimerExists()) << c.name;
    }
}

TEST_F(LaserFade, ClearingDuringTheHoldOrTheFadeLeavesNoTrailAndNoTimer) {
    for (bool fading : {false, true}) {
        ResetAppForTest();
        LaserClick(200.0f, 200.0f);
        if (fading) {
            Tick();
            TickAfter(300);
        }
        ClearAll();
        ExpectIdle(fading ? "fading" : "holding");
        EXPECT_EQ(FramePixel(200, 200), SEE_THROUGH);
    }
}

bool HasTrailLayerOfTheInkLayersSize() {
    return app.trailPixels.bits && app.trailLayer && app.trailPixels.width == app.inkPixels.width &&
           app.trailPixels.height == app.inkPixels.height;
}

bool TrailLayerHasNoMemory() { return !app.trailPixels.bits && !app.trailLayer; }

TEST_F(LaserFade, TheTrailLayerHasMemoryFromTheFirstTrailUntilTheLastIsGone) {
    struct GoneCase {
        const char* name;
        void (*before)();  // before the first trail, if anything
        void (*gone)();
        bool strokeBetween;  // a highlighter stroke between the trails (it would leave nothing to redo)
    };
    const GoneCase cases[] = {
        {"the fade ends", nullptr, [] {
             Tick();
             TickAfter(900);
         }, true},
        {"a clear during the hold", nullptr, [] { ClearAll(); }, true},
        {"a clear during the fade", nullptr, [] {
             Tick();
             TickAfter(300);
             ClearAll();
         }, true},
        {"the redo of an undone clear", [] {
             app.currentTool = Pen;
             BeginStroke(300.0f, 100.0f, 0.5f);
             ExtendStroke(400.0f, 120.0f, 0.5f);
             EndStroke();
             ClearAll();
             UndoLastStroke();
         }, [] { RedoLastUndo(); }, false},
    };
    for (const GoneCase& c : cases) {
        ResetAppForTest();
        if (c.before) c.before();
        EXPECT_TRUE(TrailLayerHasNoMemory()) << c.name << ": before the first trail";
        LaserClick(200.0f, 200.0f);
        EXPECT_TRUE(HasTrailLayerOfTheInkLayersSize()) << c.name << ": with the first trail";
        if (c.strokeBetween) {
            // Strokes of other tools leave the trails and their layer alone.
            app.currentTool = Highlighter;
            BeginStroke(100.0f, 300.0f, 0.5f);
            ExtendStroke(300.0f, 300.0f, 0.5f);
            EndStroke();
            EXPECT_TRUE(HasTrailLayerOfTheInkLayersSize()) << c.name << ": after a highlighter stroke";
        }
        LaserClick(420.0f, 330.0f);
        ASSERT_EQ(app.laserTrails.size(), 2u) << c.name;
        EXPECT_TRUE(HasTrailLayerOfTheInkLayersSize()) << c.name << ": with two trails";
        EXPECT_EQ(FramePixel(420, 330), LASER_CORE) << c.name;

        c.gone();
        ExpectIdle(c.name);
        EXPECT_TRUE(TrailLayerHasNoMemory()) << c.name << ": after the trails are gone";
        EXPECT_EQ(FramePixel(200, 200), SEE_THROUGH) << c.name;
        EXPECT_EQ(FramePixel(420, 330), SEE_THROUGH) << c.name;
        // The next trail starts from a transparent layer.
        LaserClick(100.0f, 100.0f);
        EXPECT_TRUE(HasTrailLayerOfTheInkLayersSize()) << c.name;
        EXPECT_EQ(*PixelAt(app.trailPixels, 200, 200), 0u) << c.name;
        EXPECT_EQ(*PixelAt(app.trailPixels, 420, 330), 0u) << c.name;
    }
}

// A display change while trails hold or fade keeps them as shown, at the strength of the moment; the
// trail layer is made anew at the new size only while trails wait.
TEST_F(LaserFade, ADisplayChangeWhileTrailsWaitKeepsWhatIsShown) {
    struct Case {
        const char* name;
        int width, height;
        int trails;
        bool fading;
    };
    const Case cases[] = {
        {"larger, holding", 800, 600, 2, false},
        {"larger, half faded", 800, 600, 2, true},
        {"smaller, half faded", 400, 300, 2, true},
        {"larger, no trail", 800, 600, 0, false},
    };
    for (const Case& c : cases) {
        TestCanvasRestorer restorer;
        if (c.trails > 0) LaserClick(200.0f, 200.0f);
        if (c.trails > 1) LaserClick(420.0f, 330.0f);
        if (c.fading) {
            Tick();
            TickAfter(450);
        }
        const int oldWidth = app.canvasWidth;
        const int oldHeight = app.canvasHeight;
        const std::vector<uint32_t> before(app.frameBits,
                                           app.frameBits + size_t(app.canvasWidth) * app.canvasHeight);

        app.canvasWidth = c.width;
        app.canvasHeight = c.height;
        ApplyCanvasGeometry();
        int differing = 0;
        for (int y = 0; y < std::min(oldHeight, c.height); ++y) {
            for (int x = 0; x < std::min(oldWidth, c.width); ++x) {
                differing += FramePixel(x, y) != before[size_t(y) * oldWidth + x];
            }
        }
        EXPECT_EQ(differing, 0) << c.name;
        if (c.trails == 0) {
            EXPECT_TRUE(TrailLayerHasNoMemory()) << c.name;
            continue;
        }
        EXPECT_TRUE(HasTrailLayerOfTheInkLayersSize()) << c.name;
        if (!c.fading) Tick();  // the end of the hold
        TickAfter(900);
        ExpectIdle(c.name);
        EXPECT_TRUE(TrailLayerHasNoMemory()) << c.name;
        EXPECT_EQ(FramePixel(200, 200), SEE_THROUGH) << c.name;
    }
}

// The real timer, once: two laser strokes 600 ms apart hold together for 2000 ms after the second
// ends, then fade out within 900 ms. Bounds are generous; only the order of events is strict.
TEST_F(LaserFade, TheTimerHoldsThenFadesBothTrailsTogether) {
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    auto msSince = [&](const LARGE_INTEGER& from) {
        QueryPerformanceCounter(&now);
        return 1000.0 * double(now.QuadPart - from.QuadPart) / double(frequency.QuadPart);
    };
    auto pumpFor = [&](double ms) {
        LARGE_INTEGER from;
        QueryPerformanceCounter(&from);
        while (msSince(from) < ms) {
            PumpMessages();
            Sleep(1);
        }
    };

    LaserClick(200.0f, 200.0f);
    pumpFor(600.0);
    ASSERT_EQ(app.laserPhase, 1);
    LaserClick(420.0f, 330.0f);
    QueryPerformanceCounter(&start);

    double fadeBegan = -1.0, trailsGone = -1.0;
    float lowestShown = 1.0f;
    int fadePushes = 0;
    while (trailsGone < 0.0 && msSince(start) < 8000.0) {
        // One message at a time: each fading tick presents for longer than the 16 ms period, so
        // the next tick is always due and a pump that empties the queue would run the whole fade.
        const int pushesBefore = Pushed().overlayPushes;
        MSG message;
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchLoopMessage(message);
        if (app.laserPhase == 2 && fadeBegan < 0.0) fadeBegan = msSince(start);
        if (app.laserPhase == 2) {
            ASSERT_EQ(app.laserTrails.size(), 2u);
            lowestShown = std::min(lowestShown, app.laserFade);
            fadePushes += Pushed().overlayPushes - pushesBefore;
        }
        if (app.laserTrails.empty()) trailsGone = msSince(start);
        Sleep(1);
    }
    ASSERT_GT(fadeBegan, 0.0) << "the hold never ended";
    ASSERT_GT(trailsGone, 0.0) << "the fade never ended";
    EXPECT_GT(fadeBegan, 1800.0);
    EXPECT_LT(fadeBegan, 4000.0);
    EXPECT_GT(trailsGone - fadeBegan, 800.0);
    EXPECT_LT(trailsGone - fadeBegan, 2500.0);
    EXPECT_LT(lowestShown, 0.9f);
    EXPECT_GT(fadePushes, 5);
    ExpectIdle("after the real fade");
}

}  // namespace
