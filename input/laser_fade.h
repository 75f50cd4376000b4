#pragma once
#include "app/platform.h"

constexpr UINT_PTR LASER_TIMER_ID = 2;

void CALLBACK LaserFadeTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD tickTime);
