#include "input/overlay_window.h"

#include "app/app_state.h"
#include "app/display_geometry.h"
#include "app/startup.h"
#include "input/capture.h"
#include "input/coalesced_input.h"
#include "input/move_recorder.h"
#include "input/pass_through.h"
#include "input/pointer_input.h"
#include "input/shortcuts.h"
#include "toolbar/toolbar_paint.h"

namespace {

POINT ScreenOf(HWND window, LPARAM lParam) {
    POINT screen = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ClientToScreen(window, &screen);
    return screen;
}

// The keys go to the primary's overlay, which the others hand the activation to.
void TakeKeyboardFocus(HWND window) {
    if (window != app.overlayWindow) SetForegroundWindow(app.overlayWindow);
    SetFocus(app.overlayWindow);
}

void SetOverlayCursor() {
    SetCursor(LoadCursorW(nullptr, app.passThrough ? IDC_ARROW : IDC_CROSS));
}

// A stroke belongs to the contact that began it: a press while a pen or touch stroke is in progress
// starts nothing, takes no capture and leaves that stroke alone.
void BeginMouseStroke(HWND window, LPARAM lParam) {
    if (app.drawing) return;
    SetCapture(window);
    TakeKeyboardFocus(window);
    const POINT screen = ScreenOf(window, lParam);
    const POINT canvas = ScreenToCanvas(screen);
    BeginStroke(float(canvas.x), float(canvas.y), 0.5f);
    app.mouseContact = app.drawing;  // no stroke begins in pass-through
    TakeFirstSample(screen, DWORD(GetMessageTime()));
    if (app.mouseContact) StartRecordingMoves();
}

void EndMouseContact() {
    app.mouseContact = false;
    ExtendWithRecordedMoves();
    StopRecordingMoves();
    EndStroke();
}

void EndMouseStroke(HWND window) {
    // Releasing the capture already commits the stroke (see OnCaptureLost); what follows then finds
    // nothing left to do. A release during a pen or touch stroke ends nothing.
    if (GetCapture() == window) ReleaseCapture();
    if (app.mouseContact) EndMouseContact();
}

// The button release of a mouse stroke reaches the overlay only through its capture. When another
// window takes the capture mid-stroke, the stroke is committed here, so its ink, already on the
// screen, also goes into the history and undo works again. A pen or touch stroke holds no capture
// and is ended by its own pointer release.
void OnCaptureLost(HWND window, LPARAM newCapture) {
    if (reinterpret_cast<HWND>(newCapture) == window) return;
    if (app.mouseContact) EndMouseContact();
}

void StepWidthByWheel(WPARAM wParam) {
    const short delta = static_cast<short>(HIWORD(wParam));
    if (delta > 0 && app.widthIndex < 2) ++app.widthIndex;
    if (delta < 0 && app.widthIndex > 0) --app.widthIndex;
    PaintToolbar();
}

}  // namespace

LRESULT CALLBACK OverlayWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        // The overlays of other monitors go with their monitors; the primary's goes at the end.
        if (window == app.overlayWindow) PostQuitMessage(0);
        return 0;
    case WM_SETCURSOR:
        SetOverlayCursor();
        return TRUE;
    case WM_DISPLAYCHANGE:
        // Every overlay hears of the change; one rebuild serves them all.
        if (window == app.overlayWindow) PostMessageW(app.overlayWindow, WM_APP_REINIT, 0, 0);
        return 0;
    case WM_DPICHANGED:
        // Each overlay stays on its monitor at the size the canvas gives it, whatever the system
        // suggests.
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        // Every key is answered here, shortcut or not: the default handling of system keys
        // (Alt+F4 closing the window among them) never takes place.
        HandleShortcutKey(wParam);
        return 0;
    case WM_SYSCHAR:
        // The character of an Alt combination: left to the default procedure it would open the
        // window menu (or beep), taking the keys away from the shortcuts.
        return 0;
    case WM_MOUSEMOVE:
        if ((wParam & MK_LBUTTON) && app.mouseContact) ExtendMouseStroke(window, lParam);
        return 0;
    case WM_LBUTTONDOWN:
        BeginMouseStroke(window, lParam);
        return 0;
    case WM_LBUTTONUP:
        EndMouseStroke(window);
        return 0;
    case WM_CAPTURECHANGED:
        OnCaptureLost(window, lParam);
        return 0;
    case WM_RBUTTONUP:
        SetPassThrough(!app.passThrough);
        return 0;
    case WM_MOUSEWHEEL:
        StepWidthByWheel(wParam);
        return 0;
    case WM_POINTERUPDATE:
    case WM_POINTERDOWN:
    case WM_POINTERUP:
        return HandlePointerMessage(message, wParam, lParam) ? 0
                                                                      : DefWindowProcW(window, message, wParam, lParam);
    case WM_POINTERCAPTURECHANGED:
        HandlePointerCaptureLost(GET_POINTERID_WPARAM(wParam));
        return 0;
    case WM_HOTKEY:
        HandleHotkey(wParam);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
