#include "app/frame_step.h"

#include <algorithm>

#include "app/app_state.h"
#include "app/frame_clock.h"
#include "ink/ink_steps.h"
#include "ink/pixel_layer.h"
#include "ink/surfaces.h"
#include "input/laser_fade.h"

namespace {

bool LaserStepDue() {
    // Signed difference: right across the wrap of the tick counter.
    return app.laserTimer != 0 && int32_t(GetTickCount() - app.laserStepDue) >= 0;
}

int64_t TimeUntilPushUs() { return app.lastPushStartUs + app.framePeriodUs - FrameClockUs(); }

}  // namespace

bool FrameStepDue() { return LaserStepDue() || (HasArea(app.pendingPush) && TimeUntilPushUs() <= 0); }

void RunFrameStep() {
    if (LaserStepDue()) LaserFadeTimerProc(app.overlayWindow, WM_TIMER, LASER_TIMER_ID, GetTickCount());
    PushPendingFrame();
    CompactKeptClears();
}

int64_t TimeUntilFrameStepUs() {
    if (LaserStepDue()) return 0;
    if (!HasArea(app.pendingPush)) return -1;
    return std::max<int64_t>(0, TimeUntilPushUs());
}
