#include "ink/undo_clear.h"

#include <utility>

#include "app/app_state.h"
#include "ink/ink_floor.h"
#include "ink/ink_undo.h"
#include "ink/pixel_layer.h"
#include "ink/surfaces.h"
#include "ink/trail_layer.h"
#include "input/capture.h"
#include "input/laser_fade.h"

void UndoLastStroke() {
    // Taking a stroke back in the middle of drawing one would change the ink under a half-drawn
    // stroke; undo waits for the stroke to end.
    if (app.drawing || app.history.empty()) return;
    const Stroke stroke = std::move(app.history.back());
    app.history.pop_back();
    AccountUndoPixels(stroke, -1);
    const DirtyRect area = StrokeArea(stroke);
    // Its old pixels back, so an undone eraser gives back what it erased; a stroke whose pixels the
    // memory budget took is undone by replaying what is left in its area.
    if (!RestoreUndoPixels(stroke)) ReplayInkArea(area);
    PresentRegion(area);
}

void ClearAll() {
    // Releasing thousands of strokes takes longer than the clear itself; they go once the cleared
    // canvas has been pushed.
    app.clearedStrokes.clear();
    app.clearedStrokes.swap(app.history);
    app.inkKeeping.historyBytes = 0;
    ReleaseInkFloor();
    // Without trails the trail layer is already transparent.
    if (!app.laserTrails.empty()) ClearTrailLayer({0, 0, app.trailPixels.width, app.trailPixels.height});
    app.laserTrails.clear();
    CancelLaserFade();
    ClearInkAndPresentCanvas();
    ContinueStrokeAfterClear();
}
