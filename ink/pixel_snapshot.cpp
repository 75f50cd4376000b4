#include "ink/pixel_snapshot.h"

#include <algorithm>
#include <cstring>

namespace {

struct Run {
    int32_t y, x, length;
};

bool HoldsInk(const uint32_t* pixels, int32_t count) {
    uint32_t any = 0;
    for (int32_t i = 0; i < count; ++i) any |= pixels[i];
    return any != 0;
}

// The runs of neighbouring pieces that hold ink, row by row.
std::vector<Run> RunsWithInk(const PixelLayer& layer) {
    std::vector<Run> runs;
    for (int32_t y = 0; y < layer.height; ++y) {
        const uint32_t* row = PixelAt(layer, 0, y);
        for (int32_t x = 0; x < layer.width; x += SNAPSHOT_PIECE) {
            const int32_t length = std::min(SNAPSHOT_PIECE, layer.width - x);
            if (!HoldsInk(row + x, length)) continue;
            if (!runs.empty() && runs.back().y == y && runs.back().x + runs.back().length == x) {
                runs.back().length += length;
            } else {
                runs.push_back({y, x, length});
            }
        }
    }
    return runs;
}

}  // namespace

PixelSnapshot TakePixelSnapshot(const PixelLayer& layer) {
    PixelSnapshot snapshot;
    snapshot.width = layer.width;
    snapshot.height = layer.height;
    if (!layer.bits) return snapshot;
    const std::vector<Run> runs = RunsWithInk(layer);
    size_t words = 0;
    for (const Run& run : runs) words += 3 + size_t(run.length);
    snapshot.code.resize(words);
    uint32_t* out = snapshot.code.data();
    for (const Run& run : runs) {
        out[0] = uint32_t(run.y);
        out[1] = uint32_t(run.x);
        out[2] = uint32_t(run.length);
        std::memcpy(out + 3, PixelAt(layer, run.x, run.y), size_t(run.length) * 4);
        out += 3 + run.length;
    }
    return snapshot;
}

namespace {

// Calls visit(row start in the layer, kept pixels, count) for every kept run, clipped to the layer.
template <typename Visit>
void ForEachKeptRun(const PixelSnapshot& snapshot, const PixelLayer& layer, Visit visit) {
    if (!layer.bits) return;
    const std::vector<uint32_t>& code = snapshot.code;
    size_t at = 0;
    while (at + 3 <= code.size()) {
        const int32_t y = int32_t(code[at]);
        const int32_t x = int32_t(code[at + 1]);
        const int32_t length = int32_t(code[at + 2]);
        const int32_t kept = std::min(length, layer.width - x);
        if (y < layer.height && kept > 0) visit(PixelAt(layer, x, y), &code[at + 3], size_t(kept));
        at += 3 + size_t(length);
    }
}

}  // namespace

void PutPixelSnapshot(const PixelSnapshot& snapshot, const PixelLayer& layer) {
    ForEachKeptRun(snapshot, layer, [](uint32_t* target, const uint32_t* kept, size_t count) {
        std::memcpy(target, kept, count * 4);
    });
}

void ErasePixelSnapshot(const PixelSnapshot& snapshot, const PixelLayer& layer) {
    ForEachKeptRun(snapshot, layer, [](uint32_t* target, const uint32_t*, size_t count) {
        std::memset(target, 0, count * 4);
    });
}

void MovePixelSnapshot(PixelSnapshot& snapshot, int32_t dx, int32_t dy) {
    std::vector<uint32_t>& code = snapshot.code;
    for (size_t at = 0; at + 3 <= code.size(); at += 3 + size_t(code[at + 2])) {
        code[at] += uint32_t(dy);
        code[at + 1] += uint32_t(dx);
    }
    snapshot.width += dx;
    snapshot.height += dy;
}

size_t SnapshotBytes(const PixelSnapshot& snapshot) { return snapshot.code.capacity() * sizeof(uint32_t); }
