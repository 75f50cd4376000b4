#include "toolbar/toolbar_paint.h"

#include "app/app_state.h"
#include "app/display_scale.h"
#include "toolbar/icons.h"

namespace {

using Gdiplus::Color;

constexpr uint32_t BAR_FILL = 0xEB1C1E26;
constexpr uint32_t BAR_OUTLINE = 0x28FFFFFF;
constexpr uint32_t ACTIVE_PLATE = 0xFF3B82F6;
constexpr uint32_t HOVER_PLATE = 0x23FFFFFF;
constexpr uint32_t GRIP_DASH = 0x46FFFFFF;
constexpr uint32_t SEPARATOR_LINE = 0x28FFFFFF;
constexpr uint32_t SELECTED_SWATCH_RING = 0xFFFFFFFF;
constexpr uint32_t SWATCH_RING = 0x5AFFFFFF;
constexpr uint32_t SELECTED_DOT = 0xFFFFFFFF;
constexpr uint32_t DOT = 0x96FFFFFF;
constexpr uint32_t SELECTED_DOT_RING = 0xFF3B82F6;
constexpr uint32_t QUIT_ICON = 0xFFF87171;
constexpr uint32_t ICON = 0xFFF0F0F0;

// Every length below is in pixels at 96 DPI and multiplied by the display's scale where it is used.

// The rounded bar, with integer arcs: it spans the bitmap from 0 to width - 1 and height - 1.
void PaintBar(Gdiplus::Graphics& graphics) {
    const int w = app.toolbarWidth;
    const int h = app.toolbarHeight;
    const int corner = ScaledEdge(14);  // the corner's full circle, twice its radius of 7
    const int farBox = corner + 1;  // the far corners' boxes end one pixel inside the bitmap
    Gdiplus::GraphicsPath path(Gdiplus::FillModeAlternate);
    path.AddArc(Gdiplus::Rect(0, 0, corner, corner), 180.0f, 90.0f);
    path.AddArc(Gdiplus::Rect(w - farBox, 0, corner, corner), 270.0f, 90.0f);
    path.AddArc(Gdiplus::Rect(w - farBox, h - farBox, corner, corner), 0.0f, 90.0f);
    path.AddArc(Gdiplus::Rect(0, h - farBox, corner, corner), 90.0f, 90.0f);
    path.CloseFigure();
    Gdiplus::SolidBrush fill{Color(BAR_FILL)};
    graphics.FillPath(&fill, &path);
    Gdiplus::Pen outline(Color(BAR_OUTLINE), 1.0f * DisplayScale());
    graphics.DrawPath(&outline, &path);
}

void PaintPlate(Gdiplus::Graphics& graphics, const RECT& r, uint32_t colour) {
    const float left = float(r.left), top = float(r.top), right = float(r.right), bottom = float(r.bottom);
    const float d = 9.0f * DisplayScale();
    Gdiplus::GraphicsPath path;
    path.AddArc(left, top, d, d, 180.0f, 90.0f);
    path.AddArc(right - d, top, d, d, 270.0f, 90.0f);
    path.AddArc(right - d, bottom - d, d, d, 0.0f, 90.0f);
    path.AddArc(left, bottom - d, d, d, 90.0f, 90.0f);
    path.CloseFigure();
    Gdiplus::SolidBrush brush{Color(colour)};
    graphics.FillPath(&brush, &path);
}

bool IsActive(const ToolbarButton& button) {
    switch (button.kind) {
        case PassThroughButton: return app.passThrough;
        case PenButton: return !app.passThrough && app.currentTool == Pen;
        case HighlighterButton: return !app.passThrough && app.currentTool == Highlighter;
        case LaserButton: return !app.passThrough && app.currentTool == Laser;
        case EraserButton: return !app.passThrough && app.currentTool == Eraser;
        case BoardButton: return app.boardMode;
        default: return false;
    }
}

void PaintGrip(Gdiplus::Graphics& graphics, float cx, float cy) {
    const float s = DisplayScale();
    Gdiplus::Pen pen(Color(GRIP_DASH), 2.0f * s);
    for (float d : {-6.0f * s, -2.0f * s, 2.0f * s, 6.0f * s}) {
        if (app.verticalToolbar) {
            graphics.DrawLine(&pen, cx + d, cy - 2 * s, cx + d, cy + 2 * s);
        } else {
            graphics.DrawLine(&pen, cx - 2 * s, cy + d, cx + 2 * s, cy + d);
        }
    }
}

void PaintSeparator(Gdiplus::Graphics& graphics, const RECT& r, float cx) {
    const float s = DisplayScale();
    Gdiplus::Pen pen(Color(SEPARATOR_LINE), 1.0f * s);
    if (app.verticalToolbar) {
        const float y = float(r.top) + 3 * s;
        graphics.DrawLine(&pen, float(r.left) + 6 * s, y, float(r.right) - 6 * s, y);
    } else {
        graphics.DrawLine(&pen, cx, float(r.top) + 6 * s, cx, float(r.bottom) - 6 * s);
    }
}

void PaintSwatch(Gdiplus::Graphics& graphics, int32_t index, float cx, float cy) {
    const float s = DisplayScale();
    Gdiplus::SolidBrush fill{Color(ColourToArgb(Palette[index], 255))};
    graphics.FillEllipse(&fill, cx - 9 * s, cy - 9 * s, 18 * s, 18 * s);
    const bool selected = index == app.colourIndex;
    Gdiplus::Pen ring(Color(selected ? SELECTED_SWATCH_RING : SWATCH_RING), (selected ? 2.5f : 1.0f) * s);
    graphics.DrawEllipse(&ring, cx - 9 * s, cy - 9 * s, 18 * s, 18 * s);
}

void PaintWidthDot(Gdiplus::Graphics& graphics, int32_t index, float cx, float cy) {
    // The dot grows with the index; it does not show the stroke width itself.
    const float s = DisplayScale();
    const float d = float(5 * index + 4) * s;
    const bool selected = index == app.widthIndex;
    Gdiplus::SolidBrush fill{Color(selected ? SELECTED_DOT : DOT)};
    graphics.FillEllipse(&fill, cx - d / 2, cy - d / 2, d, d);
    if (selected) {
        Gdiplus::Pen ring(Color(SELECTED_DOT_RING), 2.0f * s);
        graphics.DrawEllipse(&ring, cx - 11 * s, cy - 11 * s, 22 * s, 22 * s);
    }
}

void PaintIcon(Gdiplus::Graphics& graphics, ButtonKind kind, float cx, float cy) {
    Gdiplus::Pen pen(Color(kind == QuitButton ? QUIT_ICON : ICON), 2.0f * DisplayScale());
    pen.SetStartCap(Gdiplus::LineCapRound);
    pen.SetEndCap(Gdiplus::LineCapRound);
    pen.SetLineJoin(Gdiplus::LineJoinRound);
    DrawButtonIcon(graphics, pen, kind, cx, cy);
}

void PaintEntry(Gdiplus::Graphics& graphics, const ToolbarButton& button, int index) {
    const RECT& r = button.rect;
    const float cx = float(r.left + r.right) * 0.5f;
    const float cy = float(r.top + r.bottom) * 0.5f;

    if (IsActive(button)) {
        PaintPlate(graphics, r, ACTIVE_PLATE);
    } else if (index == app.hoveredButton && button.kind != Grip && button.kind != Separator) {
        PaintPlate(graphics, r, HOVER_PLATE);
    }

    switch (button.kind) {
        case Grip: PaintGrip(graphics, cx, cy); break;
        case Separator: PaintSeparator(graphics, r, cx); break;
        case ColourSwatch: PaintSwatch(graphics, button.param, cx, cy); break;
        case WidthDot: PaintWidthDot(graphics, button.param, cx, cy); break;
        default: PaintIcon(graphics, button.kind, cx, cy); break;
    }
}

// Every GDI+ object lives inside this call: the graphics and bitmap are gone before the push.
void PaintPicture(void* bits) {
    Gdiplus::Bitmap bitmap(app.toolbarWidth, app.toolbarHeight, 4 * app.toolbarWidth, PixelFormat32bppPARGB,
                           static_cast<BYTE*>(bits));
    Gdiplus::Graphics graphics(&bitmap);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    graphics.Clear(Color(0x00000000));
    PaintBar(graphics);
    for (size_t i = 0; i < app.buttons.size(); ++i) {
        PaintEntry(graphics, app.buttons[i], static_cast<int>(i));
    }
}

void PushPicture(HDC pictureDC) {
    RECT window = {};
    GetWindowRect(app.toolbarWindow, &window);
    POINT destination = {window.left, window.top};
    SIZE size = {app.toolbarWidth, app.toolbarHeight};
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    app.pUpdateLayeredWindow(app.toolbarWindow, nullptr, &destination, &size, pictureDC, &source, 0, &blend,
                             ULW_ALPHA);
}

}  // namespace

void PaintToolbar() {
    HDC pictureDC = CreateCompatibleDC(nullptr);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = app.toolbarWidth;
    info.bmiHeader.biHeight = -app.toolbarHeight;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(pictureDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(pictureDC, dib);

    if (bits) PaintPicture(bits);
    PushPicture(pictureDC);

    SelectObject(pictureDC, previous);
    DeleteObject(dib);
    DeleteDC(pictureDC);
}
