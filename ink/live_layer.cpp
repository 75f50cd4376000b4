#include "ink/live_layer.h"

#include <algorithm>
#include <vector>

#include "app/app_state.h"
#include "ink/pixel_layer.h"
#include "ink/renderer.h"
#include "ink/shape_raster.h"

bool DrawnLive(const Stroke& stroke) {
    return stroke.tool == Highlighter || stroke.tool == Laser ||
           (stroke.shape != StrokeShape::Freehand && stroke.tool != Eraser);
}

void AllocateLiveLayer() {
    // Fresh memory is transparent already: it is not cleared, which would touch every page of it.
    ReleaseLiveLayer();
    app.livePixels = AllocatePixelLayer(app.inkPixels.width, app.inkPixels.height);
}

void ReleaseLiveLayer() { ReleasePixelLayer(app.livePixels); }

void DrawLivePiece(const Stroke& piece, const DirtyRect& rect) {
    const PixelLayer& live = app.livePixels;
    const DirtyRect area = ClampRect(rect, live.width, live.height);
    if (!HasArea(area) || piece.points.empty()) return;
    const int32_t width = area.right - area.left;
    const int32_t height = area.bottom - area.top;

    // The piece is drawn on a transparent scratch picture of the area, moved by whole pixels so
    // that it lands on the same pixels as on the canvas.
    std::vector<uint32_t> scratch(size_t(width) * size_t(height), 0);
    Stroke moved = piece;
    for (InkPoint& point : moved.points) {
        point.x -= float(area.left);
        point.y -= float(area.top);
    }
    {
        Gdiplus::Bitmap bitmap(width, height, width * 4, PixelFormat32bppPARGB,
                               reinterpret_cast<BYTE*>(scratch.data()));
        Gdiplus::Graphics graphics(&bitmap);
        DrawStroke(graphics, moved, 1.0f);
        graphics.Flush(Gdiplus::FlushIntentionSync);
    }

    for (int32_t y = 0; y < height; ++y) {
        const uint32_t* source = scratch.data() + size_t(y) * size_t(width);
        uint32_t* target = PixelAt(live, area.left, area.top + y);
        for (int32_t x = 0; x < width; ++x) {
            if ((source[x] >> 24) > (target[x] >> 24)) target[x] = source[x];
        }
    }
}

Stroke NewestLivePiece() {
    const Stroke& stroke = app.currentStroke;
    Stroke piece;
    piece.tool = stroke.tool;
    piece.colour = stroke.colour;
    piece.width = stroke.width;
    const size_t count = std::min<size_t>(stroke.points.size(), 3);
    piece.points.assign(stroke.points.end() - count, stroke.points.end());
    return piece;
}

void ClearLiveLayer(const DirtyRect& rect) { ClearPixels(app.livePixels, rect); }

void RebuildLiveLayer() {
    // Pen and eraser strokes in progress are in the ink layer; nothing would clear them from here.
    if (!app.drawing || !DrawnLive(app.currentStroke)) {
        ReleaseLiveLayer();
        return;
    }
    AllocateLiveLayer();
    if (app.currentStroke.shape != StrokeShape::Freehand) {
        const ShapePicture picture = PictureOfShape(app.currentStroke, 1.0f);
        DrawLiveShape(app.currentStroke, picture, LiveCoverOf(picture));
    } else {
        DrawLivePiece(app.currentStroke, StrokeArea(app.currentStroke));
    }
}

std::vector<DirtyRect> LiveCoverOf(const ShapePicture& picture) {
    return OutlineCover(picture.outline, picture.reach, LIVE_BAND_ROWS,
                        {0, 0, app.livePixels.width, app.livePixels.height});
}

void DrawLiveShape(const Stroke& shape, const ShapePicture& picture, const std::vector<DirtyRect>& cover,
                   const std::function<void(const DirtyRect&)>& changed) {
    if (!app.livePixels.bits) return;
    if (!DrawnAsShape(shape)) {
        // One sample: the renderer's dot, as a click draws it.
        for (const DirtyRect& rect : cover) ClearLiveLayer(rect);
        DrawLivePiece(shape, CoverBounds(LiveCoverOf(picture)));
        if (changed) {
            for (const DirtyRect& rect : cover) changed(rect);
        }
        return;
    }
    RasterizeOutline(picture.outline, picture.inks, picture.inkCount, cover, app.livePixels.bits,
                     app.livePixels.width, 0, 0, changed);
}
