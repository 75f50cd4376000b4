#include "input/laser_fade.h"

#include "app/app_state.h"
#include "ink/surfaces.h"
#include "ink/trail_layer.h"

namespace {

void StopLaserTimer() {
    if (app.laserTimer != 0) {
        KillTimer(app.overlayWindow, app.laserTimer);
        app.laserTimer = 0;
    }
}

void BeginFading() {
    app.laserPhase = 2;
    app.laserFadeStart = GetTickCount();
    StopLaserTimer();
    app.laserTimer = SetTimer(app.overlayWindow, LASER_TIMER_ID, LASER_TICK_MS, LaserFadeTimerProc);
    app.laserStepDue = app.laserFadeStart + LASER_TICK_MS;
}

void FadeStep() {
    app.laserStepDue = GetTickCount() + LASER_TICK_MS;
    app.laserFade = LaserFadeLevel(GetTickCount(), app.laserFadeStart);
    if (app.laserFade > 0.0f) {
        PresentTrailFade(app.laserDirty);
        return;
    }
    app.laserFade = 1.0f;
    ForgetLaserTrails();
    app.laserPhase = 0;
    StopLaserTimer();
    const DirtyRect covered = app.laserDirty;
    app.laserDirty = {};
    PresentRegion(covered);  // composes the area again without the trails
}

}  // namespace

float LaserFadeLevel(DWORD now, DWORD fadeStart) {
    // Unsigned difference: correct across the wrap of the 32-bit tick counter. The level follows the
    // time elapsed, so late ticks make fewer steps but never a longer fade.
    const DWORD elapsed = now - fadeStart;
    return 1.0f - static_cast<float>(elapsed) / LASER_FADE_MS;
}

void CALLBACK LaserFadeTimerProc(HWND, UINT, UINT_PTR, DWORD) {
    if (app.laserPhase == 1) {
        BeginFading();
    } else if (app.laserPhase == 2) {
        FadeStep();
    }
}

void StartLaserHold() {
    StopLaserTimer();
    app.laserPhase = 1;
    app.laserTimer = SetTimer(app.overlayWindow, LASER_TIMER_ID, LASER_HOLD_MS, LaserFadeTimerProc);
    app.laserStepDue = GetTickCount() + LASER_HOLD_MS;
}

void CancelLaserFade() {
    StopLaserTimer();
    app.laserPhase = 0;
    app.laserFade = 1.0f;
}
