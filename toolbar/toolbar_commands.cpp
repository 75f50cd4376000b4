#include "toolbar/toolbar_commands.h"

#include "app/app_state.h"
#include "ink/undo_clear.h"
#include "input/pass_through.h"
#include "input/selection.h"
#include "toolbar/toolbar_paint.h"

namespace {

// Pass-through stays as it is: picking a width says nothing about wanting to draw now.
void SelectWidth(int index) {
    app.widthIndex = index;
    PaintToolbar();
}

}  // namespace

void RunToolbarCommand(const ToolbarButton& button) {
    switch (button.kind) {
    case PassThroughButton: SetPassThrough(!app.passThrough); break;
    case PenButton: SelectTool(Pen); break;
    case HighlighterButton: SelectTool(Highlighter); break;
    case LaserButton: SelectTool(Laser); break;
    case EraserButton: SelectTool(Eraser); break;
    case ColourSwatch: SelectColour(button.param); break;
    case WidthDot: SelectWidth(button.param); break;
    case UndoButton: UndoLastStroke(); break;
    case ClearButton: ClearAll(); break;
    case BoardButton: ToggleBoard(); break;
    case OrientationButton: ToggleOrientation(); break;
    case QuitButton: PostQuitMessage(0); break;
    case Grip:
    case Separator: break;
    }
}
