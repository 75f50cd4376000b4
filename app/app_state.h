#pragma once
#include <cstdint>
#include <vector>

#include "app/dirty_rect.h"
#include "app/display_geometry.h"
#include "app/palette.h"
#include "app/platform.h"
#include "ink/ink_steps.h"
#include "ink/ink_undo.h"
#include "ink/pixel_layer.h"
#include "ink/stroke.h"
#include "input/move_recorder.h"
#include "toolbar/toolbar_layout.h"

using GetPointerTypeFn = BOOL(WINAPI*)(UINT32 pointerId, POINTER_INPUT_TYPE* pointerType);
using GetPointerPenInfoFn = BOOL(WINAPI*)(UINT32 pointerId, POINTER_PEN_INFO* penInfo);
using GetPointerPenInfoHistoryFn = BOOL(WINAPI*)(UINT32 pointerId, UINT32* entriesCount,
                                                 POINTER_PEN_INFO* penInfo);
using GetDpiForWindowFn = UINT(WINAPI*)(HWND window);
using GetDpiForSystemFn = UINT(WINAPI*)();
using RegisterHotKeyFn = BOOL(WINAPI*)(HWND window, int id, UINT modifiers, UINT key);
using GetAsyncKeyStateFn = SHORT(WINAPI*)(int virtualKey);
using MonitorFromPointFn = HMONITOR(WINAPI*)(POINT point, DWORD flags);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR monitor, int dpiType, UINT* dpiX, UINT* dpiY);
using UpdateLayeredWindowIndirectFn = BOOL(WINAPI*)(HWND window, const UPDATELAYEREDWINDOWINFO* info);
using QueryPerformanceCounterFn = BOOL(WINAPI*)(LARGE_INTEGER* counter);
using DwmGetCompositionTimingInfoFn = HRESULT(WINAPI*)(HWND window, DWM_TIMING_INFO* timing);
using EnumDisplaySettingsWFn = BOOL(WINAPI*)(LPCWSTR device, DWORD mode, DEVMODEW* settings);
using UpdateLayeredWindowFn = BOOL(WINAPI*)(HWND window, HDC screenDC, POINT* dstPoint, SIZE* size,
                                            HDC srcDC, POINT* srcPoint, COLORREF key,
                                            BLENDFUNCTION* blend, DWORD flags);

// All run-time state of the program: one instance, `app`, read and written directly by every part.
struct AppState {
    // Windows and canvas geometry. The canvas reaches over every monitor; canvas pixel (0, 0) is at
    // desktop position (canvasLeft, canvasTop), with one monitor the screen's (1, 1).
    HWND overlayWindow = nullptr;  // the primary monitor's overlay, which lives as long as the program
    HWND toolbarWindow = nullptr;
    int32_t canvasLeft = 0;
    int32_t canvasTop = 0;
    int32_t canvasWidth = 0;
    int32_t canvasHeight = 0;
    std::vector<OverlayPane> overlays;  // one per monitor, the primary's first
    // Dots per inch of the display the toolbar is on; lengths meant at 96 DPI are scaled by it.
    int32_t displayDpi = 96;

    // Tool selection and modes.
    ToolKind currentTool = Pen;
    int32_t colourIndex = 0;
    int32_t widthIndex = 1;
    bool passThrough = false;  // changed only by SetPassThrough, together with WS_EX_TRANSPARENT
    bool boardMode = false;
    bool verticalToolbar = false;

    // Stroke capture and ink.
    bool drawing = false;
    Stroke currentStroke;
    DirtyRect strokeDirty;
    // A stroke belongs to the contact that began it: the mouse, or one pen or touch pointer.
    bool mouseContact = false;
    bool penContact = false;
    UINT32 contactPointerId = 0;
    // A pen contact left to the default procedure, which makes mouse messages of it: its updates and
    // its lift go there too.
    bool contactPassedOn = false;
    UINT32 passedOnPointerId = 0;
    // What the stroke has taken of its input: samples the system merged are recovered from its
    // histories and the move recorder back to the newest of these.
    TakenInput takenInput;
    MoveRecorder moveRecorder;  // keeps the moves of a mouse stroke the system's history would drop
    std::vector<Stroke> history;      // committed pen, highlighter and eraser strokes, oldest first
    std::vector<ClearedInk> clears;   // clears that can be undone, oldest first, all older than history
    std::vector<RedoStep> redoSteps;  // undone steps, the newest undo last
    std::vector<Stroke> laserTrails;  // finished laser strokes waiting for their fade

    // Laser fade.
    int32_t laserPhase = 0;  // 0 idle, 1 holding, 2 fading
    DWORD laserFadeStart = 0;
    float laserFade = 1.0f;
    UINT_PTR laserTimer = 0;
    DirtyRect laserDirty;
    DWORD laserStepDue = 0;  // tick count at which the hold ends or the next fade step is due

    // Toolbar.
    std::vector<ToolbarButton> buttons;
    int32_t toolbarWidth = 0;
    int32_t toolbarHeight = 0;
    int32_t hoveredButton = -1;
    bool draggingToolbar = false;
    bool placingToolbar = false;  // within a layout's move of the toolbar
    POINT dragOffset = {0, 0};
    bool trackingLeave = false;

    // Drawing surfaces of the overlay. The ink layer, the layer of the translucent stroke in progress
    // and the laser trails' layer have one size, at least the canvas: when the canvas shrinks they
    // keep the ink beyond it, so growing back needs no replay. The live layer has memory only while a
    // stroke drawn live is in progress, the trail layer only while trails wait.
    PixelLayer inkPixels;
    PixelLayer livePixels;
    PixelLayer trailPixels;
    Gdiplus::Bitmap* inkLayer = nullptr;    // GDI+ view of inkPixels
    Gdiplus::Bitmap* trailLayer = nullptr;  // GDI+ view of trailPixels, null while it has no memory
    // Ink of the strokes the history limit dropped, under every replay; none until one is dropped.
    PixelLayer floorPixels;
    Gdiplus::Bitmap* floorLayer = nullptr;  // GDI+ view of floorPixels
    InkKeeping inkKeeping;
    // What the undo records (stroke pixels, kept clears, strokes to redo) may take together. Tests
    // make it small to see memory stay flat however often they clear.
    size_t undoBudgetBytes = INK_UNDO_BUDGET_BYTES;
    // Composed but not yet pushed to the overlay: the message loop pushes it at most once a frame.
    DirtyRect pendingPush;
    int64_t lastPushStartUs = 0;   // FrameClockUs() when the newest push to the overlay began
    int64_t framePeriodUs = 16667;  // how long the display shows one picture
    HDC frameDC = nullptr;
    HBITMAP frameDib = nullptr;
    uint32_t* frameBits = nullptr;  // premultiplied BGRA, top-down, no row padding
    Gdiplus::Bitmap* frameBitmap = nullptr;

    // Pen input, looked up at start-up; null where the system lacks it.
    GetPointerTypeFn pGetPointerType = nullptr;
    GetPointerPenInfoFn pGetPointerPenInfo = nullptr;
    GetPointerPenInfoHistoryFn pGetPointerPenInfoHistory = nullptr;

    // The display's scale, looked up at start-up; null where the system lacks them (before Windows 10
    // 1607). Tests put their own here to be on a display of another scale.
    GetDpiForWindowFn pGetDpiForWindow = nullptr;
    GetDpiForSystemFn pGetDpiForSystem = nullptr;
    // Each monitor's own scale, for the width of a stroke begun there; GetDpiForMonitor is null
    // before Windows 8.1. Tests put their own here to play monitors of different scales.
    MonitorFromPointFn pMonitorFromPoint = &MonitorFromPoint;
    GetDpiForMonitorFn pGetDpiForMonitor = nullptr;

    // Claims a global hotkey. Tests put their own function here to see what is claimed.
    RegisterHotKeyFn pRegisterHotKey = &RegisterHotKey;

    // The clock of frame pacing and where the display's refresh rate comes from. Tests put their own
    // functions here to step time and to play displays of other rates.
    QueryPerformanceCounterFn pQueryPerformanceCounter = &QueryPerformanceCounter;
    DwmGetCompositionTimingInfoFn pDwmGetCompositionTimingInfo = &DwmGetCompositionTimingInfo;
    EnumDisplaySettingsWFn pEnumDisplaySettingsW = &EnumDisplaySettingsW;

    // The keys held at a stroke's press, which make it a shape. Tests put their own function here to
    // hold keys.
    GetAsyncKeyStateFn pGetAsyncKeyState = &GetAsyncKeyState;

    // The two pushes to the screen. Tests put their own function here to see what is pushed.
    UpdateLayeredWindowIndirectFn pUpdateLayeredWindowIndirect = &UpdateLayeredWindowIndirect;
    UpdateLayeredWindowFn pUpdateLayeredWindow = &UpdateLayeredWindow;
};

extern AppState app;

// The whole canvas as a rectangle to present.
inline DirtyRect WholeCanvas() { return DirtyRect{0, 0, app.canvasWidth, app.canvasHeight}; }
