#include "ink/surface_resize.h"

#include <algorithm>
#include <cstring>

#include "app/app_state.h"
#include "ink/ink_floor.h"
#include "ink/ink_undo.h"
#include "ink/live_layer.h"
#include "ink/pixel_layer.h"
#include "ink/surfaces.h"
#include "ink/trail_layer.h"

namespace {

PixelLayer GrownCopy(const PixelLayer& old, int32_t width, int32_t height) {
    PixelLayer grown = AllocatePixelLayer(width, height);
    if (!grown.bits || !old.bits) return grown;
    for (int32_t y = 0; y < old.height; ++y) {
        std::memcpy(PixelAt(grown, 0, y), PixelAt(old, 0, y), size_t(old.width) * 4);
    }
    return grown;
}

void GrowLayers(int32_t width, int32_t height) {
    const int32_t oldWidth = app.inkPixels.width;
    const int32_t oldHeight = app.inkPixels.height;

    PixelLayer ink = GrownCopy(app.inkPixels, width, height);
    delete app.inkLayer;
    ReleasePixelLayer(app.inkPixels);
    ReleaseLiveLayer();
    ReleaseTrailLayer();
    app.inkPixels = ink;
    app.inkLayer = NewBitmapOver(app.inkPixels);
    GrowInkFloor();

    // Only strokes that reach into the new strips are drawn, and only there.
    ReplayInkBeyond(oldWidth, oldHeight);
    InkLayerGrew(oldWidth, oldHeight);
    // At the new size, and only if in use: trails waiting, a stroke drawn live in progress.
    RebuildTrailLayer();
    RebuildLiveLayer();
}

}  // namespace

void FitSurfacesToCanvas() {
    const int32_t width = std::max(app.canvasWidth, app.inkPixels.width);
    const int32_t height = std::max(app.canvasHeight, app.inkPixels.height);
    if (width != app.inkPixels.width || height != app.inkPixels.height || !app.inkPixels.bits) {
        GrowLayers(width, height);
    }
    CreateFrame();
}
