#include "input/selection.h"

#include "app/app_state.h"
#include "ink/surfaces.h"
#include "input/pass_through.h"
#include "toolbar/toolbar_layout.h"
#include "toolbar/toolbar_paint.h"

void SelectTool(ToolKind tool) {
    app.currentTool = tool;
    LeavePassThrough();
    PaintToolbar();
}

void SelectColour(int32_t index) {
    app.colourIndex = index;
    if (app.currentTool == Eraser) app.currentTool = Pen;
    LeavePassThrough();
    PaintToolbar();
}

void ToggleOrientation() {
    app.verticalToolbar = !app.verticalToolbar;
    LayoutToolbar();
}

void ToggleBoard() {
    app.boardMode = !app.boardMode;
    if (app.boardMode) LeavePassThrough();
    PresentRegion(WholeCanvas());
    PaintToolbar();
}
