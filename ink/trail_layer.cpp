#include "ink/trail_layer.h"

#include <algorithm>

#include "app/app_state.h"
#include "ink/pixel_layer.h"
#include "ink/renderer.h"

void DrawTrailIntoLayer(const Stroke& trail) {
    if (!app.trailLayer) return;
    Gdiplus::Graphics graphics(app.trailLayer);
    DrawStroke(graphics, trail, 1.0f);
}

void ClearTrailLayer(const DirtyRect& rect) { ClearPixels(app.trailPixels, rect); }

void RebuildTrailLayer() {
    ClearPixels(app.trailPixels, {0, 0, app.trailPixels.width, app.trailPixels.height});
    for (const Stroke& trail : app.laserTrails) DrawTrailIntoLayer(trail);
}

uint32_t TrailScale() {
    // Truncated like the renderer's faded alphas, so full opacity needs the whole fade.
    return uint32_t(std::clamp(app.laserFade, 0.0f, 1.0f) * 255.0f);
}
