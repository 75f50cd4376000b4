#pragma once
#include "app/platform.h"

// Pen and touch strokes from WM_POINTERDOWN, WM_POINTERUPDATE and WM_POINTERUP. Mouse pointers,
// failed look-ups and downs without contact go to the default procedure, whose result is returned.
LRESULT HandlePointerMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The contact's pointer capture went elsewhere: its release will not come here, so the stroke
// ends now instead of following a pen that has lifted.
void HandlePointerCaptureLost();
