#include "ink/ink_undo.h"

#include <algorithm>
#include <cstring>

#include "app/app_state.h"
#include "ink/ink_floor.h"
#include "ink/pixel_layer.h"
#include "ink/renderer.h"
#include "ink/shape_geometry.h"

namespace {

int64_t AreaOf(const DirtyRect& rect) { return int64_t(rect.right - rect.left) * (rect.bottom - rect.top); }

// Adds `rect` to `areas`, merged with every area it overlaps where `merge` agrees, again with what
// the merge then overlaps.
template <typename Merge>
void AddMerged(std::vector<DirtyRect>& areas, DirtyRect rect, Merge merge) {
    for (size_t i = 0; i < areas.size();) {
        if (HasArea(Intersection(areas[i], rect)) && merge(areas[i], rect)) {
            rect = Union(rect, areas[i]);
            areas[i] = areas.back();
            areas.pop_back();
            i = 0;
        } else {
            ++i;
        }
    }
    areas.push_back(rect);
}

constexpr size_t TILE_PIXELS = size_t(INK_TILE) * INK_TILE;

uint32_t TileId(int32_t tx, int32_t ty) { return uint32_t(tx) | uint32_t(ty) << 16; }
int32_t TileX(uint32_t id) { return int32_t(id & 0xFFFF); }
int32_t TileY(uint32_t id) { return int32_t(id >> 16); }

DirtyRect TileRect(uint32_t id) {
    const int32_t left = TileX(id) * INK_TILE;
    const int32_t top = TileY(id) * INK_TILE;
    return {left, top, left + INK_TILE, top + INK_TILE};
}

InkKeeping& keeping() { return app.inkKeeping; }

// The tile grid follows the ink layer, which grows on display changes; the stamps of a stroke in
// progress move with their tiles.
void FitStampsToLayer() {
    InkKeeping& k = keeping();
    const int32_t columns = (app.inkPixels.width + INK_TILE - 1) / INK_TILE;
    const int32_t rows = (app.inkPixels.height + INK_TILE - 1) / INK_TILE;
    if (columns == k.columns && rows == k.rows) return;
    k.columns = columns;
    k.rows = rows;
    k.stamps.assign(size_t(columns) * size_t(rows), 0);
    for (uint32_t id : k.keptIds) {
        if (TileX(id) < columns && TileY(id) < rows) k.stamps[size_t(TileY(id)) * columns + TileX(id)] = k.serial;
    }
}

// Calls visit(tilePixelIndex, layerPixel) for every pixel of the tile that lies in the layer.
template <typename Visit>
void ForEachTilePixel(uint32_t id, Visit visit) {
    const DirtyRect area = ClampRect(TileRect(id), app.inkPixels.width, app.inkPixels.height);
    for (int32_t y = area.top; y < area.bottom; ++y) {
        uint32_t* row = PixelAt(app.inkPixels, 0, y);
        const size_t base = size_t(y - TileY(id) * INK_TILE) * INK_TILE - size_t(TileX(id) * INK_TILE);
        for (int32_t x = area.left; x < area.right; ++x) visit(base + size_t(x), row[x]);
    }
}

void KeepTile(uint32_t id) {
    InkKeeping& k = keeping();
    k.keptIds.push_back(id);
    const size_t offset = k.keptPixels.size();
    k.keptPixels.resize(offset + TILE_PIXELS, 0);
    uint32_t* kept = k.keptPixels.data() + offset;
    ForEachTilePixel(id, [kept](size_t i, uint32_t& pixel) { kept[i] = pixel; });
}

// Appends the runs of changed pixels of one tile: start | count << 16, then the old value.
void CodeTile(uint32_t id, const uint32_t* kept, std::vector<uint32_t>& code) {
    uint32_t current[TILE_PIXELS];
    std::memcpy(current, kept, sizeof(current));
    ForEachTilePixel(id, [&current](size_t i, uint32_t& pixel) { current[i] = pixel; });

    const size_t header = code.size();
    code.push_back(id);
    code.push_back(0);
    uint32_t runs = 0;
    size_t i = 0;
    while (i < TILE_PIXELS) {
        if (current[i] == kept[i]) {
            ++i;
            continue;
        }
        const size_t start = i;
        const uint32_t old = kept[i];
        while (i < TILE_PIXELS && current[i] != kept[i] && kept[i] == old) ++i;
        code.push_back(uint32_t(start) | uint32_t(i - start) << 16);
        code.push_back(old);
        ++runs;
    }
    if (runs == 0) {
        code.resize(header);
    } else {
        code[header + 1] = runs;
    }
}

void DropKeptTiles() {
    InkKeeping& k = keeping();
    k.keptIds.clear();
    k.keptPixels.clear();
    k.keptPixels.shrink_to_fit();  // a long scribble may have kept the whole canvas
}

}  // namespace

void StartKeepingInk() {
    InkKeeping& k = keeping();
    k.active = true;
    k.overtaken = false;
    k.keptIds.clear();
    k.keptPixels.clear();
    ++k.serial;
    if (k.serial == 0) {  // wrapped: old stamps could look current
        std::fill(k.stamps.begin(), k.stamps.end(), 0);
        k.serial = 1;
    }
}

void KeepInkUnder(const DirtyRect& rect) {
    InkKeeping& k = keeping();
    if (!k.active || !app.inkPixels.bits) return;
    FitStampsToLayer();
    const DirtyRect area = ClampRect(rect, app.inkPixels.width, app.inkPixels.height);
    if (!HasArea(area)) return;
    for (int32_t ty = area.top / INK_TILE; ty <= (area.bottom - 1) / INK_TILE; ++ty) {
        for (int32_t tx = area.left / INK_TILE; tx <= (area.right - 1) / INK_TILE; ++tx) {
            uint32_t& stamp = k.stamps[size_t(ty) * k.columns + tx];
            if (stamp == k.serial) continue;
            stamp = k.serial;
            KeepTile(TileId(tx, ty));
        }
    }
}

DirtyRect RestoreKeptInk(const DirtyRect& rect) {
    const InkKeeping& k = keeping();
    DirtyRect restored;
    for (size_t t = 0; t < k.keptIds.size(); ++t) {
        const uint32_t id = k.keptIds[t];
        if (!HasArea(Intersection(TileRect(id), rect))) continue;
        const uint32_t* kept = k.keptPixels.data() + t * TILE_PIXELS;
        ForEachTilePixel(id, [kept](size_t i, uint32_t& pixel) { pixel = kept[i]; });
        restored = Union(restored, TileRect(id));
    }
    return restored;
}

void FinishKeepingInk(Stroke& stroke) {
    InkKeeping& k = keeping();
    stroke.undoPixels.clear();
    stroke.undoKept = k.active && !k.overtaken;
    if (stroke.undoKept) {
        for (size_t t = 0; t < k.keptIds.size(); ++t) {
            CodeTile(k.keptIds[t], k.keptPixels.data() + t * TILE_PIXELS, stroke.undoPixels);
        }
        stroke.undoPixels.shrink_to_fit();
    }
    DropKeptTiles();
    k.active = false;
    k.overtaken = false;
}

void InkLayerGrew(int32_t oldWidth, int32_t oldHeight) {
    for (Stroke& stroke : app.history) {
        const DirtyRect area = StrokeArea(stroke);
        if (!stroke.undoKept || (area.right <= oldWidth && area.bottom <= oldHeight)) continue;
        DropUndoPixels(stroke, true);
    }
    if (keeping().active) keeping().overtaken = true;
}

void MoveUndoPixels(Stroke& stroke, int32_t tilesRight, int32_t tilesDown) {
    std::vector<uint32_t>& code = stroke.undoPixels;
    for (size_t at = 0; at + 2 <= code.size(); at += 2 + 2 * size_t(code[at + 1])) {
        code[at] = TileId(TileX(code[at]) + tilesRight, TileY(code[at]) + tilesDown);
    }
}

void MoveKeptInk(int32_t tilesRight, int32_t tilesDown) {
    InkKeeping& k = keeping();
    for (uint32_t& id : k.keptIds) id = TileId(TileX(id) + tilesRight, TileY(id) + tilesDown);
    // The grid is laid anew, with the stamps of the stroke in progress on the tiles' new places.
    k.columns = 0;
    k.rows = 0;
    FitStampsToLayer();
}

std::vector<DirtyRect> InkAreasToReplay(const DirtyRect& known) {
    const int32_t width = app.inkPixels.width;
    const int32_t height = app.inkPixels.height;
    std::vector<DirtyRect> areas;
    for (const DirtyRect& outside : {DirtyRect{0, 0, width, known.top}, DirtyRect{0, known.bottom, width, height},
                                     DirtyRect{0, known.top, known.left, known.bottom},
                                     DirtyRect{known.right, known.top, width, known.bottom}}) {
        const DirtyRect area = ClampRect(outside, width, height);
        if (HasArea(area)) areas.push_back(area);
    }
    // Overlapping areas of clipped strokes are drawn as one, so no pixel is drawn twice for them; past
    // a few dozen, as one rectangle round them all.
    constexpr size_t MAX_CLIPPED_AREAS = 32;
    std::vector<DirtyRect> clipped;
    // Only strokes that ran past a left or top edge that now lies inside the layer were cut off.
    const bool edgesMoved = known.left > 0 || known.top > 0;
    const int32_t cutLeft = known.left > 0 ? known.left : INT32_MIN;
    const int32_t cutTop = known.top > 0 ? known.top : INT32_MIN;
    for (size_t i = 0; edgesMoved && i < app.history.size(); ++i) {
        const DirtyRect cut = ClampRect(CutOffArea(app.history[i], cutLeft, cutTop), width, height);
        if (!HasArea(cut)) continue;
        AddMerged(clipped, cut, [](const DirtyRect&, const DirtyRect&) { return true; });
        if (clipped.size() > MAX_CLIPPED_AREAS) clipped.assign(1, CoverBounds(clipped));
    }
    // A strip and a clipped area that reaches into it are drawn as one where that draws no more
    // pixels than the two apart: the strokes in both are then drawn once.
    for (const DirtyRect& area : clipped) {
        AddMerged(areas, area, [](const DirtyRect& a, const DirtyRect& b) {
            return AreaOf(Union(a, b)) <= AreaOf(a) + AreaOf(b);
        });
    }
    return areas;
}

void InkReplayedIn(const std::vector<DirtyRect>& areas) {
    auto reaches = [&areas](const Stroke& stroke) {
        const DirtyRect area = StrokeArea(stroke);
        for (const DirtyRect& replayed : areas) {
            if (HasArea(Intersection(area, replayed))) return true;
        }
        return false;
    };
    for (Stroke& stroke : app.history) {
        if (stroke.undoKept && reaches(stroke)) DropUndoPixels(stroke, true);
    }
    if (keeping().active && reaches(app.currentStroke)) keeping().overtaken = true;
}

bool KeptInkOvertaken() { return keeping().active && keeping().overtaken; }

void ForgetKeptInk() {
    DropKeptTiles();
    if (keeping().active) StartKeepingInk();
}

bool RestoreUndoPixels(const Stroke& stroke) {
    if (!stroke.undoKept) return false;
    const std::vector<uint32_t>& code = stroke.undoPixels;
    size_t at = 0;
    while (at + 2 <= code.size()) {
        const uint32_t id = code[at];
        const uint32_t runs = code[at + 1];
        at += 2;
        const DirtyRect area = ClampRect(TileRect(id), app.inkPixels.width, app.inkPixels.height);
        for (uint32_t r = 0; r < runs && at + 2 <= code.size(); ++r, at += 2) {
            const uint32_t start = code[at] & 0xFFFF;
            const uint32_t count = code[at] >> 16;
            for (uint32_t i = start; i < start + count; ++i) {
                const int32_t x = TileX(id) * INK_TILE + int32_t(i % INK_TILE);
                const int32_t y = TileY(id) * INK_TILE + int32_t(i / INK_TILE);
                if (x < area.right && y < area.bottom) *PixelAt(app.inkPixels, x, y) = code[at + 1];
            }
        }
    }
    return true;
}

void ReplayInkArea(const DirtyRect& area) {
    const DirtyRect clipped = ClampRect(area, app.inkPixels.width, app.inkPixels.height);
    if (!HasArea(clipped) || !app.inkLayer) return;
    StartInkReplayFromFloor(clipped);
    Gdiplus::Graphics graphics(app.inkLayer);
    graphics.SetClip(Gdiplus::Rect(clipped.left, clipped.top, clipped.right - clipped.left,
                                   clipped.bottom - clipped.top));
    for (const Stroke& stroke : app.history) {
        if (HasArea(Intersection(StrokeArea(stroke), clipped))) DrawStroke(graphics, stroke, 1.0f);
    }
}

void AccountUndoPixels(const Stroke& stroke, int direction) {
    const size_t bytes = stroke.undoPixels.size() * sizeof(uint32_t);
    size_t& total = keeping().historyBytes;
    total = direction > 0 ? total + bytes : total - std::min(total, bytes);
}

void DropUndoPixels(Stroke& stroke, bool inHistory) {
    if (inHistory) AccountUndoPixels(stroke, -1);
    stroke.undoPixels = {};
    stroke.undoKept = false;
}

void ReplayInkBeyond(int32_t oldWidth, int32_t oldHeight) {
    ReplayInkArea({oldWidth, 0, app.inkPixels.width, app.inkPixels.height});
    ReplayInkArea({0, oldHeight, oldWidth, app.inkPixels.height});
}
