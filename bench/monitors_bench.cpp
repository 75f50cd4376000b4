// The own work of a display change that adds a 1280x720 monitor left of a 1920x1080 primary with
// 4000 strokes in history, and of the change that takes it away again, the push left out; beside a
// memcpy of the primary's canvas, the floor.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/display_geometry.h"
#include "app/startup.h"
#include "bench_support.h"
#include "ink/ink_steps.h"
#include "ink/ink_undo.h"

namespace {

constexpr int ROUNDS = 3;
const MonitorArea PRIMARY = {{0, 0, 1920, 1080}, true};
const MonitorArea ADDED_LEFT = {{-1280, 0, 0, 720}, false};

BOOL WINAPI SkippedPush(HWND, const UPDATELAYEREDWINDOWINFO*) { return TRUE; }

double TimeLayout(const std::vector<MonitorArea>& monitors) {
    const CanvasGeometry before = CurrentCanvasGeometry();
    const LONGLONG start = Now();
    SetCanvasGeometry(LayOutCanvas(monitors, &before, INK_TILE));
    ApplyCanvasGeometry();
    return Milliseconds(Now() - start);
}

void Report(const std::string& name, const std::vector<double>& samples) {
    const Spread spread = SpreadOf(samples);
    AddFigure(name, spread);
    std::printf("%-44s %10.4f %10.4f %10.4f ms\n", name.c_str(), spread.median, spread.min, spread.max);
    std::fflush(stdout);
}

}  // namespace

int main() {
    StartBenchProgram();
    app.pUpdateLayeredWindowIndirect = SkippedPush;
    std::vector<double> added, removed, copy;
    for (int round = 0; round < ROUNDS; ++round) {
        app.history.clear();
        app.inkKeeping.historyBytes = 0;
        app.overlays.clear();
        UseCanvas(1919, 1079);
        SetCanvasGeometry(LayOutCanvas({PRIMARY}, nullptr, INK_TILE));
        ApplyCanvasGeometry();
        for (const Stroke& stroke : MakeWanderingStrokes(4000, app.canvasWidth, app.canvasHeight, 10)) {
            DrawThroughCapture(stroke);
        }
        PumpMessages();

        const std::vector<uint32_t> source(size_t(app.canvasWidth) * app.canvasHeight, 0x80402010u);
        std::vector<uint32_t> target(source.size());
        const LONGLONG start = Now();
        std::memcpy(target.data(), source.data(), source.size() * 4);
        copy.push_back(Milliseconds(Now() - start));

        added.push_back(TimeLayout({PRIMARY, ADDED_LEFT}));
        PumpMessages();
        removed.push_back(TimeLayout({PRIMARY}));
        PumpMessages();
    }
    std::printf("%-44s %10s %10s %10s unit\n", "figure", "median", "min", "max");
    Report("memcpy_whole_1919x1079", copy);
    Report("reinit_monitor_added_h4000", added);
    Report("reinit_monitor_removed_h4000", removed);
    std::printf("\n");
    PrintFigureLines();
    EndBenchProgram();
    return 0;
}
