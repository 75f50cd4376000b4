#pragma once
// What the benchmarks share: a clock, medians and spreads, the machine-readable lines, a canvas of
// a chosen size on the program's real windows, and a history of wandering strokes.
#include <string>
#include <vector>

#include "app/platform.h"
#include "ink/stroke.h"

LONGLONG Now();
double Milliseconds(LONGLONG ticks);

struct Spread {
    double median, min, max;
};
Spread SpreadOf(std::vector<double> samples);

// Collected figures, printed at the end as `BENCH name median min max unit` lines.
void AddFigure(const std::string& name, const Spread& spread, const std::string& unit = "ms");
void PrintFigureLines();

// GDI+ and the window classes, as the program starts them.
void StartBenchProgram();
void EndBenchProgram();
// The overlay at the given size with fresh surfaces, shown.
void UseCanvas(int width, int height);
void PumpMessages();

// Pen strokes of 50 points wandering over the canvas, with varying pressure, width and colour; every
// `eraserEvery`-th one an eraser stroke (0: none). The same every run.
std::vector<Stroke> MakeWanderingStrokes(int count, int width, int height, int eraserEvery);
// "pen", "highlighter", "laser" or "eraser", as the figure names spell them.
const char* ToolName(ToolKind tool);
// Draws the stroke the way the user does: BeginStroke, ExtendStroke for every further sample,
// EndStroke, with its tool, colour and width selected first.
void DrawThroughCapture(const Stroke& stroke);
