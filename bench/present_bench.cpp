// What a present and a rebuild of the ink layer cost, measured on the program's own functions and
// real windows: PresentRegion of small, middle and whole-canvas rectangles at two canvas sizes, with
// the composition and the push to the window timed apart; RebuildInkLayer of a full history; and a
// plain memcpy of the same pixels as the floor.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "bench/bench_support.h"
#include "ink/stroke.h"
#include "ink/surfaces.h"

namespace {

constexpr int RECT_REPETITIONS = 21;
constexpr int WHOLE_CANVAS_REPETITIONS = 9;
constexpr int COPY_REPETITIONS = 51;
constexpr int REBUILD_REPETITIONS = 3;  // a full replay takes seconds
constexpr int SAMPLE_STROKES = 100;     // ink on the layer while presents are timed

void Report(const std::string& name, const std::string& label, const std::vector<double>& samples) {
    const Spread spread = SpreadOf(samples);
    AddFigure(name, spread);
    std::printf("%-46s %10.4f %10.4f %10.4f  ms  %3zu\n", label.c_str(), spread.median, spread.min, spread.max,
                samples.size());
    std::fflush(stdout);
}

// The push, timed on its own; the rest of a present is composition.
double lastPushMs = 0;
BOOL WINAPI TimedPush(HWND window, const UPDATELAYEREDWINDOWINFO* info) {
    const LONGLONG start = Now();
    const BOOL result = UpdateLayeredWindowIndirect(window, info);
    lastPushMs = Milliseconds(Now() - start);
    return result;
}

void SetCanvas(int width, int height) {
    UseCanvas(width, height);
    app.history = MakeWanderingStrokes(SAMPLE_STROKES, width, height, 0);
    RebuildInkLayer();
    PresentRegion(WholeCanvas());
    PumpMessages();
}

DirtyRect Centred(int size) {
    const int left = (app.canvasWidth - size) / 2;
    const int top = (app.canvasHeight - size) / 2;
    return {left, top, left + size, top + size};
}

std::string SizeName(const DirtyRect& rect) {
    return std::to_string(rect.right - rect.left) + "x" + std::to_string(rect.bottom - rect.top);
}

void TimePresent(const DirtyRect& rect, const std::string& canvas, int repetitions) {
    std::vector<double> compose, push, total;
    for (int i = 0; i < repetitions; ++i) {
        lastPushMs = 0;
        const LONGLONG start = Now();
        PresentRegion(rect);
        PushPendingFrame();
        const double whole = Milliseconds(Now() - start);
        total.push_back(whole);
        push.push_back(lastPushMs);
        compose.push_back(whole - lastPushMs);
        PumpMessages();
    }
    const std::string name = "present_" + SizeName(rect) + "_" + canvas;
    const std::string label = "PresentRegion " + SizeName(rect) + " @" + canvas;
    Report(name + "_compose", label + " compose", compose);
    Report(name + "_push", label + " push", push);
    Report(name + "_total", label + " total", total);
}

// The least that moving these pixels can cost: one memcpy per row into the frame.
void TimeCopy(const DirtyRect& rect, const std::string& canvas) {
    const size_t stride = size_t(app.canvasWidth);
    const std::vector<uint32_t> source(stride * app.canvasHeight, 0x80402010u);
    const size_t rowBytes = size_t(rect.right - rect.left) * 4;
    std::vector<double> samples;
    for (int i = 0; i < COPY_REPETITIONS; ++i) {
        const LONGLONG start = Now();
        for (int y = rect.top; y < rect.bottom; ++y) {
            std::memcpy(app.frameBits + y * stride + rect.left, source.data() + y * stride + rect.left, rowBytes);
        }
        samples.push_back(Milliseconds(Now() - start));
    }
    Report("memcpy_" + SizeName(rect) + "_" + canvas, "memcpy " + SizeName(rect) + " @" + canvas, samples);
}

void BenchPresents(int width, int height) {
    SetCanvas(width, height);
    const std::string canvas = std::to_string(width) + "x" + std::to_string(height);
    for (int size : {100, 400}) {
        TimePresent(Centred(size), canvas, RECT_REPETITIONS);
        TimeCopy(Centred(size), canvas);
    }
    TimePresent(WholeCanvas(), canvas, WHOLE_CANVAS_REPETITIONS);
    TimeCopy(WholeCanvas(), canvas);
}

// Undo and clear replay the whole history like this, so this is what they cost at the limit.
void BenchRebuild(int width, int height) {
    SetCanvas(width, height);
    app.history = MakeWanderingStrokes(int(MAX_HISTORY_STROKES), width, height, 0);
    std::vector<double> samples;
    for (int i = 0; i < REBUILD_REPETITIONS; ++i) {
        const LONGLONG start = Now();
        RebuildInkLayer();
        samples.push_back(Milliseconds(Now() - start));
        PumpMessages();
    }
    const std::string canvas = std::to_string(width) + "x" + std::to_string(height);
    Report("rebuild_4000x50_pen_" + canvas, "RebuildInkLayer 4000 pen x 50 points @" + canvas, samples);
    app.history.clear();
}

}  // namespace

int main() {
    StartBenchProgram();
    app.pUpdateLayeredWindowIndirect = TimedPush;

    std::printf("%-46s %10s %10s %10s  unit reps\n", "figure", "median", "min", "max");
    BenchPresents(1920, 1080);
    BenchRebuild(1920, 1080);
    BenchPresents(3840, 2160);

    std::printf("\n");
    PrintFigureLines();
    EndBenchProgram();
    return 0;
}
