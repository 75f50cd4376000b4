#pragma once
// What the system itself takes in from the mouse, as a low-level hook on a thread of its own sees it.
// Under Wine that is more than what a test injects: Wine moves the X pointer to each injected
// position, and the X server's report of that comes back as a move of its own, late where the
// thread that reads it was busy, so the pointer visits an old position again. A stroke must take
// what the system took, no more and no less.
#include <vector>

#include "app/platform.h"

struct SystemMouseEvent {
    UINT message;  // WM_MOUSEMOVE, WM_LBUTTONDOWN or WM_LBUTTONUP
    POINT at;      // screen pixels
};

// Logs every mouse move and left-button change the system takes in, until StopLoggingSystemMouse.
void StartLoggingSystemMouse();
std::vector<SystemMouseEvent> StopLoggingSystemMouse();

// The screen positions a stroke takes from such a log: the press, then each move made with the
// button held, up to the release, leaving out a move to where the last one already was.
std::vector<POINT> StrokeOf(const std::vector<SystemMouseEvent>& events);
