#include "toolbar/icons.h"

#include <cmath>
#include <initializer_list>

#include "app/display_scale.h"

namespace {

using Gdiplus::PointF;

struct Offset {
    float x, y;
};

struct Segment {
    Offset from, to;
};

// The shapes are given in pixels at 96 DPI; every offset and size is multiplied by the display's
// scale, the caller's pen already has its scaled width.

void DrawSegments(Gdiplus::Graphics& graphics, Gdiplus::Pen& pen, float cx, float cy,
                  std::initializer_list<Segment> segments) {
    const float k = DisplayScale();
    // Each segment on its own, so every one gets its own rounded caps.
    for (const Segment& s : segments) {
        graphics.DrawLine(&pen, cx + k * s.from.x, cy + k * s.from.y, cx + k * s.to.x, cy + k * s.to.y);
    }
}

// Both polygon icons (pointer arrow, eraser block) have four corners.
void DrawQuad(Gdiplus::Graphics& graphics, Gdiplus::Pen& pen, float cx, float cy, const Offset (&corners)[4]) {
    const float k = DisplayScale();
    PointF points[4];
    for (int i = 0; i < 4; ++i) points[i] = PointF(cx + k * corners[i].x, cy + k * corners[i].y);
    graphics.DrawPolygon(&pen, points, 4);
}

void DrawHighlighter(Gdiplus::Graphics& graphics, Gdiplus::Pen& pen, float cx, float cy) {
    const float k = DisplayScale();
    Gdiplus::Pen yellow(Gdiplus::Color(0xFFFACC15), 7.0f * k);
    yellow.SetStartCap(Gdiplus::LineCapFlat);
    yellow.SetEndCap(Gdiplus::LineCapFlat);
    graphics.DrawLine(&yellow, cx - 7 * k, cy + 3 * k, cx + 7 * k, cy + 3 * k);
    DrawSegments(graphics, pen, cx, cy, {{{-7, -6}, {7, -6}}});
}

void DrawLaser(Gdiplus::Graphics& graphics, Gdiplus::Pen& pen, float cx, float cy) {
    const float scale = DisplayScale();
    graphics.DrawEllipse(&pen, cx - 3 * scale, cy - 3 * scale, 6 * scale, 6 * scale);
    for (int k = 0; k < 8; ++k) {
        // Ray 0 is exactly horizontal; the others share one evaluation for both ends.
        float c = 1.0f;
        float s = 0.0f;
        if (k != 0) {
            const float a = static_cast<float>(k) * 3.14159f / 4.0f;
            c = std::cos(a);
            s = std::sin(a);
        }
        const float inner = 6 * scale, outer = 9 * scale;
        graphics.DrawLine(&pen, cx + inner * c, cy + inner * s, cx + outer * c, cy + outer * s);
    }
}

// An arc or a rectangle: its box at (x, y) from the centre, of size w x h.
struct Box {
    float x, y, w, h;
};

Gdiplus::RectF Scaled(float cx, float cy, Box box) {
    const float k = DisplayScale();
    return Gdiplus::RectF(cx + k * box.x, cy + k * box.y, k * box.w, k * box.h);
}

void DrawArc(Gdiplus::Graphics& graphics, Gdiplus::Pen& pen, float cx, float cy, Box box, float start,
             float sweep) {
    graphics.DrawArc(&pen, Scaled(cx, cy, box), start, sweep);
}

void DrawBox(Gdiplus::Graphics& graphics, Gdiplus::Pen& pen, float cx, float cy, Box box) {
    const Gdiplus::RectF r = Scaled(cx, cy, box);
    graphics.DrawRectangle(&pen, r.X, r.Y, r.Width, r.Height);
}

}  // namespace

void DrawButtonIcon(Gdiplus::Graphics& graphics, Gdiplus::Pen& pen, ButtonKind kind, float cx, float cy) {
    switch (kind) {
        case PassThroughButton:
            DrawQuad(graphics, pen, cx, cy, {{-5, -7}, {6, 1}, {1, 2}, {-1, 7}});
            break;
        case PenButton:
            DrawSegments(graphics, pen, cx, cy,
                         {{{-6, 6}, {5, -5}}, {{5, -5}, {7, -3}}, {{7, -3}, {-4, 8}},
                          {{-4, 8}, {-7, 7}}, {{-7, 7}, {-6, 6}}});
            break;
        case HighlighterButton:
            DrawHighlighter(graphics, pen, cx, cy);
            break;
        case LaserButton:
            DrawLaser(graphics, pen, cx, cy);
            break;
        case EraserButton:
            DrawQuad(graphics, pen, cx, cy, {{-8, 3}, {1, -6}, {8, 1}, {-1, 8}});
            DrawSegments(graphics, pen, cx, cy, {{{-4, -1}, {2, 5}}});
            break;
        case UndoButton:
            DrawArc(graphics, pen, cx, cy, {-6, -6, 12, 12}, -90.0f, -200.0f);
            DrawSegments(graphics, pen, cx, cy, {{{-7, -2}, {-7, -7}}, {{-7, -7}, {-2, -7}}});
            break;
        case ClearButton:
            DrawBox(graphics, pen, cx, cy, {-6, -4, 12, 11});
            DrawSegments(graphics, pen, cx, cy, {{{-8, -4}, {8, -4}}, {{-3, -7}, {3, -7}}});
            break;
        case BoardButton:
            DrawBox(graphics, pen, cx, cy, {-8, -6, 16, 11});
            DrawSegments(graphics, pen, cx, cy, {{{0, 5}, {0, 8}}, {{-4, 8}, {4, 8}}});
            break;
        case OrientationButton:
            DrawArc(graphics, pen, cx, cy, {-7, -7, 14, 14}, -60.0f, 280.0f);
            DrawSegments(graphics, pen, cx, cy, {{{2, -8}, {7, -8}}, {{7, -8}, {7, -3}}});
            break;
        case QuitButton:
            DrawSegments(graphics, pen, cx, cy, {{{-6, -6}, {6, 6}}, {{-6, 6}, {6, -6}}});
            break;
        default:  // grip, separator, swatch, width dot, or no kind at all: no icon
            break;
    }
}
