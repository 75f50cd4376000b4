#pragma once
#include <cstdint>

#include "app/dirty_rect.h"
#include "ink/pixel_layer.h"

// One picture laid over the frame by the composition, its every channel first multiplied by
// scale / 255 (255 leaves it as it is).
struct ComposeLayer {
    const PixelLayer* layer;
    uint32_t scale;
};

// Frame pixels inside `rect` become the ground with each layer laid over it in order, premultiplied
// source-over. `rect` must lie inside the frame and every layer.
// With `onlyWhere` set, only pixels where that picture is not empty are composed; the others keep
// what the frame holds.
void ComposePixels(uint32_t* frame, int32_t frameWidth, const DirtyRect& rect, uint32_t ground,
                   const ComposeLayer* layers, int layerCount, const PixelLayer* onlyWhere = nullptr);
// The same result one pixel at a time: the reference the vector loops are checked against.
void ComposePixelsScalar(uint32_t* frame, int32_t frameWidth, const DirtyRect& rect, uint32_t ground,
                         const ComposeLayer* layers, int layerCount, const PixelLayer* onlyWhere = nullptr);

// The arithmetic of both, one pixel: round(x / 255) for x up to 255 * 255.
inline uint32_t Div255(uint32_t x) {
    x += 128;
    return (x + (x >> 8)) >> 8;
}
uint32_t ScalePixel(uint32_t pixel, uint32_t scale);
uint32_t OverPixel(uint32_t source, uint32_t destination);
