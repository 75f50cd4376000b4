#include "app/frame_step.h"

#include "app/app_state.h"
#include "app/frame_clock.h"
#include "ink/pixel_layer.h"
#include "ink/surfaces.h"
#include "input/laser_fade.h"

namespace {

bool LaserStepDue() {
    // Signed difference: right across the wrap of the tick counter.
    return app.laserTimer != 0 && int32_t(GetTickCount() - app.laserStepDue) >= 0;
}

}  // namespace

bool FrameStepDue() {
    return LaserStepDue() || (HasArea(app.pendingPush) && FrameClockMs() - app.pendingSinceMs >= FRAME_MS);
}

void RunFrameStep() {
    if (LaserStepDue()) LaserFadeTimerProc(app.overlayWindow, WM_TIMER, LASER_TIMER_ID, GetTickCount());
    PushPendingFrame();
    app.clearedStrokes = {};
}
