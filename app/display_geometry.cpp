#include "app/display_geometry.h"

#include <algorithm>

#include "app/app_state.h"

namespace {

DirtyRect OverlayOf(const DirtyRect& monitor) {
    return {monitor.left + 1, monitor.top + 1, monitor.right, monitor.bottom};
}

// How far `origin` must step back, in whole steps, to reach `reach`.
int32_t StepBack(int32_t origin, int32_t reach, int32_t step) {
    if (reach >= origin) return origin;
    const int32_t steps = (origin - reach + step - 1) / step;
    return origin - steps * step;
}

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(monitor, &info)) return TRUE;
    const RECT& r = info.rcMonitor;
    reinterpret_cast<std::vector<MonitorArea>*>(list)->push_back(
        {{r.left, r.top, r.right, r.bottom}, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    return TRUE;
}

}  // namespace

CanvasGeometry LayOutCanvas(const std::vector<MonitorArea>& monitors, const CanvasGeometry* before,
                            int32_t originStep) {
    CanvasGeometry geometry;
    std::vector<MonitorArea> shown = monitors;
    if (shown.empty()) {
        shown.push_back({{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, true});
    }
    // The primary first; where the system names none, the first it listed stands for it.
    auto primary = std::find_if(shown.begin(), shown.end(), [](const MonitorArea& m) { return m.primary; });
    if (primary != shown.end()) std::rotate(shown.begin(), primary, primary + 1);
    for (const MonitorArea& monitor : shown) geometry.overlays.push_back(OverlayOf(monitor.rect));

    int32_t left = geometry.overlays[0].left, top = geometry.overlays[0].top;
    int32_t right = geometry.overlays[0].right, bottom = geometry.overlays[0].bottom;
    for (const DirtyRect& overlay : geometry.overlays) {
        left = std::min(left, overlay.left);
        top = std::min(top, overlay.top);
        right = std::max(right, overlay.right);
        bottom = std::max(bottom, overlay.bottom);
    }
    geometry.left = before ? StepBack(before->left, left, originStep) : left;
    geometry.top = before ? StepBack(before->top, top, originStep) : top;
    geometry.width = right - geometry.left;
    geometry.height = bottom - geometry.top;
    return geometry;
}

std::vector<MonitorArea> ReadMonitors() {
    std::vector<MonitorArea> monitors;
    EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

DirtyRect PrimaryOverlayArea() {
    if (app.overlays.empty()) {
        return {app.canvasLeft, app.canvasTop, app.canvasLeft + app.canvasWidth, app.canvasTop + app.canvasHeight};
    }
    return app.overlays[0].area;
}

POINT ScreenToCanvas(POINT screen) { return {screen.x - app.canvasLeft, screen.y - app.canvasTop}; }
