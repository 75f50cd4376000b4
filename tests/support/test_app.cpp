#include "support/test_app.h"

#include <cstring>

#include "app/display_scale.h"
#include "app/frame_step.h"
#include "app/startup.h"
#include "ink/ink_floor.h"
#include "ink/live_layer.h"
#include "ink/surfaces.h"
#include "ink/trail_layer.h"
#include "support/pixels.h"
#include "toolbar/toolbar_layout.h"

PushLog pushes;

namespace {

SIZE startCanvas = {};

BOOL WINAPI RecordOverlayPush(HWND window, const UPDATELAYEREDWINDOWINFO* info) {
    ++pushes.overlayPushes;
    if (info->prcDirty) pushes.lastOverlayDirty = *info->prcDirty;
    return UpdateLayeredWindowIndirect(window, info);
}

BOOL WINAPI RecordToolbarPush(HWND window, HDC screenDC, POINT* dstPoint, SIZE* size, HDC srcDC,
                              POINT* srcPoint, COLORREF key, BLENDFUNCTION* blend, DWORD flags) {
    ++pushes.toolbarPushes;
    pushes.toolbarPosition = dstPoint ? *dstPoint : POINT{};
    pushes.toolbarSize = size ? *size : SIZE{};
    pushes.toolbarImage.clear();
    DIBSECTION dib = {};
    HGDIOBJ bitmap = GetCurrentObject(srcDC, OBJ_BITMAP);
    if (size && GetObjectW(bitmap, sizeof(dib), &dib) == sizeof(dib) && dib.dsBm.bmBits) {
        const auto* bits = static_cast<const uint32_t*>(dib.dsBm.bmBits);
        pushes.toolbarImage.assign(bits, bits + size_t(size->cx) * size->cy);
    }
    return UpdateLayeredWindow(window, screenDC, dstPoint, size, srcDC, srcPoint, key, blend, flags);
}

}  // namespace

void StartTestApp(int canvasWidth, int canvasHeight) {
    static bool started = false;
    if (started) return;
    started = true;

    static Gdiplus::GdiplusStartupInput input;
    static ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);

    HINSTANCE instance = GetModuleHandleW(nullptr);
    LookUpPenFunctions();
    LookUpDpiFunctions();
    // Tests play the display's scale through displayDpi; those of monitors of their own scales put
    // their own function here.
    app.pGetDpiForMonitor = nullptr;
    RegisterWindowClasses(instance);
    app.canvasLeft = 1;
    app.canvasTop = 1;
    app.canvasWidth = canvasWidth;
    app.canvasHeight = canvasHeight;
    startCanvas = {canvasWidth, canvasHeight};
    CreateAppWindows(instance);
    app.pUpdateLayeredWindowIndirect = RecordOverlayPush;
    app.pUpdateLayeredWindow = RecordToolbarPush;
    CreateSurfaces();
    PresentRegion(WholeCanvas());
    PushPendingFrame();
    ShowWindow(app.overlayWindow, SW_SHOW);
    LayoutToolbar();
    FollowToolbarDisplayScale();
    ShowWindow(app.toolbarWindow, SW_SHOWNOACTIVATE);
    PumpMessages();
}

TestCanvasRestorer::~TestCanvasRestorer() {
    app.canvasWidth = startCanvas.cx;
    app.canvasHeight = startCanvas.cy;
    CreateSurfaces();
    ApplyCanvasGeometry();
    ResetAppForTest();
}

void ResetAppForTest() {
    if (app.laserTimer) KillTimer(app.overlayWindow, app.laserTimer);
    if (GetCapture()) ReleaseCapture();
    PumpMessages();

    app.laserTimer = 0;
    app.laserPhase = 0;
    app.laserFade = 1.0f;
    app.laserFadeStart = 0;
    app.laserDirty = {};
    app.history.clear();
    app.inkKeeping.historyBytes = 0;
    ReleaseInkFloor();
    ForgetOldestClears(app.clears.size());
    app.redoSteps.clear();
    app.laserTrails.clear();
    app.drawing = false;
    app.currentStroke = {};
    app.strokeDirty = {};
    app.mouseContact = false;
    app.penContact = false;
    app.contactPointerId = 0;
    app.contactPassedOn = false;
    app.passedOnPointerId = 0;
    app.takenInput = {};
    app.currentTool = Pen;
    app.colourIndex = 0;
    app.widthIndex = 1;
    app.boardMode = false;
    app.verticalToolbar = false;
    app.displayDpi = 96;
    app.passThrough = false;
    SetWindowLongW(app.overlayWindow, GWL_EXSTYLE,
                   GetWindowLongW(app.overlayWindow, GWL_EXSTYLE) & ~WS_EX_TRANSPARENT);
    app.hoveredButton = -1;
    app.draggingToolbar = false;
    app.trackingLeave = false;

    RebuildInkLayer();
    RebuildTrailLayer();
    RebuildLiveLayer();
    PresentRegion(WholeCanvas());
    PushPendingFrame();
    LayoutToolbar();
    pushes = {};
}

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchLoopMessage(message);
        if (FrameStepDue()) RunFrameStep();
    }
    RunFrameStep();
}

const PushLog& Pushed() {
    PushPendingFrame();
    return pushes;
}

void ForgetPushes() {
    PushPendingFrame();
    pushes = {};
}

uint32_t FramePixel(int x, int y) { return app.frameBits[size_t(y) * app.canvasWidth + x]; }

void FillFrame(uint32_t value) {
    std::fill(app.frameBits, app.frameBits + size_t(app.canvasWidth) * app.canvasHeight, value);
}

int CountFramePixelsNot(uint32_t value) {
    int count = 0;
    for (size_t i = 0; i < size_t(app.canvasWidth) * app.canvasHeight; ++i) {
        if (app.frameBits[i] != value) ++count;
    }
    return count;
}

// The ink layer may be larger than the canvas after the canvas shrank; only the canvas is shown.
std::vector<uint32_t> InkPixels() { return BitmapPixels(*app.inkLayer, app.canvasWidth, app.canvasHeight); }

uint32_t InkPixel(int x, int y) { return InkPixels()[size_t(y) * app.canvasWidth + x]; }

int DifferenceFromReplay() {
    const std::vector<uint32_t> ink = InkPixels();
    RebuildInkLayer();
    const std::vector<uint32_t> replay = InkPixels();
    int differing = 0;
    for (size_t i = 0; i < ink.size(); ++i) differing += ink[i] != replay[i];
    return differing;
}

uint32_t ToolbarPixel(int x, int y) {
    return pushes.toolbarImage.at(size_t(y) * pushes.toolbarSize.cx + x);
}
