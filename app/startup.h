#pragma once
#include "app/display_geometry.h"
#include "app/platform.h"

// Posted by the overlay on a display change; the message loop rebuilds the canvas when it takes it,
// after the window procedure has returned.
constexpr UINT WM_APP_REINIT = WM_APP + 1;

enum HotkeyId : int {
    HK_TOGGLE_MOUSE = 1,
    HK_QUIT = 2,
    HK_LASER = 3,
    HK_CLEAR = 4,
};

inline constexpr wchar_t OVERLAY_CLASS[] = L"VelquinOverlay";
inline constexpr wchar_t TOOLBAR_CLASS[] = L"VelquinBar";
inline constexpr wchar_t WINDOW_TITLE[] = L"Velquin";
inline constexpr wchar_t SINGLE_INSTANCE_MUTEX[] = L"Velquin.KestrelAtolyesi.SingleInstance";
inline constexpr int IDI_APP_ICON = 101;

// The steps of the program's life, in the order wWinMain runs them; tests run the same steps.
void LookUpPenFunctions();
void RegisterWindowClasses(HINSTANCE instance);
// The monitors read and the canvas laid over them (SetCanvasGeometry), with their scale and frame.
void ReadCanvasGeometry();
CanvasGeometry CurrentCanvasGeometry();
// Takes a geometry into `app`; where its origin lies left of or above the canvas's, the ink moves
// with it, so that every stroke stays where it was on the desktop.
void SetCanvasGeometry(const CanvasGeometry& geometry);
void CreateAppWindows(HINSTANCE instance);
// The scale read with the geometry before the windows existed is the system's, which keeps its
// value from sign-in through a change of scaling; once the toolbar is shown, its display's scale is
// taken, and the toolbar laid out again where the two differ.
void FollowToolbarDisplayScale();
void ClaimHotkeys();
void ReleaseHotkeys();
// After a display change: the screen's size again, then ApplyCanvasGeometry.
void ReinitCanvas();
// Surfaces, ink, overlay and toolbar brought to the canvas geometry now in `app`; the ink keeps its
// pixel positions.
void ApplyCanvasGeometry();
// The private re-initialise message is handled here and never dispatched; all others are.
void DispatchLoopMessage(const MSG& message);
// Dispatches every queued message, running the frame step whenever one is due within them; stops
// early at WM_QUIT, which it leaves in `message` (otherwise message.message is 0).
void DispatchQueuedMessages(MSG& message);
// Runs until WM_QUIT, pushing what was drawn at most once a frame and waiting, never spinning, for
// input or the next frame in between; returns WM_QUIT's exit code.
int RunMessageLoop();
