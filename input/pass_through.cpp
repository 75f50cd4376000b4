#include "input/pass_through.h"

#include "app/app_state.h"
#include "toolbar/toolbar_paint.h"

void SetPassThrough(bool on) {
    app.passThrough = on;
    const LONG style = GetWindowLongW(app.overlayWindow, GWL_EXSTYLE);
    if (on) {
        SetWindowLongW(app.overlayWindow, GWL_EXSTYLE, style | WS_EX_TRANSPARENT);
    } else {
        SetWindowLongW(app.overlayWindow, GWL_EXSTYLE, style & ~WS_EX_TRANSPARENT);
        // Back in front, so that keyboard shortcuts reach the overlay again.
        SetForegroundWindow(app.overlayWindow);
    }
    PaintToolbar();
}

void LeavePassThrough() {
    if (app.passThrough) SetPassThrough(false);
}
