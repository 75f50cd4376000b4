// What one pointer move costs while a shape is dragged: the program's own work of ExtendStroke (the
// shape drawn anew and composed in rects along its old and new outline), with 4000 strokes in the
// history and the push to the window left out, for a shape of 1000x600 on a 1920x1080 canvas and one
// of 2000x1200 on a 3840x2160 canvas. The outline doubles from the first to the second while the area
// it encloses grows fourfold, so the second figure should stay near twice the first. Each shape with
// the pen at the middle width (shape_move_SHAPE_SIZE_CANVAS), then with the highlighter and the laser
// (shape_move_SHAPE_TOOL_SIZE_CANVAS). Beside them the floor: a memcpy of the whole canvas.
//   shape_bench [MOVES]    measured moves per shape (default 200)
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "bench/bench_support.h"
#include "ink/stroke.h"
#include "ink/surfaces.h"
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

std::string Canvas() { return std::to_string(app.canvasWidth) + "x" + std::to_string(app.canvasHeight); }

// A drag from the press to a shape of the given size, then `moves` moves of a hand holding it there:
// 3 px steps wandering around the far corner. Each move's own work is one sample.
Spread TimeDrag(const ShapeKeys& keys, ToolKind tool, int width, int height, int moves) {
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
    std::vector<double> samples;
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
        app.laserTrails.clear();
    } else {
        UndoLastStroke();
    }
    PumpMessages();
    return SpreadOf(samples);
}

std::vector<double> smallMedians;  // of the 1000x600 shapes, in the order they were timed

void Report(const std::string& name, const Spread& spread) {
    AddFigure(name, spread);
    std::printf("%-52s %9.4f %9.4f %9.4f ms\n", name.c_str(), spread.median, spread.min, spread.max);
    std::fflush(stdout);
}

void BenchCanvas(int canvasWidth, int canvasHeight, int width, int height, int moves) {
    UseCanvas(canvasWidth, canvasHeight);
    ClearAll();
    app.history = MakeWanderingStrokes(int(MAX_HISTORY_STROKES), canvasWidth, canvasHeight, 10);
    RebuildInkLayer();
    PresentRegion(WholeCanvas());
    PumpMessages();

    std::vector<double> copy;
    const std::vector<uint32_t> source(size_t(canvasWidth) * canvasHeight, 0x80402010u);
    for (int i = 0; i < 15; ++i) {
        const LONGLONG start = Now();
        std::memcpy(app.frameBits, source.data(), source.size() * 4);
        copy.push_back(Milliseconds(Now() - start));
    }
    Report("memcpy_whole_" + Canvas(), SpreadOf(copy));
    PresentRegion(WholeCanvas());

    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const bool small = width == 1000;
    size_t figure = 0;
    for (ToolKind tool : {Pen, Highlighter, Laser}) {
        for (const ShapeKeys& keys : SHAPES) {
            const std::string what = tool == Pen ? keys.name : keys.name + std::string("_") + ToolName(tool);
            const Spread spread = TimeDrag(keys, tool, width, height, moves);
            Report("shape_move_" + what + "_" + size + "_" + Canvas(), spread);
            if (small) {
                smallMedians.push_back(spread.median);
            } else if (figure < smallMedians.size()) {
                std::printf("%-52s %9.2f x the 1000x600 figure\n", "", spread.median / smallMedians[figure]);
            }
            ++figure;
        }
    }
    ClearAll();
}

}  // namespace

int main(int argc, char** argv) {
    const int moves = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    StartBenchProgram();
    app.pUpdateLayeredWindowIndirect = SkippedPush;
    app.pGetAsyncKeyState = HeldKeys;
    std::printf("%-52s %9s %9s %9s unit\n", "figure", "median", "min", "max");
    BenchCanvas(1920, 1080, 1000, 600, moves);
    BenchCanvas(3840, 2160, 2000, 1200, moves);
    std::printf("\n");
    PrintFigureLines();
    EndBenchProgram();
    return 0;
}
