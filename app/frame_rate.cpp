#include "app/frame_rate.h"

#include <algorithm>

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

double DisplayModeHz(const wchar_t* device) {
    DEVMODEW mode = {};
    mode.dmSize = sizeof(mode);
    if (!app.pEnumDisplaySettingsW || !app.pEnumDisplaySettingsW(device, ENUM_CURRENT_SETTINGS, &mode)) return 0.0;
    return double(mode.dmDisplayFrequency);
}

BOOL CALLBACK CollectModeHz(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFOEXW info = {};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(monitor, &info)) reinterpret_cast<std::vector<double>*>(list)->push_back(DisplayModeHz(info.szDevice));
    return TRUE;
}

std::vector<double> MonitorModesHz() {
    std::vector<double> rates;
    EnumDisplayMonitors(nullptr, nullptr, CollectModeHz, reinterpret_cast<LPARAM>(&rates));
    if (rates.empty()) rates.push_back(DisplayModeHz(nullptr));
    return rates;
}

}  // namespace

double FastestRefreshHz(double compositorHz, const std::vector<double>& monitorsHz) {
    double fastest = PlausibleHz(compositorHz) ? compositorHz : 0.0;
    for (double hz : monitorsHz) {
        if (PlausibleHz(hz)) fastest = std::max(fastest, hz);
    }
    return fastest > 0.0 ? fastest : FALLBACK_HZ;
}

void ReadFramePeriod() {
    const double hz = FastestRefreshHz(CompositorHz(), MonitorModesHz());
    app.framePeriodUs = int64_t(1000000.0 / hz + 0.5);
}

double FrameRateHz() { return 1000000.0 / double(app.framePeriodUs); }
