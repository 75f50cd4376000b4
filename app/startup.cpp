#include "app/startup.h"

#include "app/app_state.h"
#include "app/display_geometry.h"
#include "app/display_scale.h"
#include "app/frame_rate.h"
#include "app/frame_step.h"
#include "app/frame_wait.h"
#include "app/overlay_windows.h"
#include "ink/ink_origin.h"
#include "ink/ink_undo.h"
#include "ink/surface_resize.h"
#include "ink/surfaces.h"
#include "input/overlay_window.h"
#include "toolbar/toolbar_layout.h"
#include "toolbar/toolbar_window.h"

namespace {

struct HotkeyBinding {
    int id;
    UINT key;
};

constexpr HotkeyBinding HOTKEYS[] = {
    {HK_TOGGLE_MOUSE, 'M'},
    {HK_QUIT, 'Q'},
    {HK_LASER, 'L'},
    {HK_CLEAR, 'D'},
};

}  // namespace

void LookUpPenFunctions() {
    // Looked up at run time: older systems (and Wine) lack them, and importing them would stop the
    // program from loading there.
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    app.pGetPointerType =
        reinterpret_cast<GetPointerTypeFn>(reinterpret_cast<void*>(GetProcAddress(user32, "GetPointerType")));
    app.pGetPointerPenInfo = reinterpret_cast<GetPointerPenInfoFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetPointerPenInfo")));
    app.pGetPointerPenInfoHistory = reinterpret_cast<GetPointerPenInfoHistoryFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetPointerPenInfoHistory")));
}

void RegisterWindowClasses(HINSTANCE instance) {
    WNDCLASSW overlay = {};
    overlay.lpfnWndProc = OverlayWndProc;
    overlay.hInstance = instance;
    overlay.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP_ICON));
    overlay.hCursor = LoadCursorW(nullptr, IDC_CROSS);
    overlay.lpszClassName = OVERLAY_CLASS;
    RegisterClassW(&overlay);

    WNDCLASSW toolbar = {};
    toolbar.style = CS_DBLCLKS;
    toolbar.lpfnWndProc = ToolbarWndProc;
    toolbar.hInstance = instance;
    toolbar.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    toolbar.lpszClassName = TOOLBAR_CLASS;
    RegisterClassW(&toolbar);
}

void ReadCanvasGeometry() {
    const bool laidOut = !app.overlays.empty();
    const CanvasGeometry before = CurrentCanvasGeometry();
    // The origin steps by whole undo tiles, so that the ink's undo records move with their tiles.
    SetCanvasGeometry(LayOutCanvas(ReadMonitors(), laidOut ? &before : nullptr, INK_TILE));
    ReadDisplayScale();
    ReadFramePeriod();
}

CanvasGeometry CurrentCanvasGeometry() {
    CanvasGeometry geometry = {app.canvasLeft, app.canvasTop, app.canvasWidth, app.canvasHeight, {}};
    for (const OverlayPane& pane : app.overlays) geometry.overlays.push_back(pane.area);
    return geometry;
}

void SetCanvasGeometry(const CanvasGeometry& geometry) {
    // Ink keeps its desktop place: an origin that moved left or up moves every canvas coordinate.
    const int32_t dx = app.canvasLeft - geometry.left;
    const int32_t dy = app.canvasTop - geometry.top;
    if ((dx > 0 || dy > 0) && app.inkPixels.bits) MoveInkOrigin(std::max(dx, 0), std::max(dy, 0));
    app.canvasLeft = geometry.left;
    app.canvasTop = geometry.top;
    app.canvasWidth = geometry.width;
    app.canvasHeight = geometry.height;
    DropOverlayWindowsFrom(geometry.overlays.size());
    app.overlays.resize(geometry.overlays.size());
    for (size_t i = 0; i < geometry.overlays.size(); ++i) app.overlays[i].area = geometry.overlays[i];
}

void CreateAppWindows(HINSTANCE instance) {
    const DirtyRect a = PrimaryOverlayArea();
    app.overlayWindow = CreateWindowExW(OverlayExStyle(true), OVERLAY_CLASS, WINDOW_TITLE, WS_POPUP, a.left,
                                        a.top, a.right - a.left, a.bottom - a.top, nullptr, nullptr, instance,
                                        nullptr);
    app.toolbarWindow =
        CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, TOOLBAR_CLASS,
                        WINDOW_TITLE, WS_POPUP, 0, 0, 10, 10, app.overlayWindow, nullptr, instance, nullptr);
    SyncOverlayWindows();
}

void FollowToolbarDisplayScale() {
    const int32_t dpi = ReadSystemDpi(app.toolbarWindow);
    if (dpi == app.displayDpi) return;
    app.displayDpi = dpi;
    LayoutToolbar();
}

void ClaimHotkeys() {
    // A combination that another program holds stays unclaimed; the others still work. A held
    // combination fires once: auto-repeat would toggle pass-through or clear again and again.
    for (const HotkeyBinding& hotkey : HOTKEYS) {
        app.pRegisterHotKey(app.overlayWindow, hotkey.id, MOD_CONTROL | MOD_SHIFT | MOD_NOREPEAT, hotkey.key);
    }
}

void ReleaseHotkeys() {
    for (const HotkeyBinding& hotkey : HOTKEYS) {
        UnregisterHotKey(app.overlayWindow, hotkey.id);
    }
}

void ReinitCanvas() {
    ReadCanvasGeometry();
    ApplyCanvasGeometry();
}

void ApplyCanvasGeometry() {
    FitSurfacesToCanvas();
    if (app.overlays.empty()) {
        // No monitors were read: the one overlay shows the whole canvas.
        SetWindowPos(app.overlayWindow, HWND_TOPMOST, app.canvasLeft, app.canvasTop, app.canvasWidth,
                     app.canvasHeight, SWP_NOACTIVATE);
    }
    SyncOverlayWindows();
    PresentRegion(WholeCanvas());
    PushPendingFrame();
    ShowOverlayWindows();
    LayoutToolbar();
}

void DispatchLoopMessage(const MSG& message) {
    if (message.message == WM_APP_REINIT) {
        ReinitCanvas();
        return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void DispatchQueuedMessages(MSG& message) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) return;
        DispatchLoopMessage(message);
        if (FrameStepDue()) RunFrameStep();
    }
    message.message = 0;
}

int RunMessageLoop() {
    MSG message = {};
    FrameWait wait = StartFrameWait();
    for (;;) {
        DispatchQueuedMessages(message);
        if (message.message == WM_QUIT) {
            // Shown before anything goes: what was drawn last is pushed also when the program ends.
            RunFrameStep();
            EndFrameWait(wait);
            return static_cast<int>(message.wParam);
        }
        if (FrameStepDue()) RunFrameStep();
        WaitForMessageOrFrame(wait, TimeUntilFrameStepUs());
    }
}
