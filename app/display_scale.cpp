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

}  // namespace

void LookUpDpiFunctions() {
    app.pGetDpiForWindow =
        reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(User32Function("GetDpiForWindow")));
    app.pGetDpiForSystem =
        reinterpret_cast<GetDpiForSystemFn>(reinterpret_cast<void*>(User32Function("GetDpiForSystem")));
}

int32_t ReadSystemDpi(HWND window) {
    UINT dpi = 0;
    if (window && app.pGetDpiForWindow) dpi = app.pGetDpiForWindow(window);
    if (dpi == 0 && app.pGetDpiForSystem) dpi = app.pGetDpiForSystem();
    if (dpi == 0) dpi = static_cast<UINT>(ScreenLogPixels());
    return dpi > 0 ? static_cast<int32_t>(dpi) : BASE_DPI;
}

void ReadDisplayScale() { app.displayDpi = ReadSystemDpi(app.toolbarWindow); }

float DisplayScale() { return float(app.displayDpi) / float(BASE_DPI); }

int32_t ScaledEdge(int32_t at96) {
    // In doubles, exact for every coordinate a screen can have: at 96 DPI the result is the input.
    return static_cast<int32_t>(std::lround(double(at96) * app.displayDpi / BASE_DPI));
}
