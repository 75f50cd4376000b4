// Mouse, wheel, pen and touch on the overlay, sent as real messages to the real window.
#include <gtest/gtest.h>

#include "app/startup.h"
#include "input/pass_through.h"
#include "support/test_app.h"

namespace {

constexpr uint32_t RED = 0xFFEF4444;

LRESULT SendOverlay(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageW(app.overlayWindow, message, wParam, lParam);
}

LPARAM ClientPoint(int x, int y) { return MAKELPARAM(static_cast<short>(x), static_cast<short>(y)); }

void MouseStroke(std::initializer_list<POINT> points) {
    const POINT* p = points.begin();
    SendOverlay(WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(p->x, p->y));
    for (++p; p != points.end(); ++p) SendOverlay(WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(p->x, p->y));
    SendOverlay(WM_LBUTTONUP, 0, ClientPoint((p - 1)->x, (p - 1)->y));
}

bool HasTransparentStyle() {
    return (GetWindowLongW(app.overlayWindow, GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0;
}

class OverlayInput : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartTestApp(); }
    void SetUp() override { ResetAppForTest(); }
    void TearDown() override {
        app.pGetPointerType = savedPointerType;
        app.pGetPointerPenInfo = savedPenInfo;
    }

private:
    GetPointerTypeFn savedPointerType = app.pGetPointerType;
    GetPointerPenInfoFn savedPenInfo = app.pGetPointerPenInfo;
};

TEST_F(OverlayInput, PressMoveReleaseDrawsOneCommittedStrokeAtHalfPressure) {
    SendOverlay(WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(100, 100));
    EXPECT_EQ(GetCapture(), app.overlayWindow);
    EXPECT_TRUE(app.drawing);
    SendOverlay(WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(150, 100));
    SendOverlay(WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(200, 140));
    EXPECT_EQ(SendOverlay(WM_LBUTTONUP, 0, ClientPoint(200, 140)), 0);

    EXPECT_FALSE(app.drawing);
    EXPECT_EQ(GetCapture(), nullptr);
    ASSERT_EQ(app.history.size(), 1u);
    const Stroke& stroke = app.history[0];
    EXPECT_EQ(stroke.tool, Pen);
    ASSERT_EQ(stroke.points.size(), 3u);
    for (const InkPoint& point : stroke.points) EXPECT_EQ(point.pressure, 0.5f);
    EXPECT_EQ(InkPixel(125, 100), RED);
    EXPECT_EQ(FramePixel(125, 100), RED);
}

TEST_F(OverlayInput, ReleaseOutsideTheOverlayStillEndsTheStroke) {
    SendOverlay(WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(20, 20));
    SendOverlay(WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(-40, 700));
    SendOverlay(WM_LBUTTONUP, 0, ClientPoint(-40, 700));

    EXPECT_FALSE(app.drawing);
    ASSERT_EQ(app.history.size(), 1u);
    const InkPoint last = app.history[0].points.back();
    EXPECT_EQ(last.x, -40.0f);  // passed on unclamped
    EXPECT_EQ(last.y, 700.0f);
}

TEST_F(OverlayInput, MovesWithoutTheButtonDoNothing) {
    EXPECT_EQ(SendOverlay(WM_MOUSEMOVE, 0, ClientPoint(50, 50)), 0);
    EXPECT_EQ(SendOverlay(WM_MOUSEMOVE, 0, ClientPoint(90, 60)), 0);
    EXPECT_FALSE(app.drawing);
    EXPECT_TRUE(app.history.empty());
    EXPECT_EQ(pushes.overlayPushes, 0);
    EXPECT_EQ(InkPixel(70, 55), 0u);
}

TEST_F(OverlayInput, RightClickTogglesPassThroughWithTheStyleAndTheCursor) {
    const HCURSOR cross = LoadCursorW(nullptr, IDC_CROSS);
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    EXPECT_EQ(SendOverlay(WM_SETCURSOR, WPARAM(app.overlayWindow), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);
    EXPECT_EQ(GetCursor(), cross);

    EXPECT_EQ(SendOverlay(WM_RBUTTONUP, 0, ClientPoint(10, 10)), 0);
    EXPECT_TRUE(app.passThrough);
    EXPECT_TRUE(HasTransparentStyle());
    EXPECT_EQ(pushes.toolbarPushes, 1);
    SendOverlay(WM_SETCURSOR, WPARAM(app.overlayWindow), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), arrow);

    SendOverlay(WM_RBUTTONUP, 0, ClientPoint(10, 10));
    EXPECT_FALSE(app.passThrough);
    EXPECT_FALSE(HasTransparentStyle());
    EXPECT_EQ(pushes.toolbarPushes, 2);
}

TEST_F(OverlayInput, PressInPassThroughDrawsNothing) {
    SetPassThrough(true);
    MouseStroke({{30, 30}, {60, 30}});
    EXPECT_TRUE(app.history.empty());
    EXPECT_EQ(InkPixel(45, 30), 0u);
}

struct WheelCase {
    int32_t start;
    short delta;
    int32_t expected;
};

TEST_F(OverlayInput, WheelStepsTheWidthOncePerMessageAndStopsAtTheEnds) {
    const WheelCase cases[] = {
        {1, WHEEL_DELTA, 2}, {2, WHEEL_DELTA, 2},  {1, -WHEEL_DELTA, 0}, {0, -WHEEL_DELTA, 0},
        {0, 3 * WHEEL_DELTA, 1}, {2, -1, 1},       {1, 0, 1},
    };
    for (const WheelCase& c : cases) {
        app.widthIndex = c.start;
        pushes = {};
        EXPECT_EQ(SendOverlay(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(c.delta)), ClientPoint(5, 5)), 0);
        EXPECT_EQ(app.widthIndex, c.expected) << "from " << c.start << " by " << c.delta;
        EXPECT_EQ(pushes.toolbarPushes, 1) << "from " << c.start << " by " << c.delta;
    }
}

TEST_F(OverlayInput, DisplayChangePostsOneReinitPerMessage) {
    EXPECT_EQ(SendOverlay(WM_DISPLAYCHANGE, 32, MAKELPARAM(800, 600)), 0);
    EXPECT_EQ(SendOverlay(WM_DISPLAYCHANGE, 32, MAKELPARAM(800, 600)), 0);
    MSG message;
    int reinits = 0;
    // Taken off the queue here: rebuilding would read the real screen size into the test canvas.
    while (PeekMessageW(&message, app.overlayWindow, WM_APP_REINIT, WM_APP_REINIT, PM_REMOVE)) ++reinits;
    EXPECT_EQ(reinits, 2);
}

// A mouse stroke whose capture another window takes away is committed at once rather than left
// open: its ink is on screen, so it belongs in the history, and undo must not stay refused.
TEST_F(OverlayInput, MouseStrokeLosingTheCaptureIsCommitted) {
    SendOverlay(WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(100, 200));
    SendOverlay(WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(160, 200));
    SetCapture(app.toolbarWindow);
    ReleaseCapture();

    EXPECT_FALSE(app.drawing);
    ASSERT_EQ(app.history.size(), 1u);
    EXPECT_EQ(app.history[0].points.size(), 2u);

    // The release that never came, or a late one, adds nothing.
    SendOverlay(WM_LBUTTONUP, 0, ClientPoint(160, 200));
    EXPECT_EQ(app.history.size(), 1u);
}

TEST_F(OverlayInput, ReleasingTheCaptureOnButtonUpCommitsOnce) {
    MouseStroke({{10, 10}, {40, 10}});
    MouseStroke({{10, 50}, {40, 50}});
    EXPECT_EQ(app.history.size(), 2u);
}

// Fake pointer functions: the test says which type and pen report the next message reads.
POINTER_INPUT_TYPE fakeType = PT_PEN;
UINT32 fakePressure = 0;
UINT32 fakePenFlags = 0;
bool fakeTypeFails = false;

BOOL WINAPI FakeGetPointerType(UINT32, POINTER_INPUT_TYPE* type) {
    *type = fakeType;
    return !fakeTypeFails;
}

BOOL WINAPI FakeGetPointerPenInfo(UINT32, POINTER_PEN_INFO* info) {
    *info = {};
    info->pressure = fakePressure;
    info->penFlags = fakePenFlags;
    return TRUE;
}

constexpr WPARAM CONTACT = POINTER_MESSAGE_FLAG_INCONTACT | POINTER_MESSAGE_FLAG_FIRSTBUTTON;

// Pointer positions are screen pixels; the canvas starts at screen (1, 1).
LPARAM ScreenPoint(int canvasX, int canvasY) { return ClientPoint(canvasX + app.canvasLeft, canvasY + app.canvasTop); }

LRESULT SendPointer(UINT message, WPARAM flags, int x, int y, WORD pointerId = 2) {
    return SendOverlay(message, MAKEWPARAM(pointerId, flags), ScreenPoint(x, y));
}

class PointerInput : public OverlayInput {
protected:
    void SetUp() override {
        OverlayInput::SetUp();
        app.pGetPointerType = FakeGetPointerType;
        app.pGetPointerPenInfo = FakeGetPointerPenInfo;
        fakeType = PT_PEN;
        fakePressure = 0;
        fakePenFlags = 0;
        fakeTypeFails = false;
    }

    void PointerStroke(int y) {
        EXPECT_EQ(SendPointer(WM_POINTERDOWN, CONTACT, 100, y), 0);
        EXPECT_EQ(SendPointer(WM_POINTERUPDATE, CONTACT, 180, y), 0);
        EXPECT_EQ(SendPointer(WM_POINTERUP, 0, 180, y), 0);
    }
};

struct PressureCase {
    POINTER_INPUT_TYPE type;
    UINT32 reported;
    float expected;
};

TEST_F(PointerInput, PressureComesFromThePenAndDefaultsToHalf) {
    const PressureCase cases[] = {
        {PT_PEN, 512, 0.5f},  {PT_PEN, 1024, 1.0f},  {PT_PEN, 0, 0.5f}, {PT_PEN, 256, 0.25f},
        {PT_PEN, 5000, 1.0f},  // beyond the documented range: held at full pressure
        {PT_TOUCH, 1024, 0.5f}, {PT_TOUCHPAD, 100, 0.5f},
    };
    for (const PressureCase& c : cases) {
        ResetAppForTest();
        fakeType = c.type;
        fakePressure = c.reported;
        PointerStroke(100);
        ASSERT_EQ(app.history.size(), 1u) << "type " << c.type << " pressure " << c.reported;
        for (const InkPoint& point : app.history[0].points) {
            EXPECT_EQ(point.pressure, c.expected) << "type " << c.type << " pressure " << c.reported;
        }
    }
}

TEST_F(PointerInput, PenStrokeIsInCanvasPixelsAndHoldsNoCapture) {
    fakePressure = 1024;
    SendPointer(WM_POINTERDOWN, CONTACT, 100, 100);
    EXPECT_TRUE(app.penContact);
    EXPECT_EQ(GetCapture(), nullptr);
    SendPointer(WM_POINTERUPDATE, CONTACT, 180, 100);
    SendPointer(WM_POINTERUP, 0, 180, 100);

    EXPECT_FALSE(app.penContact);
    ASSERT_EQ(app.history.size(), 1u);
    EXPECT_EQ(app.history[0].points[0].x, 100.0f);
    EXPECT_EQ(app.history[0].points[0].y, 100.0f);
    EXPECT_EQ(InkPixel(140, 100), RED);
}

// A lift whose pointer type cannot be read still ends the contact; a hovering pen then draws nothing.
TEST_F(PointerInput, AnUnclassifiedLiftStillEndsTheContact) {
    SendPointer(WM_POINTERDOWN, CONTACT, 100, 100);
    SendPointer(WM_POINTERUPDATE, CONTACT, 180, 100);
    fakeTypeFails = true;
    SendPointer(WM_POINTERUP, 0, 180, 100);
    fakeTypeFails = false;
    EXPECT_FALSE(app.penContact);
    EXPECT_FALSE(app.drawing);
    ASSERT_EQ(app.history.size(), 1u);

    SendPointer(WM_POINTERUPDATE, POINTER_MESSAGE_FLAG_INRANGE, 180, 200);
    EXPECT_EQ(app.history[0].points.size(), 2u);
    EXPECT_EQ(InkPixel(180, 200), 0u);
}

TEST_F(PointerInput, EraserEndDrawsOneEraserStrokeAndKeepsTheSelectedTool) {
    MouseStroke({{60, 100}, {220, 100}});
    ASSERT_EQ(InkPixel(140, 100), RED);
    pushes = {};

    fakePenFlags = PEN_FLAG_ERASER;
    PointerStroke(100);
    ASSERT_EQ(app.history.size(), 2u);
    EXPECT_EQ(app.history[1].tool, Eraser);
    EXPECT_EQ(AlphaOf(InkPixel(140, 100)), 0);
    EXPECT_EQ(app.currentTool, Pen);
    EXPECT_EQ(pushes.toolbarPushes, 0);

    fakePenFlags = 0;
    PointerStroke(300);
    ASSERT_EQ(app.history.size(), 3u);
    EXPECT_EQ(app.history[2].tool, Pen);
}

TEST_F(PointerInput, TouchDrawsWithTheSelectedTool) {
    fakeType = PT_TOUCH;
    fakePenFlags = PEN_FLAG_ERASER;  // never read for touch
    app.currentTool = Highlighter;
    PointerStroke(100);
    ASSERT_EQ(app.history.size(), 1u);
    EXPECT_EQ(app.history[0].tool, Highlighter);
}

TEST_F(PointerInput, HoveringPenIsConsumedWithoutDrawing) {
    EXPECT_EQ(SendPointer(WM_POINTERUPDATE, 0, 50, 50), 0);
    EXPECT_FALSE(app.drawing);
    EXPECT_EQ(pushes.overlayPushes, 0);
}

TEST_F(PointerInput, UpdatesOfAnyPointerExtendAndTheFirstToLiftEnds) {
    SendPointer(WM_POINTERDOWN, CONTACT, 100, 100, 2);
    SendPointer(WM_POINTERUPDATE, CONTACT, 150, 100, 7);
    SendPointer(WM_POINTERUP, 0, 150, 100, 7);
    EXPECT_FALSE(app.penContact);
    ASSERT_EQ(app.history.size(), 1u);
    EXPECT_EQ(app.history[0].points.size(), 2u);
    SendPointer(WM_POINTERUPDATE, CONTACT, 200, 100, 2);
    EXPECT_FALSE(app.drawing);
}

// A contact whose pointer capture goes elsewhere never sees its release here: the stroke is committed
// at once, so a pen hovering afterwards does not keep drawing and undo is not refused.
TEST_F(PointerInput, PenStrokeLosingItsPointerCaptureIsCommitted) {
    SendPointer(WM_POINTERDOWN, CONTACT, 100, 100);
    SendPointer(WM_POINTERUPDATE, CONTACT, 150, 100);
    EXPECT_EQ(SendOverlay(WM_POINTERCAPTURECHANGED, MAKEWPARAM(2, 0), 0), 0);
    EXPECT_FALSE(app.drawing);
    EXPECT_FALSE(app.penContact);
    ASSERT_EQ(app.history.size(), 1u);

    SendPointer(WM_POINTERUPDATE, POINTER_MESSAGE_FLAG_INRANGE, 220, 160);
    SendPointer(WM_POINTERUP, 0, 220, 160);
    ASSERT_EQ(app.history.size(), 1u);
    EXPECT_EQ(app.history[0].points.size(), 2u);
}

// Only a mouse stroke is committed when the overlay loses the capture; a pen that touches down while
// the mouse button still holds the capture keeps its stroke until the pen lifts.
TEST_F(PointerInput, PenStrokeIsNotEndedByALostCapture) {
    SendOverlay(WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(100, 300));
    SendPointer(WM_POINTERDOWN, CONTACT, 100, 100);
    SetCapture(app.toolbarWindow);
    ReleaseCapture();
    EXPECT_TRUE(app.drawing);
    SendPointer(WM_POINTERUP, 0, 100, 100);
    // The mouse stroke was committed when the pen began its own, the pen stroke when it lifted.
    ASSERT_EQ(app.history.size(), 2u);
    EXPECT_EQ(app.history[1].points[0].y, 100.0f);
}

// Mouse pointers, failed look-ups, systems without the function and downs without contact are left
// to the default procedure (and come back as mouse messages where the system makes them).
TEST_F(PointerInput, PointersThatAreNotPenOrTouchContactsDrawNothing) {
    struct Case {
        const char* name;
        GetPointerTypeFn getType;
        POINTER_INPUT_TYPE type;
        bool fails;
        WPARAM flags;
    };
    const Case cases[] = {
        {"mouse pointer", FakeGetPointerType, PT_MOUSE, false, CONTACT},
        {"no GetPointerType", nullptr, PT_PEN, false, CONTACT},
        {"GetPointerType fails", FakeGetPointerType, PT_PEN, true, CONTACT},
        {"pen down without contact", FakeGetPointerType, PT_PEN, false, POINTER_MESSAGE_FLAG_INRANGE},
    };
    for (const Case& c : cases) {
        app.pGetPointerType = c.getType;
        fakeType = c.type;
        fakeTypeFails = c.fails;
        const LPARAM at = ScreenPoint(100, 100);
        const WPARAM wParam = MAKEWPARAM(2, c.flags);
        EXPECT_EQ(SendOverlay(WM_POINTERDOWN, wParam, at),
                  DefWindowProcW(app.overlayWindow, WM_POINTERDOWN, wParam, at))
            << c.name;
        EXPECT_FALSE(app.drawing) << c.name;
        EXPECT_FALSE(app.penContact) << c.name;
    }
    EXPECT_TRUE(app.history.empty());
}

}  // namespace
