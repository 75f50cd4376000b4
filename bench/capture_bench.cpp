// What one accepted sample of a stroke costs in ExtendStroke, for every tool and base width, on a
// 1920x1080 and a 3840x2160 canvas, with an empty history and with 4000 committed strokes, set beside
// a 1000 Hz mouse, which delivers one sample per millisecond. The program's own work (drawing into
// the ink layer, composing the frame) and the push of the frame to the window are timed apart: the
// own work with the push left out through its seam, over many samples; the push with the real call,
// timed inside the seam, over fewer samples of every tool at the middle width (under Wine a push
// costs a whole-window update whatever its rectangle, tens to hundreds of milliseconds).
//   capture_bench [OWN_SAMPLES [PUSH_SAMPLES]]    accepted samples per stroke (default 200 and 10)
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "bench/bench_support.h"
#include "ink/stroke.h"
#include "ink/surfaces.h"
#include "ink/trail_layer.h"
#include "input/capture.h"
#include "input/laser_fade.h"

namespace {

constexpr float STEP_PX = 3.0f;  // a brisk hand on a 1000 Hz mouse moves about 3 px a sample
constexpr double MOUSE_RATE_HZ = 1000.0;

// The pushes of one ExtendStroke, timed apart from the rest of it.
double pushMs = 0;
BOOL WINAPI TimedPush(HWND window, const UPDATELAYEREDWINDOWINFO* info) {
    const LONGLONG start = Now();
    const BOOL result = UpdateLayeredWindowIndirect(window, info);
    pushMs += Milliseconds(Now() - start);
    return result;
}
BOOL WINAPI SkippedPush(HWND, const UPDATELAYEREDWINDOWINFO*) { return TRUE; }

void SetHistory(std::vector<Stroke> strokes) {
    app.history = std::move(strokes);
    RebuildInkLayer();
    PresentRegion(WholeCanvas());
    PumpMessages();
}

// Leaves the lists as they were before the stroke: the history keeps its size, no trail waits.
void ForgetStroke(size_t historyBefore) {
    if (app.history.size() > historyBefore) app.history.pop_back();
    ForgetLaserTrails();
    app.laserDirty = {};
    CancelLaserFade();
}


std::string FigureName(ToolKind tool, int widthIndex, const std::string& where) {
    return std::string("extend_") + ToolName(tool) + "_w" + std::to_string(int(StrokeWidths[widthIndex])) +
           "_" + where;
}

struct Timing {
    Spread own, push, total;
};

// One stroke of `samples` accepted samples along a gentle zigzag through the middle of the canvas,
// with the pressure changing from sample to sample.
Timing TimeStroke(ToolKind tool, int widthIndex, int samples) {
    app.currentTool = tool;
    app.widthIndex = widthIndex;
    const size_t historyBefore = app.history.size();
    float x = app.canvasWidth * 0.2f;
    float y = app.canvasHeight * 0.5f;
    BeginStroke(x, y, 0.5f);
    std::vector<double> own, push, total;
    for (int i = 0; i < samples; ++i) {
        x += STEP_PX;
        y += STEP_PX * 0.4f * ((i / 20) % 2 ? -1.0f : 1.0f);
        const float pressure = 0.3f + 0.05f * float(i % 14);
        pushMs = 0;
        const LONGLONG start = Now();
        ExtendStroke(x, y, pressure);
        PushPendingFrame();  // every sample pushed at once, as if no frame pacing held it back
        const double whole = Milliseconds(Now() - start);
        total.push_back(whole);
        push.push_back(pushMs);
        own.push_back(whole - pushMs);
    }
    EndStroke();
    ForgetStroke(historyBefore);
    PumpMessages();
    return {SpreadOf(own), SpreadOf(push), SpreadOf(total)};
}

constexpr ToolKind TOOLS[] = {Pen, Highlighter, Laser, Eraser};
constexpr int PUSH_WIDTH_INDEX = 1;

struct Row {
    std::string label;
    Spread own;
    double pushMedian;
};
std::vector<Row> rows;

void BenchCanvas(int width, int height, int ownSamples, int pushSamples) {
    UseCanvas(width, height);
    const std::string canvas = std::to_string(width) + "x" + std::to_string(height);
    for (const bool full : {false, true}) {
        SetHistory(full ? MakeWanderingStrokes(int(MAX_HISTORY_STROKES), width, height, 10) : std::vector<Stroke>{});
        const std::string where = canvas + (full ? "_h4000" : "_h0");

        double pushMedian[4] = {};
        app.pUpdateLayeredWindowIndirect = TimedPush;
        for (int t = 0; t < 4; ++t) {
            const Timing timing = TimeStroke(TOOLS[t], PUSH_WIDTH_INDEX, pushSamples);
            const std::string name = FigureName(TOOLS[t], PUSH_WIDTH_INDEX, where);
            AddFigure(name + "_push", timing.push);
            AddFigure(name + "_with_push", timing.total);
            pushMedian[t] = timing.push.median;
        }

        app.pUpdateLayeredWindowIndirect = SkippedPush;
        for (int t = 0; t < 4; ++t) {
            for (int widthIndex = 0; widthIndex < 3; ++widthIndex) {
                const Timing timing = TimeStroke(TOOLS[t], widthIndex, ownSamples);
                AddFigure(FigureName(TOOLS[t], widthIndex, where) + "_own", timing.own);
                const std::string label = std::string(ToolName(TOOLS[t])) + " w" +
                                          std::to_string(int(StrokeWidths[widthIndex])) + " @" + canvas +
                                          (full ? " h4000" : " h0");
                rows.push_back({label, timing.own, pushMedian[t]});
            }
        }
        app.pUpdateLayeredWindowIndirect = TimedPush;
    }
}

double PerSecond(double ms) { return ms > 0 ? 1000.0 / ms : 0.0; }

void PrintTable(int ownSamples, int pushSamples) {
    std::printf("ExtendStroke per accepted sample, samples %.0f px apart; times in ms. own: %d samples a "
                "stroke, push left out; push: the real call, %d samples of a %d px stroke of the tool.\n",
                double(STEP_PX), ownSamples, pushSamples, int(StrokeWidths[PUSH_WIDTH_INDEX]));
    std::printf("rate = samples per second at the median, beside a %.0f Hz mouse.\n\n", MOUSE_RATE_HZ);
    std::printf("%-34s %8s %8s %8s %9s | %9s %9s\n", "stroke", "own med", "own min", "own max", "own rate",
                "push med", "with push");
    for (const Row& row : rows) {
        const double ownRate = PerSecond(row.own.median);
        const double totalRate = PerSecond(row.own.median + row.pushMedian);
        std::printf("%-34s %8.4f %8.4f %8.4f %8.0f%s | %9.2f %8.1f%s\n", row.label.c_str(), row.own.median,
                    row.own.min, row.own.max, ownRate, ownRate >= MOUSE_RATE_HZ ? " " : "*",
                    row.pushMedian, totalRate, totalRate >= MOUSE_RATE_HZ ? " " : "*");
    }
    std::printf("(* fewer samples per second than the mouse delivers)\n\n");
}

}  // namespace

int main(int argc, char** argv) {
    const int ownSamples = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const int pushSamples = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
    StartBenchProgram();
    app.pUpdateLayeredWindowIndirect = TimedPush;

    BenchCanvas(1920, 1080, ownSamples, pushSamples);
    BenchCanvas(3840, 2160, ownSamples, pushSamples);

    PrintTable(ownSamples, pushSamples);
    PrintFigureLines();
    EndBenchProgram();
    return 0;
}
