#include "input/shortcuts.h"

#include "app/app_state.h"
#include "app/startup.h"
#include "ink/undo_clear.h"
#include "input/pass_through.h"
#include "input/selection.h"
#include "toolbar/toolbar_paint.h"

namespace {

bool IsHeld(int virtualKey) { return GetKeyState(virtualKey) < 0; }

// Repaints only when the width really changes.
void StepWidth(int step) {
    const int next = app.widthIndex + step;
    if (next < 0 || next > 2) return;
    app.widthIndex = next;
    PaintToolbar();
}

void HandleCtrlShiftKey(WPARAM key) {
    if (key == 'Q') PostQuitMessage(0);
    if (key == 'Z') UndoLastStroke();
    if (key == 'Y') RedoLastUndo();
}

void HandleCtrlKey(WPARAM key) {
    if (key == 'Z') UndoLastStroke();
    if (key == 'Y') RedoLastUndo();
}

void HandlePlainKey(WPARAM key) {
    if (key >= '1' && key <= '8') {
        SelectColour(int(key - '1'));
        return;
    }
    switch (key) {
    case VK_ESCAPE:
        if (!app.passThrough) SetPassThrough(true);
        break;
    case VK_DELETE: ClearAll(); break;
    case 'P': SelectTool(Pen); break;
    case 'H': SelectTool(Highlighter); break;
    case 'K': SelectTool(Laser); break;
    case 'E': SelectTool(Eraser); break;
    case 'M': SetPassThrough(!app.passThrough); break;
    case 'V': ToggleOrientation(); break;
    case 'B': ToggleBoard(); break;
    case VK_OEM_PLUS:
    case VK_OEM_6: StepWidth(+1); break;
    case VK_OEM_MINUS:
    case VK_OEM_4: StepWidth(-1); break;
    default: break;
    }
}

}  // namespace

void HandleShortcutKey(WPARAM key) {
    const bool ctrl = IsHeld(VK_CONTROL);
    const bool shift = IsHeld(VK_SHIFT);
    if (ctrl && shift) {
        HandleCtrlShiftKey(key);
    } else if (ctrl) {
        HandleCtrlKey(key);
    } else {
        HandlePlainKey(key);
    }
}

void HandleHotkey(WPARAM id) {
    switch (id) {
    case HK_TOGGLE_MOUSE: SetPassThrough(!app.passThrough); break;
    case HK_QUIT: PostQuitMessage(0); break;
    case HK_LASER: SelectTool(Laser); break;
    case HK_CLEAR: ClearAll(); break;
    default: break;
    }
}
