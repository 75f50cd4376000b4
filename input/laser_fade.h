#pragma once
#include "app/platform.h"

constexpr UINT_PTR LASER_TIMER_ID = 2;
constexpr UINT LASER_HOLD_MS = 2000;
constexpr UINT LASER_TICK_MS = 16;
constexpr float LASER_FADE_MS = 900.0f;

// Drives hold and fade of the laser trails by `laserPhase`; its arguments are not used.
void CALLBACK LaserFadeTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD tickTime);
// Opacity of the trails at tick count `now` of a fade that began at `fadeStart`; 0 or less once the
// fade is over.
float LaserFadeLevel(DWORD now, DWORD fadeStart);
// Starts (or restarts) the hold after a laser stroke ends.
void StartLaserHold();
// Ends any hold or fade: no timer, phase idle, trails drawn at full opacity again.
void CancelLaserFade();
