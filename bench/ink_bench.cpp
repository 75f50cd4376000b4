// What the ink costs as it grows, on the program's own functions and real windows with the push to
// the screen left out: composing the whole canvas beside a memcpy of it (the floor), one undo and one
// redo with 4000 and one undo with 10 strokes in history, a clear of 4000 strokes and its undo, the
// 20th and the 2000th sample of one long stroke of each tool, one fade step over 100 trails, a display
// change with 4000 strokes, and the process's memory with 4000 strokes on a 4K canvas, also after a
// clear of them and its undo, and on the canvas of two 4K monitors side by side. The history is drawn
// through stroke capture, as the user draws it.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/startup.h"
#include "bench/bench_support.h"
#include "ink/stroke.h"
#include "ink/surfaces.h"
#include "ink/trail_layer.h"
#include "ink/undo_clear.h"
#include "input/capture.h"
#include "input/laser_fade.h"
#include "support/committed_memory.h"

namespace {

constexpr int HISTORY = int(MAX_HISTORY_STROKES);
constexpr int REPETITIONS = 15;
constexpr int LONG_STROKE_SAMPLES = 2010;
constexpr int LONG_STROKE_REPEATS = 5;
constexpr int SAMPLE_WINDOW = 4;  // samples either side of the 20th and the 2000th, for a steadier median

BOOL WINAPI SkippedPush(HWND, const UPDATELAYEREDWINDOWINFO*) { return TRUE; }

std::string Canvas() { return std::to_string(app.canvasWidth) + "x" + std::to_string(app.canvasHeight); }

void Report(const std::string& name, const std::vector<double>& samples, const std::string& unit = "ms") {
    const Spread spread = SpreadOf(samples);
    AddFigure(name, spread, unit);
    std::printf("%-44s %10.4f %10.4f %10.4f %s\n", name.c_str(), spread.median, spread.min, spread.max, unit.c_str());
    std::fflush(stdout);
}

// Every committed private page, touched or not, as Windows charges them. Wine's process counters
// hold only the pages touched: a layer allocated and never drawn into would not show there.
double PrivateMegabytes() { return double(CommittedPrivateBytes()) / (1024.0 * 1024.0); }

double Megabytes(const PixelLayer& layer) { return double(layer.width) * layer.height * 4 / (1024.0 * 1024.0); }

void DrawHistory(int count) {
    for (const Stroke& stroke : MakeWanderingStrokes(count, app.canvasWidth, app.canvasHeight, 10)) {
        DrawThroughCapture(stroke);
    }
    PumpMessages();
}

double TimeMs(void (*work)()) {
    const LONGLONG start = Now();
    work();
    return Milliseconds(Now() - start);
}

void TimeWholeCanvas() {
    std::vector<double> copy, compose;
    const std::vector<uint32_t> source(size_t(app.canvasWidth) * app.canvasHeight, 0x80402010u);
    for (int i = 0; i < REPETITIONS; ++i) {
        const LONGLONG start = Now();
        std::memcpy(app.frameBits, source.data(), source.size() * 4);
        copy.push_back(Milliseconds(Now() - start));
        compose.push_back(TimeMs([] { PresentRegion(WholeCanvas()); }));
    }
    Report("memcpy_whole_" + Canvas(), copy);
    Report("compose_whole_" + Canvas(), compose);
}

// The same stroke, drawn on top of the history and undone, whatever the history holds: the two
// undo figures differ only by the history under it.
void TimeUndo(const std::string& name) {
    Stroke probe = MakeWanderingStrokes(1, app.canvasWidth, app.canvasHeight, 0)[0];
    probe.width = StrokeWidths[2];
    std::vector<double> undo;
    for (int i = 0; i < REPETITIONS; ++i) {
        DrawThroughCapture(probe);
        undo.push_back(TimeMs(UndoLastStroke));
    }
    Report(name, undo);
}

// The same stroke undone and drawn again by redo, over the history.
void TimeRedo() {
    Stroke probe = MakeWanderingStrokes(1, app.canvasWidth, app.canvasHeight, 0)[0];
    probe.width = StrokeWidths[2];
    DrawThroughCapture(probe);
    std::vector<double> redo;
    for (int i = 0; i < REPETITIONS; ++i) {
        UndoLastStroke();
        redo.push_back(TimeMs(RedoLastUndo));
    }
    UndoLastStroke();
    Report("redo_h4000_" + Canvas(), redo);
}

// The whole history cleared, then brought back by undo: its kept picture is written back and composed.
void TimeUndoClear() {
    std::vector<double> undo;
    for (int i = 0; i < 5; ++i) {
        ClearAll();
        PumpMessages();
        undo.push_back(TimeMs(UndoLastStroke));
        PumpMessages();
    }
    Report("undo_clear_h4000_" + Canvas(), undo);
}

// Kept clears and what waits to be redone are forgotten, as in a fresh run.
void ForgetSteps() {
    ForgetOldestClears(app.clears.size());
    ForgetRedo();
}

// The state is put back by copying the ink layer and the history between the clears.
void TimeClear() {
    const std::vector<Stroke> history = app.history;
    const size_t historyBytes = app.inkKeeping.historyBytes;
    const size_t layerPixels = size_t(app.inkPixels.width) * app.inkPixels.height;
    const std::vector<uint32_t> ink(app.inkPixels.bits, app.inkPixels.bits + layerPixels);
    std::vector<double> clear;
    for (int i = 0; i < 5; ++i) {
        clear.push_back(TimeMs(ClearAll));
        PumpMessages();  // the loop's frame step: the push, then the cleared strokes released
        ForgetSteps();
        app.history = history;
        app.inkKeeping.historyBytes = historyBytes;
        std::memcpy(app.inkPixels.bits, ink.data(), layerPixels * 4);
    }
    Report("clear_h4000_" + Canvas(), clear);
}

void TimeDisplayChange() {
    std::vector<double> smaller, back;
    for (int i = 0; i < 5; ++i) {
        app.canvasWidth = 1280;
        app.canvasHeight = 720;
        smaller.push_back(TimeMs(ApplyCanvasGeometry));
        app.canvasWidth = 1920;
        app.canvasHeight = 1080;
        back.push_back(TimeMs(ApplyCanvasGeometry));
        PumpMessages();
    }
    Report("reinit_h4000_1920x1080_to_1280x720", smaller);
    Report("reinit_h4000_1920x1080", back);
}


// One stroke of LONG_STROKE_SAMPLES samples 3 px apart, zigzagging across the canvas; the own work
// of the samples around the 20th and the 2000th.
void TimeLongStrokes(ToolKind tool) {
    std::vector<double> early, late;
    for (int repeat = 0; repeat < LONG_STROKE_REPEATS; ++repeat) {
        app.currentTool = tool;
        app.widthIndex = 1;
        float x = 200.0f, y = 200.0f + 40.0f * repeat;
        float dx = 3.0f;
        BeginStroke(x, y, 0.5f);
        for (int i = 1; i <= LONG_STROKE_SAMPLES; ++i) {
            if (x + dx > app.canvasWidth - 200.0f || x + dx < 200.0f) dx = -dx;
            x += dx;
            y += (i / 25) % 2 ? -1.2f : 1.2f;
            const float pressure = 0.3f + 0.05f * float(i % 14);
            const LONGLONG start = Now();
            ExtendStroke(x, y, pressure);
            const double ms = Milliseconds(Now() - start);
            if (i >= 20 - SAMPLE_WINDOW && i <= 20 + SAMPLE_WINDOW) early.push_back(ms);
            if (i >= 2000 - SAMPLE_WINDOW && i <= 2000 + SAMPLE_WINDOW) late.push_back(ms);
        }
        EndStroke();
        if (tool != Laser) UndoLastStroke();
        ForgetLaserTrails();
        CancelLaserFade();
        PumpMessages();
    }
    const std::string name = std::string("extend_") + ToolName(tool) + "_w6_" + Canvas();
    Report(name + "_sample20", early);
    Report(name + "_sample2000", late);
}

void TimeFadeStep() {
    ClearAll();
    for (const Stroke& stroke : MakeWanderingStrokes(100, app.canvasWidth, app.canvasHeight, 0)) {
        Stroke laser = stroke;
        laser.tool = Laser;
        laser.points.resize(100, laser.points.back());
        for (size_t i = 50; i < 100; ++i) laser.points[i].x += float(i - 49) * 2.0f;
        DrawThroughCapture(laser);
    }
    std::vector<double> step;
    for (int i = 0; i < REPETITIONS; ++i) {
        // Half-way through the fade, every time.
        app.laserPhase = 2;
        app.laserFadeStart = GetTickCount() - 450;
        step.push_back(TimeMs([] { LaserFadeTimerProc(app.overlayWindow, WM_TIMER, LASER_TIMER_ID, 0); }));
    }
    Report("fade_step_100trails_" + Canvas(), step);
    ClearAll();
}

void BenchCanvas(int width, int height) {
    UseCanvas(width, height);
    ClearAll();
    ForgetSteps();
    const double startMB = PrivateMegabytes();
    const LONGLONG start = Now();
    DrawHistory(HISTORY);
    std::printf("(%d strokes of 50 samples drawn through capture at %s in %.1f s)\n", HISTORY, Canvas().c_str(),
                Milliseconds(Now() - start) / 1000.0);
    const bool fourK = width == 3840;
    if (fourK) Report("memory_h4000_" + Canvas(), {PrivateMegabytes()}, "MB");
    std::printf("(private memory %.1f MB before the history, %.1f MB with it)\n", startMB, PrivateMegabytes());

    TimeWholeCanvas();
    TimeUndo("undo_h4000_" + Canvas());
    TimeRedo();
    TimeUndoClear();
    if (fourK) Report("memory_h4000_cleared_" + Canvas(), {PrivateMegabytes()}, "MB");
    if (!fourK) {
        TimeClear();
        TimeDisplayChange();
    }
    ClearAll();
    ForgetSteps();
    DrawHistory(10);
    TimeUndo("undo_h10_" + Canvas());
    ClearAll();
    if (!fourK) {
        for (ToolKind tool : {Pen, Highlighter, Laser, Eraser}) TimeLongStrokes(tool);
        TimeFadeStep();
    }
}

// The canvas of two 4K monitors side by side, the bounding rectangle of both less the pixel the overlay
// leaves at its top-left, in a process that has drawn nothing before. Its memory is taken at rest with
// 4000 strokes in history, beside the memory before them; a highlighter stroke in progress and waiting
// laser trails each take a layer of the canvas's size while they last, and the first stroke past the
// history limit takes one for the ink it drops.
void BenchTwoMonitorMemory() {
    UseCanvas(2 * 3840 - 1, 2160 - 1);
    PumpMessages();
    const double startMB = PrivateMegabytes();
    const LONGLONG start = Now();
    DrawHistory(HISTORY);
    std::printf("(%d strokes of 50 samples drawn through capture at %s in %.1f s)\n", HISTORY, Canvas().c_str(),
                Milliseconds(Now() - start) / 1000.0);
    const double restMB = PrivateMegabytes();
    Report("memory_h4000_two_3840x2160", {restMB}, "MB");
    std::printf("(private memory %.1f MB before the history, of it %.1f MB the ink layer and the frame; %.1f MB "
                "with it)\n",
                startMB, 2 * Megabytes(app.inkPixels), restMB);

    // One stroke undone first, so that the highlighter's commit stays within the limit.
    UndoLastStroke();
    app.currentTool = Highlighter;
    app.widthIndex = 2;
    BeginStroke(100.0f, 100.0f, 0.5f);
    for (int i = 1; i <= 200; ++i) ExtendStroke(100.0f + 30.0f * i, 100.0f + 9.0f * i, 0.5f);
    const double highlighterMB = PrivateMegabytes();
    EndStroke();
    app.currentTool = Laser;
    BeginStroke(100.0f, 2000.0f, 0.5f);
    for (int i = 1; i <= 200; ++i) ExtendStroke(100.0f + 30.0f * i, 2000.0f - 9.0f * i, 0.5f);
    EndStroke();
    const double trailMB = PrivateMegabytes();
    ForgetLaserTrails();
    CancelLaserFade();
    PumpMessages();
    const double againMB = PrivateMegabytes();
    DrawHistory(1);
    std::printf("(private memory %.1f MB while a highlighter stroke is in progress, %.1f MB while a laser trail "
                "waits, %.1f MB at rest again, %.1f MB once a stroke past the limit is dropped)\n",
                highlighterMB, trailMB, againMB, PrivateMegabytes());
    ClearAll();
    ForgetSteps();
}

}  // namespace

//   ink_bench [1080]    only the 1920x1080 canvas, for a quicker look
int main(int argc, char** argv) {
    StartBenchProgram();
    app.pUpdateLayeredWindowIndirect = SkippedPush;
    std::printf("%-44s %10s %10s %10s unit\n", "figure", "median", "min", "max");
    const bool quick = argc >= 2 && std::string(argv[1]) == "1080";
    if (!quick) BenchTwoMonitorMemory();
    BenchCanvas(1920, 1080);
    if (!quick) BenchCanvas(3840, 2160);
    std::printf("\n");
    PrintFigureLines();
    EndBenchProgram();
    return 0;
}
