#pragma once
#include <vector>

#include "app/platform.h"
#include "ink/shape_geometry.h"
#include "ink/shape_raster.h"
#include "ink/stroke.h"

// The one definition of how each tool looks. fade scales the alpha of highlighter and laser strokes.
// A shape stroke's pixels come from its picture below; whoever draws a shape in progress takes them
// from there too, so that what is shown during the drag is what is committed.
void DrawStroke(Gdiplus::Graphics& graphics, const Stroke& stroke, float fade);
// The segment of a pen stroke that ends at sample `end` (1 or more), exactly as DrawStroke draws it:
// a pen stroke in progress grows by these.
void DrawPenSegment(Gdiplus::Graphics& graphics, const Stroke& stroke, size_t end);
// Where a stroke that was drawn with everything left of `left` or above `top` cut away may differ
// from the same stroke drawn whole, now that the layer reaches there; empty where it may not. GDI+
// lays the edges of a line that runs past a bitmap's edge a little differently, but only there:
// what may differ lies around the dot and the segments that ran past. A shape counts whole.
DirtyRect CutOffArea(const Stroke& stroke, int32_t left, int32_t top);

// A shape stroke as its tool draws it: the centre line and the lines laid along it, at the width a
// freehand stroke of the tool takes at the press (the pen's pressure stays as it was there), in
// the stroke's colour.
struct ShapePicture {
    std::vector<OutlinePiece> outline;
    OutlineInk inks[2];
    int inkCount = 0;
    float reach = 0.0f;  // how far from the centre line its pixels lie at most
};
ShapePicture PictureOfShape(const Stroke& stroke, float fade);
// Whether DrawStroke draws the stroke as a shape: one of two or more samples. The eraser draws no
// shapes, and a shape of one sample is the dot a click draws.
bool DrawnAsShape(const Stroke& stroke);
// The width of the line a stroke's tool draws a shape with; the arrow's head is measured from it.
float ShapeLineWidth(const Stroke& stroke);
