#include "ink/shape_geometry.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "ink/pixel_layer.h"

namespace {

constexpr float PI = 3.14159265f;
// Each head stroke leaves the tip at this angle to the shaft.
constexpr float HEAD_ANGLE = PI / 6.0f;
// The chord of an ellipse polygon strays at most this far from the curve.
constexpr float ELLIPSE_TOLERANCE_PX = 0.1f;
constexpr int ELLIPSE_MIN_CORNERS = 16;
constexpr int ELLIPSE_MAX_CORNERS = 4096;

struct Point {
    float x, y;
};

Point First(const Stroke& stroke) { return {stroke.points.front().x, stroke.points.front().y}; }
Point Last(const Stroke& stroke) { return {stroke.points.back().x, stroke.points.back().y}; }

// Corners worked out from the samples lie on a grid of 1/256 px from a sample, so that they are exact
// sums: a shape moved by whole pixels, as the canvas origin moves it, then has its corners moved
// exactly and is drawn on the same pixels. (Samples are whole pixels; sums stay exact up to 2^16.)
float OnGrid(float offset) { return std::round(offset * 256.0f) / 256.0f; }

void AddClosed(std::vector<OutlinePiece>& outline, const std::vector<Point>& corners) {
    for (size_t i = 0; i < corners.size(); ++i) {
        const Point& from = corners[i];
        const Point& to = corners[(i + 1) % corners.size()];
        outline.push_back({from.x, from.y, to.x, to.y});
    }
}

// A polygon of 4k corners, symmetric on both axes, whose chords stray less than the tolerance: a chord
// over an angle a of a circle of radius r strays r (1 - cos(a / 2)), about r a^2 / 8.
std::vector<Point> EllipseCorners(Point a, Point b) {
    const Point half = {(b.x - a.x) * 0.5f, (b.y - a.y) * 0.5f};
    const float rx = std::fabs(b.x - a.x) * 0.5f;
    const float ry = std::fabs(b.y - a.y) * 0.5f;
    const float radius = std::max(rx, ry);
    const int wanted = int(std::ceil(2.0f * PI / std::sqrt(8.0f * ELLIPSE_TOLERANCE_PX / std::max(radius, 1.0f))));
    const int corners = std::clamp((wanted + 3) / 4 * 4, ELLIPSE_MIN_CORNERS, ELLIPSE_MAX_CORNERS);
    std::vector<Point> points(static_cast<size_t>(corners));
    for (int i = 0; i < corners; ++i) {
        const float angle = 2.0f * PI * float(i) / float(corners);
        points[size_t(i)] = {a.x + (half.x + OnGrid(rx * std::cos(angle))),
                             a.y + (half.y + OnGrid(ry * std::sin(angle)))};
    }
    return points;
}

// The two ends of the head strokes, each at HEAD_ANGLE to the shaft, reaching back from the tip.
void HeadEnds(Point tail, Point tip, float length, Point& left, Point& right) {
    const float dx = tail.x - tip.x;
    const float dy = tail.y - tip.y;
    const float shaft = std::sqrt(dx * dx + dy * dy);
    const float ux = shaft > 0.0f ? dx / shaft : 1.0f;
    const float uy = shaft > 0.0f ? dy / shaft : 0.0f;
    const float c = std::cos(HEAD_ANGLE);
    const float s = std::sin(HEAD_ANGLE);
    left = {tip.x + OnGrid(length * (ux * c - uy * s)), tip.y + OnGrid(length * (ux * s + uy * c))};
    right = {tip.x + OnGrid(length * (ux * c + uy * s)), tip.y + OnGrid(length * (uy * c - ux * s))};
}

// The stretch of columns in one band that the piece, widened by `reach`, may touch: the columns
// within reach of the part of the piece that lies within reach of the band's rows.
bool StretchInBand(const OutlinePiece& piece, float reach, float top, float bottom, int32_t& left,
                   int32_t& right) {
    float t0 = 0.0f, t1 = 1.0f;
    const float dy = piece.y1 - piece.y0;
    const float low = top - reach, high = bottom + reach;
    if (dy == 0.0f) {
        if (piece.y0 < low || piece.y0 > high) return false;
    } else {
        float ta = (low - piece.y0) / dy, tb = (high - piece.y0) / dy;
        if (ta > tb) std::swap(ta, tb);
        t0 = std::max(t0, ta);
        t1 = std::min(t1, tb);
        if (t0 > t1) return false;
    }
    const float xa = piece.x0 + (piece.x1 - piece.x0) * t0;
    const float xb = piece.x0 + (piece.x1 - piece.x0) * t1;
    left = int32_t(std::floor(std::min(xa, xb) - reach));
    right = int32_t(std::floor(std::max(xa, xb) + reach)) + 1;
    return true;
}

// Coordinates far beyond any canvas (a captured mouse reports up to 16 bits) stay within int32 here.
float Bounded(float value) { return std::clamp(value, -1.0e7f, 1.0e7f); }

// Rects start and end on whole groups of four pixels, which the composition takes at once.
int32_t DownToFour(int32_t x) { return x & ~3; }
int32_t UpToFour(int32_t x) { return (x + 3) & ~3; }

}  // namespace

float ArrowHeadLength(float lineWidth, float displayScale) { return 3.0f * lineWidth + 8.0f * displayScale; }

std::vector<OutlinePiece> ShapeOutline(const Stroke& stroke, bool squareEnds) {
    std::vector<OutlinePiece> outline;
    if (stroke.points.empty()) return outline;
    const Point a = First(stroke);
    const Point b = Last(stroke);
    if (stroke.points.size() == 1) {
        outline.push_back({a.x, a.y, a.x, a.y});
        return outline;
    }
    switch (stroke.shape) {
        case StrokeShape::Rectangle:
            AddClosed(outline, {a, {b.x, a.y}, b, {a.x, b.y}});
            break;
        case StrokeShape::Ellipse:
            AddClosed(outline, EllipseCorners(a, b));
            break;
        case StrokeShape::Arrow: {
            Point left, right;
            HeadEnds(a, b, stroke.headLength, left, right);
            outline.push_back({a.x, a.y, b.x, b.y, squareEnds, false});
            outline.push_back({left.x, left.y, b.x, b.y, squareEnds, false});
            outline.push_back({b.x, b.y, right.x, right.y, false, squareEnds});
            break;
        }
        default:  // Line
            outline.push_back({a.x, a.y, b.x, b.y, squareEnds, squareEnds});
            break;
    }
    return outline;
}

std::vector<DirtyRect> OutlineCover(const std::vector<OutlinePiece>& outline, float reach, int32_t bandHeight,
                                    const DirtyRect& within) {
    std::vector<DirtyRect> stretches;
    if (!HasArea(within) || bandHeight <= 0) return {};
    const int32_t firstBand = within.top / bandHeight;
    const int32_t lastBand = (within.bottom - 1) / bandHeight;
    for (const OutlinePiece& raw : outline) {
        const OutlinePiece piece = {Bounded(raw.x0), Bounded(raw.y0), Bounded(raw.x1), Bounded(raw.y1)};
        const float low = std::min(piece.y0, piece.y1) - reach;
        const float high = std::max(piece.y0, piece.y1) + reach;
        const int32_t from = std::max(firstBand, int32_t(std::floor(std::ceil(low) / float(bandHeight))));
        const int32_t to = std::min(lastBand, int32_t(std::floor(std::floor(high) / float(bandHeight))));
        // Only the rows of the band that the piece reaches.
        const int32_t firstRow = int32_t(std::ceil(low));
        const int32_t lastRow = int32_t(std::floor(high)) + 1;
        for (int32_t band = from; band <= to; ++band) {
            int32_t left, right;
            const float top = float(band * bandHeight);
            if (!StretchInBand(piece, reach, top, top + float(bandHeight - 1), left, right)) continue;
            const DirtyRect stretch = {std::max(DownToFour(left), within.left),
                                       std::max({band * bandHeight, firstRow, within.top}),
                                       std::min(UpToFour(right), within.right),
                                       std::min({(band + 1) * bandHeight, lastRow, within.bottom})};
            if (HasArea(stretch)) stretches.push_back(stretch);
        }
    }
    return UniteCovers(stretches, {}, bandHeight);
}

std::vector<DirtyRect> UniteCovers(const std::vector<DirtyRect>& a, const std::vector<DirtyRect>& b,
                                   int32_t bandHeight) {
    std::vector<DirtyRect> all(a);
    all.insert(all.end(), b.begin(), b.end());
    auto band = [bandHeight](const DirtyRect& rect) { return rect.top / bandHeight; };
    std::sort(all.begin(), all.end(), [&band](const DirtyRect& p, const DirtyRect& q) {
        return band(p) != band(q) ? band(p) < band(q) : p.left < q.left;
    });
    // Band by band, row by row: the stretches the rects hold in the row, merged; rows holding the same
    // stretches as the row above lengthen its rects.
    std::vector<DirtyRect> united;
    std::vector<std::pair<int32_t, int32_t>> stretches, above;
    size_t open = 0;  // the rects of `united` that the row above lengthens
    for (size_t first = 0; first < all.size();) {
        size_t last = first;
        while (last < all.size() && band(all[last]) == band(all[first])) ++last;
        int32_t top = all[first].top, bottom = all[first].bottom;
        for (size_t i = first; i < last; ++i) {
            top = std::min(top, all[i].top);
            bottom = std::max(bottom, all[i].bottom);
        }
        above.clear();
        open = united.size();
        for (int32_t y = top; y < bottom; ++y) {
            stretches.clear();
            for (size_t i = first; i < last; ++i) {
                const DirtyRect& rect = all[i];
                if (y < rect.top || y >= rect.bottom) continue;
                if (!stretches.empty() && rect.left <= stretches.back().second) {
                    stretches.back().second = std::max(stretches.back().second, rect.right);
                } else {
                    stretches.push_back({rect.left, rect.right});
                }
            }
            if (!stretches.empty() && stretches == above) {
                for (size_t i = open; i < united.size(); ++i) united[i].bottom = y + 1;
                continue;
            }
            open = united.size();
            for (const auto& stretch : stretches) united.push_back({stretch.first, y, stretch.second, y + 1});
            above = stretches;
        }
        first = last;
    }
    return united;
}

DirtyRect CoverBounds(const std::vector<DirtyRect>& cover) {
    DirtyRect bounds;
    for (const DirtyRect& rect : cover) bounds = Union(bounds, rect);
    return bounds;
}

DirtyRect ShapeArea(const Stroke& stroke) {
    DirtyRect area;
    const float radius = 4.0f * stroke.width;
    if (stroke.shape == StrokeShape::Ellipse && stroke.points.size() > 1) {
        // Inside the rectangle of its two samples.
        area.IncludePoint(stroke.points.front().x, stroke.points.front().y, radius);
        area.IncludePoint(stroke.points.back().x, stroke.points.back().y, radius);
        return area;
    }
    for (const OutlinePiece& piece : ShapeOutline(stroke, false)) {
        area.IncludePoint(piece.x0, piece.y0, radius);
        area.IncludePoint(piece.x1, piece.y1, radius);
    }
    return area;
}
