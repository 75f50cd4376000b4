#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/frame_clock.h"
#include "app/frame_step.h"
#include "app/startup.h"
#include "ink/surfaces.h"
#include "input/capture.h"
#include "input/laser_fade.h"
#include "support/test_app.h"

// Presents compose at once; the message loop pushes once a frame, and steps the laser fade even
// while input keeps the queue full.
namespace {

constexpr uint32_t SENTINEL = 0xDEADBEEF;

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Dispatches what is queued the way the loop does, without its last frame step.
void DispatchQueued() {
    MSG message;
    DispatchQueuedMessages(message);
}

class FrameStep : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartTestApp(); }
    void SetUp() override {
        ResetAppForTest();
        PumpMessages();
        ForgetPushes();
    }
};

TEST_F(FrameStep, PresentsComposeAtOnceAndOnePushShowsThemAll) {
    FillFrame(SENTINEL);
    PresentRegion({10, 10, 20, 20});
    PresentRegion({100, 50, 120, 60});
    EXPECT_NE(FramePixel(15, 15), SENTINEL) << "composed at once";
    EXPECT_NE(FramePixel(110, 55), SENTINEL) << "composed at once";
    EXPECT_EQ(pushes.overlayPushes, 0) << "nothing pushed yet";

    RunFrameStep();
    EXPECT_EQ(pushes.overlayPushes, 1);
    EXPECT_TRUE(SameRect(pushes.lastOverlayDirty, RECT{10, 10, 120, 60}));
    RunFrameStep();
    EXPECT_EQ(pushes.overlayPushes, 1) << "nothing left to push";
}

TEST_F(FrameStep, APushIsDueOneFrameAfterTheFirstPendingChange) {
    EXPECT_FALSE(FrameStepDue()) << "nothing pending";
    PresentRegion({10, 10, 20, 20});
    EXPECT_FALSE(FrameStepDue()) << "just composed";
    app.pendingSinceMs = FrameClockMs() - FRAME_MS;
    PresentRegion({30, 30, 40, 40});
    EXPECT_TRUE(FrameStepDue()) << "a later change does not postpone the push";
}

TEST_F(FrameStep, WithinAFloodOfMessagesTheLoopPushesOnceTheFrameIsDue) {
    PresentRegion({10, 10, 20, 20});
    app.pendingSinceMs = FrameClockMs() - FRAME_MS;
    for (int i = 0; i < 3; ++i) PostMessageW(app.overlayWindow, WM_NULL, 0, 0);
    DispatchQueued();
    EXPECT_EQ(pushes.overlayPushes, 1) << "pushed between the messages, not only once the queue is empty";
}

TEST_F(FrameStep, TheLaserHoldAndFadeStepWhileInputKeepsTheQueueFull) {
    app.currentTool = Laser;
    BeginStroke(100.0f, 100.0f, 0.5f);
    ExtendStroke(200.0f, 120.0f, 0.5f);
    EndStroke();
    ASSERT_EQ(app.laserPhase, 1);

    // The hold is over: the next message dispatched is followed by the step, no timer message needed.
    app.laserStepDue = GetTickCount() - 1;
    PostMessageW(app.overlayWindow, WM_NULL, 0, 0);
    DispatchQueued();
    EXPECT_EQ(app.laserPhase, 2);

    // Past the end of the fade.
    app.laserFadeStart = GetTickCount() - 1000;
    app.laserStepDue = GetTickCount() - 1;
    PostMessageW(app.overlayWindow, WM_NULL, 0, 0);
    DispatchQueued();
    EXPECT_EQ(app.laserPhase, 0);
    EXPECT_TRUE(app.laserTrails.empty());
    EXPECT_EQ(app.laserTimer, 0u);
}

TEST_F(FrameStep, TheLoopPushesWhatIsPendingBeforeItEnds) {
    PresentRegion({10, 10, 20, 20});
    PostQuitMessage(7);
    EXPECT_EQ(RunMessageLoop(), 7);
    EXPECT_EQ(pushes.overlayPushes, 1);
    EXPECT_TRUE(SameRect(pushes.lastOverlayDirty, RECT{10, 10, 20, 20}));
}

}  // namespace
