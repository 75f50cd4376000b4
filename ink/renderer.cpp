#include "ink/renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "ink/pixel_layer.h"

namespace {

constexpr uint32_t LASER_GLOW_RGB = 0xFF2828;
constexpr uint32_t LASER_CORE_RGB = 0xFF3C3C;
// A shape reaches its target in rects of this many rows along its outline.
constexpr int32_t DRAWN_BAND_ROWS = 64;

// fade scales a full alpha; the product is truncated, so fade 0.5 of 255 gives 127.
uint32_t FadedAlpha(float fade, float fullAlpha) {
    return static_cast<uint32_t>(static_cast<int32_t>(fade * fullAlpha)) << 24;
}

Gdiplus::Color Argb(uint32_t argb) { return Gdiplus::Color(static_cast<Gdiplus::ARGB>(argb)); }

std::vector<Gdiplus::PointF> PolylineOf(const Stroke& stroke) {
    std::vector<Gdiplus::PointF> line;
    line.reserve(stroke.points.size() + 1);
    for (const InkPoint& point : stroke.points) {
        line.emplace_back(point.x, point.y);
    }
    return line;
}

// A single sample still needs a visible mark: a line half a pixel long takes the pen's caps.
std::vector<Gdiplus::PointF> PolylineWithLength(const Stroke& stroke) {
    std::vector<Gdiplus::PointF> line = PolylineOf(stroke);
    if (line.size() == 1) {
        line.emplace_back(line[0].X + 0.5f, line[0].Y);
    }
    return line;
}

void DrawPolyline(Gdiplus::Graphics& graphics, Gdiplus::Pen& pen, const std::vector<Gdiplus::PointF>& line) {
    graphics.DrawLines(&pen, line.data(), static_cast<INT>(line.size()));
}

void FillDisc(Gdiplus::Graphics& graphics, uint32_t argb, float x, float y, float radius) {
    Gdiplus::SolidBrush brush(Argb(argb));
    graphics.FillEllipse(&brush, x - radius, y - radius, radius + radius, radius + radius);
}

float PenWidthFactor(float pressure) { return 0.7f * pressure + 0.5f; }

// What a stroke's dot or segment can touch: round caps and joins reach half its line's width beyond
// its ends, the smoothing a pixel further, and a single sample's line is half a pixel long.
DirtyRect LinePartBounds(const InkPoint& a, const InkPoint& b, float halfWidth) {
    const float reach = halfWidth + 2.0f;
    return {int32_t(std::floor(std::min(a.x, b.x) - reach)), int32_t(std::floor(std::min(a.y, b.y) - reach)),
            int32_t(std::ceil(std::max(a.x, b.x) + reach)) + 1, int32_t(std::ceil(std::max(a.y, b.y) + reach)) + 1};
}

// Half the width of the widest line the tool draws the part ending at sample `end` with.
float HalfLineWidth(const Stroke& stroke, size_t end) {
    switch (stroke.tool) {
        case Eraser: return 2.0f * stroke.width;
        case Highlighter: return 1.5f * stroke.width;
        case Laser: return 1.3f * stroke.width;  // the glow
        default: return PenWidthFactor(stroke.points[end].pressure) * stroke.width * 0.5f;
    }
}

// The pixels a graphics' clip leaves visible, rounded outward; should GDI+ not say, all of them.
DirtyRect VisibleArea(Gdiplus::Graphics& graphics) {
    Gdiplus::RectF clip;
    if (graphics.GetVisibleClipBounds(&clip) != Gdiplus::Ok) {
        return {INT32_MIN / 2, INT32_MIN / 2, INT32_MAX / 2, INT32_MAX / 2};
    }
    return {int32_t(std::floor(clip.X)), int32_t(std::floor(clip.Y)), int32_t(std::ceil(clip.GetRight())),
            int32_t(std::ceil(clip.GetBottom()))};
}

// A freehand stroke as the parts its lines are made of: part 0 the dot at its first sample, part i
// the segment that ends at sample i.
template <typename Visit>
void ForEachLinePart(const Stroke& stroke, Visit visit) {
    const std::vector<InkPoint>& points = stroke.points;
    visit(size_t(0), LinePartBounds(points[0], points[0], HalfLineWidth(stroke, 0)));
    for (size_t i = 1; i < points.size(); ++i) {
        visit(i, LinePartBounds(points[i - 1], points[i], HalfLineWidth(stroke, i)));
    }
}

}  // namespace

void DrawPenSegment(Gdiplus::Graphics& graphics, const Stroke& stroke, size_t end) {
    const std::vector<InkPoint>& points = stroke.points;
    Gdiplus::Pen pen(Argb(ColourToArgb(stroke.colour, 255)), PenWidthFactor(points[end].pressure) * stroke.width);
    pen.SetStartCap(Gdiplus::LineCapRound);
    pen.SetEndCap(Gdiplus::LineCapRound);
    graphics.DrawLine(&pen, points[end - 1].x, points[end - 1].y, points[end].x, points[end].y);
}

namespace {

// A dot at the first sample, as the pen showed it when it touched down, so that a stroke drawn from
// the history is the very picture its live drawing made; then every segment with its own width,
// taken from the pressure at its end point. Under a clip, as a replay of an area draws, the parts
// wholly outside it are left out: they would lay down nothing, and GDI+ spends as much on a part it
// clips away as on one it draws.
void DrawPen(Gdiplus::Graphics& graphics, const Stroke& stroke) {
    const uint32_t argb = ColourToArgb(stroke.colour, 255);
    const std::vector<InkPoint>& points = stroke.points;
    const DirtyRect visible = VisibleArea(graphics);
    ForEachLinePart(stroke, [&](size_t part, const DirtyRect& bounds) {
        if (!HasArea(Intersection(bounds, visible))) return;
        if (part > 0) {
            DrawPenSegment(graphics, stroke, part);
        } else {
            FillDisc(graphics, argb, points[0].x, points[0].y, (PenWidthFactor(points[0].pressure) * stroke.width) * 0.5f);
        }
    });
}

void DrawHighlighter(Gdiplus::Graphics& graphics, const Stroke& stroke, float fade) {
    const uint32_t argb = FadedAlpha(fade, 90.0f) | ColourToArgb(stroke.colour, 0);
    Gdiplus::Pen pen(Argb(argb), 3.0f * stroke.width);
    pen.SetStartCap(Gdiplus::LineCapFlat);
    pen.SetEndCap(Gdiplus::LineCapFlat);
    pen.SetLineJoin(Gdiplus::LineJoinRound);
    DrawPolyline(graphics, pen, PolylineWithLength(stroke));
}

void SetRoundPen(Gdiplus::Pen& pen) {
    pen.SetStartCap(Gdiplus::LineCapRound);
    pen.SetEndCap(Gdiplus::LineCapRound);
    pen.SetLineJoin(Gdiplus::LineJoinRound);
}

// Always the same reds, whatever colour was selected: a pointer, not ink.
void DrawLaser(Gdiplus::Graphics& graphics, const Stroke& stroke, float fade) {
    const std::vector<Gdiplus::PointF> line = PolylineWithLength(stroke);
    Gdiplus::Pen glow(Argb(FadedAlpha(fade, 70.0f) | LASER_GLOW_RGB), 2.6f * stroke.width);
    SetRoundPen(glow);
    Gdiplus::Pen core(Argb(FadedAlpha(fade, 255.0f) | LASER_CORE_RGB), stroke.width);
    SetRoundPen(core);
    DrawPolyline(graphics, glow, line);
    DrawPolyline(graphics, core, line);
}

// SourceCopy makes the transparent pen replace pixels instead of blending over them.
void DrawEraser(Gdiplus::Graphics& graphics, const Stroke& stroke) {
    graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    Gdiplus::Pen pen(Argb(0x00000000), 4.0f * stroke.width);
    SetRoundPen(pen);
    if (stroke.points.size() == 1) {
        FillDisc(graphics, 0x00000000, stroke.points[0].x, stroke.points[0].y, stroke.width + stroke.width);
    } else {
        DrawPolyline(graphics, pen, PolylineOf(stroke));
    }
    graphics.SetCompositingMode(Gdiplus::CompositingModeSourceOver);
}

// A premultiplied pixel in straight alpha: each colour the nearest to the straight value, which
// premultiplied and rounded gives the pixel's value back exactly.
uint32_t Straight(uint32_t pixel) {
    const uint32_t a = pixel >> 24;
    if (a == 0 || a == 255) return pixel;
    uint32_t straight = a << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t c = (pixel >> shift) & 0xFF;
        straight |= std::min<uint32_t>(255, (c * 255 + a / 2) / a) << shift;
    }
    return straight;
}

// Only the rects along the outline that the target shows are made and laid over it; the pixels are
// the picture's, the same that a shape in progress shows. They are handed over in straight alpha:
// GDI+ may premultiply what it lays down itself, and a premultiplied picture would then lose a step
// of every colour at the smoothed edges.
void DrawShape(Gdiplus::Graphics& graphics, const Stroke& stroke, float fade) {
    const DirtyRect within = VisibleArea(graphics);
    const ShapePicture picture = PictureOfShape(stroke, fade);
    std::vector<uint32_t> pixels;
    for (const DirtyRect& rect : OutlineCover(picture.outline, picture.reach, DRAWN_BAND_ROWS, within)) {
        const int32_t width = rect.right - rect.left;
        const int32_t height = rect.bottom - rect.top;
        pixels.assign(size_t(width) * size_t(height), 0);
        RasterizeOutline(picture.outline, picture.inks, picture.inkCount, {rect}, pixels.data(), width, rect.left,
                         rect.top);
        for (uint32_t& pixel : pixels) pixel = Straight(pixel);
        Gdiplus::Bitmap piece(width, height, width * 4, PixelFormat32bppARGB, reinterpret_cast<BYTE*>(pixels.data()));
        graphics.DrawImage(&piece, rect.left, rect.top, 0, 0, width, height, Gdiplus::UnitPixel);
    }
}

}  // namespace

bool DrawnAsShape(const Stroke& stroke) {
    return stroke.shape != StrokeShape::Freehand && stroke.tool != Eraser && stroke.points.size() >= 2;
}

float ShapeLineWidth(const Stroke& stroke) {
    switch (stroke.tool) {
        case Highlighter: return 3.0f * stroke.width;
        case Laser: return stroke.width;  // the core; the glow lies around it
        default: return stroke.points.empty() ? stroke.width : PenWidthFactor(stroke.points[0].pressure) * stroke.width;
    }
}

// The same lines as the tool's freehand strokes: the pen opaque with round ends, the highlighter
// translucent and cut square, the laser's glow under its core in their reds.
ShapePicture PictureOfShape(const Stroke& stroke, float fade) {
    ShapePicture picture;
    switch (stroke.tool) {
        case Highlighter:
            picture.inks[0] = {ShapeLineWidth(stroke) * 0.5f, FadedAlpha(fade, 90.0f) | ColourToArgb(stroke.colour, 0)};
            picture.inkCount = 1;
            break;
        case Laser:
            picture.inks[0] = {2.6f * stroke.width * 0.5f, FadedAlpha(fade, 70.0f) | LASER_GLOW_RGB};
            picture.inks[1] = {ShapeLineWidth(stroke) * 0.5f, FadedAlpha(fade, 255.0f) | LASER_CORE_RGB};
            picture.inkCount = 2;
            break;
        default:
            picture.inks[0] = {ShapeLineWidth(stroke) * 0.5f, ColourToArgb(stroke.colour, 255)};
            picture.inkCount = 1;
            break;
    }
    picture.outline = ShapeOutline(stroke, stroke.tool == Highlighter);
    picture.reach = InkReach(picture.inks, picture.inkCount);
    // A shape of one sample is the click's dot, smoothed by GDI+ itself, which may reach a pixel further.
    if (stroke.points.size() < 2) picture.reach += 1.0f;
    return picture;
}

void DrawStroke(Gdiplus::Graphics& graphics, const Stroke& stroke, float fade) {
    if (stroke.points.empty()) return;
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    if (DrawnAsShape(stroke)) {
        DrawShape(graphics, stroke, fade);
        return;
    }
    switch (stroke.tool) {
        case Eraser:
            DrawEraser(graphics, stroke);
            break;
        case Highlighter:
            DrawHighlighter(graphics, stroke, fade);
            break;
        case Laser:
            DrawLaser(graphics, stroke, fade);
            break;
        default:  // Pen, and any value that is not a tool
            DrawPen(graphics, stroke);
            break;
    }
}

DirtyRect CutOffArea(const Stroke& stroke, int32_t left, int32_t top) {
    const auto cut = [left, top](const DirtyRect& area) { return area.left < left || area.top < top; };
    if (stroke.points.empty()) return {};
    if (DrawnAsShape(stroke)) {
        const DirtyRect area = StrokeArea(stroke);
        return cut(area) ? area : DirtyRect{};
    }
    DirtyRect area;
    ForEachLinePart(stroke, [&](size_t, const DirtyRect& bounds) {
        if (cut(bounds)) area = area.IsEmpty() ? bounds : Union(area, bounds);
    });
    return area;
}
