#pragma once
#include <cstdint>
#include <vector>

#include "app/dirty_rect.h"
#include "ink/stroke.h"

// The maths of shape strokes: their centre lines and the few rectangles along them where their pixels
// can lie. A shape is drawn from its first sample to its last; a shape of one sample is the dot a
// click draws.

// One straight piece of a shape's centre line. The shape is the union of its pieces, so where they
// meet (a corner, the arrow's tip) it is drawn once, however translucent its colour. An open end of
// the line may be cut square instead of round.
struct OutlinePiece {
    float x0, y0, x1, y1;
    bool squareStart = false;
    bool squareEnd = false;
};

// The length of an arrow's head strokes for a shaft `lineWidth` wide: three widths and 8 px at 96 DPI.
float ArrowHeadLength(float lineWidth, float displayScale);

// The centre line of a shape stroke of two or more samples (only the first and the last count): a
// line, the closed rectangle, the closed ellipse as a polygon that strays less than 0.1 px from it, or
// the arrow's shaft with its two head strokes from the tip. `squareEnds` cuts the open ends square.
// A stroke of one sample gives one piece of no length at that sample.
std::vector<OutlinePiece> ShapeOutline(const Stroke& stroke, bool squareEnds);

// Disjoint rectangles holding every pixel whose centre lies within `reach` of the outline, by bands of
// `bandHeight` rows counted from canvas row 0, each band cut to the stretches and rows the outline
// reaches in it; only what lies inside `within` (whose coordinates are not negative).
std::vector<DirtyRect> OutlineCover(const std::vector<OutlinePiece>& outline, float reach, int32_t bandHeight,
                                    const DirtyRect& within);
// Disjoint rectangles holding both covers (or any rects that each lie inside one band), made with the
// same band height: no more than the two hold.
std::vector<DirtyRect> UniteCovers(const std::vector<DirtyRect>& a, const std::vector<DirtyRect>& b,
                                   int32_t bandHeight);
// The smallest rectangle holding all of a cover.
DirtyRect CoverBounds(const std::vector<DirtyRect>& cover);

// The area a shape stroke may touch: every corner of its outline (the arrow's head ends included) with
// the radius of 4 x width that every stroke's area takes.
DirtyRect ShapeArea(const Stroke& stroke);
