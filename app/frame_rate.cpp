#include "app/frame_rate.h"

#include "app/app_state.h"

namespace {

constexpr double FALLBACK_HZ = 60.0;

// Rates outside this range are not a display's: 0 and 1 stand for "the hardware's default".
bool PlausibleHz(double hz) { return hz >= 20.0 && hz <= 1000.0; }

double CompositorHz() {
    DWM_TIMING_INFO timing = {};
    timing.cbSize = sizeof(timing);
    // Since Windows 8.1 only the whole desktop's timing may be asked for: no window.
    if (!app.pDwmGetCompositionTimingInfo || FAILED(app.pDwmGetCompositionTimingInfo(nullptr, &timing))) {
        return 0.0;
    }
    if (timing.rateRefresh.uiNumerator != 0 && timing.rateRefresh.uiDenominator != 0) {
        return double(timing.rateRefresh.uiNumerator) / double(timing.rateRefresh.uiDenominator);
    }
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return timing.qpcRefreshPeriod != 0 ? double(frequency.QuadPart) / double(timing.qpcRefreshPeriod) : 0.0;
}

double DisplayModeHz() {
    DEVMODEW mode = {};
    mode.dmSize = sizeof(mode);
    if (!app.pEnumDisplaySettingsW || !app.pEnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return 0.0;
    return double(mode.dmDisplayFrequency);
}

}  // namespace

void ReadFramePeriod() {
    double hz = CompositorHz();
    if (!PlausibleHz(hz)) hz = DisplayModeHz();
    if (!PlausibleHz(hz)) hz = FALLBACK_HZ;
    app.framePeriodUs = int64_t(1000000.0 / hz + 0.5);
}

double FrameRateHz() { return 1000000.0 / double(app.framePeriodUs); }
