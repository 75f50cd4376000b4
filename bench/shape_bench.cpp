// What one pointer move costs while a shape is dragged: the program's own work of ExtendStroke (the
// shape drawn anew and composed in rects along its old and new outline), with 4000 strokes in the
// history and the push to the window left out, for a shape of 1000x600 on a 1920x1080 canvas and one
// of 2000x1200 on a 3840x2160 canvas, over the same strokes drawn twice as large. The outline doubles from the first to the second while the area
// it encloses grows fourfold, so the second figure should stay near twice the first. Each shape with
// the pen at the middle width (shape_move_SHAPE_SIZE_CANVAS), then with the highlighter and the laser
// (shape_move_SHAPE_TOOL_SIZE_CANVAS). Beside them the floor: a memcpy of the whole canvas.
// The two sizes take turns in four rounds, so that a machine busier at one moment than at another
// weighs on both alike.
//   shape_bench [MOVES]    measured moves per shape and size (default 200)
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "bench/bench_support.h"
#include "ink/stroke.h"
#include "ink/surfaces.h"
#include "ink/trail_layer.h"
#include "ink/undo_clear.h"
#include "input/capture.h"

namespace {

BOOL WINAPI SkippedPush(HWND, const UPDATELAYEREDWINDOWINFO*) { return TRUE; }

// The keys of the shape being dragged, as the keyboard holds them.
bool ctrlHeld = false, shiftHeld = false, tabHeld = false;
SHORT WINAPI HeldKeys(int key) {
    const bool held = (key == VK_CONTROL && ctrlHeld) || (key == VK_SHIFT && shiftHeld) || (key == VK_TAB && tabHeld);
    return held ? SHORT(0x8000) : SHORT(0);
}

struct ShapeKeys {
    const char* name;
    bool ctrl, shift, tab;
};
constexpr ShapeKeys SHAPES[] = {
    {"rectangle", true, false, false},
    {"arrow", true, true, false},
    {"ellipse", false, false, true},
    {"line", false, true, false},
};

// A drag from the press to a shape of the given size, then `moves` moves of a hand holding it there:
// 3 px steps wandering around the far corner. Each move's own work is one sample, added to `samples`.
void TimeDrag(const ShapeKeys& keys, ToolKind tool, int width, int height, int moves, std::vector<double>& samples) {
    ctrlHeld = keys.ctrl;
    shiftHeld = keys.shift;
    tabHeld = keys.tab;
    app.currentTool = tool;
    app.widthIndex = 1;
    const float x0 = float(app.canvasWidth - width) * 0.5f;
    const float y0 = float(app.canvasHeight - height) * 0.5f;
    BeginStroke(x0, y0, 0.5f);
    ctrlHeld = shiftHeld = tabHeld = false;  // released during the drag: the shape stays
    for (int i = 1; i <= 20; ++i) ExtendStroke(x0 + width * i / 20.0f, y0 + height * i / 20.0f, 0.5f);
    float x = x0 + float(width), y = y0 + float(height);
    for (int i = 0; i < moves; ++i) {
        x += (i / 8) % 2 ? -3.0f : 3.0f;
        y += (i / 5) % 2 ? -2.0f : 2.0f;
        const LONGLONG start = Now();
        ExtendStroke(x, y, 0.5f);
        samples.push_back(Milliseconds(Now() - start));
    }
    EndStroke();
    if (tool == Laser) {
        ForgetLaserTrails();
    } else {
        UndoLastStroke();
    }
    PumpMessages();
}

struct Setting {
    int canvasWidth, canvasHeight, width, height;
};
// The small shape on the small canvas, and twice its size on a canvas of twice the size.
constexpr Setting SETTINGS[] = {{1920, 1080, 1000, 600}, {3840, 2160, 2000, 1200}};
constexpr ToolKind TOOLS[] = {Pen, Highlighter, Laser};
constexpr size_t FIGURES_PER_SETTING = std::size(TOOLS) * std::size(SHAPES);
// The machine may be busier at one moment than at another: the two settings take turns, so that
// both meet the same conditions and their figures can be set against each other.
constexpr int ROUNDS = 4;

struct Samples {
    std::vector<double> copy;
    std::vector<double> moves[FIGURES_PER_SETTING];
};

// The same 4000 strokes under both shapes, at twice the size on the canvas of twice the size, as a
// display scaled to 200 % shows them: what a shape is composed over costs by its kind (opaque ink,
// nothing, their edges), and spread four times thinner the same strokes would change that kind.
void UseCanvasWithHistory(const Setting& setting) {
    UseCanvas(setting.canvasWidth, setting.canvasHeight);
    ClearAll();
    const Setting& first = SETTINGS[0];
    const float scale = float(setting.canvasWidth) / float(first.canvasWidth);
    app.history = MakeWanderingStrokes(int(MAX_HISTORY_STROKES), first.canvasWidth, first.canvasHeight, 10);
    for (Stroke& stroke : app.history) {
        stroke.width *= scale;
        for (InkPoint& point : stroke.points) {
            point.x *= scale;
            point.y *= scale;
        }
    }
    RebuildInkLayer();
    PresentRegion(WholeCanvas());
    PumpMessages();
}

void TimeRound(const Setting& setting, int moves, Samples& samples) {
    UseCanvasWithHistory(setting);
    const std::vector<uint32_t> source(size_t(setting.canvasWidth) * setting.canvasHeight, 0x80402010u);
    for (int i = 0; i < 5; ++i) {
        const LONGLONG start = Now();
        std::memcpy(app.frameBits, source.data(), source.size() * 4);
        samples.copy.push_back(Milliseconds(Now() - start));
    }
    PresentRegion(WholeCanvas());
    size_t figure = 0;
    for (ToolKind tool : TOOLS) {
        for (const ShapeKeys& keys : SHAPES) TimeDrag(keys, tool, setting.width, setting.height, moves, samples.moves[figure++]);
    }
    ClearAll();
}

void Report(const std::string& name, const Spread& spread) {
    AddFigure(name, spread);
    std::printf("%-52s %9.4f %9.4f %9.4f ms\n", name.c_str(), spread.median, spread.min, spread.max);
}

}  // namespace

int main(int argc, char** argv) {
    const int moves = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    StartBenchProgram();
    app.pUpdateLayeredWindowIndirect = SkippedPush;
    app.pGetAsyncKeyState = HeldKeys;
    Samples samples[std::size(SETTINGS)];
    for (int round = 0; round < ROUNDS; ++round) {
        for (size_t s = 0; s < std::size(SETTINGS); ++s) TimeRound(SETTINGS[s], (moves + ROUNDS - 1) / ROUNDS, samples[s]);
    }

    std::printf("%-52s %9s %9s %9s unit\n", "figure", "median", "min", "max");
    double smallMedians[FIGURES_PER_SETTING] = {};
    for (size_t s = 0; s < std::size(SETTINGS); ++s) {
        const Setting& setting = SETTINGS[s];
        const std::string canvas = std::to_string(setting.canvasWidth) + "x" + std::to_string(setting.canvasHeight);
        const std::string size = std::to_string(setting.width) + "x" + std::to_string(setting.height);
        Report("memcpy_whole_" + canvas, SpreadOf(samples[s].copy));
        size_t figure = 0;
        for (ToolKind tool : TOOLS) {
            for (const ShapeKeys& keys : SHAPES) {
                const std::string what = tool == Pen ? keys.name : keys.name + std::string("_") + ToolName(tool);
                const Spread spread = SpreadOf(samples[s].moves[figure]);
                Report("shape_move_" + what + "_" + size + "_" + canvas, spread);
                if (s == 0) {
                    smallMedians[figure] = spread.median;
                } else {
                    std::printf("%-52s %9.2f x the %s figure\n", "", spread.median / smallMedians[figure],
                                (std::to_string(SETTINGS[0].width) + "x" + std::to_string(SETTINGS[0].height)).c_str());
                }
                ++figure;
            }
        }
    }
    std::printf("\n");
    PrintFigureLines();
    EndBenchProgram();
    return 0;
}
