#include "app/startup.h"

#include "app/app_state.h"
#include "app/display_scale.h"
#include "app/frame_rate.h"
#include "app/frame_step.h"
#include "app/frame_wait.h"
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
    // One pixel in from the screen's top-left corner, so the top row and left column stay uncovered.
    app.canvasLeft = 1;
    app.canvasTop = 1;
    app.canvasWidth = GetSystemMetrics(SM_CXSCREEN) - 1;
    app.canvasHeight = GetSystemMetrics(SM_CYSCREEN) - 1;
    ReadDisplayScale();
    ReadFramePeriod();
}

void CreateAppWindows(HINSTANCE instance) {
    app.overlayWindow = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, OVERLAY_CLASS,
                                        WINDOW_TITLE, WS_POPUP, app.canvasLeft, app.canvasTop,
                                        app.canvasWidth, app.canvasHeight, nullptr, nullptr, instance,
                                        nullptr);
    app.toolbarWindow =
        CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, TOOLBAR_CLASS,
                        WINDOW_TITLE, WS_POPUP, 0, 0, 10, 10, app.overlayWindow, nullptr, instance, nullptr);
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
    SetWindowPos(app.overlayWindow, HWND_TOPMOST, app.canvasLeft, app.canvasTop, app.canvasWidth,
                 app.canvasHeight, SWP_NOACTIVATE);
    PresentRegion(WholeCanvas());
    PushPendingFrame();
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
