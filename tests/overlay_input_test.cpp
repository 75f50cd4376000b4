// Mouse, wheel, pen and touch on the overlay, sent as real messages to the real window.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <iterator>
#include <ostream>
#include <thread>
#include <vector>

#include "app/startup.h"
#include "input/coalesced_input.h"
#include "input/pointer_input.h"
#include "input/pass_through.h"
#include "support/injected_input.h"
#include "support/system_mouse.h"
#include "support/test_app.h"

// Found by the comparisons of gtest and the standard library, which look beside the type.
bool operator==(const RecordedSample& a, const RecordedSample& b) {
    return a.x == b.x && a.y == b.y && a.time == b.time;
}

std::ostream& operator<<(std::ostream& out, const RecordedSample& s) {
    return out << "(" << s.x << ", " << s.y << ", " << s.time << ")";
}

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
        app.pGetPointerPenInfoHistory = savedPenHistory;
    }

private:
    GetPointerTypeFn savedPointerType = app.pGetPointerType;
    GetPointerPenInfoFn savedPenInfo = app.pGetPointerPenInfo;
    GetPointerPenInfoHistoryFn savedPenHistory = app.pGetPointerPenInfoHistory;
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

// Real input through the system's queue: only the capture brings the release outside the overlay
// (this canvas is 640 x 480 at screen (1, 1)) back to it.
TEST_F(OverlayInput, ReleaseOutsideTheOverlayStillEndsTheStroke) {
    InjectMouse(21, 21, MOUSEEVENTF_LEFTDOWN);
    PumpMessages();
    ASSERT_TRUE(app.drawing);
    InjectMouse(900, 700);
    InjectMouse(900, 700, MOUSEEVENTF_LEFTUP);
    PumpMessages();

    EXPECT_FALSE(app.drawing);
    EXPECT_EQ(GetCapture(), nullptr);
    ASSERT_EQ(app.history.size(), 1u);
    const InkPoint last = app.history[0].points.back();
    EXPECT_EQ(last.x, 899.0f);  // passed on unclamped
    EXPECT_EQ(last.y, 699.0f);
}

// The system merges the moves that wait in the queue into the newest one; a fast arc must still be
// drawn through every position the mouse reported, not as one straight chord.
TEST_F(OverlayInput, MovesMergedByTheSystemAreRecoveredInOrder) {
    std::vector<POINT> arc;
    for (int i = 0; i <= 40; ++i) {
        const double angle = 3.14159265 * i / 40;
        arc.push_back({300 - int(std::lround(150 * std::cos(angle))), 160 - int(std::lround(120 * std::sin(angle)))});
    }
    InjectMouse(arc[0].x, arc[0].y, MOUSEEVENTF_LEFTDOWN);
    for (size_t i = 1; i < arc.size(); ++i) InjectMouse(arc[i].x, arc[i].y);
    PumpMessages();  // one press, then the moves merged into few messages
    InjectMouse(arc.back().x, arc.back().y, MOUSEEVENTF_LEFTUP);
    PumpMessages();

    ASSERT_EQ(app.history.size(), 1u);
    const std::vector<InkPoint>& points = app.history[0].points;
    ASSERT_EQ(points.size(), arc.size());
    for (size_t i = 0; i < arc.size(); ++i) {
        EXPECT_EQ(points[i].x, float(arc[i].x - app.canvasLeft)) << "sample " << i;
        EXPECT_EQ(points[i].y, float(arc[i].y - app.canvasTop)) << "sample " << i;
    }
}

// The stroke, back in screen pixels, against what the system took in from the press to the release
// (under Wine more than the moves made: see support/system_mouse.h), which must hold the moves made
// in their order.
void ExpectStrokeAsTheSystemTookIt(const std::vector<POINT>& made) {
    const std::vector<POINT> taken = StrokeOf(StopLoggingSystemMouse());
    size_t at = 0;
    for (const POINT& move : made) {
        while (at < taken.size() && (taken[at].x != move.x || taken[at].y != move.y)) ++at;
        ASSERT_LT(at, taken.size()) << "the system took no move to (" << move.x << ", " << move.y << ")";
    }
    ASSERT_EQ(app.history.size(), 1u);
    const std::vector<InkPoint>& points = app.history[0].points;
    EXPECT_LE(points.size(), taken.size()) << "more samples than moves";
    ASSERT_EQ(points.size(), taken.size());
    for (size_t i = 0; i < taken.size(); ++i) {
        EXPECT_EQ(points[i].x, float(taken[i].x - app.canvasLeft)) << "sample " << i;
        EXPECT_EQ(points[i].y, float(taken[i].y - app.canvasTop)) << "sample " << i;
    }
}

// A system tick of 16 ms, as on Windows: every move of one tick carries the same time.
DWORD TickOf(DWORD start, int elapsedMs) { return start + DWORD(elapsedMs / 16 * 16); }

// A fast circle from a 1000 Hz mouse while this thread is busy between its messages (as with pushes
// to the screen), the moves' times stepping every 16 ms. The recorder gets ahead of the messages
// here, and a dozen moves share each time: still every move is taken, in order, once.
TEST_F(OverlayInput, AFastStrokeWhoseMovesShareTheirTimesIsTakenWholeInOrderAndOnce) {
    StartLoggingSystemMouse();
    std::vector<POINT> circle;
    for (int i = 0; i <= 200; ++i) {
        const double angle = 6.283185307179586 * i / 200;
        circle.push_back({321 + int(std::lround(150 * std::sin(angle))), 241 - int(std::lround(150 * std::cos(angle)))});
    }
    const DWORD start = GetTickCount();
    InjectMouse(circle[0].x, circle[0].y, MOUSEEVENTF_LEFTDOWN, start);
    PumpMessages();
    ASSERT_TRUE(app.drawing);

    std::atomic<bool> injected{false};
    std::thread hand([&] {
        LARGE_INTEGER frequency, now, begun;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&begun);
        for (int i = 1; i < int(circle.size()); ++i) {
            do QueryPerformanceCounter(&now);
            while ((now.QuadPart - begun.QuadPart) * 1000 < LONGLONG(i) * frequency.QuadPart);
            InjectMouse(circle[i].x, circle[i].y, 0, TickOf(start, i));
        }
        InjectMouse(circle.back().x, circle.back().y, MOUSEEVENTF_LEFTUP, TickOf(start, int(circle.size())));
        injected = true;
    });
    const ULONGLONG giveUp = GetTickCount64() + 10000;
    while ((!injected || app.drawing) && GetTickCount64() < giveUp) {
        PumpMessages();
        Sleep(7);
    }
    hand.join();
    EXPECT_FALSE(app.drawing);
    ExpectStrokeAsTheSystemTookIt(circle);
}

// The moves between the press and the recorder's start are only in the system's history, 64 moves
// long. Where this thread, busy, comes to them only after many more moves, the recorder has read
// them back while the history still held them.
TEST_F(OverlayInput, MovesBeforeTheRecorderStartsAreKeptWhenTheirMessageComesLate) {
    StartLoggingSystemMouse();
    std::vector<POINT> line;
    for (int i = 0; i <= 120; ++i) line.push_back({50 + 4 * i, 100 + i % 2});
    const DWORD start = GetTickCount();
    InjectMouse(line[0].x, line[0].y, MOUSEEVENTF_LEFTDOWN, start);
    for (int i = 1; i <= 20; ++i) InjectMouse(line[i].x, line[i].y, 0, TickOf(start, i));
    Sleep(50);
    // The press, and no further: its moves wait in the queue, merged into one message.
    MSG message;
    while (!app.drawing && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchLoopMessage(message);
    ASSERT_TRUE(app.drawing);

    for (int i = 21; i < int(line.size()); ++i) InjectMouse(line[i].x, line[i].y, 0, TickOf(start, i));
    Sleep(100);
    PumpMessages();
    InjectMouse(line.back().x, line.back().y, MOUSEEVENTF_LEFTUP, TickOf(start, int(line.size())));
    Sleep(50);
    PumpMessages();
    EXPECT_FALSE(app.drawing);
    ExpectStrokeAsTheSystemTookIt(line);
}

// The moves after the release belong to no stroke, also those made within the release's tick and
// recorded before the release is handled.
TEST_F(OverlayInput, MovesAfterTheReleaseAreNotTakenWhateverTheirTimes) {
    StartLoggingSystemMouse();
    const DWORD tick = GetTickCount();
    std::vector<POINT> stroke = {{100, 300}};
    InjectMouse(stroke[0].x, stroke[0].y, MOUSEEVENTF_LEFTDOWN, tick);
    PumpMessages();
    ASSERT_TRUE(app.drawing);
    Sleep(100);  // the recorder is watching by now

    for (int i = 1; i <= 10; ++i) stroke.push_back({100 + 10 * i, 300});
    for (size_t i = 1; i < stroke.size(); ++i) InjectMouse(stroke[i].x, stroke[i].y, 0, tick);
    InjectMouse(stroke.back().x, stroke.back().y, MOUSEEVENTF_LEFTUP, tick);
    for (int i = 1; i <= 10; ++i) InjectMouse(200 + 10 * i, 300 + 10 * i, 0, tick);
    Sleep(100);
    PumpMessages();
    EXPECT_FALSE(app.drawing);
    ExpectStrokeAsTheSystemTookIt(stroke);
}

// A click quicker than the recorder can start: by the time it watches, the button is up, and the
// moves it then sees (in the same tick as the click) are not the stroke's.
TEST_F(OverlayInput, ARecorderStartedAfterTheReleaseTakesNothing) {
    StartLoggingSystemMouse();
    const DWORD tick = GetTickCount();
    InjectMouse(100, 150, MOUSEEVENTF_LEFTDOWN, tick);
    InjectMouse(100, 150, MOUSEEVENTF_LEFTUP, tick);
    Sleep(50);
    // Up to the press and no further: its release waits in the queue.
    MSG message;
    while (!app.drawing && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchLoopMessage(message);
    ASSERT_TRUE(app.drawing);
    Sleep(100);
    for (int i = 1; i <= 10; ++i) InjectMouse(100 + 10 * i, 150, 0, tick);
    Sleep(100);
    PumpMessages();
    EXPECT_FALSE(app.drawing);
    ExpectStrokeAsTheSystemTookIt({{100, 150}});
}

TEST_F(OverlayInput, MovesWithoutTheButtonDoNothing) {
    EXPECT_EQ(SendOverlay(WM_MOUSEMOVE, 0, ClientPoint(50, 50)), 0);
    EXPECT_EQ(SendOverlay(WM_MOUSEMOVE, 0, ClientPoint(90, 60)), 0);
    EXPECT_FALSE(app.drawing);
    EXPECT_TRUE(app.history.empty());
    EXPECT_EQ(Pushed().overlayPushes, 0);
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
        ForgetPushes();
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
PEN_MASK fakePenMask = PEN_MASK_PRESSURE;
UINT32 fakePenFlags = 0;
bool fakeTypeFails = false;

BOOL WINAPI FakeGetPointerType(UINT32, POINTER_INPUT_TYPE* type) {
    *type = fakeType;
    return !fakeTypeFails;
}

BOOL WINAPI FakeGetPointerPenInfo(UINT32, POINTER_PEN_INFO* info) {
    *info = {};
    info->pressure = fakePressure;
    info->penMask = fakePenMask;
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
        fakePenMask = PEN_MASK_PRESSURE;
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
    PEN_MASK mask;
    UINT32 reported;
    float expected;
};

// A pen that reports pressure reports its lightest touch as 0; only a pen without pressure (no
// PEN_MASK_PRESSURE) draws at the mouse's 0.5.
TEST_F(PointerInput, PressureComesFromThePenAndDefaultsToHalf) {
    const PressureCase cases[] = {
        {PT_PEN, PEN_MASK_PRESSURE, 512, 0.5f},   {PT_PEN, PEN_MASK_PRESSURE, 1024, 1.0f},
        {PT_PEN, PEN_MASK_PRESSURE, 0, 0.0f},     {PT_PEN, PEN_MASK_PRESSURE, 256, 0.25f},
        {PT_PEN, PEN_MASK_PRESSURE, 5000, 1.0f},  // beyond the documented range: held at full pressure
        {PT_PEN, PEN_MASK_ROTATION, 0, 0.5f},     {PT_PEN, PEN_MASK_NONE, 700, 0.5f},
        {PT_TOUCH, PEN_MASK_PRESSURE, 1024, 0.5f}, {PT_TOUCHPAD, PEN_MASK_PRESSURE, 100, 0.5f},
    };
    for (const PressureCase& c : cases) {
        ResetAppForTest();
        fakeType = c.type;
        fakePenMask = c.mask;
        fakePressure = c.reported;
        PointerStroke(100);
        ASSERT_EQ(app.history.size(), 1u) << "type " << c.type << " mask " << c.mask << " pressure " << c.reported;
        for (const InkPoint& point : app.history[0].points) {
            EXPECT_EQ(point.pressure, c.expected)
                << "type " << c.type << " mask " << c.mask << " pressure " << c.reported;
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
    ForgetPushes();

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
    EXPECT_TRUE(HandlePointerMessage(WM_POINTERUPDATE, MAKEWPARAM(2, 0), ScreenPoint(50, 50)));
    EXPECT_EQ(SendPointer(WM_POINTERUPDATE, 0, 50, 50), 0);
    EXPECT_FALSE(app.drawing);
    EXPECT_EQ(Pushed().overlayPushes, 0);
}

// One step of input from a contact: the mouse (pointer 0) or a pen or touch pointer.
struct ContactEvent {
    UINT message;
    WORD pointer;
    int x;
    int y;
};

void Deliver(const ContactEvent& e) {
    switch (e.message) {
    case WM_LBUTTONDOWN: SendOverlay(e.message, MK_LBUTTON, ClientPoint(e.x, e.y)); break;
    case WM_MOUSEMOVE: SendOverlay(e.message, MK_LBUTTON, ClientPoint(e.x, e.y)); break;
    case WM_LBUTTONUP: SendOverlay(e.message, 0, ClientPoint(e.x, e.y)); break;
    case WM_POINTERUP: SendPointer(e.message, 0, e.x, e.y, e.pointer); break;
    case WM_POINTERCAPTURECHANGED: SendOverlay(e.message, MAKEWPARAM(e.pointer, 0), 0); break;
    default: SendPointer(e.message, CONTACT, e.x, e.y, e.pointer); break;
    }
}

struct OwnershipCase {
    const char* name;
    POINTER_INPUT_TYPE type;
    std::vector<ContactEvent> events;
    std::vector<POINT> stroke;  // the one stroke committed
};

// A stroke belongs to the contact that began it: other contacts neither extend nor end it and start
// nothing. Otherwise a second finger would commit the first finger's stroke and then draw zig-zags
// between the two, and a mouse release would end a pen stroke.
TEST_F(PointerInput, AStrokeBelongsToTheContactThatBeganIt) {
    const OwnershipCase cases[] = {
        {"a second finger",
         PT_TOUCH,
         {{WM_POINTERDOWN, 2, 100, 100},
          {WM_POINTERDOWN, 7, 300, 300},
          {WM_POINTERUPDATE, 7, 320, 300},
          {WM_POINTERUPDATE, 2, 150, 100},
          {WM_POINTERUPDATE, 7, 340, 300},
          {WM_POINTERUP, 7, 340, 300},
          {WM_POINTERUPDATE, 2, 200, 100},
          {WM_POINTERUP, 2, 200, 100}},
         {{100, 100}, {150, 100}, {200, 100}}},
        {"a palm beside the pen, whose capture goes elsewhere",
         PT_PEN,
         {{WM_POINTERDOWN, 2, 100, 200},
          {WM_POINTERDOWN, 9, 400, 400},
          {WM_POINTERCAPTURECHANGED, 9, 0, 0},
          {WM_POINTERUPDATE, 2, 150, 200},
          {WM_POINTERUP, 9, 400, 400},
          {WM_POINTERUP, 2, 150, 200}},
         {{100, 200}, {150, 200}}},
        {"the mouse during a pen stroke",
         PT_PEN,
         {{WM_POINTERDOWN, 2, 100, 300},
          {WM_LBUTTONDOWN, 0, 300, 50},
          {WM_MOUSEMOVE, 0, 350, 50},
          {WM_LBUTTONUP, 0, 350, 50},
          {WM_POINTERUPDATE, 2, 150, 300},
          {WM_POINTERUP, 2, 150, 300}},
         {{100, 300}, {150, 300}}},
        {"a pen during a mouse stroke",
         PT_PEN,
         {{WM_LBUTTONDOWN, 0, 100, 400},
          {WM_POINTERDOWN, 2, 300, 50},
          {WM_POINTERUPDATE, 2, 350, 50},
          {WM_POINTERUP, 2, 350, 50},
          {WM_MOUSEMOVE, 0, 150, 400},
          {WM_LBUTTONUP, 0, 150, 400}},
         {{100, 400}, {150, 400}}},
    };
    for (const OwnershipCase& c : cases) {
        ResetAppForTest();
        fakeType = c.type;
        for (const ContactEvent& e : c.events) {
            Deliver(e);
            // Only a mouse stroke holds the capture.
            if (e.pointer == 0 && c.events.front().pointer != 0) {
                EXPECT_EQ(GetCapture(), nullptr) << c.name;
            }
        }
        EXPECT_FALSE(app.drawing) << c.name;
        ASSERT_EQ(app.history.size(), 1u) << c.name;
        const std::vector<InkPoint>& points = app.history[0].points;
        ASSERT_EQ(points.size(), c.stroke.size()) << c.name;
        for (size_t i = 0; i < points.size(); ++i) {
            EXPECT_EQ(points[i].x, float(c.stroke[i].x)) << c.name << ", sample " << i;
            EXPECT_EQ(points[i].y, float(c.stroke[i].y)) << c.name << ", sample " << i;
        }
        // Nothing was drawn where only the other contact went.
        const ContactEvent& other = c.events[1];
        EXPECT_EQ(InkPixel(other.x + 10, other.y), 0u) << c.name;
    }
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

// Only a mouse stroke is committed when the overlay loses the capture; a pen stroke, which holds
// none, goes on until the pen lifts.
TEST_F(PointerInput, PenStrokeIsNotEndedByALostCapture) {
    SendPointer(WM_POINTERDOWN, CONTACT, 100, 100);
    SetCapture(app.toolbarWindow);
    ReleaseCapture();
    EXPECT_TRUE(app.drawing);
    SendPointer(WM_POINTERUPDATE, CONTACT, 150, 100);
    SendPointer(WM_POINTERUP, 0, 150, 100);
    ASSERT_EQ(app.history.size(), 1u);
    EXPECT_EQ(app.history[0].points.size(), 2u);
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
        // The default procedure answers these with 0 as well, so the handler is asked directly.
        EXPECT_FALSE(HandlePointerMessage(WM_POINTERDOWN, wParam, at)) << c.name;
        EXPECT_EQ(SendOverlay(WM_POINTERDOWN, wParam, at), 0) << c.name;
        EXPECT_FALSE(app.drawing) << c.name;
        EXPECT_FALSE(app.penContact) << c.name;
    }
    EXPECT_TRUE(app.history.empty());
}

// With the barrel button held the pen's first-button flag is clear, tip down or not, and the default
// procedure makes a right button's press of it: the contact's updates and lift go there as well, so
// the right button's release comes and the right click does what it does on the overlay.
TEST_F(PointerInput, ABarrelButtonContactGoesToTheDefaultProcedureFromPressToLift) {
    constexpr WPARAM BARREL = POINTER_MESSAGE_FLAG_INRANGE | POINTER_MESSAGE_FLAG_INCONTACT |
                              POINTER_MESSAGE_FLAG_SECONDBUTTON;
    auto handled = [](UINT message, WPARAM flags, int x, WORD pointerId) {
        return HandlePointerMessage(message, MAKEWPARAM(pointerId, flags), ScreenPoint(x, 100));
    };
    EXPECT_FALSE(handled(WM_POINTERDOWN, BARREL, 100, 2));
    EXPECT_FALSE(handled(WM_POINTERUPDATE, BARREL, 140, 2));
    // Another pointer's messages are still this procedure's.
    EXPECT_TRUE(handled(WM_POINTERUPDATE, POINTER_MESSAGE_FLAG_INRANGE, 300, 5));
    EXPECT_FALSE(handled(WM_POINTERUP, POINTER_MESSAGE_FLAG_INRANGE, 140, 2));
    EXPECT_FALSE(app.drawing);
    EXPECT_TRUE(app.history.empty());

    // After the lift the pen is this procedure's again: hovering is consumed, the tip draws.
    EXPECT_TRUE(handled(WM_POINTERUPDATE, POINTER_MESSAGE_FLAG_INRANGE, 150, 2));
    PointerStroke(200);
    ASSERT_EQ(app.history.size(), 1u);
    EXPECT_EQ(app.history[0].tool, Pen);

    // A press without the flag from the pointer whose tip draws leaves its stroke to its own lift.
    EXPECT_TRUE(handled(WM_POINTERDOWN, CONTACT, 100, 2));
    EXPECT_FALSE(handled(WM_POINTERDOWN, BARREL, 120, 2));
    EXPECT_TRUE(handled(WM_POINTERUP, POINTER_MESSAGE_FLAG_INRANGE, 120, 2));
    EXPECT_FALSE(app.drawing);
    EXPECT_EQ(app.history.size(), 2u);
}

// The pen's own history, newest first, as the next update will find it.
struct PenEntry {
    int x;  // canvas pixels
    int y;
    int timeAfterDown;
    UINT32 pressure;
};
std::vector<PenEntry> fakePenHistory;
DWORD fakeDownTime = 0;

BOOL WINAPI FakeGetPointerPenInfoHistory(UINT32, UINT32* count, POINTER_PEN_INFO* entries) {
    const UINT32 room = *count;
    *count = UINT32(fakePenHistory.size());
    for (UINT32 i = 0; i < room && i < fakePenHistory.size(); ++i) {
        entries[i] = {};
        entries[i].pointerInfo.ptPixelLocation = {fakePenHistory[i].x + app.canvasLeft,
                                                  fakePenHistory[i].y + app.canvasTop};
        entries[i].pointerInfo.dwTime = fakeDownTime + DWORD(fakePenHistory[i].timeAfterDown);
        entries[i].penMask = PEN_MASK_PRESSURE;
        entries[i].pressure = fakePenHistory[i].pressure;
    }
    return TRUE;
}

// The pen samples merged into an update come back from its history, oldest first, each with its own
// pressure, and none twice across updates.
TEST_F(PointerInput, PenSamplesMergedByTheSystemAreRecoveredWithTheirPressure) {
    app.pGetPointerPenInfoHistory = FakeGetPointerPenInfoHistory;
    fakePressure = 512;
    fakeDownTime = DWORD(GetMessageTime());  // what the down, sent rather than posted, reads as its time
    SendPointer(WM_POINTERDOWN, CONTACT, 100, 100);

    fakePenHistory = {{180, 100, 4, 1024}, {160, 110, 3, 768}, {140, 120, 2, 256},
                      {120, 110, 1, 128},  {100, 100, 0, 512}, {50, 50, -5, 1024}};
    SendPointer(WM_POINTERUPDATE, CONTACT, 180, 100);
    // The next update's history still holds samples already taken.
    fakePenHistory = {{200, 100, 6, 1024}, {190, 105, 5, 0}, {180, 100, 4, 1024}, {160, 110, 3, 768}};
    SendPointer(WM_POINTERUPDATE, CONTACT, 200, 100);
    SendPointer(WM_POINTERUP, 0, 200, 100);

    const InkPoint expected[] = {{100, 100, 0.5f},  {120, 110, 0.125f}, {140, 120, 0.25f}, {160, 110, 0.75f},
                                 {180, 100, 0.5f},  {190, 105, 0.0f},   {200, 100, 0.5f}};
    ASSERT_EQ(app.history.size(), 1u);
    const std::vector<InkPoint>& points = app.history[0].points;
    ASSERT_EQ(points.size(), std::size(expected));
    for (size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(points[i].x, expected[i].x) << "sample " << i;
        EXPECT_EQ(points[i].y, expected[i].y) << "sample " << i;
        EXPECT_EQ(points[i].pressure, expected[i].pressure) << "sample " << i;
    }
}

struct ScanCase {
    const char* name;
    std::vector<RecordedSample> newestFirst;
    RecordedSample last;
    std::vector<size_t> expected;  // oldest first
};

// Times on Windows step every 15.6 ms: they tell an entry's tick, never its order within it.
TEST(CoalescedInput, TheHistoryScanTakesWhatCameAfterTheSampleLastTakenAndNothingTwice) {
    std::vector<RecordedSample> full;
    std::vector<size_t> everyEntry;
    for (int i = 0; i < 64; ++i) {
        full.push_back({1000 - i, 500, DWORD(9000 - i / 16 * 16)});
        everyEntry.insert(everyEntry.begin(), size_t(i));
    }
    const ScanCase cases[] = {
        {"stops at the sample last taken", {{5, 5, 10}, {4, 4, 9}, {3, 3, 8}, {2, 2, 7}}, {3, 3, 8}, {1, 0}},
        {"a repeated time with another position is newer",
         {{5, 5, 10}, {4, 4, 10}, {3, 3, 10}, {2, 2, 10}}, {3, 3, 10}, {1, 0}},
        {"the sample at hand is the one last taken", {{5, 5, 10}, {4, 4, 10}, {3, 3, 10}}, {5, 5, 10}, {}},
        {"the sample at hand is behind the one last taken", {{3, 3, 10}, {2, 2, 10}}, {5, 5, 26}, {}},
        {"alike neighbours are one sample",
         {{6, 6, 10}, {6, 6, 10}, {5, 5, 10}, {5, 5, 10}, {4, 4, 10}}, {4, 4, 10}, {2, 0}},
        {"an older entry ends it when the last is not recorded", {{5, 5, 10}, {4, 4, 9}, {1, 1, 6}}, {3, 3, 8}, {1, 0}},
        {"the whole history when the last lies beyond it", full, {0, 0, 8900}, everyEntry},
        {"times that wrap",
         {{9, 9, 5}, {8, 8, 2}, {7, 7, 0xFFFFFFF8u}, {6, 6, 0xFFFFFFF0u}}, {6, 6, 0xFFFFFFF0u}, {2, 1, 0}},
        {"unused slots end it", {{5, 5, 100}, {4, 4, 99}, {0, 0, 0}, {0, 0, 0}}, {3, 3, 50}, {1, 0}},
        {"no history", {}, {3, 3, 8}, {}},
    };
    for (const ScanCase& c : cases) {
        EXPECT_EQ(EntriesSince(c.newestFirst, c.last), c.expected) << c.name;
    }
}

struct MergeCase {
    const char* name;
    TakenInput taken;
    bool release;
    RecordedSample message;  // the message's own move, unless at the release
    std::vector<RecordedSample> recorded;
    bool anchored;  // the history is read back from `anchor`
    RecordedSample anchor;
    std::vector<RecordedSample> history;
    std::vector<RecordedSample> expected;
    bool tookOverAfter;
};

// Which moves a mouse stroke takes at each message, from the message, the system's history and the
// recorder, with times that repeat: none twice, none behind what was taken, none left out.
TEST(CoalescedInput, TheMergeKnowsWhichMovesItTookWhateverTheirTimes) {
    const MergeCase cases[] = {
        {"a message with the moves merged into it", {{1, 1, 10}, false}, false, {4, 4, 10}, {},
         true, {4, 4, 10}, {{4, 4, 10}, {3, 3, 10}, {2, 2, 10}, {1, 1, 10}, {0, 0, 10}},
         {{2, 2, 10}, {3, 3, 10}, {4, 4, 10}}, false},
        {"a message the system does not know", {{1, 1, 10}, false}, false, {4, 4, 26}, {},
         true, {4, 4, 26}, {}, {{4, 4, 26}}, false},
        {"a message already taken adds nothing", {{4, 4, 10}, false}, false, {4, 4, 10}, {},
         true, {4, 4, 10}, {{4, 4, 10}, {3, 3, 10}, {2, 2, 10}}, {}, false},
        {"the recorder's first moves, after the history before them", {{1, 1, 10}, false}, false, {3, 3, 10},
         {{3, 3, 10}, {4, 4, 10}, {5, 5, 26}}, true, {3, 3, 10}, {{3, 3, 10}, {2, 2, 10}, {1, 1, 10}},
         {{2, 2, 10}, {3, 3, 10}, {4, 4, 10}, {5, 5, 26}}, true},
        {"a message behind what the recorder gave adds nothing", {{9, 9, 26}, true}, false, {5, 5, 26}, {},
         false, {}, {}, {}, true},
        {"once the recorder took over, its moves alone", {{9, 9, 26}, true}, false, {12, 12, 42},
         {{10, 10, 26}, {11, 11, 42}, {12, 12, 42}, {13, 13, 42}}, false, {}, {},
         {{10, 10, 26}, {11, 11, 42}, {12, 12, 42}, {13, 13, 42}}, true},
        {"a release takes the recorder's last moves", {{9, 9, 26}, true}, true, {}, {{10, 10, 26}},
         false, {}, {}, {{10, 10, 26}}, true},
        {"a release without recorded moves adds nothing", {{9, 9, 26}, false}, true, {}, {},
         false, {}, {}, {}, false},
        {"a release with the recorder's first moves", {{1, 1, 10}, false}, true, {}, {{3, 3, 10}},
         true, {3, 3, 10}, {{3, 3, 10}, {2, 2, 10}, {1, 1, 10}}, {{2, 2, 10}, {3, 3, 10}}, true},
    };
    for (const MergeCase& c : cases) {
        const RecordedSample* message = c.release ? nullptr : &c.message;
        RecordedSample anchor = {};
        ASSERT_EQ(HistoryAnchor(c.taken, message, c.recorded, anchor), c.anchored) << c.name;
        if (c.anchored) {
            EXPECT_EQ(anchor, c.anchor) << c.name;
        }

        TakenInput taken = c.taken;
        EXPECT_EQ(MergeMoves(taken, message, c.recorded, c.history), c.expected) << c.name;
        EXPECT_EQ(taken.recorderTookOver, c.tookOverAfter) << c.name;
        EXPECT_EQ(taken.last, c.expected.empty() ? c.taken.last : c.expected.back()) << c.name;
    }
}

}  // namespace
