#include "input/shape_capture.h"

#include <cmath>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "app/display_scale.h"
#include "ink/ink_undo.h"
#include "ink/live_layer.h"
#include "ink/pixel_layer.h"
#include "ink/renderer.h"
#include "ink/shape_geometry.h"
#include "ink/surfaces.h"
#include "ink/trail_layer.h"
#include "input/laser_fade.h"

namespace {

bool Held(int virtualKey) { return (app.pGetAsyncKeyState(virtualKey) & 0x8000) != 0; }

bool SamePlace(const InkPoint& point, float x, float y) {
    return std::fabs(point.x - x) < 0.5f && std::fabs(point.y - y) < 0.5f;
}

std::vector<DirtyRect> LiveCoverOfStroke(const Stroke& stroke) {
    return LiveCoverOf(PictureOfShape(stroke, 1.0f));
}

void PresentCover(const std::vector<DirtyRect>& cover) {
    for (const DirtyRect& rect : cover) PresentRegion(rect);
}

StrokeShape ShapeOfHeldKeys() {
    const bool ctrl = Held(VK_CONTROL);
    const bool shift = Held(VK_SHIFT);
    if (ctrl && shift) return StrokeShape::Arrow;
    if (ctrl) return StrokeShape::Rectangle;
    if (shift) return StrokeShape::Line;
    if (Held(VK_TAB)) return StrokeShape::Ellipse;
    return StrokeShape::Freehand;
}

}  // namespace

void ChooseShapeAtPress(Stroke& stroke) {
    stroke.shape = stroke.tool == Eraser ? StrokeShape::Freehand : ShapeOfHeldKeys();
    stroke.headLength =
        stroke.shape == StrokeShape::Arrow ? ArrowHeadLength(ShapeLineWidth(stroke), ScaleAtCanvasPoint(stroke.points[0].x, stroke.points[0].y)) : 0.0f;
}

void FollowPointerWithShape(float x, float y) {
    Stroke& stroke = app.currentStroke;
    if (SamePlace(stroke.points.back(), x, y)) return;

    const std::vector<DirtyRect> before = LiveCoverOfStroke(stroke);
    // The shape runs from the press point to the pointer; the pen's pressure at the press holds for all
    // of it. Back at the press point it is the click's dot again.
    const InkPoint press = stroke.points.front();
    if (SamePlace(press, x, y)) {
        stroke.points.assign(1, press);
    } else {
        stroke.points.assign({press, InkPoint{x, y, press.pressure}});
    }
    const ShapePicture picture = PictureOfShape(stroke, 1.0f);
    const std::vector<DirtyRect> redrawn = UniteCovers(before, LiveCoverOf(picture), LIVE_BAND_ROWS);

    const DirtyRect area = StrokeArea(stroke);
    app.strokeDirty = Union(app.strokeDirty, area);
    if (stroke.tool == Laser) app.laserDirty = Union(app.laserDirty, area);
    // The old shape's pixels are laid anew too, as what the new one leaves there (mostly nothing); what
    // changed is composed right after, while its rows are at hand.
    DrawLiveShape(stroke, picture, redrawn, [](const DirtyRect& rect) { PresentRegion(rect); });
}

void CommitShapeStroke() {
    Stroke& stroke = app.currentStroke;
    const std::vector<DirtyRect> cover = LiveCoverOfStroke(stroke);
    if (stroke.points.size() == 1) {
        // Pressed and released at one point: a click, and its stroke is the dot a click leaves.
        stroke.shape = StrokeShape::Freehand;
        stroke.headLength = 0.0f;
    }
    if (stroke.tool == Laser) {
        AddLaserTrail(std::move(stroke));
        StartLaserHold();
    } else {
        // What the shape overwrites is kept, so that undo puts it back.
        StartKeepingInk();
        for (const DirtyRect& rect : cover) KeepInkUnder(rect);
        if (app.inkLayer) {
            Gdiplus::Graphics graphics(app.inkLayer);
            DrawStroke(graphics, stroke, 1.0f);
        }
        FinishKeepingInk(stroke);
        AppendToHistory(std::move(stroke));
    }
    PresentCover(cover);
}
