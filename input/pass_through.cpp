#include "input/pass_through.h"

#include "app/app_state.h"
#include "toolbar/toolbar_paint.h"

namespace {

void SetClickThrough(HWND window, bool on) {
    if (!window) return;
    const LONG style = GetWindowLongW(window, GWL_EXSTYLE);
    SetWindowLongW(window, GWL_EXSTYLE, on ? style | WS_EX_TRANSPARENT : style & ~WS_EX_TRANSPARENT);
}

}  // namespace

void SetPassThrough(bool on) {
    app.passThrough = on;
    SetClickThrough(app.overlayWindow, on);
    for (const OverlayPane& pane : app.overlays) {
        if (pane.window != app.overlayWindow) SetClickThrough(pane.window, on);
    }
    // Back in front, so that keyboard shortcuts reach the overlay again.
    if (!on) SetForegroundWindow(app.overlayWindow);
    PaintToolbar();
}

void LeavePassThrough() {
    if (app.passThrough) SetPassThrough(false);
}
