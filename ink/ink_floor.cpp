#include "ink/ink_floor.h"

#include <cstring>

#include "app/app_state.h"
#include "ink/pixel_layer.h"
#include "ink/renderer.h"

namespace {

PixelLayer& FloorPixels() { return app.floorPixels; }

// The floor has the ink layer's size, so a replay copies it row for row.
void MakeFloor() {
    FloorPixels() = AllocatePixelLayer(app.inkPixels.width, app.inkPixels.height);
    app.floorLayer = FloorPixels().bits ? NewBitmapOver(FloorPixels()) : nullptr;
}

}  // namespace

void DropIntoInkFloor(const Stroke& stroke) {
    if (!FloorPixels().bits) MakeFloor();
    if (!app.floorLayer) return;
    Gdiplus::Graphics graphics(app.floorLayer);
    DrawStroke(graphics, stroke, 1.0f);
}

void StartInkReplayFromFloor(const DirtyRect& area) {
    const DirtyRect clipped = ClampRect(area, app.inkPixels.width, app.inkPixels.height);
    if (!HasArea(clipped)) return;
    if (!FloorPixels().bits) {
        ClearPixels(app.inkPixels, clipped);
        return;
    }
    const size_t rowBytes = size_t(clipped.right - clipped.left) * 4;
    for (int32_t y = clipped.top; y < clipped.bottom; ++y) {
        std::memcpy(PixelAt(app.inkPixels, clipped.left, y), PixelAt(FloorPixels(), clipped.left, y), rowBytes);
    }
}

void GrowInkFloor() {
    if (!FloorPixels().bits) return;
    if (FloorPixels().width == app.inkPixels.width && FloorPixels().height == app.inkPixels.height) return;
    PixelLayer grown = AllocatePixelLayer(app.inkPixels.width, app.inkPixels.height);
    if (grown.bits) {
        for (int32_t y = 0; y < FloorPixels().height && y < grown.height; ++y) {
            std::memcpy(PixelAt(grown, 0, y), PixelAt(FloorPixels(), 0, y), size_t(FloorPixels().width) * 4);
        }
    }
    ReleaseInkFloor();
    FloorPixels() = grown;
    app.floorLayer = FloorPixels().bits ? NewBitmapOver(FloorPixels()) : nullptr;
}

bool HasInkFloor() { return FloorPixels().bits != nullptr; }

PixelSnapshot TakeInkFloor() {
    PixelSnapshot kept = TakePixelSnapshot(FloorPixels());
    ReleaseInkFloor();
    return kept;
}

void PutBackInkFloor(const PixelSnapshot& kept) {
    ReleaseInkFloor();
    if (kept.code.empty()) return;
    MakeFloor();
    PutPixelSnapshot(kept, FloorPixels());
}

void ReleaseInkFloor() {
    delete app.floorLayer;
    app.floorLayer = nullptr;
    ReleasePixelLayer(FloorPixels());
}
