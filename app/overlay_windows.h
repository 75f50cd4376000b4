#pragma once
#include <cstddef>

#include "app/platform.h"

// The overlay is one window per monitor, each showing its monitor's part of the one canvas, so that
// every window lies on one monitor and has that monitor's scale. The primary's window is
// `overlayWindow`: it holds the focus, the hotkeys and the laser timer and lives as long as the
// program. The others come and go with their monitors; they never take the activation, so they never
// rise above the toolbar.

// Window styles of an overlay, with pass-through's where it is on.
DWORD OverlayExStyle(bool primary);
// Brings the windows to `app.overlays`: the existing ones moved to their areas, new ones created
// hidden.
void SyncOverlayWindows();
// The windows of the overlays from `count` on are destroyed: their monitors went away. The primary's
// stays.
void DropOverlayWindowsFrom(size_t count);
// Shows the windows SyncOverlayWindows created, once they have their pictures.
void ShowOverlayWindows();
// Whether the window is one of the overlays.
bool IsOverlayWindow(HWND window);
