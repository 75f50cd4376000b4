#pragma once
#include <cstdint>

#include "app/dirty_rect.h"
#include "app/platform.h"

// Premultiplied BGRA pixels, rows top to bottom without padding, in memory of our own so that the
// composition can read them directly. Fresh memory is fully transparent.
struct PixelLayer {
    uint32_t* bits = nullptr;
    int32_t width = 0;
    int32_t height = 0;
};

PixelLayer AllocatePixelLayer(int32_t width, int32_t height);
void ReleasePixelLayer(PixelLayer& layer);

// The part of `rect` inside a width x height area; all zero when nothing of it is inside.
DirtyRect ClampRect(const DirtyRect& rect, int32_t width, int32_t height);
bool HasArea(const DirtyRect& rect);
DirtyRect Intersection(const DirtyRect& a, const DirtyRect& b);
DirtyRect Union(const DirtyRect& a, const DirtyRect& b);

inline uint32_t* PixelAt(const PixelLayer& layer, int32_t x, int32_t y) {
    return layer.bits + size_t(y) * size_t(layer.width) + size_t(x);
}
// Makes the layer's pixels inside `rect` fully transparent.
void ClearPixels(const PixelLayer& layer, const DirtyRect& rect);
// A GDI+ picture over the layer's memory: what GDI+ draws lands in the layer itself.
Gdiplus::Bitmap* NewBitmapOver(const PixelLayer& layer);
