#include "app/display_scale.h"

#include <cmath>

#include "app/app_state.h"

namespace {

FARPROC User32Function(const char* name) { return GetProcAddress(GetModuleHandleW(L"user32.dll"), name); }

int32_t ScreenLogPixels() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

int32_t MonitorDpi(HMONITOR monitor) {
    UINT dpiX = 0, dpiY = 0;
    constexpr int MDT_EFFECTIVE_DPI_VALUE = 0;  // MDT_EFFECTIVE_DPI, which older headers lack
    if (!monitor || !app.pGetDpiForMonitor || FAILED(app.pGetDpiForMonitor(monitor, MDT_EFFECTIVE_DPI_VALUE, &dpiX, &dpiY))) {
        return 0;
    }
    return int32_t(dpiX);
}

}  // namespace

void LookUpDpiFunctions() {
    app.pGetDpiForWindow =
        reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(User32Function("GetDpiForWindow")));
    app.pGetDpiForSystem =
        reinterpret_cast<GetDpiForSystemFn>(reinterpret_cast<void*>(User32Function("GetDpiForSystem")));
    // The library stays loaded for the program's life.
    const HMODULE shcore = LoadLibraryW(L"shcore.dll");
    app.pGetDpiForMonitor = shcore ? reinterpret_cast<GetDpiForMonitorFn>(
                                         reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                                   : nullptr;
}

int32_t ReadSystemDpi(HWND window) {
    UINT dpi = 0;
    if (window && app.pGetDpiForWindow) dpi = app.pGetDpiForWindow(window);
    if (dpi == 0 && app.pGetDpiForSystem) dpi = app.pGetDpiForSystem();
    if (dpi == 0) dpi = static_cast<UINT>(ScreenLogPixels());
    return dpi > 0 ? static_cast<int32_t>(dpi) : BASE_DPI;
}

// The toolbar's preferred place is on the primary monitor, so the layout takes that monitor's scale,
// wherever the toolbar was dragged to before.
void ReadDisplayScale() {
    const HMONITOR primary = app.pMonitorFromPoint ? app.pMonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY) : nullptr;
    const int32_t dpi = MonitorDpi(primary);
    app.displayDpi = dpi > 0 ? dpi : ReadSystemDpi(app.toolbarWindow);
}

float ScaleAtCanvasPoint(float x, float y) {
    const POINT desktop = {LONG(std::floor(x)) + app.canvasLeft, LONG(std::floor(y)) + app.canvasTop};
    const HMONITOR monitor = app.pMonitorFromPoint ? app.pMonitorFromPoint(desktop, MONITOR_DEFAULTTONEAREST) : nullptr;
    const int32_t dpi = MonitorDpi(monitor);
    return dpi > 0 ? float(dpi) / float(BASE_DPI) : DisplayScale();
}

float DisplayScale() { return float(app.displayDpi) / float(BASE_DPI); }

int32_t ScaledEdge(int32_t at96) {
    // In doubles, exact for every coordinate a screen can have: at 96 DPI the result is the input.
    return static_cast<int32_t>(std::lround(double(at96) * app.displayDpi / BASE_DPI));
}
