#pragma once
#include <cstdint>
#include <vector>

#include "app/dirty_rect.h"
#include "app/palette.h"

struct InkPoint {
    float x;
    float y;
    float pressure;  // 0..1; mouse input is 0.5
};

// What the samples stand for: the path of the hand, or a shape from the first sample (the press) to
// the last (the pointer).
enum class StrokeShape : int32_t {
    Freehand = 0,
    Line = 1,       // straight, from the press to the pointer
    Rectangle = 2,  // axis-aligned outline with the press and the pointer as opposite corners
    Ellipse = 3,    // outline inscribed in that rectangle
    Arrow = 4,      // straight, with its head at the pointer
};

struct Stroke {
    ToolKind tool = Pen;
    COLORREF colour = 0;
    float width = 0.0f;
    std::vector<InkPoint> points;
    StrokeShape shape = StrokeShape::Freehand;
    // Length of each of an arrow's two head strokes, fixed at the press with the display scale of
    // the moment, so that a replay draws the head as it was shown.
    float headLength = 0.0f;
    // The ink-layer pixels the stroke changed, as they were before it, so that undo puts them back
    // instead of replaying the history. Without them (`undoKept` false) undo replays the stroke's area.
    std::vector<uint32_t> undoPixels;
    bool undoKept = false;
};

constexpr size_t MAX_HISTORY_STROKES = 4000;

// The area every sample of the stroke may have touched: each with radius 4 x width, the eraser's
// reach, plus the usual margin; for a shape, every corner of its outline so.
DirtyRect StrokeArea(const Stroke& stroke);
