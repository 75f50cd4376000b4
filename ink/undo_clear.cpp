#include "ink/undo_clear.h"

#include <utility>

#include "app/app_state.h"
#include "ink/ink_floor.h"
#include "ink/ink_steps.h"
#include "ink/ink_undo.h"
#include "ink/pixel_layer.h"
#include "ink/pixel_snapshot.h"
#include "ink/renderer.h"
#include "ink/surfaces.h"
#include "ink/trail_layer.h"
#include "input/capture.h"
#include "input/laser_fade.h"

namespace {

void UndoNewestStroke() {
    Stroke stroke = TakeNewestStroke();
    const DirtyRect area = StrokeArea(stroke);
    // Its old pixels back, so an undone eraser gives back what it erased; a stroke whose pixels the
    // memory budget took is undone by replaying what is left in its area.
    if (!RestoreUndoPixels(stroke)) ReplayInkArea(area);
    PresentRegion(area);
    DropUndoPixels(stroke, false);
    app.redoSteps.push_back({false, std::move(stroke)});
}

// Everything drawn after the clear has been undone, so the ink layer is transparent and the kept
// picture goes straight back; where the layer grew or its origin moved since, the rest is drawn by
// a replay. The ink layer a clear took is made compact before any move of the origin, so it always
// goes back at the layer's top-left.
void UndoNewestClear() {
    ClearedInk cleared = TakeNewestClear();
    const DirtyRect known = {cleared.layerLeft, cleared.layerTop, cleared.layerLeft + cleared.layerWidth,
                             cleared.layerTop + cleared.layerHeight};
    const std::vector<DirtyRect> replayed = InkAreasToReplay(known);
    if (cleared.taken.bits) {
        PutBackInkLayer(cleared.taken);
    } else if (cleared.inkKept) {
        PutPixelSnapshot(cleared.ink, app.inkPixels);
    } else {
        RebuildInkLayer();
    }
    if (cleared.inkKept) {
        for (const DirtyRect& area : replayed) ReplayInkArea(area);
    }
    // The strokes' undo pixels end where the layer ended then.
    InkReplayedIn(replayed);
    PresentRegion(WholeCanvas());
    app.redoSteps.push_back({true, {}});
}

// The tiles a stroke's segments touch, kept before it is drawn, as capture keeps them.
void KeepInkAlong(const Stroke& stroke) {
    const std::vector<InkPoint>& points = stroke.points;
    for (size_t i = 0; i < points.size(); ++i) {
        DirtyRect piece;
        piece.IncludePoint(points[i].x, points[i].y, 4.0f * stroke.width);
        if (i > 0) piece.IncludePoint(points[i - 1].x, points[i - 1].y, 4.0f * stroke.width);
        KeepInkUnder(piece);
    }
}

// The newest undone stroke is drawn again over what is now the newest ink, as a replay draws it.
void RedoStroke(Stroke stroke) {
    StartKeepingInk();
    KeepInkAlong(stroke);
    if (app.inkLayer) {
        Gdiplus::Graphics graphics(app.inkLayer);
        DrawStroke(graphics, stroke, 1.0f);
    }
    FinishKeepingInk(stroke);
    const DirtyRect area = StrokeArea(stroke);
    ReturnToHistory(std::move(stroke));
    PresentRegion(area);
}

// The picture the clear takes away is kept for its undo: the ink layer itself, as the history and the
// floor draw it, taken whole and made compact after the push. A pen or eraser stroke in progress has
// drawn into it, so its tiles go back to how they were before it; where the layer grew under the
// stroke that is not known, and the undo replays.
void ClearAndKeepInk() {
    const bool exact = !KeptInkOvertaken();
    if (exact) {
        RestoreKeptInk({0, 0, app.inkPixels.width, app.inkPixels.height});
        KeepClear(TakeInkAndPresentCanvas(), true);
    } else {
        KeepClear({}, false);
        ClearInkAndPresentCanvas();
    }
}

// Returns whether the clear removed ink, and so is a step.
bool ClearInk() {
    const bool removesInk = !app.history.empty() || HasInkFloor();
    // The trails go before the canvas is composed.
    ForgetLaserTrails();
    CancelLaserFade();
    if (removesInk) {
        ClearAndKeepInk();
    } else {
        ClearInkAndPresentCanvas();
    }
    ContinueStrokeAfterClear();
    return removesInk;
}

}  // namespace

void UndoLastStroke() {
    // Taking a step back in the middle of drawing would change the ink under a half-drawn stroke;
    // undo waits for the stroke to end.
    if (app.drawing) return;
    if (!app.history.empty()) {
        UndoNewestStroke();
    } else if (!app.clears.empty()) {
        UndoNewestClear();
    }
}

void RedoLastUndo() {
    if (app.drawing || app.redoSteps.empty()) return;
    RedoStep step = std::move(app.redoSteps.back());
    app.redoSteps.pop_back();
    if (step.clear) {
        ClearInk();
    } else {
        RedoStroke(std::move(step.stroke));
    }
}

void ClearAll() {
    if (ClearInk()) ForgetRedo();
}
