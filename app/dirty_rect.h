#pragma once
#include <cstdint>

// Canvas area to compose again; right and bottom exclusive. May reach beyond the canvas:
// the presenter clamps it.
struct DirtyRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool IsEmpty() const { return right <= left; }
    // Grows the rectangle by the square around (x, y) with margin trunc(radius) + 6, which
    // leaves room for round caps and antialiased edges.
    void IncludePoint(float x, float y, float radius);
};
