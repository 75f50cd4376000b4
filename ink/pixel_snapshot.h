#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ink/pixel_layer.h"

// A layer's pixels kept compactly: each row is looked at in pieces of SNAPSHOT_PIECE pixels, and only
// the pieces that hold anything are kept, so an empty area costs nothing. Taking and putting back are
// plain copies, at the speed of memory.
constexpr int32_t SNAPSHOT_PIECE = 64;

struct PixelSnapshot {
    std::vector<uint32_t> code;  // per run of pieces with ink: y, x, length, then the pixels
    int32_t width = 0;
    int32_t height = 0;
};

PixelSnapshot TakePixelSnapshot(const PixelLayer& layer);
// Writes the kept pixels into `layer` at their places, clipped to it; what the snapshot left out as
// transparent is not touched.
void PutPixelSnapshot(const PixelSnapshot& snapshot, const PixelLayer& layer);
// Makes the pixels the snapshot kept transparent in `layer`, the layer it was taken of: all of it is
// transparent then, and the pieces that held nothing are not even touched.
void ErasePixelSnapshot(const PixelSnapshot& snapshot, const PixelLayer& layer);
// The picture taken of a layer that has since gained `dx` columns on the left and `dy` rows on the
// top, its pixels moved by (dx, dy): the kept pixels move with them. With dx a multiple of
// SNAPSHOT_PIECE the pieces stay the layer's pieces.
void MovePixelSnapshot(PixelSnapshot& snapshot, int32_t dx, int32_t dy);
size_t SnapshotBytes(const PixelSnapshot& snapshot);
