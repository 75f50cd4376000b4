#include "ink/shape_raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "ink/pixel_layer.h"

namespace {

constexpr int MAX_INKS = 4;
constexpr float HUGE_X = 1.0e30f;
// A pixel whose centre lies this much outside the reckoned span would take less than a 510th of a
// line: rounded to nothing anyway.
constexpr float SPAN_SLACK = 0.01f;

struct Piece {
    float ax, ay, bx, by;  // ends
    float ux, uy;          // unit direction; zero for a piece of no length
    float length;
    bool squareStart, squareEnd;
    float left, top, right, bottom;  // bounds of the centre line
};

Piece Prepare(const OutlinePiece& p) {
    Piece piece;
    piece.ax = p.x0;
    piece.ay = p.y0;
    piece.bx = p.x1;
    piece.by = p.y1;
    const float dx = p.x1 - p.x0;
    const float dy = p.y1 - p.y0;
    piece.length = std::sqrt(dx * dx + dy * dy);
    piece.ux = piece.length > 0.0f ? dx / piece.length : 0.0f;
    piece.uy = piece.length > 0.0f ? dy / piece.length : 0.0f;
    piece.squareStart = p.squareStart && piece.length > 0.0f;
    piece.squareEnd = p.squareEnd && piece.length > 0.0f;
    piece.left = std::min(p.x0, p.x1);
    piece.right = std::max(p.x0, p.x1);
    piece.top = std::min(p.y0, p.y1);
    piece.bottom = std::max(p.y0, p.y1);
    return piece;
}

// Where a pixel centre lies from a piece: its distance across the piece's line, how far beyond an end
// it is (0 alongside), and whether that end is cut square.
struct Offset {
    float across;
    float beyond;
    bool square;
};

Offset OffsetFrom(const Piece& piece, float x, float y) {
    const float px = x - piece.ax;
    const float py = y - piece.ay;
    if (piece.length == 0.0f) return {std::sqrt(px * px + py * py), 0.0f, false};
    const float along = px * piece.ux + py * piece.uy;
    const float across = std::fabs(px * piece.uy - py * piece.ux);
    if (along < 0.0f) return {across, -along, piece.squareStart};
    if (along > piece.length) return {across, along - piece.length, piece.squareEnd};
    return {across, 0.0f, false};
}

// Signed distance from the edge of a line of half width r along the piece: negative inside.
float EdgeDistance(const Offset& offset, float r) {
    if (offset.beyond == 0.0f) return offset.across - r;
    if (offset.square) return std::max(offset.across - r, offset.beyond);
    return std::sqrt(offset.across * offset.across + offset.beyond * offset.beyond) - r;
}

struct Span {
    float left, right;
    bool Empty() const { return !(left < right); }
};

Span Meet(Span a, Span b) { return {std::max(a.left, b.left), std::min(a.right, b.right)}; }
Span Hull(Span a, Span b) {
    if (a.Empty()) return b;
    if (b.Empty()) return a;
    return {std::min(a.left, b.left), std::max(a.right, b.right)};
}

// Where row y crosses the band of points less than r across the piece's line and alongside it.
Span SlabSpan(const Piece& piece, float y, float r) {
    if (piece.length == 0.0f || r <= 0.0f) return {0.0f, 0.0f};
    const float dy = y - piece.ay;
    Span across = {-HUGE_X, HUGE_X};
    if (piece.uy != 0.0f) {
        const float p = (dy * piece.ux - r) / piece.uy;
        const float q = (dy * piece.ux + r) / piece.uy;
        across = {std::min(p, q), std::max(p, q)};
    } else if (std::fabs(dy) >= r) {
        return {0.0f, 0.0f};
    }
    Span alongside = {-HUGE_X, HUGE_X};
    if (piece.ux != 0.0f) {
        const float p = -dy * piece.uy / piece.ux;
        const float q = (piece.length - dy * piece.uy) / piece.ux;
        alongside = {std::min(p, q), std::max(p, q)};
    } else if (dy * piece.uy < 0.0f || dy * piece.uy > piece.length) {
        return {0.0f, 0.0f};
    }
    const Span span = Meet(across, alongside);
    return {span.left + piece.ax, span.right + piece.ax};
}

Span DiscSpan(float cx, float cy, float y, float r) {
    const float dy = y - cy;
    if (dy * dy >= r * r) return {0.0f, 0.0f};
    const float h = std::sqrt(r * r - dy * dy);
    return {cx - h, cx + h};
}

// Where row y crosses the points less than r from the piece: the piece with round ends, which holds
// the piece with square ends too.
Span CapsuleSpan(const Piece& piece, float y, float r) {
    return Hull(Hull(DiscSpan(piece.ax, piece.ay, y, r), DiscSpan(piece.bx, piece.by, y, r)), SlabSpan(piece, y, r));
}

// Whole pixels [first, last) of a row.
struct Run {
    int32_t first, last;
    const Piece* piece;
};

uint32_t RoundChannel(float value) { return uint32_t(std::min(value, 255.0f) + 0.5f); }

// The inks laid over each other, bottom first, each at its share of the pixel.
uint32_t PixelOf(const OutlineInk* inks, int inkCount, const float* coverage) {
    float a = 0.0f, r = 0.0f, g = 0.0f, b = 0.0f;
    for (int k = 0; k < inkCount; ++k) {
        if (coverage[k] <= 0.0f) continue;
        const uint32_t argb = inks[k].argb;
        const float alpha = float(argb >> 24) * coverage[k];
        const float keep = 1.0f - alpha / 255.0f;
        const float scale = alpha / 255.0f;
        a = alpha + a * keep;
        r = float((argb >> 16) & 0xFF) * scale + r * keep;
        g = float((argb >> 8) & 0xFF) * scale + g * keep;
        b = float(argb & 0xFF) * scale + b * keep;
    }
    return RoundChannel(a) << 24 | RoundChannel(r) << 16 | RoundChannel(g) << 8 | RoundChannel(b);
}

struct Row {
    const OutlineInk* inks;
    int inkCount;
    float reach;
    std::vector<Run> touching;        // pieces whose widest ink reaches into the row, with where
    std::vector<Run> reached[MAX_INKS];  // where each ink reaches into the row, merged
    std::vector<Run> whole[MAX_INKS];    // where each ink covers whole pixels, merged
    std::vector<int32_t> breaks;      // where any of these begins or ends
    std::vector<const Piece*> upright;  // the previous row's pieces when all were upright there
};

// A pixel at the edge of the outline: each ink covers it as far as its centre lies within half a
// pixel of that ink's edge, measured from the nearest piece.
uint32_t EdgePixel(const Row& row, int32_t x, float y) {
    float edge[MAX_INKS];
    std::fill(edge, edge + row.inkCount, row.reach);
    for (const Run& run : row.touching) {
        if (x < run.first || x >= run.last) continue;
        const Offset offset = OffsetFrom(*run.piece, float(x), y);
        for (int k = 0; k < row.inkCount; ++k) edge[k] = std::min(edge[k], EdgeDistance(offset, row.inks[k].halfWidth));
    }
    float coverage[MAX_INKS];
    bool any = false;
    for (int k = 0; k < row.inkCount; ++k) {
        coverage[k] = std::clamp(0.5f - edge[k], 0.0f, 1.0f);
        any |= coverage[k] > 0.0f;
    }
    return any ? PixelOf(row.inks, row.inkCount, coverage) : 0;
}

void Merge(std::vector<Run>& runs) {
    std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.first < b.first; });
    size_t kept = 0;
    for (const Run& run : runs) {
        if (kept > 0 && run.first <= runs[kept - 1].last) {
            runs[kept - 1].last = std::max(runs[kept - 1].last, run.last);
        } else {
            runs[kept++] = run;
        }
    }
    runs.resize(kept);
}

// Whole pixels [first, last) of the row inside `rect` whose centres lie strictly inside the span,
// or (`closed`) inside or on it.
bool PixelsOf(const Span& span, const DirtyRect& rect, bool closed, Run& run) {
    if (span.Empty()) return false;
    run.first = std::max(rect.left, closed ? int32_t(std::ceil(span.left)) : int32_t(std::floor(span.left)) + 1);
    run.last = std::min(rect.right, closed ? int32_t(std::floor(span.right)) + 1 : int32_t(std::ceil(span.right)));
    return run.first < run.last;
}

bool Holds(const std::vector<Run>& runs, size_t& at, int32_t x) {
    while (at < runs.size() && runs[at].last <= x) ++at;
    return at < runs.size() && runs[at].first <= x;
}

bool Upright(const Piece& piece, float y) {
    return piece.ux == 0.0f && piece.length > 0.0f && y >= piece.top && y <= piece.bottom;
}
bool Level(const Piece& piece, int32_t from, int32_t to) {
    return piece.uy == 0.0f && piece.length > 0.0f && float(from) >= piece.left && float(to - 1) <= piece.right;
}

// The pixels of a stretch between two breaks, where the same pieces reach every pixel: alongside
// pieces that all lie level, every pixel of it comes out the same.
void LayEdge(const Row& row, const DirtyRect& rect, int32_t from, int32_t to, float y, uint32_t* out) {
    bool level = true;
    for (const Run& run : row.touching) {
        if (run.first <= from && from < run.last) level &= Level(*run.piece, from, to);
    }
    if (level) {
        std::fill(out + (from - rect.left), out + (to - rect.left), EdgePixel(row, from, y));
        return;
    }
    for (int32_t x = from; x < to; ++x) out[x - rect.left] = EdgePixel(row, x, y);
}

// Lays the row's pixels: where every ink either covers a stretch whole or leaves it alone, one colour
// fills it; only the pixels at the inks' edges are worked out one by one. Alongside upright pieces
// only, a row is the row above it again.
void LayRow(Row& row, const std::vector<Piece>& pieces, const DirtyRect& rect, int32_t y, uint32_t* out,
            const uint32_t* above) {
    const float fy = float(y);
    row.touching.clear();
    row.breaks.clear();
    bool upright = true;
    for (const Piece& piece : pieces) {
        if (fy < piece.top - row.reach || fy > piece.bottom + row.reach) continue;
        Run run = {0, 0, &piece};
        if (!PixelsOf(CapsuleSpan(piece, fy, row.reach - 0.5f + SPAN_SLACK), rect, false, run)) continue;
        row.touching.push_back(run);
        upright &= Upright(piece, fy);
    }
    upright &= !row.touching.empty();
    if (upright && above && row.upright.size() == row.touching.size() &&
        std::equal(row.upright.begin(), row.upright.end(), row.touching.begin(),
                   [](const Piece* piece, const Run& run) { return piece == run.piece; })) {
        std::memcpy(out, above, size_t(rect.right - rect.left) * 4);
        return;
    }
    row.upright.clear();
    if (upright) {
        for (const Run& run : row.touching) row.upright.push_back(run.piece);
    }
    if (row.touching.empty()) return;

    for (int k = 0; k < row.inkCount; ++k) {
        row.reached[k].clear();
        row.whole[k].clear();
    }
    for (const Run& touching : row.touching) {
        row.breaks.push_back(touching.first);
        row.breaks.push_back(touching.last);
        const Piece& piece = *touching.piece;
        for (int k = 0; k < row.inkCount; ++k) {
            const float r = row.inks[k].halfWidth;
            Run run = touching;
            // The widest ink reaches as far as any: its stretch is the piece's own.
            if (r + 1.0f == row.reach) {
                row.reached[k].push_back(run);
            } else if (PixelsOf(CapsuleSpan(piece, fy, r + 0.5f + SPAN_SLACK), rect, false, run)) {
                row.reached[k].push_back(run);
            }
            if (PixelsOf(SlabSpan(piece, fy, r - 0.5f), rect, true, run)) row.whole[k].push_back(run);
        }
    }
    for (int k = 0; k < row.inkCount; ++k) {
        Merge(row.reached[k]);
        Merge(row.whole[k]);
        for (const std::vector<Run>* runs : {&row.reached[k], &row.whole[k]}) {
            for (const Run& run : *runs) {
                row.breaks.push_back(run.first);
                row.breaks.push_back(run.last);
            }
        }
    }
    std::sort(row.breaks.begin(), row.breaks.end());
    row.breaks.erase(std::unique(row.breaks.begin(), row.breaks.end()), row.breaks.end());

    size_t reachedAt[MAX_INKS] = {}, wholeAt[MAX_INKS] = {};
    for (size_t b = 0; b + 1 < row.breaks.size(); ++b) {
        const int32_t from = row.breaks[b], to = row.breaks[b + 1];
        // From the top ink down: an opaque ink covering the stretch whole hides the inks below it.
        float coverage[MAX_INKS] = {};
        bool edge = false;
        for (int k = row.inkCount - 1; k >= 0; --k) {
            const bool whole = Holds(row.whole[k], wholeAt[k], from);
            const bool reached = Holds(row.reached[k], reachedAt[k], from);
            if (whole) {
                coverage[k] = 1.0f;
                if ((row.inks[k].argb >> 24) == 255) break;
            } else if (reached) {
                edge = true;
            }
        }
        if (edge) {
            LayEdge(row, rect, from, to, fy, out);
        } else {
            const uint32_t pixel = PixelOf(row.inks, row.inkCount, coverage);
            if (pixel != 0) std::fill(out + (from - rect.left), out + (to - rect.left), pixel);
        }
    }
}

}  // namespace

float InkReach(const OutlineInk* inks, int inkCount) {
    float widest = 0.0f;
    for (int k = 0; k < inkCount; ++k) widest = std::max(widest, inks[k].halfWidth);
    return widest + 1.0f;
}

void RasterizeOutline(const std::vector<OutlinePiece>& outline, const OutlineInk* inks, int inkCount,
                      const std::vector<DirtyRect>& rects, uint32_t* picture, int32_t stride, int32_t originX,
                      int32_t originY, const std::function<void(const DirtyRect&)>& changed) {
    inkCount = std::min(inkCount, MAX_INKS);
    if (inkCount <= 0) return;
    Row row;
    row.inks = inks;
    row.inkCount = inkCount;
    row.reach = InkReach(inks, inkCount);
    std::vector<Piece> all;
    all.reserve(outline.size());
    for (const OutlinePiece& piece : outline) all.push_back(Prepare(piece));

    std::vector<Piece> pieces;
    std::vector<uint32_t> fresh;
    for (const DirtyRect& rect : rects) {
        if (rect.right <= rect.left) continue;
        pieces.clear();
        for (const Piece& piece : all) {
            if (piece.right + row.reach < float(rect.left) || piece.left - row.reach > float(rect.right - 1) ||
                piece.bottom + row.reach < float(rect.top) || piece.top - row.reach > float(rect.bottom - 1)) {
                continue;
            }
            pieces.push_back(piece);
        }
        // Each row is laid aside first and written only where it differs from what the picture holds:
        // while a shape is dragged most of its outline stays as it was, and what did not change need
        // not be composed again. Rows that changed in a row are reported together, as wide as their
        // changes reach.
        const size_t width = size_t(rect.right - rect.left);
        fresh.resize(2 * width);
        DirtyRect run = {};
        for (int32_t y = rect.top; y < rect.bottom; ++y) {
            uint32_t* laidAside = fresh.data() + (y % 2) * width;
            const uint32_t* above = y > rect.top ? fresh.data() + ((y + 1) % 2) * width : nullptr;
            std::memset(laidAside, 0, width * 4);
            LayRow(row, pieces, rect, y, laidAside, above);
            uint32_t* out = picture + size_t(y - originY) * size_t(stride) + (rect.left - originX);
            size_t first = 0, last = width;
            while (first < width && out[first] == laidAside[first]) ++first;
            while (last > first && out[last - 1] == laidAside[last - 1]) --last;
            if (first < last) {
                std::memcpy(out + first, laidAside + first, (last - first) * 4);
                const DirtyRect stretch = {rect.left + int32_t(first), y, rect.left + int32_t(last), y + 1};
                run = HasArea(run) ? DirtyRect{std::min(run.left, stretch.left), run.top, std::max(run.right, stretch.right), y + 1}
                                   : stretch;
                continue;
            }
            if (changed && HasArea(run)) changed(run);
            run = {};
        }
        if (changed && HasArea(run)) changed(run);
    }
}
