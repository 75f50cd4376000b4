#include "input/capture.h"

#include <cmath>
#include <utility>

#include "app/app_state.h"
#include "app/display_scale.h"
#include "ink/ink_steps.h"
#include "ink/ink_undo.h"
#include "ink/live_layer.h"
#include "ink/pixel_layer.h"
#include "ink/renderer.h"
#include "ink/stroke.h"
#include "ink/surfaces.h"
#include "ink/trail_layer.h"
#include "input/laser_fade.h"
#include "input/shape_capture.h"

namespace {

// Area a stroke sample may touch: the widest tool (the eraser, 4 x width across) plus caps.
float StrokeRadius() { return 4.0f * app.currentStroke.width; }
// Area a laser sample may touch: the glow is 2.6 x width across.
float LaserRadius() { return 3.0f * app.currentStroke.width; }

void DrawIntoInkLayer(const Stroke& stroke) {
    if (!app.inkLayer) return;
    Gdiplus::Graphics graphics(app.inkLayer);
    DrawStroke(graphics, stroke, 1.0f);
}

Stroke PieceOf(const InkPoint& prev, const InkPoint& sample) {
    Stroke piece;
    piece.tool = app.currentStroke.tool;
    piece.colour = app.currentStroke.colour;
    piece.width = app.currentStroke.width;
    piece.points = {prev, sample};
    return piece;
}

// The pen grows by the segments its replay draws; the eraser by two-sample strokes, evened out at
// its end.
void DrawNewestPiece(const InkPoint& prev, const InkPoint& sample) {
    if (!app.inkLayer) return;
    Gdiplus::Graphics graphics(app.inkLayer);
    if (app.currentStroke.tool == Eraser) {
        DrawStroke(graphics, PieceOf(prev, sample), 1.0f);
    } else {
        DrawPenSegment(graphics, app.currentStroke, app.currentStroke.points.size() - 1);
    }
}

DirtyRect SegmentRect(const InkPoint& prev, const InkPoint& sample) {
    DirtyRect segment;
    segment.IncludePoint(prev.x, prev.y, StrokeRadius());
    segment.IncludePoint(sample.x, sample.y, StrokeRadius());
    return segment;
}

// The first sample of a stroke: a dot of the pen, a cleared disc of the eraser, drawn at once into
// the ink layer; a highlighter or laser mark in the live layer.
void DrawFirstSample() {
    const Stroke& stroke = app.currentStroke;
    if (DrawnLive(stroke)) {
        DrawLivePiece(stroke, app.strokeDirty);
        return;
    }
    StartKeepingInk();
    KeepInkUnder(app.strokeDirty);
    DrawIntoInkLayer(stroke);
}

// Live eraser pieces are round-capped lines; the replay draws one polyline with round joins, whose
// edge pixels may differ. At the end the stroke is erased again as one polyline.
void DrawEraserAsReplayed(const Stroke& stroke) {
    if (stroke.points.size() < 2) return;
    RestoreKeptInk(StrokeArea(stroke));
    DrawIntoInkLayer(stroke);
}

void CommitLaserStroke() {
    AddLaserTrail(std::move(app.currentStroke));
    StartLaserHold();
}

// What the ink layer still lacks of the stroke, or holds otherwise than a replay draws it.
void CompleteInkOfStroke(Stroke& stroke) {
    switch (stroke.tool) {
        case Highlighter:
            // Translucent: it enters the ink layer only now, as one whole stroke.
            StartKeepingInk();
            KeepInkUnder(app.strokeDirty);
            DrawIntoInkLayer(stroke);
            break;
        case Eraser:
            DrawEraserAsReplayed(stroke);
            break;
        default:
            // A pen's dot and segments are in the ink layer already, drawn as a replay draws them.
            break;
    }
}

void CommitInkStroke() {
    Stroke& stroke = app.currentStroke;
    // Where a display change grew the layers during the stroke, what was kept of the ink under it
    // falls short: its area is drawn from the history once it is committed, and undo replays it.
    const bool overtaken = stroke.tool != Highlighter && KeptInkOvertaken();
    if (!overtaken) CompleteInkOfStroke(stroke);
    FinishKeepingInk(stroke);
    const DirtyRect area = StrokeArea(stroke);
    AppendToHistory(std::move(stroke));
    if (overtaken) ReplayInkArea(area);
}


}  // namespace

void BeginStroke(float x, float y, float pressure) {
    if (app.passThrough) return;

    // A stroke still in progress (a second finger, a mouse press during a pen stroke) is committed
    // first: dropping it would leave its ink on the screen but in no list, so the next rebuild would
    // take it away and undo would reach past it.
    if (app.drawing) EndStroke();

    app.drawing = true;
    Stroke& stroke = app.currentStroke;
    stroke.tool = app.currentTool;
    stroke.colour = Palette[app.colourIndex];
    stroke.width = StrokeWidths[app.widthIndex] * ScaleAtCanvasPoint(x, y);
    stroke.points.assign(1, InkPoint{x, y, pressure});
    stroke.undoPixels.clear();
    stroke.undoKept = false;
    ChooseShapeAtPress(stroke);
    if (DrawnLive(stroke)) AllocateLiveLayer();

    app.strokeDirty = {};
    app.strokeDirty.IncludePoint(x, y, StrokeRadius());

    if (stroke.tool == Laser) {
        // The new stroke, and every waiting trail wherever the screen is next composed, show at full
        // strength again.
        CancelLaserFade();
        app.laserDirty.IncludePoint(x, y, LaserRadius());
    }
    DrawFirstSample();
    PresentRegion(app.strokeDirty);
}

void ExtendStroke(float x, float y, float pressure) {
    if (!app.drawing) return;
    if (app.currentStroke.shape != StrokeShape::Freehand) {
        FollowPointerWithShape(x, y);
        return;
    }

    // A copy: appending below may move the samples.
    const InkPoint prev = app.currentStroke.points.back();
    if (std::fabs(prev.x - x) < 0.5f && std::fabs(prev.y - y) < 0.5f) return;
    const InkPoint sample{x, y, pressure};
    app.currentStroke.points.push_back(sample);

    const DirtyRect segment = SegmentRect(prev, sample);
    app.strokeDirty.IncludePoint(x, y, StrokeRadius());

    if (app.currentStroke.tool == Laser) app.laserDirty.IncludePoint(x, y, LaserRadius());
    if (DrawnLive(app.currentStroke)) {
        // The mark of a lone first sample is not part of a longer stroke; the segment covers it.
        if (app.currentStroke.points.size() == 2) ClearLiveLayer(segment);
        DrawLivePiece(NewestLivePiece(), segment);
    } else {
        KeepInkUnder(segment);
        DrawNewestPiece(prev, sample);
    }
    PresentRegion(segment);
}

void EndStroke() {
    if (!app.drawing) return;

    // Cleared first, so the presents below show the stroke only from where it now lives.
    app.drawing = false;
    if (app.currentStroke.shape != StrokeShape::Freehand) {
        CommitShapeStroke();
    } else {
        if (app.currentStroke.tool == Laser) {
            CommitLaserStroke();
        } else {
            CommitInkStroke();
        }
        PresentRegion(app.strokeDirty);
    }
    app.currentStroke.points.clear();
    // The stroke now lives in the ink layer or the trail layer, and the live layer's pixels are not
    // shown since `drawing` was cleared.
    ReleaseLiveLayer();
}

void ContinueStrokeAfterClear() {
    if (!app.drawing) return;
    Stroke& stroke = app.currentStroke;
    stroke.points.erase(stroke.points.begin(), stroke.points.end() - 1);
    const InkPoint& sample = stroke.points.back();
    const DirtyRect before = app.strokeDirty;
    ClearLiveLayer(before);
    ForgetKeptInk();
    app.strokeDirty = {};
    app.strokeDirty.IncludePoint(sample.x, sample.y, StrokeRadius());
    DrawFirstSample();
    PresentRegion(Union(before, app.strokeDirty));
}
