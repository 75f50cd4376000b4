#pragma once
// Real mouse input from SendInput: it goes through the system's queue, capture and move history as a
// user's hand would, unlike messages sent straight to a window.
#include "app/platform.h"

// One absolute mouse event at a screen pixel: MOUSEEVENTF_MOVE plus any button flags.
void InjectMouse(int screenX, int screenY, DWORD buttonFlags = 0);
