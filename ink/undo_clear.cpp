#include "ink/undo_clear.h"

#include "app/app_state.h"
#include "ink/surfaces.h"
#include "input/laser_fade.h"

void UndoLastStroke() {
    // Taking a stroke back in the middle of drawing one would replay history under a half-drawn
    // stroke; undo waits for the stroke to end.
    if (app.drawing || app.history.empty()) return;
    app.history.pop_back();
    RebuildInkLayer();  // replays what is left, so an undone eraser gives back what it erased
    PresentRegion(WholeCanvas());
}

void ClearAll() {
    app.history.clear();
    app.laserTrails.clear();
    CancelLaserFade();
    RebuildInkLayer();
    PresentRegion(WholeCanvas());
}
