// Mouse and keys on the toolbar, sent as real messages to the real toolbar window.
#include <gtest/gtest.h>

#include "input/capture.h"
#include "input/pass_through.h"
#include "support/test_app.h"

namespace {

constexpr int PEN_ENTRY = 3;
constexpr int HIGHLIGHTER_ENTRY = 4;
constexpr int FIRST_SWATCH = 8;
constexpr int FIRST_WIDTH_DOT = 17;
constexpr int UNDO_ENTRY = 21;
constexpr int BOARD_ENTRY = 23;
constexpr uint32_t ACTIVE_PLATE = 0xFF3B82F6;

LRESULT SendToolbar(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageW(app.toolbarWindow, message, wParam, lParam);
}

POINT CentreOf(int entry) {
    const RECT& r = app.buttons.at(entry).rect;
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

LPARAM At(POINT p) { return MAKELPARAM(static_cast<short>(p.x), static_cast<short>(p.y)); }

void MoveTo(POINT p) { SendToolbar(WM_MOUSEMOVE, 0, At(p)); }

void Click(int entry) {
    SendToolbar(WM_LBUTTONDOWN, MK_LBUTTON, At(CentreOf(entry)));
    SendToolbar(WM_LBUTTONUP, 0, At(CentreOf(entry)));
}

void DoubleClick(int entry) {
    Click(entry);
    SendToolbar(WM_LBUTTONDBLCLK, MK_LBUTTON, At(CentreOf(entry)));
    SendToolbar(WM_LBUTTONUP, 0, At(CentreOf(entry)));
}

void AddStrokes(int count) {
    for (int i = 0; i < count; ++i) {
        BeginStroke(20.0f, 20.0f + 10.0f * i, 0.5f);
        ExtendStroke(80.0f, 20.0f + 10.0f * i, 0.5f);
        EndStroke();
    }
}

bool HasTransparentStyle() {
    return (GetWindowLongW(app.overlayWindow, GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0;
}

RECT ToolbarRect() {
    RECT rect;
    GetWindowRect(app.toolbarWindow, &rect);
    return rect;
}

POINT ScreenCentreOf(int entry) {
    const RECT window = ToolbarRect();
    const POINT centre = CentreOf(entry);
    return {window.left + centre.x, window.top + centre.y};
}

class ToolbarInput : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartTestApp(); }
    void SetUp() override { ResetAppForTest(); }
};

TEST_F(ToolbarInput, HoverRepaintsOncePerChangeOfEntryAndLeaveClearsIt) {
    const RECT pen = app.buttons[PEN_ENTRY].rect;
    MoveTo({pen.left + 2, pen.top + 2});
    EXPECT_EQ(app.hoveredButton, PEN_ENTRY);
    EXPECT_TRUE(app.trackingLeave);
    EXPECT_EQ(pushes.toolbarPushes, 1);

    MoveTo({pen.right - 2, pen.bottom - 2});
    EXPECT_EQ(pushes.toolbarPushes, 1);

    MoveTo(CentreOf(HIGHLIGHTER_ENTRY));
    EXPECT_EQ(app.hoveredButton, HIGHLIGHTER_ENTRY);
    EXPECT_EQ(pushes.toolbarPushes, 2);

    MoveTo({pen.right, pen.top + 10});  // the gap between the two
    EXPECT_EQ(app.hoveredButton, -1);
    EXPECT_EQ(pushes.toolbarPushes, 3);

    MoveTo(CentreOf(FIRST_SWATCH));
    EXPECT_EQ(pushes.toolbarPushes, 4);
    EXPECT_EQ(SendToolbar(WM_MOUSELEAVE, 0, 0), 0);
    EXPECT_EQ(app.hoveredButton, -1);
    EXPECT_FALSE(app.trackingLeave);
    EXPECT_EQ(pushes.toolbarPushes, 5);

    SendToolbar(WM_MOUSELEAVE, 0, 0);  // nothing hovered: no repaint
    EXPECT_EQ(pushes.toolbarPushes, 5);
}

TEST_F(ToolbarInput, HoveredSwatchShowsItsPlate) {
    const RECT swatch = app.buttons[FIRST_SWATCH + 3].rect;
    const POINT corner = {swatch.left + 3, swatch.top + 17};  // beside the circle, on the plate
    MoveTo(CentreOf(FIRST_SWATCH + 3));
    const uint32_t hovered = ToolbarPixel(corner.x, corner.y);
    SendToolbar(WM_MOUSELEAVE, 0, 0);
    EXPECT_NE(ToolbarPixel(corner.x, corner.y), hovered);
}

TEST_F(ToolbarInput, CursorIsTheArrow) {
    EXPECT_EQ(SendToolbar(WM_SETCURSOR, WPARAM(app.toolbarWindow), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), 1);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
}

struct State {
    ToolKind tool;
    int32_t colour;
    int32_t width;
    bool passThrough;
    bool board;
    bool vertical;
    size_t strokes;
};

struct CommandCase {
    const char* name;
    int entry;
    State given;
    State expected;
    int toolbarPushes;
};

TEST_F(ToolbarInput, EveryEntryDoesItsCommand) {
    const CommandCase cases[] = {
        // name, entry, given {tool colour width pass board vertical strokes}, expected {...}, pushes
        {"pass-through on", 1, {Pen, 0, 1, false, false, false, 0}, {Pen, 0, 1, true, false, false, 0}, 1},
        {"pass-through off", 1, {Pen, 0, 1, true, false, false, 0}, {Pen, 0, 1, false, false, false, 0}, 1},
        {"pen", PEN_ENTRY, {Eraser, 0, 1, false, false, false, 0}, {Pen, 0, 1, false, false, false, 0}, 1},
        {"pen in pass-through", PEN_ENTRY, {Highlighter, 0, 1, true, false, false, 0},
         {Pen, 0, 1, false, false, false, 0}, 2},
        {"highlighter", 4, {Pen, 0, 1, false, false, false, 0}, {Highlighter, 0, 1, false, false, false, 0}, 1},
        {"laser", 5, {Pen, 0, 1, false, false, false, 0}, {Laser, 0, 1, false, false, false, 0}, 1},
        {"eraser", 6, {Pen, 0, 1, true, false, false, 0}, {Eraser, 0, 1, false, false, false, 0}, 2},
        {"separator", 2, {Pen, 0, 1, true, false, false, 0}, {Pen, 0, 1, true, false, false, 0}, 0},
        {"swatch with the eraser", FIRST_SWATCH + 2, {Eraser, 0, 1, true, false, false, 0},
         {Pen, 2, 1, false, false, false, 0}, 2},
        {"swatch with the highlighter", FIRST_SWATCH + 7, {Highlighter, 0, 1, true, false, false, 0},
         {Highlighter, 7, 1, false, false, false, 0}, 2},
        {"width dot in pass-through", FIRST_WIDTH_DOT, {Pen, 0, 1, true, false, false, 0},
         {Pen, 0, 0, true, false, false, 0}, 1},
        {"width dot", FIRST_WIDTH_DOT + 2, {Pen, 0, 1, false, false, false, 0},
         {Pen, 0, 2, false, false, false, 0}, 1},
        {"undo", UNDO_ENTRY, {Pen, 0, 1, true, false, false, 2}, {Pen, 0, 1, true, false, false, 1}, 0},
        {"clear", 22, {Pen, 0, 1, true, false, false, 3}, {Pen, 0, 1, true, false, false, 0}, 0},
        {"board on in pass-through", BOARD_ENTRY, {Pen, 0, 1, true, false, false, 0},
         {Pen, 0, 1, false, true, false, 0}, 2},
        {"board off in pass-through", BOARD_ENTRY, {Pen, 0, 1, true, true, false, 0},
         {Pen, 0, 1, true, false, false, 0}, 1},
        {"board on", BOARD_ENTRY, {Pen, 0, 1, false, false, false, 0}, {Pen, 0, 1, false, true, false, 0}, 1},
        {"orientation", 25, {Pen, 0, 1, false, false, false, 0}, {Pen, 0, 1, false, false, true, 0}, 1},
    };
    for (const CommandCase& c : cases) {
        ResetAppForTest();
        AddStrokes(int(c.given.strokes));
        app.currentTool = c.given.tool;
        app.colourIndex = c.given.colour;
        app.widthIndex = c.given.width;
        app.boardMode = c.given.board;
        if (c.given.passThrough) SetPassThrough(true);
        ForgetPushes();

        Click(c.entry);
        const State& e = c.expected;
        EXPECT_EQ(app.currentTool, e.tool) << c.name;
        EXPECT_EQ(app.colourIndex, e.colour) << c.name;
        EXPECT_EQ(app.widthIndex, e.width) << c.name;
        EXPECT_EQ(app.passThrough, e.passThrough) << c.name;
        EXPECT_EQ(HasTransparentStyle(), e.passThrough) << c.name;
        EXPECT_EQ(app.boardMode, e.board) << c.name;
        EXPECT_EQ(app.verticalToolbar, e.vertical) << c.name;
        EXPECT_EQ(app.history.size(), e.strokes) << c.name;
        EXPECT_EQ(pushes.toolbarPushes, c.toolbarPushes) << c.name;
    }
}

TEST_F(ToolbarInput, PenInPassThroughShowsThePenActive) {
    SetPassThrough(true);
    Click(PEN_ENTRY);
    const RECT pen = app.buttons[PEN_ENTRY].rect;
    EXPECT_EQ(ToolbarPixel(pen.left + 4, pen.top + 17), ACTIVE_PLATE);
}

TEST_F(ToolbarInput, BoardEntryPresentsTheWholeCanvas) {
    Click(BOARD_ENTRY);
    EXPECT_EQ(FramePixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(FramePixel(app.canvasWidth - 1, app.canvasHeight - 1), 0xFFFFFFFFu);
}

TEST_F(ToolbarInput, QuitEntryPostsQuit) {
    Click(26);
    MSG message;
    EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(ToolbarInput, PressOutsideEveryEntryDoesNothing) {
    SendToolbar(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendToolbar(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_FALSE(app.draggingToolbar);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(pushes.toolbarPushes, 0);
}

TEST_F(ToolbarInput, GripDragMovesTheWindowByTheCursorOffsetWithoutClamping) {
    const POINT grab = ScreenCentreOf(0);
    const RECT before = ToolbarRect();
    SetCursorPos(grab.x, grab.y);
    SendToolbar(WM_LBUTTONDOWN, MK_LBUTTON, At(CentreOf(0)));
    EXPECT_TRUE(app.draggingToolbar);
    EXPECT_EQ(GetCapture(), app.toolbarWindow);
    EXPECT_EQ(app.dragOffset.x, grab.x - before.left);
    EXPECT_EQ(app.dragOffset.y, grab.y - before.top);

    // To the screen's left edge and bottom: partly off the screen and far outside the canvas.
    const POINT to = {0, GetSystemMetrics(SM_CYSCREEN) - 1};
    SetCursorPos(to.x, to.y);
    SendToolbar(WM_MOUSEMOVE, MK_LBUTTON, At(CentreOf(5)));  // lParam is not what moves it
    const RECT after = ToolbarRect();
    EXPECT_EQ(after.left, to.x - app.dragOffset.x);
    EXPECT_EQ(after.top, to.y - app.dragOffset.y);
    EXPECT_LT(after.left, 0);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(pushes.toolbarPushes, 0);

    SendToolbar(WM_LBUTTONUP, 0, At(CentreOf(0)));
    EXPECT_FALSE(app.draggingToolbar);
    EXPECT_EQ(GetCapture(), nullptr);
    SetCursorPos(grab.x + 100, grab.y);
    SendToolbar(WM_MOUSEMOVE, 0, At(CentreOf(0)));
    EXPECT_EQ(ToolbarRect().left, after.left);
}

// A drag that loses the capture before its release must stop, or the toolbar would follow the
// cursor with no button held.
TEST_F(ToolbarInput, DragEndsWhenTheCaptureIsTakenAway) {
    const POINT grab = ScreenCentreOf(0);
    SetCursorPos(grab.x, grab.y);
    SendToolbar(WM_LBUTTONDOWN, MK_LBUTTON, At(CentreOf(0)));
    ASSERT_TRUE(app.draggingToolbar);
    SetCapture(app.overlayWindow);
    ReleaseCapture();
    EXPECT_FALSE(app.draggingToolbar);

    const RECT before = ToolbarRect();
    SetCursorPos(grab.x + 120, grab.y + 40);
    SendToolbar(WM_MOUSEMOVE, 0, At(CentreOf(0)));
    const RECT after = ToolbarRect();
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
}

// A capture taken while another application is in front sees only the moves over the toolbar, so
// the release may come elsewhere and never reach it: a move without the left button ends the drag,
// and the toolbar stays where it was dropped, its entries hovered again.
TEST_F(ToolbarInput, ADragMoveWithoutTheLeftButtonEndsTheDrag) {
    const POINT grab = ScreenCentreOf(0);
    SetCursorPos(grab.x, grab.y);
    SendToolbar(WM_LBUTTONDOWN, MK_LBUTTON, At(CentreOf(0)));
    SetCursorPos(grab.x + 30, grab.y - 20);
    SendToolbar(WM_MOUSEMOVE, MK_LBUTTON, At(CentreOf(0)));
    const RECT dropped = ToolbarRect();
    ASSERT_EQ(dropped.left, grab.x + 30 - app.dragOffset.x);

    SetCursorPos(grab.x + 150, grab.y - 60);
    SendToolbar(WM_MOUSEMOVE, 0, At(CentreOf(PEN_ENTRY)));
    EXPECT_FALSE(app.draggingToolbar);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(ToolbarRect().left, dropped.left);
    EXPECT_EQ(ToolbarRect().top, dropped.top);
    EXPECT_EQ(app.hoveredButton, PEN_ENTRY);

    SetCursorPos(grab.x + 200, grab.y - 90);
    SendToolbar(WM_MOUSEMOVE, MK_LBUTTON, At(CentreOf(PEN_ENTRY)));
    EXPECT_EQ(ToolbarRect().left, dropped.left);
}

TEST_F(ToolbarInput, DoubleClickOnTheGripTurnsTheToolbarOnceAndPlacesItAgain) {
    // Dragged away first, so that the re-placement shows.
    const POINT grab = ScreenCentreOf(0);
    SetCursorPos(grab.x, grab.y);
    SendToolbar(WM_LBUTTONDOWN, MK_LBUTTON, At(CentreOf(0)));
    SetCursorPos(grab.x + 37, grab.y - 55);
    SendToolbar(WM_MOUSEMOVE, MK_LBUTTON, At(CentreOf(0)));
    SendToolbar(WM_LBUTTONUP, 0, At(CentreOf(0)));

    DoubleClick(0);
    EXPECT_TRUE(app.verticalToolbar);
    EXPECT_FALSE(app.draggingToolbar);
    EXPECT_EQ(GetCapture(), nullptr);
    const RECT placed = ToolbarRect();
    // The vertical toolbar's preferred place, clamped into this 640 x 480 canvas at (1, 1).
    EXPECT_EQ(placed.left, app.canvasLeft + 18);
    EXPECT_EQ(placed.top, app.canvasTop);
    EXPECT_EQ(placed.right - placed.left, 46);
    EXPECT_EQ(placed.bottom - placed.top, 759);
}

TEST_F(ToolbarInput, DoubleClickElsewhereActsOnlyOnce) {
    AddStrokes(2);
    DoubleClick(UNDO_ENTRY);
    EXPECT_EQ(app.history.size(), 1u);
    EXPECT_FALSE(app.verticalToolbar);

    DoubleClick(25);  // orientation: the second press is not a second turn
    EXPECT_TRUE(app.verticalToolbar);
}

// A right click on the undo entry redoes, as a pen's barrel button or a held finger gives it; on any
// other entry it does nothing.
TEST_F(ToolbarInput, RightClickOnTheUndoEntryRedoes) {
    AddStrokes(3);
    Click(UNDO_ENTRY);
    Click(UNDO_ENTRY);
    ASSERT_EQ(app.history.size(), 1u);
    for (int entry : {PEN_ENTRY, FIRST_SWATCH, BOARD_ENTRY}) {
        SendToolbar(WM_RBUTTONDOWN, MK_RBUTTON, At(CentreOf(entry)));
        EXPECT_EQ(SendToolbar(WM_RBUTTONUP, 0, At(CentreOf(entry))), 0);
    }
    EXPECT_EQ(app.history.size(), 1u);
    EXPECT_FALSE(app.boardMode);
    SendToolbar(WM_RBUTTONDOWN, MK_RBUTTON, At(CentreOf(UNDO_ENTRY)));
    EXPECT_EQ(SendToolbar(WM_RBUTTONUP, 0, At(CentreOf(UNDO_ENTRY))), 0);
    EXPECT_EQ(app.history.size(), 2u);
}

TEST_F(ToolbarInput, KeyOnTheToolbarActsAsOnTheOverlay) {
    SetPassThrough(true);
    ForgetPushes();
    EXPECT_EQ(SendToolbar(WM_KEYDOWN, 'H', 1), 0);
    EXPECT_EQ(app.currentTool, Highlighter);
    EXPECT_FALSE(app.passThrough);
    EXPECT_EQ(SendToolbar(WM_SYSKEYDOWN, 'E', 0x20000001), 0);
    EXPECT_EQ(app.currentTool, Eraser);
    EXPECT_EQ(SendToolbar(WM_SYSKEYDOWN, VK_F4, 0x20000001), 0);  // Alt+F4 closes nothing
    PumpMessages();  // a close command would be posted, and act only here
    EXPECT_TRUE(IsWindowVisible(app.toolbarWindow));
    EXPECT_TRUE(IsWindowVisible(app.overlayWindow));
}

}  // namespace
