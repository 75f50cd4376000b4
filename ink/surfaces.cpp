#include "ink/surfaces.h"

#include <algorithm>
#include <cstring>

#include "app/app_state.h"
#include "app/frame_clock.h"
#include "ink/ink_floor.h"
#include "ink/live_layer.h"
#include "ink/pixel_compose.h"
#include "ink/pixel_layer.h"
#include "ink/renderer.h"
#include "ink/trail_layer.h"

namespace {

// Alpha 1, not 0: the screen below shows through almost unchanged, yet every pixel stays a hit for
// mouse and pen input, which a layered window lets fall through alpha-0 pixels.
constexpr uint32_t SEE_THROUGH_GROUND = 0x01000000;
constexpr uint32_t BOARD_GROUND = 0xFFFFFFFF;

BITMAPINFO FrameHeader() {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = app.canvasWidth;
    info.bmiHeader.biHeight = -app.canvasHeight;  // top-down, like the GDI+ view of the same memory
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

void ReleaseFrame() {
    // frameBitmap draws into frameDib's memory, so it goes first; the DC goes with the DIB still
    // selected, and the DIB after it.
    delete app.frameBitmap;
    app.frameBitmap = nullptr;
    if (app.frameDC) DeleteDC(app.frameDC);
    app.frameDC = nullptr;
    if (app.frameDib) DeleteObject(app.frameDib);
    app.frameDib = nullptr;
    app.frameBits = nullptr;
}

void ReleaseLayers() {
    delete app.inkLayer;
    app.inkLayer = nullptr;
    ReleasePixelLayer(app.inkPixels);
    ReleaseLiveLayer();
    ReleaseTrailLayer();
    ReleaseInkFloor();
}

// Bottom to top: the ground, the committed ink, the highlighter or pen shape in progress, the laser
// trails at the strength of the fade, the laser stroke in progress.
void ComposeFrame(const DirtyRect& area, bool withInk, const PixelLayer* onlyWhere = nullptr) {
    if (!app.frameBits || !app.inkPixels.bits) return;
    ComposeLayer layers[4];
    int count = 0;
    if (withInk) layers[count++] = {&app.inkPixels, 255};
    const bool live = app.drawing && app.livePixels.bits;
    const bool liveUnderTrails = DrawnLive(app.currentStroke) && app.currentStroke.tool != Laser;
    if (live && liveUnderTrails) layers[count++] = {&app.livePixels, 255};
    if (!app.laserTrails.empty() && app.trailPixels.bits) layers[count++] = {&app.trailPixels, TrailScale()};
    if (live && app.currentStroke.tool == Laser) layers[count++] = {&app.livePixels, 255};
    ComposePixels(app.frameBits, app.canvasWidth, area, app.boardMode ? BOARD_GROUND : SEE_THROUGH_GROUND,
                  layers, count, onlyWhere);
}

// Hands the part of `area` an overlay window shows to it; `pane` is in canvas pixels.
void PushToWindow(HWND window, const DirtyRect& pane, const DirtyRect& area) {
    const DirtyRect part = Intersection(pane, area);
    if (!window || !HasArea(part)) return;
    const RECT dirty = {part.left - pane.left, part.top - pane.top, part.right - pane.left, part.bottom - pane.top};
    POINT destination = {app.canvasLeft + pane.left, app.canvasTop + pane.top};
    SIZE size = {pane.right - pane.left, pane.bottom - pane.top};
    POINT source = {pane.left, pane.top};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UPDATELAYEREDWINDOWINFO info = {};
    info.cbSize = sizeof(info);
    info.hdcDst = nullptr;
    info.pptDst = &destination;
    info.psize = &size;
    info.hdcSrc = app.frameDC;
    info.pptSrc = &source;
    info.crKey = 0;
    info.pblend = &blend;
    info.dwFlags = ULW_ALPHA;
    info.prcDirty = &dirty;
    app.pUpdateLayeredWindowIndirect(window, &info);
}

void PushFrame(const DirtyRect& area) {
    if (app.overlays.empty()) {
        PushToWindow(app.overlayWindow, WholeCanvas(), area);
        return;
    }
    for (const OverlayPane& pane : app.overlays) {
        const DirtyRect& a = pane.area;
        PushToWindow(pane.window, {a.left - app.canvasLeft, a.top - app.canvasTop, a.right - app.canvasLeft,
                                   a.bottom - app.canvasTop}, area);
    }
}

void AddPendingPush(const DirtyRect& area) { app.pendingPush = Union(app.pendingPush, area); }

}  // namespace

void ReleaseSurfaces() {
    ReleaseLayers();
    ReleaseFrame();
}

void CreateFrame() {
    ReleaseFrame();
    const BITMAPINFO header = FrameHeader();
    app.frameDC = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    app.frameDib = CreateDIBSection(app.frameDC, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
    app.frameBits = static_cast<uint32_t*>(bits);
    SelectObject(app.frameDC, app.frameDib);
    app.frameBitmap = new Gdiplus::Bitmap(app.canvasWidth, app.canvasHeight, app.canvasWidth * 4,
                                          PixelFormat32bppPARGB, static_cast<BYTE*>(bits));
}

void CreateSurfaces() {
    ReleaseSurfaces();
    app.inkPixels = AllocatePixelLayer(app.canvasWidth, app.canvasHeight);
    app.inkLayer = NewBitmapOver(app.inkPixels);
    CreateFrame();
}

void RebuildInkLayer() {
    StartInkReplayFromFloor({0, 0, app.inkPixels.width, app.inkPixels.height});
    if (!app.inkLayer) return;
    Gdiplus::Graphics graphics(app.inkLayer);
    for (const Stroke& stroke : app.history) {
        DrawStroke(graphics, stroke, 1.0f);
    }
}

void PresentRegion(const DirtyRect& rect) {
    const DirtyRect area = ClampRect(rect, app.canvasWidth, app.canvasHeight);
    if (!HasArea(area)) return;
    ComposeFrame(area, true);
    AddPendingPush(area);
}

void PresentTrailFade(const DirtyRect& rect) {
    const DirtyRect area = ClampRect(rect, app.canvasWidth, app.canvasHeight);
    // A trail layer without memory holds no trail, so nothing on the screen changed.
    if (!HasArea(area) || !app.trailPixels.bits) return;
    ComposeFrame(area, true, &app.trailPixels);
    AddPendingPush(area);
}

namespace {

void PresentCanvasWithoutInk() {
    const DirtyRect area = ClampRect(WholeCanvas(), app.canvasWidth, app.canvasHeight);
    if (!HasArea(area)) return;
    ComposeFrame(area, false);
    AddPendingPush(area);
}

void UseAsInkLayer(PixelLayer pixels) {
    delete app.inkLayer;
    ReleasePixelLayer(app.inkPixels);
    app.inkPixels = pixels;
    app.inkLayer = app.inkPixels.bits ? NewBitmapOver(app.inkPixels) : nullptr;
}

}  // namespace

void ClearInkAndPresentCanvas() {
    ClearPixels(app.inkPixels, {0, 0, app.inkPixels.width, app.inkPixels.height});
    PresentCanvasWithoutInk();
}

PixelLayer TakeInkAndPresentCanvas() {
    const PixelLayer taken = app.inkPixels;
    app.inkPixels = {};
    UseAsInkLayer(AllocatePixelLayer(taken.width, taken.height));
    PresentCanvasWithoutInk();
    return taken;
}

void ReuseAsTransparentInkLayer(PixelLayer taken, const PixelSnapshot& kept) {
    const bool untouched = app.history.empty() && !app.drawing && !app.floorPixels.bits;
    if (!untouched || taken.width != app.inkPixels.width || taken.height != app.inkPixels.height) {
        ReleasePixelLayer(taken);
        return;
    }
    ErasePixelSnapshot(kept, taken);
    UseAsInkLayer(taken);
}

void PutBackInkLayer(PixelLayer taken) {
    if (taken.width == app.inkPixels.width && taken.height == app.inkPixels.height) {
        UseAsInkLayer(taken);
        return;
    }
    for (int32_t y = 0; y < taken.height && y < app.inkPixels.height; ++y) {
        std::memcpy(PixelAt(app.inkPixels, 0, y), PixelAt(taken, 0, y),
                    size_t(std::min(taken.width, app.inkPixels.width)) * 4);
    }
    ReleasePixelLayer(taken);
}

void PushPendingFrame() {
    // The canvas may have shrunk since the area was composed.
    const DirtyRect area = ClampRect(app.pendingPush, app.canvasWidth, app.canvasHeight);
    app.pendingPush = {};
    if (!HasArea(area)) return;
    app.lastPushStartUs = FrameClockUs();
    PushFrame(area);
}
