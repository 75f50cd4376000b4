#include "toolbar/toolbar_window.h"

#include "app/app_state.h"
#include "ink/undo_clear.h"
#include "toolbar/toolbar_commands.h"
#include "toolbar/toolbar_layout.h"
#include "toolbar/toolbar_paint.h"

namespace {

int HitTestAt(LPARAM lParam) {
    return HitTestToolbar(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
}

// The window follows the cursor at the grabbed offset, anywhere, even partly off the screen.
void FollowCursor(HWND window) {
    POINT cursor;
    GetCursorPos(&cursor);
    SetWindowPos(window, HWND_TOPMOST, cursor.x - app.dragOffset.x, cursor.y - app.dragOffset.y, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE);
}

// One leave request at a time: asked for on the first move after start-up or after a leave.
void TrackLeave(HWND window) {
    if (app.trackingLeave) return;
    TRACKMOUSEEVENT request = {};
    request.cbSize = sizeof(request);
    request.dwFlags = TME_LEAVE;
    request.hwndTrack = window;
    TrackMouseEvent(&request);
    app.trackingLeave = true;
}

void OnLeftButtonUp() {
    if (!app.draggingToolbar) return;
    app.draggingToolbar = false;
    ReleaseCapture();
}

// A capture taken while another application is in front (pass-through) sees only the moves over
// the toolbar, so the release can come elsewhere and be lost: a move without the button ends the
// drag, and is a move like any other.
void OnMouseMove(HWND window, WPARAM wParam, LPARAM lParam) {
    if (app.draggingToolbar && !(wParam & MK_LBUTTON)) OnLeftButtonUp();
    if (app.draggingToolbar) {
        FollowCursor(window);
        return;
    }
    const int hovered = HitTestAt(lParam);
    if (hovered != app.hoveredButton) {
        app.hoveredButton = hovered;
        PaintToolbar();
    }
    TrackLeave(window);
}

void OnMouseLeave() {
    app.trackingLeave = false;
    if (app.hoveredButton != -1) {
        app.hoveredButton = -1;
        PaintToolbar();
    }
}

void BeginDrag(HWND window) {
    app.draggingToolbar = true;
    SetCapture(window);
    POINT cursor;
    RECT rect;
    GetCursorPos(&cursor);
    GetWindowRect(window, &rect);
    app.dragOffset = {cursor.x - rect.left, cursor.y - rect.top};
}

void OnLeftButtonDown(HWND window, LPARAM lParam) {
    const int hit = HitTestAt(lParam);
    if (hit < 0) return;
    if (app.buttons[hit].kind == Grip) {
        BeginDrag(window);
    } else {
        RunToolbarCommand(app.buttons[hit]);
    }
}

// The undo entry's second meaning: its right click redoes. A pen's barrel button and a finger's
// press-and-hold arrive as right clicks too, so pen and touch users can redo without a keyboard.
void OnRightButtonUp(LPARAM lParam) {
    const int hit = HitTestAt(lParam);
    if (hit >= 0 && app.buttons[hit].kind == UndoButton) RedoLastUndo();
}

// A drag whose capture is taken away (another window activates, a menu or hotkey intervenes) never
// sees its button release; without this the toolbar would follow the cursor with no button held.
void OnCaptureLost(HWND window, LPARAM newCapture) {
    if (reinterpret_cast<HWND>(newCapture) != window) app.draggingToolbar = false;
}

// The second press of a double-click arrives here instead of as a press, so only the grip reacts
// and a quick double-click on any other entry acts once.
void OnDoubleClick(LPARAM lParam) {
    const int hit = HitTestAt(lParam);
    if (hit < 0 || app.buttons[hit].kind != Grip) return;
    app.verticalToolbar = !app.verticalToolbar;
    LayoutToolbar();
}

// Moved onto a display of another DPI: the toolbar is laid out again at that DPI, with its corner
// where the system suggests, so it stays under the cursor that dragged it there.
void OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    app.displayDpi = LOWORD(wParam);
    if (app.placingToolbar) return;  // the layout that moved it lays it out again
    const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
    LayoutToolbarAt(suggested->left, suggested->top);
}

}  // namespace

LRESULT CALLBACK ToolbarWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETCURSOR:
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        return 1;
    case WM_MOUSEACTIVATE:
        // A click must not make the toolbar the focus window either: a system that moves the focus
        // to it takes the focus away again when the grip's drag moves it, and the capture with it,
        // which ends the drag after its first move.
        return MA_NOACTIVATE;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        // The shortcuts act the same whichever of the two windows has the keyboard focus.
        return SendMessageW(app.overlayWindow, message, wParam, lParam);
    case WM_SYSCHAR:
        // Left to the default procedure, the character of an Alt combination opens the window menu.
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(window, wParam, lParam);
        return 0;
    case WM_LBUTTONDOWN:
        OnLeftButtonDown(window, lParam);
        return 0;
    case WM_LBUTTONUP:
        OnLeftButtonUp();
        return 0;
    case WM_RBUTTONUP:
        OnRightButtonUp(lParam);
        return 0;
    case WM_CAPTURECHANGED:
        OnCaptureLost(window, lParam);
        return 0;
    case WM_LBUTTONDBLCLK:
        OnDoubleClick(lParam);
        return 0;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(wParam, lParam);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
