#include "ink/surfaces.h"

#include <algorithm>

#include "app/app_state.h"
#include "ink/renderer.h"

namespace {

// Alpha 1, not 0: the screen below shows through almost unchanged, yet every pixel stays a hit for
// mouse and pen input, which a layered window lets fall through alpha-0 pixels.
constexpr Gdiplus::ARGB SEE_THROUGH_GROUND = 0x01000000;
constexpr Gdiplus::ARGB BOARD_GROUND = 0xFFFFFFFF;

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

void ComposeRegion(Gdiplus::Graphics& graphics, int left, int top, int width, int height) {
    graphics.SetClip(Gdiplus::Rect(left, top, width, height), Gdiplus::CombineModeReplace);

    graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    {
        Gdiplus::SolidBrush ground(Gdiplus::Color(app.boardMode ? BOARD_GROUND : SEE_THROUGH_GROUND));
        graphics.FillRectangle(&ground, left, top, width, height);
    }
    graphics.SetCompositingMode(Gdiplus::CompositingModeSourceOver);
    graphics.DrawImage(app.inkLayer, left, top, left, top, width, height, Gdiplus::UnitPixel);

    // Pen and eraser strokes in progress are already in the ink layer.
    if (app.drawing && app.currentStroke.tool == Highlighter) DrawStroke(graphics, app.currentStroke, 1.0f);
    for (const Stroke& trail : app.laserTrails) {
        DrawStroke(graphics, trail, app.laserFade);
    }
    if (app.drawing && app.currentStroke.tool == Laser) DrawStroke(graphics, app.currentStroke, 1.0f);
}

void PushFrame(const RECT& dirty) {
    POINT destination = {app.canvasLeft, app.canvasTop};
    SIZE size = {app.canvasWidth, app.canvasHeight};
    POINT source = {0, 0};
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
    app.pUpdateLayeredWindowIndirect(app.overlayWindow, &info);
}

}  // namespace

void ReleaseSurfaces() {
    // frameBitmap draws into frameDib's memory, so it goes first; the DC goes with the DIB still
    // selected, and the DIB after it.
    delete app.inkLayer;
    app.inkLayer = nullptr;
    delete app.frameBitmap;
    app.frameBitmap = nullptr;
    if (app.frameDC) DeleteDC(app.frameDC);
    app.frameDC = nullptr;
    if (app.frameDib) DeleteObject(app.frameDib);
    app.frameDib = nullptr;
    app.frameBits = nullptr;
}

void CreateSurfaces() {
    ReleaseSurfaces();
    app.inkLayer = new Gdiplus::Bitmap(app.canvasWidth, app.canvasHeight, PixelFormat32bppPARGB);

    const BITMAPINFO header = FrameHeader();
    app.frameDC = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    app.frameDib = CreateDIBSection(app.frameDC, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
    app.frameBits = static_cast<uint32_t*>(bits);
    SelectObject(app.frameDC, app.frameDib);

    app.frameBitmap = new Gdiplus::Bitmap(app.canvasWidth, app.canvasHeight, app.canvasWidth * 4,
                                          PixelFormat32bppPARGB, static_cast<BYTE*>(bits));
}

void RebuildInkLayer() {
    Gdiplus::Graphics graphics(app.inkLayer);
    graphics.Clear(Gdiplus::Color(0x00000000));
    for (const Stroke& stroke : app.history) {
        DrawStroke(graphics, stroke, 1.0f);
    }
}

void PresentRegion(const DirtyRect& rect) {
    const int32_t left = std::max(rect.left, 0);
    const int32_t top = std::max(rect.top, 0);
    const int32_t right = std::min(rect.right, app.canvasWidth);
    const int32_t bottom = std::min(rect.bottom, app.canvasHeight);
    if (left >= right || top >= bottom) return;

    Gdiplus::Graphics graphics(app.frameBitmap);
    ComposeRegion(graphics, left, top, right - left, bottom - top);
    PushFrame(RECT{left, top, right, bottom});
}
