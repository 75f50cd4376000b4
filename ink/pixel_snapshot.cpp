#include "ink/pixel_snapshot.h"

#include <algorithm>

PixelSnapshot TakePixelSnapshot(const PixelLayer& layer) {
    PixelSnapshot snapshot;
    snapshot.width = layer.width;
    snapshot.height = layer.height;
    if (!layer.bits) return snapshot;
    std::vector<uint32_t>& code = snapshot.code;
    for (int32_t y = 0; y < layer.height; ++y) {
        const uint32_t* row = PixelAt(layer, 0, y);
        const size_t header = code.size();
        uint32_t runs = 0;
        int32_t x = 0;
        while (x < layer.width) {
            if (row[x] == 0) {
                ++x;
                continue;
            }
            const int32_t start = x;
            const uint32_t value = row[x];
            while (x < layer.width && row[x] == value && x - start < 0xFFFF) ++x;
            if (runs == 0) {
                code.push_back(uint32_t(y));
                code.push_back(0);
            }
            code.push_back(uint32_t(start) | uint32_t(x - start) << 16);
            code.push_back(value);
            ++runs;
        }
        if (runs != 0) code[header + 1] = runs;
    }
    code.shrink_to_fit();
    return snapshot;
}

void PutPixelSnapshot(const PixelSnapshot& snapshot, const PixelLayer& layer) {
    if (!layer.bits) return;
    const std::vector<uint32_t>& code = snapshot.code;
    size_t at = 0;
    while (at + 2 <= code.size()) {
        const int32_t y = int32_t(code[at]);
        const uint32_t runs = code[at + 1];
        at += 2;
        for (uint32_t r = 0; r < runs && at + 2 <= code.size(); ++r, at += 2) {
            const int32_t x = int32_t(code[at] & 0xFFFF);
            const int32_t end = std::min(x + int32_t(code[at] >> 16), layer.width);
            if (y < layer.height && x < end) std::fill(PixelAt(layer, x, y), PixelAt(layer, end, y), code[at + 1]);
        }
    }
}

size_t SnapshotBytes(const PixelSnapshot& snapshot) { return snapshot.code.capacity() * sizeof(uint32_t); }
