#include <gtest/gtest.h>

#include <vector>

#include "app/app_state.h"
#include "app/frame_clock.h"
#include "app/frame_rate.h"
#include "app/frame_step.h"
#include "app/startup.h"
#include "ink/surfaces.h"
#include "input/capture.h"
#include "input/laser_fade.h"
#include "support/test_app.h"

// Presents compose at once; the message loop pushes at most once a display frame, at once after a
// quiet spell, and steps the laser fade even while input keeps the queue full.
namespace {

constexpr uint32_t SENTINEL = 0xDEADBEEF;
constexpr int64_t FRAME_60HZ_US = 16667;
constexpr int64_t FRAME_144HZ_US = 6944;

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Dispatches what is queued the way the loop does, without its last frame step.
void DispatchQueued() {
    MSG message;
    DispatchQueuedMessages(message);
}

// A clock that moves only when the test says, and a push that notes when it came and may take time.
int64_t fakeNowUs = 0;
int64_t pushTakesUs = 0;
std::vector<int64_t> pushStartsUs;

int64_t CounterFrequency() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return int64_t(frequency.QuadPart);
}

BOOL WINAPI FakeCounter(LARGE_INTEGER* counter) {
    const int64_t frequency = CounterFrequency();
    counter->QuadPart = fakeNowUs / 1000000 * frequency + (fakeNowUs % 1000000) * frequency / 1000000;
    return TRUE;
}

BOOL WINAPI FakePush(HWND, const UPDATELAYEREDWINDOWINFO*) {
    pushStartsUs.push_back(fakeNowUs);
    fakeNowUs += pushTakesUs;
    return TRUE;
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

// The frame pacing on a clock of the test's own: time passes only between the changes.
class FramePacing : public FrameStep {
protected:
    void SetUp() override {
        FrameStep::SetUp();
        savedCounter = app.pQueryPerformanceCounter;
        savedPush = app.pUpdateLayeredWindowIndirect;
        savedPeriod = app.framePeriodUs;
        fakeNowUs = int64_t(1000) * 1000000;
        pushTakesUs = 0;
        pushStartsUs.clear();
        app.pQueryPerformanceCounter = FakeCounter;
        app.pUpdateLayeredWindowIndirect = FakePush;
        app.lastPushStartUs = fakeNowUs - 10 * FRAME_60HZ_US;  // a quiet spell
    }
    void TearDown() override {
        app.pQueryPerformanceCounter = savedCounter;
        app.pUpdateLayeredWindowIndirect = savedPush;
        app.framePeriodUs = savedPeriod;
    }

    // One input message that changes a little of the canvas, handled the way the loop handles it.
    void ChangeByInput(int step) {
        PresentRegion({step % 600, 10, step % 600 + 4, 14});
        PostMessageW(app.overlayWindow, WM_NULL, 0, 0);
        DispatchQueued();
    }

    QueryPerformanceCounterFn savedCounter = nullptr;
    UpdateLayeredWindowIndirectFn savedPush = nullptr;
    int64_t savedPeriod = 0;
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

TEST_F(FramePacing, ALoneChangeAfterAQuietSpellIsPushedAtOnce) {
    EXPECT_FALSE(FrameStepDue()) << "nothing pending";
    EXPECT_EQ(TimeUntilFrameStepUs(), -1) << "nothing to wait for";
    ChangeByInput(0);
    ASSERT_EQ(pushStartsUs.size(), 1u) << "pushed right after the message that made the change";
    EXPECT_EQ(pushStartsUs[0], fakeNowUs);
}

TEST_F(FramePacing, AChangeSoonAfterAPushWaitsForTheRestOfTheFrame) {
    ChangeByInput(0);
    fakeNowUs += 5000;
    PresentRegion({30, 30, 40, 40});
    EXPECT_FALSE(FrameStepDue());
    EXPECT_EQ(TimeUntilFrameStepUs(), FRAME_60HZ_US - 5000) << "the loop waits exactly that long";
    fakeNowUs += FRAME_60HZ_US - 5000;
    EXPECT_TRUE(FrameStepDue());
    EXPECT_EQ(TimeUntilFrameStepUs(), 0);
}

struct StreamCase {
    const char* display;
    int64_t periodUs;
};

class FramePacingStream : public FramePacing, public ::testing::WithParamInterface<StreamCase> {};

// A change every millisecond, as a 1000 Hz mouse makes them: one push a frame, never two within one,
// and no change waits longer than a frame.
TEST_P(FramePacingStream, AStreamOfChangesIsPushedOnceAFrame) {
    const int64_t period = GetParam().periodUs;
    app.framePeriodUs = period;
    const int changes = 200;
    for (int i = 0; i < changes; ++i) {
        ChangeByInput(i);
        fakeNowUs += 1000;
    }
    const int64_t lastChangeUs = fakeNowUs - 1000;
    while (!FrameStepDue()) fakeNowUs += 100;  // the queue is empty: the loop waits for the frame
    RunFrameStep();
    EXPECT_LE(fakeNowUs - lastChangeUs, period) << "the last change waited no longer than a frame";

    ASSERT_GE(pushStartsUs.size(), 2u);
    for (size_t i = 1; i < pushStartsUs.size(); ++i) {
        const int64_t gap = pushStartsUs[i] - pushStartsUs[i - 1];
        EXPECT_GE(gap, period) << "push " << i << " came within a frame of the one before";
        EXPECT_LE(gap, period + 1000) << "push " << i << " waited past its frame";
    }
    const double expected = double(changes) * 1000.0 / double(period);
    EXPECT_NEAR(double(pushStartsUs.size()), expected, 2.0);
}

INSTANTIATE_TEST_SUITE_P(Displays, FramePacingStream,
                         ::testing::Values(StreamCase{"60Hz", FRAME_60HZ_US}, StreamCase{"144Hz", FRAME_144HZ_US}),
                         [](const auto& info) { return std::string(info.param.display); });

TEST_F(FramePacing, APushLongerThanAFrameIsFollowedByTheNextAsSoonAsItEnds) {
    pushTakesUs = 3 * FRAME_60HZ_US;  // a whole-window copy at 4K under Wine
    ChangeByInput(0);
    ASSERT_EQ(pushStartsUs.size(), 1u);
    ChangeByInput(1);  // came during the push
    ASSERT_EQ(pushStartsUs.size(), 2u);
    EXPECT_EQ(pushStartsUs[1], pushStartsUs[0] + pushTakesUs) << "no frame of waiting after a slow push";
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

TEST_F(FramePacing, FadeStepsAreNotHeldBackByThePacingOfPushes) {
    app.currentTool = Laser;
    BeginStroke(100.0f, 100.0f, 0.5f);
    ExtendStroke(200.0f, 120.0f, 0.5f);
    EndStroke();
    app.laserPhase = 2;
    app.laserFadeStart = GetTickCount() - 450;
    app.laserStepDue = GetTickCount() - 1;
    PresentRegion({0, 0, 4, 4});
    RunFrameStep();  // a push has just begun: the next is a frame away
    app.laserStepDue = GetTickCount() - 1;
    EXPECT_TRUE(FrameStepDue()) << "the fade steps although the push must wait";
    EXPECT_EQ(TimeUntilFrameStepUs(), 0);
}

TEST_F(FrameStep, TheLoopPushesWhatIsPendingBeforeItEnds) {
    PresentRegion({10, 10, 20, 20});
    PostQuitMessage(7);
    EXPECT_EQ(RunMessageLoop(), 7);
    EXPECT_EQ(pushes.overlayPushes, 1);
    EXPECT_TRUE(SameRect(pushes.lastOverlayDirty, RECT{10, 10, 20, 20}));
}

// Where the display's refresh rate comes from: the compositor, else the display mode, else 60 Hz.
struct RateCase {
    const char* what;
    bool compositorAnswers;
    UNSIGNED_RATIO compositorRate;
    int64_t compositorPeriodPer1000s;  // qpcRefreshPeriod as a share of the counter's frequency
    DWORD modeHz;
    int64_t expectedPeriodUs;
};

RateCase rateCase;

HRESULT WINAPI FakeTiming(HWND, DWM_TIMING_INFO* timing) {
    if (!rateCase.compositorAnswers) return E_FAIL;
    timing->rateRefresh = rateCase.compositorRate;
    timing->qpcRefreshPeriod = QPC_TIME(CounterFrequency() * rateCase.compositorPeriodPer1000s / 1000000);
    return S_OK;
}

BOOL WINAPI FakeMode(LPCWSTR, DWORD, DEVMODEW* mode) {
    mode->dmDisplayFrequency = rateCase.modeHz;
    return TRUE;
}

class FrameRate : public ::testing::TestWithParam<RateCase> {
protected:
    void TearDown() override {
        app.pDwmGetCompositionTimingInfo = &DwmGetCompositionTimingInfo;
        app.pEnumDisplaySettingsW = &EnumDisplaySettingsW;
        app.framePeriodUs = FRAME_60HZ_US;
    }
};

TEST_P(FrameRate, TheFrameIsTheDisplaysRefreshPeriod) {
    rateCase = GetParam();
    app.pDwmGetCompositionTimingInfo = FakeTiming;
    app.pEnumDisplaySettingsW = FakeMode;
    ReadFramePeriod();
    EXPECT_EQ(app.framePeriodUs, rateCase.expectedPeriodUs);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, FrameRate,
    ::testing::Values(RateCase{"Compositor144Hz", true, {144, 1}, 0, 60, 6944},
                      RateCase{"CompositorNtsc", true, {60000, 1001}, 0, 0, 16683},
                      RateCase{"CompositorPeriodOnly120Hz", true, {0, 0}, 8333, 0, 8333},
                      RateCase{"NoCompositorMode75Hz", false, {0, 0}, 0, 75, 13333},
                      RateCase{"NonsenseEverywhere", true, {1, 1}, 0, 1, FRAME_60HZ_US},
                      RateCase{"NothingKnown", false, {0, 0}, 0, 0, FRAME_60HZ_US}),
    [](const auto& info) { return std::string(info.param.what); });

// Under Wine the compositor answers 60 Hz; whatever the system says, a frame is a real display's.
TEST(FrameRateOfThisSystem, IsADisplaysRate) {
    ReadFramePeriod();
    EXPECT_GE(app.framePeriodUs, 1000);
    EXPECT_LE(app.framePeriodUs, 50000);
    app.framePeriodUs = FRAME_60HZ_US;
}

}  // namespace
