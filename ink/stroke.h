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

struct Stroke {
    ToolKind tool = Pen;
    COLORREF colour = 0;
    float width = 0.0f;
    std::vector<InkPoint> points;
    // The ink-layer pixels the stroke changed, as they were before it, so that undo puts them back
    // instead of replaying the history. Without them (`undoKept` false) undo replays the stroke's area.
    std::vector<uint32_t> undoPixels;
    bool undoKept = false;
};

constexpr size_t MAX_HISTORY_STROKES = 4000;

// The area every sample of the stroke may have touched: each with radius 4 x width, the eraser's
// reach, plus the usual margin.
DirtyRect StrokeArea(const Stroke& stroke);
