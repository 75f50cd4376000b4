#include "input/capture.h"

#include <cmath>
#include <utility>

#include "app/app_state.h"
#include "app/display_scale.h"
#include "ink/renderer.h"
#include "ink/stroke.h"
#include "ink/surfaces.h"
#include "input/laser_fade.h"

namespace {

// Area a stroke sample may touch: the widest tool (the eraser, 4 x width across) plus caps.
float StrokeRadius() { return 4.0f * app.currentStroke.width; }
// Area a laser sample may touch: the glow is 2.6 x width across.
float LaserRadius() { return 3.0f * app.currentStroke.width; }

bool DrawnIncrementally(ToolKind tool) { return tool != Highlighter && tool != Laser; }

void DrawIntoInkLayer(const Stroke& stroke) {
    Gdiplus::Graphics graphics(app.inkLayer);
    DrawStroke(graphics, stroke, 1.0f);
}

// The newest piece of a pen or eraser stroke, drawn as a two-sample stroke of the same tool: the
// renderer draws a pen stroke one segment at a time, so this is exactly the piece a replay of the
// whole stroke gives, and the look of every tool stays defined in one place.
void DrawNewestPiece(const InkPoint& prev, const InkPoint& sample) {
    Stroke piece;
    piece.tool = app.currentStroke.tool;
    piece.colour = app.currentStroke.colour;
    piece.width = app.currentStroke.width;
    piece.points = {prev, sample};
    DrawIntoInkLayer(piece);
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
    stroke.width = StrokeWidths[app.widthIndex] * DisplayScale();
    stroke.points.assign(1, InkPoint{x, y, pressure});

    app.strokeDirty = {};
    app.strokeDirty.IncludePoint(x, y, StrokeRadius());

    if (stroke.tool == Laser) {
        // The new stroke and every waiting trail are shown at full strength from its first sample.
        CancelLaserFade();
        app.laserDirty.IncludePoint(x, y, LaserRadius());
    } else if (DrawnIncrementally(stroke.tool)) {
        DrawIntoInkLayer(stroke);
    }
    PresentRegion(app.strokeDirty);
}

void ExtendStroke(float x, float y, float pressure) {
    if (!app.drawing) return;

    // A copy: appending below may move the samples.
    const InkPoint prev = app.currentStroke.points.back();
    if (std::fabs(prev.x - x) < 0.5f && std::fabs(prev.y - y) < 0.5f) return;
    const InkPoint sample{x, y, pressure};
    app.currentStroke.points.push_back(sample);

    DirtyRect segment;
    segment.IncludePoint(prev.x, prev.y, StrokeRadius());
    segment.IncludePoint(x, y, StrokeRadius());
    app.strokeDirty.IncludePoint(x, y, StrokeRadius());

    switch (app.currentStroke.tool) {
        case Highlighter:
            // Translucent: drawn whole over the ink by every present, never piece by piece.
            PresentRegion(app.strokeDirty);
            return;
        case Laser:
            app.laserDirty.IncludePoint(x, y, LaserRadius());
            PresentRegion(segment);
            return;
        default:
            DrawNewestPiece(prev, sample);
            PresentRegion(segment);
            return;
    }
}

void EndStroke() {
    if (!app.drawing) return;

    // Cleared first, so the presents below show the stroke only from where it now lives.
    app.drawing = false;
    if (app.currentStroke.tool == Laser) {
        app.laserTrails.push_back(std::move(app.currentStroke));
        StartLaserHold();
    } else {
        if (app.currentStroke.tool == Highlighter) DrawIntoInkLayer(app.currentStroke);
        AppendToHistory(std::move(app.currentStroke));
    }
    app.currentStroke.points.clear();
    PresentRegion(app.strokeDirty);
}
