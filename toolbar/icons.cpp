#include "toolbar/icons.h"

#include <cmath>
#include <initializer_list>

namespace {

using Gdiplus::PointF;

struct Offset {
    float x, y;
};

struct Segment {
    Offset from, to;
};

void DrawSegments(Gdiplus::Graphics& graphics, Gdiplus::Pen& pen, float cx, float cy,
                  std::initializer_list<Segment> segments) {
    // Each segment on its own, so every one gets its own rounded caps.
    for (const Segment& s : segments) {
        graphics.DrawLine(&pen, cx + s.from.x, cy + s.from.y, cx + s.to.x, cy + s.to.y);
    }
}

// Both polygon icons (pointer arrow, eraser block) have four corners.
void DrawQuad(Gdiplus::Graphics& graphics, Gdiplus::Pen& pen, float cx, float cy, const Offset (&corners)[4]) {
    PointF points[4];
    for (int i = 0; i < 4; ++i) points[i] = PointF(cx + corners[i].x, cy + corners[i].y);
    graphics.DrawPolygon(&pen, points, 4);
}

void DrawHighlighter(Gdiplus::Graphics& graphics, Gdiplus::Pen& pen, float cx, float cy) {
    Gdiplus::Pen yellow(Gdiplus::Color(0xFFFACC15), 7.0f);
    yellow.SetStartCap(Gdiplus::LineCapFlat);
    yellow.SetEndCap(Gdiplus::LineCapFlat);
    graphics.DrawLine(&yellow, cx - 7, cy + 3, cx + 7, cy + 3);
    graphics.DrawLine(&pen, cx - 7, cy - 6, cx + 7, cy - 6);
}

void DrawLaser(Gdiplus::Graphics& graphics, Gdiplus::Pen& pen, float cx, float cy) {
    graphics.DrawEllipse(&pen, cx - 3, cy - 3, 6.0f, 6.0f);
    for (int k = 0; k < 8; ++k) {
        // Ray 0 is exactly horizontal; the others share one evaluation for both ends.
        float c = 1.0f;
        float s = 0.0f;
        if (k != 0) {
            const float a = static_cast<float>(k) * 3.14159f / 4.0f;
            c = std::cos(a);
            s = std::sin(a);
        }
        graphics.DrawLine(&pen, cx + 6 * c, cy + 6 * s, cx + 9 * c, cy + 9 * s);
    }
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
            graphics.DrawArc(&pen, cx - 6, cy - 6, 12.0f, 12.0f, -90.0f, -200.0f);
            DrawSegments(graphics, pen, cx, cy, {{{-7, -2}, {-7, -7}}, {{-7, -7}, {-2, -7}}});
            break;
        case ClearButton:
            graphics.DrawRectangle(&pen, cx - 6, cy - 4, 12.0f, 11.0f);
            DrawSegments(graphics, pen, cx, cy, {{{-8, -4}, {8, -4}}, {{-3, -7}, {3, -7}}});
            break;
        case BoardButton:
            graphics.DrawRectangle(&pen, cx - 8, cy - 6, 16.0f, 11.0f);
            DrawSegments(graphics, pen, cx, cy, {{{0, 5}, {0, 8}}, {{-4, 8}, {4, 8}}});
            break;
        case OrientationButton:
            graphics.DrawArc(&pen, cx - 7, cy - 7, 14.0f, 14.0f, -60.0f, 280.0f);
            DrawSegments(graphics, pen, cx, cy, {{{2, -8}, {7, -8}}, {{7, -8}, {7, -3}}});
            break;
        case QuitButton:
            DrawSegments(graphics, pen, cx, cy, {{{-6, -6}, {6, 6}}, {{-6, 6}, {6, -6}}});
            break;
        default:  // grip, separator, swatch, width dot, or no kind at all: no icon
            break;
    }
}
