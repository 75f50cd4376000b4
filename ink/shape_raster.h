#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "app/dirty_rect.h"
#include "ink/shape_geometry.h"

// Turns a shape's centre line into pixels. The shape is one union of its pieces for each ink, so no
// pixel is laid twice, and the cost follows the pixels asked for, not the size of the shape.

// One line laid along the outline: half its width and its colour, straight (not premultiplied) ARGB.
struct OutlineInk {
    float halfWidth;
    uint32_t argb;
};

// How far from the centre line any ink reaches, with the pixel its smoothed edge may take.
float InkReach(const OutlineInk* inks, int inkCount);

// Renders the outline in the inks, the first at the bottom, over transparent into every pixel of the
// rects (canvas coordinates) of a premultiplied picture whose top-left pixel is canvas pixel
// (originX, originY), rows `stride` pixels apart. Pixel (x, y) has its centre at (x, y), as GDI+ places
// it. A pixel is covered as far as its centre lies less than half a pixel outside a line's edge, which
// smooths the edges. A pixel's value depends only on its position, however the area is cut into rects.
// `changed`, if given, is called with the parts of the rects (whole rows of each) where the picture
// held other pixels before, each once they are laid.
void RasterizeOutline(const std::vector<OutlinePiece>& outline, const OutlineInk* inks, int inkCount,
                      const std::vector<DirtyRect>& rects, uint32_t* picture, int32_t stride, int32_t originX,
                      int32_t originY, const std::function<void(const DirtyRect&)>& changed = {});
