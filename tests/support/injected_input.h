#pragma once
// Real mouse input from SendInput: it goes through the system's queue, capture and move history as a
// user's hand would, unlike messages sent straight to a window.
#include "app/platform.h"

// One absolute mouse event at a screen pixel: MOUSEEVENTF_MOVE plus any button flags. A time other
// than 0 is the event's own (mi.time), as a coarse system tick would stamp it; 0 lets the system
// stamp it.
void InjectMouse(int screenX, int screenY, DWORD buttonFlags = 0, DWORD time = 0);
