#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ink/pixel_layer.h"

// A layer's pixels kept compactly: runs of one value row by row, transparent pixels left out, so an
// empty area costs nothing and the flat inside of a stroke a few words a row.
struct PixelSnapshot {
    std::vector<uint32_t> code;  // per row with ink: y, run count, then x | length << 16 and the value
    int32_t width = 0;
    int32_t height = 0;
};

PixelSnapshot TakePixelSnapshot(const PixelLayer& layer);
// Writes the kept pixels into `layer` at their places (the layer at least the snapshot's size, or
// clipped to it); pixels the snapshot holds as transparent are not touched.
void PutPixelSnapshot(const PixelSnapshot& snapshot, const PixelLayer& layer);
size_t SnapshotBytes(const PixelSnapshot& snapshot);
