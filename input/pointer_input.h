#pragma once
#include "app/platform.h"

// Pen and touch strokes from WM_POINTERDOWN, WM_POINTERUPDATE and WM_POINTERUP. Returns whether the
// message was consumed; mouse pointers, failed look-ups and downs without contact are not, and the
// caller leaves them to the default procedure.
bool HandlePointerMessage(UINT message, WPARAM wParam, LPARAM lParam);
// The pointer capture of `pointerId` went elsewhere: if that pointer's contact owns the stroke, its
// release will not come here, so the stroke ends now instead of following a pen that has lifted.
void HandlePointerCaptureLost(UINT32 pointerId);
