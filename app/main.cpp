#include "app/app_state.h"
#include "app/display_scale.h"
#include "app/overlay_windows.h"
#include "app/single_instance.h"
#include "app/startup.h"
#include "input/move_recorder.h"
#include "ink/surfaces.h"
#include "toolbar/toolbar_layout.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    HANDLE mutex = nullptr;
    if (!ClaimSingleInstance(SINGLE_INSTANCE_MUTEX, mutex)) {
        MessageBoxW(nullptr, L"Velquin zaten \u00E7al\u0131\u015F\u0131yor.", WINDOW_TITLE, MB_ICONINFORMATION);
        return 0;
    }

    SetProcessDPIAware();

    Gdiplus::GdiplusStartupInput gdiplusInput;
    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);

    LookUpPenFunctions();
    LookUpDpiFunctions();
    RegisterWindowClasses(instance);
    ReadCanvasGeometry();
    CreateAppWindows(instance);
    CreateSurfaces();
    PresentRegion(WholeCanvas());  // the first, empty frame, while the overlay is still hidden
    PushPendingFrame();
    ShowWindow(app.overlayWindow, SW_SHOW);
    ShowOverlayWindows();
    LayoutToolbar();
    FollowToolbarDisplayScale();
    ShowWindow(app.toolbarWindow, SW_SHOWNOACTIVATE);
    SetForegroundWindow(app.overlayWindow);
    SetFocus(app.overlayWindow);
    ClaimHotkeys();

    RunMessageLoop();

    EndMoveRecorder();
    ReleaseHotkeys();
    ReleaseSurfaces();
    Gdiplus::GdiplusShutdown(gdiplusToken);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    return 0;
}
