#include "ink/pixel_layer.h"

#include <algorithm>
#include <cstring>


PixelLayer AllocatePixelLayer(int32_t width, int32_t height) {
    PixelLayer layer;
    if (width <= 0 || height <= 0) return layer;
    // Pages straight from the system: zeroed, aligned for vector loads, and returned whole on release.
    void* memory = VirtualAlloc(nullptr, size_t(width) * size_t(height) * 4, MEM_COMMIT | MEM_RESERVE,
                                PAGE_READWRITE);
    if (!memory) return layer;
    layer.bits = static_cast<uint32_t*>(memory);
    layer.width = width;
    layer.height = height;
    return layer;
}

void ReleasePixelLayer(PixelLayer& layer) {
    if (layer.bits) VirtualFree(layer.bits, 0, MEM_RELEASE);
    layer = {};
}

bool HasArea(const DirtyRect& rect) { return rect.right > rect.left && rect.bottom > rect.top; }

DirtyRect ClampRect(const DirtyRect& rect, int32_t width, int32_t height) {
    const DirtyRect clamped = {std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, width),
                               std::min(rect.bottom, height)};
    return HasArea(clamped) ? clamped : DirtyRect{};
}

DirtyRect Intersection(const DirtyRect& a, const DirtyRect& b) {
    const DirtyRect both = {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                            std::min(a.bottom, b.bottom)};
    return HasArea(both) ? both : DirtyRect{};
}

DirtyRect Union(const DirtyRect& a, const DirtyRect& b) {
    if (!HasArea(a)) return b;
    if (!HasArea(b)) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

void ClearPixels(const PixelLayer& layer, const DirtyRect& rect) {
    const DirtyRect area = ClampRect(rect, layer.width, layer.height);
    if (!HasArea(area) || !layer.bits) return;
    const size_t rowBytes = size_t(area.right - area.left) * 4;
    for (int32_t y = area.top; y < area.bottom; ++y) {
        std::memset(PixelAt(layer, area.left, y), 0, rowBytes);
    }
}

Gdiplus::Bitmap* NewBitmapOver(const PixelLayer& layer) {
    return new Gdiplus::Bitmap(layer.width, layer.height, layer.width * 4, PixelFormat32bppPARGB,
                               reinterpret_cast<BYTE*>(layer.bits));
}
