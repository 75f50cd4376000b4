#include "app/overlay_windows.h"

#include "app/app_state.h"
#include "app/startup.h"

DWORD OverlayExStyle(bool primary) {
    DWORD style = WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    if (!primary) style |= WS_EX_NOACTIVATE;
    if (app.passThrough) style |= WS_EX_TRANSPARENT;
    return style;
}

void SyncOverlayWindows() {
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(app.overlayWindow, GWLP_HINSTANCE));
    if (!app.overlays.empty()) app.overlays[0].window = app.overlayWindow;
    for (OverlayPane& pane : app.overlays) {
        const DirtyRect& a = pane.area;
        if (pane.window) {
            SetWindowPos(pane.window, HWND_TOPMOST, a.left, a.top, a.right - a.left, a.bottom - a.top,
                         SWP_NOACTIVATE);
        } else {
            pane.window = CreateWindowExW(OverlayExStyle(false), OVERLAY_CLASS, WINDOW_TITLE, WS_POPUP, a.left,
                                          a.top, a.right - a.left, a.bottom - a.top, nullptr, nullptr,
                                          instance, nullptr);
        }
    }
}

void DropOverlayWindowsFrom(size_t count) {
    for (size_t i = std::max<size_t>(count, 1); i < app.overlays.size(); ++i) {
        if (app.overlays[i].window) DestroyWindow(app.overlays[i].window);
        app.overlays[i].window = nullptr;
    }
}

void ShowOverlayWindows() {
    for (size_t i = 1; i < app.overlays.size(); ++i) {
        const HWND window = app.overlays[i].window;
        if (window && !IsWindowVisible(window)) ShowWindow(window, SW_SHOWNOACTIVATE);
    }
}

bool IsOverlayWindow(HWND window) {
    for (const OverlayPane& pane : app.overlays) {
        if (pane.window == window) return true;
    }
    return false;
}
