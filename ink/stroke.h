#pragma once
#include <cstdint>
#include <vector>

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
};

constexpr size_t MAX_HISTORY_STROKES = 4000;

// Commits a finished non-laser stroke; past the limit the oldest stroke goes, but its pixels stay
// on the ink layer until the next rebuild.
void AppendToHistory(Stroke stroke);
