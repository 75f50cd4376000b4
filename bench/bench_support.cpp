#include "bench/bench_support.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "app/app_state.h"
#include "app/frame_step.h"
#include "app/startup.h"
#include "ink/surfaces.h"
#include "input/capture.h"

namespace {

constexpr int POINTS_PER_STROKE = 50;

struct Figure {
    std::string name;
    Spread spread;
    std::string unit;
};
std::vector<Figure> figures;

ULONG_PTR gdiplusToken = 0;

}  // namespace

LONGLONG Now() {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

double Milliseconds(LONGLONG ticks) {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return double(f.QuadPart);
    }();
    return double(ticks) * 1000.0 / frequency;
}

Spread SpreadOf(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const size_t n = samples.size();
    const double median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    return {median, samples.front(), samples.back()};
}

void AddFigure(const std::string& name, const Spread& spread, const std::string& unit) {
    figures.push_back({name, spread, unit});
}

void PrintFigureLines() {
    for (const Figure& figure : figures) {
        std::printf("BENCH %s %.4f %.4f %.4f %s\n", figure.name.c_str(), figure.spread.median,
                    figure.spread.min, figure.spread.max, figure.unit.c_str());
    }
}

void StartBenchProgram() {
    SetProcessDPIAware();
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr);
    RegisterWindowClasses(GetModuleHandleW(nullptr));
}

void EndBenchProgram() {
    app.history.clear();
    ReleaseSurfaces();
    Gdiplus::GdiplusShutdown(gdiplusToken);
}

void UseCanvas(int width, int height) {
    app.canvasLeft = 1;
    app.canvasTop = 1;
    app.canvasWidth = width;
    app.canvasHeight = height;
    if (!app.overlayWindow) CreateAppWindows(GetModuleHandleW(nullptr));
    SetWindowPos(app.overlayWindow, HWND_TOPMOST, app.canvasLeft, app.canvasTop, width, height,
                 SWP_NOACTIVATE);
    CreateSurfaces();
    ShowWindow(app.overlayWindow, SW_SHOWNOACTIVATE);
}

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchLoopMessage(message);
        if (FrameStepDue()) RunFrameStep();
    }
    RunFrameStep();
}

std::vector<Stroke> MakeWanderingStrokes(int count, int width, int height, int eraserEvery) {
    uint32_t seed = 12345;
    auto next = [&seed](int range) {
        seed = seed * 1664525u + 1013904223u;
        return int((seed >> 8) % uint32_t(range));
    };
    std::vector<Stroke> strokes(count);
    for (int i = 0; i < count; ++i) {
        Stroke& stroke = strokes[i];
        stroke.tool = eraserEvery > 0 && i % eraserEvery == eraserEvery - 1 ? Eraser : Pen;
        stroke.colour = Palette[i % 8];
        stroke.width = StrokeWidths[i % 3];
        float x = float(next(width));
        float y = float(next(height));
        for (int p = 0; p < POINTS_PER_STROKE; ++p) {
            stroke.points.push_back({x, y, 0.3f + next(60) / 100.0f});
            x = std::clamp(x + float(next(31) - 15), 0.0f, float(width - 1));
            y = std::clamp(y + float(next(31) - 15), 0.0f, float(height - 1));
        }
    }
    return strokes;
}

void DrawThroughCapture(const Stroke& stroke) {
    app.currentTool = stroke.tool;
    for (int i = 0; i < 8; ++i) {
        if (Palette[i] == stroke.colour) app.colourIndex = i;
    }
    for (int i = 0; i < 3; ++i) {
        if (StrokeWidths[i] == stroke.width) app.widthIndex = i;
    }
    const InkPoint& first = stroke.points.front();
    BeginStroke(first.x, first.y, first.pressure);
    for (size_t i = 1; i < stroke.points.size(); ++i) {
        ExtendStroke(stroke.points[i].x, stroke.points[i].y, stroke.points[i].pressure);
    }
    EndStroke();
}

const char* ToolName(ToolKind tool) {
    switch (tool) {
        case Pen: return "pen";
        case Highlighter: return "highlighter";
        case Laser: return "laser";
        default: return "eraser";
    }
}
