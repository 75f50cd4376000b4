#include "ink/trail_layer.h"

#include <algorithm>
#include <utility>

#include "app/app_state.h"
#include "ink/pixel_layer.h"
#include "ink/renderer.h"

namespace {

// Fresh memory is transparent already: it is not cleared, which would touch every page of it.
void DrawTrailIntoLayer(const Stroke& trail) {
    if (!app.trailPixels.bits) {
        app.trailPixels = AllocatePixelLayer(app.inkPixels.width, app.inkPixels.height);
        if (!app.trailPixels.bits) return;
        app.trailLayer = NewBitmapOver(app.trailPixels);
    }
    Gdiplus::Graphics graphics(app.trailLayer);
    DrawStroke(graphics, trail, 1.0f);
}

}  // namespace

void AddLaserTrail(Stroke trail) {
    DrawTrailIntoLayer(trail);
    app.laserTrails.push_back(std::move(trail));
}

void ForgetLaserTrails() {
    app.laserTrails.clear();
    ReleaseTrailLayer();
}

void RebuildTrailLayer() {
    ReleaseTrailLayer();
    for (const Stroke& trail : app.laserTrails) DrawTrailIntoLayer(trail);
}

void ReleaseTrailLayer() {
    // The GDI+ view draws into the layer's memory, so it goes first.
    delete app.trailLayer;
    app.trailLayer = nullptr;
    ReleasePixelLayer(app.trailPixels);
}

uint32_t TrailScale() {
    // Truncated like the renderer's faded alphas, so full opacity needs the whole fade.
    return uint32_t(std::clamp(app.laserFade, 0.0f, 1.0f) * 255.0f);
}
