// The own work of a display change that adds a 1280x720 monitor left of a 1920x1080 primary with
// 4000 strokes in history, and of the change that takes it away again, the push left out; beside a
// memcpy of the primary's canvas, the floor. The history's strokes wander over the whole canvas, and
// those along its left edge are drawn again there when the origin moves; the same history kept off
// the edges shows what the change costs without them.
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

struct Timings {
    std::vector<double> added, removed;
};

void TimeAddedAndRemoved(const std::vector<Stroke>& strokes, Timings& timings, std::vector<double>* copy) {
    app.history.clear();
    app.inkKeeping.historyBytes = 0;
    app.overlays.clear();
    UseCanvas(1919, 1079);
    SetCanvasGeometry(LayOutCanvas({PRIMARY}, nullptr, INK_TILE));
    ApplyCanvasGeometry();
    for (const Stroke& stroke : strokes) DrawThroughCapture(stroke);
    PumpMessages();

    if (copy) {
        const std::vector<uint32_t> source(size_t(app.canvasWidth) * app.canvasHeight, 0x80402010u);
        std::vector<uint32_t> target(source.size());
        const LONGLONG start = Now();
        std::memcpy(target.data(), source.data(), source.size() * 4);
        copy->push_back(Milliseconds(Now() - start));
    }

    timings.added.push_back(TimeLayout({PRIMARY, ADDED_LEFT}));
    PumpMessages();
    timings.removed.push_back(TimeLayout({PRIMARY}));
    PumpMessages();
}

// The bench's history kept a margin away from the canvas's edges.
std::vector<Stroke> OffTheEdges(std::vector<Stroke> strokes) {
    constexpr float MARGIN = 64.0f;
    for (Stroke& stroke : strokes) {
        for (InkPoint& point : stroke.points) {
            point.x += MARGIN;
            point.y += MARGIN;
        }
    }
    return strokes;
}

}  // namespace

int main() {
    StartBenchProgram();
    app.pUpdateLayeredWindowIndirect = SkippedPush;
    const std::vector<Stroke> wandering = MakeWanderingStrokes(4000, 1919, 1079, 10);
    const std::vector<Stroke> inside = OffTheEdges(MakeWanderingStrokes(4000, 1919 - 128, 1079 - 128, 10));
    Timings whole, offEdges;
    std::vector<double> copy;
    for (int round = 0; round < ROUNDS; ++round) {
        TimeAddedAndRemoved(wandering, whole, &copy);
        TimeAddedAndRemoved(inside, offEdges, nullptr);
    }
    std::printf("%-44s %10s %10s %10s unit\n", "figure", "median", "min", "max");
    Report("memcpy_whole_1919x1079", copy);
    Report("reinit_monitor_added_h4000", whole.added);
    Report("reinit_monitor_removed_h4000", whole.removed);
    Report("reinit_monitor_added_h4000_off_edges", offEdges.added);
    Report("reinit_monitor_removed_h4000_off_edges", offEdges.removed);
    std::printf("\n");
    PrintFigureLines();
    EndBenchProgram();
    return 0;
}
