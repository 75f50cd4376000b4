#include "ink/ink_origin.h"

#include <cstring>
#include <vector>

#include "app/app_state.h"
#include "ink/ink_steps.h"
#include "ink/ink_undo.h"
#include "ink/live_layer.h"
#include "ink/pixel_layer.h"
#include "ink/pixel_snapshot.h"
#include "ink/renderer.h"
#include "ink/trail_layer.h"

namespace {

// The layer and its GDI+ view made anew, larger by dx columns on the left and dy rows on the top,
// with the old pixels moved by (dx, dy); the new strips are transparent.
void MoveLayer(PixelLayer& layer, Gdiplus::Bitmap*& view, int32_t dx, int32_t dy) {
    if (!layer.bits) return;
    PixelLayer moved = AllocatePixelLayer(layer.width + dx, layer.height + dy);
    if (moved.bits) {
        for (int32_t y = 0; y < layer.height; ++y) {
            std::memcpy(PixelAt(moved, dx, y + dy), PixelAt(layer, 0, y), size_t(layer.width) * 4);
        }
    }
    delete view;
    ReleasePixelLayer(layer);
    layer = moved;
    view = layer.bits ? NewBitmapOver(layer) : nullptr;
}

// The layers of the translucent stroke in progress and of the laser trails hold only what their
// strokes draw into them again: where they have memory, it is only made anew at the new size.
void RemakeLiveAndTrailLayers(int32_t width, int32_t height) {
    if (app.livePixels.bits) {
        ReleasePixelLayer(app.livePixels);
        app.livePixels = AllocatePixelLayer(width, height);
    }
    if (app.trailPixels.bits) {
        delete app.trailLayer;
        ReleasePixelLayer(app.trailPixels);
        app.trailPixels = AllocatePixelLayer(width, height);
        app.trailLayer = app.trailPixels.bits ? NewBitmapOver(app.trailPixels) : nullptr;
    }
}

void MoveStroke(Stroke& stroke, int32_t dx, int32_t dy) {
    // Samples are whole pixels (or few binary places beyond), so the sums are exact and the stroke
    // is drawn on the same pixels, moved.
    for (InkPoint& point : stroke.points) {
        point.x += float(dx);
        point.y += float(dy);
    }
    MoveUndoPixels(stroke, dx / INK_TILE, dy / INK_TILE);
}

void MoveRect(DirtyRect& rect, int32_t dx, int32_t dy) {
    if (rect.IsEmpty()) return;
    rect.left += dx;
    rect.top += dy;
    rect.right += dx;
    rect.bottom += dy;
}

void MoveRecords(int32_t dx, int32_t dy) {
    for (Stroke& stroke : app.history) MoveStroke(stroke, dx, dy);
    for (ClearedInk& cleared : app.clears) {
        for (Stroke& stroke : cleared.strokes) MoveStroke(stroke, dx, dy);
        MovePixelSnapshot(cleared.ink, dx, dy);
        MovePixelSnapshot(cleared.floor, dx, dy);
        cleared.layerLeft += dx;
        cleared.layerTop += dy;
    }
    for (RedoStep& step : app.redoSteps) MoveStroke(step.stroke, dx, dy);
    for (Stroke& trail : app.laserTrails) MoveStroke(trail, dx, dy);
    MoveStroke(app.currentStroke, dx, dy);
    MoveKeptInk(dx / INK_TILE, dy / INK_TILE);
    MoveRect(app.strokeDirty, dx, dy);
    MoveRect(app.laserDirty, dx, dy);
    MoveRect(app.pendingPush, dx, dy);
}

// A pen or eraser stroke in progress lives in the ink layer, where the replay has just drawn the
// history without it: it is laid over the replayed areas again, to be seen until its release draws
// its area from the history.
void RedrawStrokeInProgress(const std::vector<DirtyRect>& replayed) {
    if (!app.drawing || DrawnLive(app.currentStroke) || !app.inkLayer) return;
    // Once, clipped to all the replayed areas together: where two of them overlap, smoothed edges
    // drawn twice would darken.
    const DirtyRect area = StrokeArea(app.currentStroke);
    Gdiplus::Region clip;
    clip.MakeEmpty();
    bool reached = false;
    for (const DirtyRect& rect : replayed) {
        if (!HasArea(Intersection(rect, area))) continue;
        clip.Union(Gdiplus::Rect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top));
        reached = true;
    }
    if (!reached) return;
    Gdiplus::Graphics graphics(app.inkLayer);
    graphics.SetClip(&clip);
    DrawStroke(graphics, app.currentStroke, 1.0f);
}

}  // namespace

void MoveInkOrigin(int32_t dx, int32_t dy) {
    if (dx < 0 || dy < 0 || dx % INK_TILE != 0 || dy % INK_TILE != 0 || (dx == 0 && dy == 0)) return;
    // A clear's ink layer goes back at the layer's top-left: kept pictures move only as compact ones.
    CompactKeptClears();
    const int32_t width = app.inkPixels.width + dx;
    const int32_t height = app.inkPixels.height + dy;
    const DirtyRect known = {dx, dy, width, height};

    MoveLayer(app.inkPixels, app.inkLayer, dx, dy);
    MoveLayer(app.floorPixels, app.floorLayer, dx, dy);
    RemakeLiveAndTrailLayers(width, height);
    MoveRecords(dx, dy);

    const std::vector<DirtyRect> replayed = InkAreasToReplay(known);
    for (const DirtyRect& area : replayed) ReplayInkArea(area);
    InkReplayedIn(replayed);
    RedrawStrokeInProgress(replayed);
    RebuildTrailLayer();
    RebuildLiveLayer();
}
