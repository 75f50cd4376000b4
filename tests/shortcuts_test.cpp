// Keyboard shortcuts and global hotkeys, sent as real messages to the real overlay.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "app/startup.h"
#include "ink/undo_clear.h"
#include "input/capture.h"
#include "input/pass_through.h"
#include "support/sent_messages.h"
#include "support/test_app.h"

namespace {

// Holds Ctrl and Shift as GetKeyState sees them on this thread, and puts the keyboard back after.
class HeldModifiers {
public:
    HeldModifiers(bool ctrl, bool shift) {
        GetKeyboardState(saved);
        BYTE state[256];
        std::copy(saved, saved + 256, state);
        state[VK_CONTROL] = ctrl ? 0x80 : 0;
        state[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(state);
    }
    ~HeldModifiers() { SetKeyboardState(saved); }

private:
    BYTE saved[256];
};

bool TakeQuitMessage() {
    MSG message;
    return PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

bool HasTransparentStyle() {
    return (GetWindowLongW(app.overlayWindow, GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0;
}

// What the state is before a key, and what it must be after.
struct Given {
    ToolKind tool = Pen;
    int32_t colour = 0;
    int32_t width = 1;
    bool passThrough = false;
    size_t strokes = 0;
    bool board = false;
    size_t undone = 0;  // of those strokes, undone again
};

struct Expected {
    ToolKind tool;
    int32_t colour;
    int32_t width;
    bool passThrough;
    bool board;
    bool vertical;
    size_t strokes;
    bool quit;
    int toolbarPushes;
};

void Arrange(const Given& given) {
    ResetAppForTest();
    for (size_t i = 0; i < given.strokes; ++i) {
        BeginStroke(20.0f, 20.0f + 10.0f * i, 0.5f);
        ExtendStroke(80.0f, 20.0f + 10.0f * i, 0.5f);
        EndStroke();
    }
    for (size_t i = 0; i < given.undone; ++i) UndoLastStroke();
    app.currentTool = given.tool;
    app.colourIndex = given.colour;
    app.widthIndex = given.width;
    app.boardMode = given.board;
    if (given.passThrough) SetPassThrough(true);
    ForgetPushes();
}

void ExpectState(const Expected& e, const std::string& name) {
    EXPECT_EQ(app.currentTool, e.tool) << name;
    EXPECT_EQ(app.colourIndex, e.colour) << name;
    EXPECT_EQ(app.widthIndex, e.width) << name;
    EXPECT_EQ(app.passThrough, e.passThrough) << name;
    EXPECT_EQ(HasTransparentStyle(), e.passThrough) << name;
    EXPECT_EQ(app.boardMode, e.board) << name;
    EXPECT_EQ(app.verticalToolbar, e.vertical) << name;
    EXPECT_EQ(app.history.size(), e.strokes) << name;
    EXPECT_EQ(TakeQuitMessage(), e.quit) << name;
    EXPECT_EQ(pushes.toolbarPushes, e.toolbarPushes) << name;
}

class Shortcuts : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartTestApp(); }
    void TearDown() override { ResetAppForTest(); }
};

struct KeyCase {
    const char* name;
    Given given;
    bool ctrl;
    bool shift;
    UINT message;
    WPARAM key;
    Expected expected;
};

constexpr bool ON = true;
constexpr bool OFF = false;

TEST_F(Shortcuts, KeyTable) {
    //                                                               tool colour width pass board vert strokes quit pushes
    const KeyCase cases[] = {
        {"Shift+P selects the pen", {Highlighter}, OFF, ON, WM_KEYDOWN, 'P',
         {Pen, 0, 1, false, false, false, 0, false, 1}},
        {"Alt+P selects the pen", {Highlighter}, OFF, OFF, WM_SYSKEYDOWN, 'P',
         {Pen, 0, 1, false, false, false, 0, false, 1}},
        {"Ctrl+P does nothing", {Highlighter}, ON, OFF, WM_KEYDOWN, 'P',
         {Highlighter, 0, 1, false, false, false, 0, false, 0}},
        {"H selects the highlighter", {}, OFF, OFF, WM_KEYDOWN, 'H',
         {Highlighter, 0, 1, false, false, false, 0, false, 1}},
        {"E selects the eraser", {}, OFF, OFF, WM_KEYDOWN, 'E',
         {Eraser, 0, 1, false, false, false, 0, false, 1}},
        {"K selects the laser", {}, OFF, OFF, WM_KEYDOWN, 'K',
         {Laser, 0, 1, false, false, false, 0, false, 1}},
        {"L alone does nothing", {}, OFF, OFF, WM_KEYDOWN, 'L',
         {Pen, 0, 1, false, false, false, 0, false, 0}},
        {"a tool key leaves pass-through", {Highlighter, 0, 1, true}, OFF, OFF, WM_KEYDOWN, 'P',
         {Pen, 0, 1, false, false, false, 0, false, 2}},
        {"Ctrl+Z undoes the newest stroke", {Pen, 0, 1, false, 2}, ON, OFF, WM_KEYDOWN, 'Z',
         {Pen, 0, 1, false, false, false, 1, false, 0}},
        {"Ctrl+Shift+Z also undoes", {Pen, 0, 1, false, 2}, ON, ON, WM_KEYDOWN, 'Z',
         {Pen, 0, 1, false, false, false, 1, false, 0}},
        {"Z alone does nothing", {Pen, 0, 1, false, 2}, OFF, OFF, WM_KEYDOWN, 'Z',
         {Pen, 0, 1, false, false, false, 2, false, 0}},
        {"Ctrl+Y redoes the newest undo", {Pen, 0, 1, false, 2, false, 2}, ON, OFF, WM_KEYDOWN, 'Y',
         {Pen, 0, 1, false, false, false, 1, false, 0}},
        {"Ctrl+Shift+Y also redoes", {Pen, 0, 1, false, 2, false, 1}, ON, ON, WM_KEYDOWN, 'Y',
         {Pen, 0, 1, false, false, false, 2, false, 0}},
        {"Alt+Ctrl+Y also redoes", {Pen, 0, 1, false, 2, false, 1}, ON, OFF, WM_SYSKEYDOWN, 'Y',
         {Pen, 0, 1, false, false, false, 2, false, 0}},
        {"Y alone does nothing", {Pen, 0, 1, false, 2, false, 1}, OFF, OFF, WM_KEYDOWN, 'Y',
         {Pen, 0, 1, false, false, false, 1, false, 0}},
        {"Ctrl+Y with nothing undone does nothing", {Pen, 0, 1, false, 2}, ON, OFF, WM_KEYDOWN, 'Y',
         {Pen, 0, 1, false, false, false, 2, false, 0}},
        {"Ctrl+Shift+Q quits", {}, ON, ON, WM_KEYDOWN, 'Q', {Pen, 0, 1, false, false, false, 0, true, 0}},
        {"Q alone does nothing", {}, OFF, OFF, WM_KEYDOWN, 'Q', {Pen, 0, 1, false, false, false, 0, false, 0}},
        {"1 selects red", {Pen, 4}, OFF, OFF, WM_KEYDOWN, '1', {Pen, 0, 1, false, false, false, 0, false, 1}},
        {"5 selects blue", {}, OFF, OFF, WM_KEYDOWN, '5', {Pen, 4, 1, false, false, false, 0, false, 1}},
        {"8 selects white", {}, OFF, OFF, WM_KEYDOWN, '8', {Pen, 7, 1, false, false, false, 0, false, 1}},
        {"9 does nothing", {Pen, 2}, OFF, OFF, WM_KEYDOWN, '9', {Pen, 2, 1, false, false, false, 0, false, 0}},
        {"0 does nothing", {Pen, 2}, OFF, OFF, WM_KEYDOWN, '0', {Pen, 2, 1, false, false, false, 0, false, 0}},
        {"keypad 1 does nothing", {Pen, 2}, OFF, OFF, WM_KEYDOWN, VK_NUMPAD1,
         {Pen, 2, 1, false, false, false, 0, false, 0}},
        {"Ctrl+1 does nothing", {Pen, 2}, ON, OFF, WM_KEYDOWN, '1', {Pen, 2, 1, false, false, false, 0, false, 0}},
        {"3 with the eraser selects yellow and the pen", {Eraser}, OFF, OFF, WM_KEYDOWN, '3',
         {Pen, 2, 1, false, false, false, 0, false, 1}},
        {"3 with the laser keeps the laser", {Laser}, OFF, OFF, WM_KEYDOWN, '3',
         {Laser, 2, 1, false, false, false, 0, false, 1}},
        {"a colour key leaves pass-through", {Pen, 0, 1, true}, OFF, OFF, WM_KEYDOWN, '4',
         {Pen, 3, 1, false, false, false, 0, false, 2}},
        {"= raises the width", {}, OFF, OFF, WM_KEYDOWN, VK_OEM_PLUS, {Pen, 0, 2, false, false, false, 0, false, 1}},
        {"] raises the width", {Pen, 0, 0}, OFF, OFF, WM_KEYDOWN, VK_OEM_6,
         {Pen, 0, 1, false, false, false, 0, false, 1}},
        {"= at the top changes nothing", {Pen, 0, 2}, OFF, OFF, WM_KEYDOWN, VK_OEM_PLUS,
         {Pen, 0, 2, false, false, false, 0, false, 0}},
        {"] at the top changes nothing", {Pen, 0, 2}, OFF, OFF, WM_KEYDOWN, VK_OEM_6,
         {Pen, 0, 2, false, false, false, 0, false, 0}},
        {"- lowers the width", {}, OFF, OFF, WM_KEYDOWN, VK_OEM_MINUS, {Pen, 0, 0, false, false, false, 0, false, 1}},
        {"[ lowers the width", {Pen, 0, 2}, OFF, OFF, WM_KEYDOWN, VK_OEM_4,
         {Pen, 0, 1, false, false, false, 0, false, 1}},
        {"- at the bottom changes nothing", {Pen, 0, 0}, OFF, OFF, WM_KEYDOWN, VK_OEM_MINUS,
         {Pen, 0, 0, false, false, false, 0, false, 0}},
        {"[ at the bottom changes nothing", {Pen, 0, 0}, OFF, OFF, WM_KEYDOWN, VK_OEM_4,
         {Pen, 0, 0, false, false, false, 0, false, 0}},
        {"a width key keeps pass-through", {Pen, 0, 1, true}, OFF, OFF, WM_KEYDOWN, VK_OEM_PLUS,
         {Pen, 0, 2, true, false, false, 0, false, 1}},
        // A white board would hide the applications that take the clicks.
        {"B in pass-through turns the board on and leaves pass-through", {Pen, 0, 1, true}, OFF, OFF,
         WM_KEYDOWN, 'B', {Pen, 0, 1, false, true, false, 0, false, 2}},
        {"B in pass-through turns the board off and keeps pass-through", {Pen, 0, 1, true, 0, true}, OFF, OFF,
         WM_KEYDOWN, 'B', {Pen, 0, 1, true, false, false, 0, false, 1}},
        {"Esc switches pass-through on", {}, OFF, OFF, WM_KEYDOWN, VK_ESCAPE,
         {Pen, 0, 1, true, false, false, 0, false, 1}},
        {"a second Esc changes nothing", {Pen, 0, 1, true}, OFF, OFF, WM_KEYDOWN, VK_ESCAPE,
         {Pen, 0, 1, true, false, false, 0, false, 0}},
        {"M switches pass-through on", {}, OFF, OFF, WM_KEYDOWN, 'M', {Pen, 0, 1, true, false, false, 0, false, 1}},
        {"M switches pass-through off", {Pen, 0, 1, true}, OFF, OFF, WM_KEYDOWN, 'M',
         {Pen, 0, 1, false, false, false, 0, false, 1}},
        {"V turns the toolbar", {}, OFF, OFF, WM_KEYDOWN, 'V', {Pen, 0, 1, false, false, true, 0, false, 1}},
        {"Delete clears", {Pen, 0, 1, false, 3}, OFF, OFF, WM_KEYDOWN, VK_DELETE,
         {Pen, 0, 1, false, false, false, 0, false, 0}},
        {"Shift+Delete also clears", {Pen, 0, 1, false, 3}, OFF, ON, WM_KEYDOWN, VK_DELETE,
         {Pen, 0, 1, false, false, false, 0, false, 0}},
        {"Alt+F4 does nothing", {}, OFF, OFF, WM_SYSKEYDOWN, VK_F4, {Pen, 0, 1, false, false, false, 0, false, 0}},
        // The keys that make the next stroke a shape do nothing of their own.
        {"Shift alone does nothing", {Highlighter}, OFF, ON, WM_KEYDOWN, VK_SHIFT,
         {Highlighter, 0, 1, false, false, false, 0, false, 0}},
        {"Ctrl alone does nothing", {Highlighter}, ON, OFF, WM_KEYDOWN, VK_CONTROL,
         {Highlighter, 0, 1, false, false, false, 0, false, 0}},
        {"Ctrl+Shift alone does nothing", {Highlighter, 0, 1, false, 1}, ON, ON, WM_KEYDOWN, VK_SHIFT,
         {Highlighter, 0, 1, false, false, false, 1, false, 0}},
        {"Tab does nothing", {Highlighter, 0, 1, true}, OFF, OFF, WM_KEYDOWN, VK_TAB,
         {Highlighter, 0, 1, true, false, false, 0, false, 0}},
    };
    for (const KeyCase& c : cases) {
        Arrange(c.given);
        LRESULT result;
        {
            HeldModifiers held(c.ctrl, c.shift);
            // A system key comes with the Alt bit (29) in lParam, as the keyboard sends it.
            result = SendMessageW(app.overlayWindow, c.message, c.key, c.message == WM_SYSKEYDOWN ? 0x20000001 : 1);
        }
        EXPECT_EQ(result, 0) << c.name;
        ExpectState(c.expected, c.name);
    }
}

// As undo, redo waits for the stroke in progress to end.
TEST_F(Shortcuts, RedoDoesNothingDuringAStroke) {
    Arrange({Pen, 0, 1, false, 2, false, 1});
    BeginStroke(300.0f, 300.0f, 0.5f);
    {
        HeldModifiers held(true, false);
        SendMessageW(app.overlayWindow, WM_KEYDOWN, 'Y', 1);
    }
    EXPECT_EQ(app.history.size(), 1u);
    EndStroke();
    EXPECT_EQ(app.history.size(), 2u);
    EXPECT_TRUE(app.redoSteps.empty()) << "the new stroke leaves nothing to redo";
}

// Left to the default procedure, Alt+F4 posts the window a close command, which takes effect only
// when the queue is pumped.
TEST_F(Shortcuts, AltF4ClosesNeitherWindow) {
    for (HWND window : {app.overlayWindow, app.toolbarWindow}) {
        Arrange({});
        EXPECT_EQ(SendMessageW(window, WM_SYSKEYDOWN, VK_F4, 0x20000001), 0);
        PumpMessages();
        EXPECT_TRUE(IsWindow(app.overlayWindow) && IsWindowVisible(app.overlayWindow));
        EXPECT_TRUE(IsWindow(app.toolbarWindow) && IsWindowVisible(app.toolbarWindow));
        EXPECT_FALSE(TakeQuitMessage());
    }
}

// The character of an Alt combination (as TranslateMessage makes it from Alt+P) would open the
// window menu through WM_SYSCOMMAND if it reached the default procedure.
TEST_F(Shortcuts, AltCharactersOpenNoWindowMenu) {
    for (HWND window : {app.overlayWindow, app.toolbarWindow}) {
        Arrange({Highlighter});
        SentMessages sent(window);
        EXPECT_EQ(SendMessageW(window, WM_SYSCHAR, 'p', 0x20000001), 0);
        PostMessageW(window, WM_SYSKEYDOWN, 'P', 0x20000001);
        PumpMessages();
        EXPECT_EQ(app.currentTool, Pen);
        EXPECT_FALSE(sent.Saw(WM_SYSCOMMAND)) << (window == app.overlayWindow ? "overlay" : "toolbar");
    }
}

// Held for an ellipse, Tab must not move the focus on, as it would between the controls of a dialog.
TEST_F(Shortcuts, TabLeavesTheFocusWhereItIs) {
    Arrange({});
    SetFocus(app.overlayWindow);
    ASSERT_EQ(GetFocus(), app.overlayWindow);
    PostMessageW(app.overlayWindow, WM_KEYDOWN, VK_TAB, 0x000F0001);
    PostMessageW(app.overlayWindow, WM_KEYUP, VK_TAB, 0xC00F0001);
    PumpMessages();
    EXPECT_EQ(GetFocus(), app.overlayWindow);
}

TEST_F(Shortcuts, BoardKeyPresentsTheWholeCanvasWhite) {
    Arrange({});
    SendMessageW(app.overlayWindow, WM_KEYDOWN, 'B', 1);
    EXPECT_EQ(FramePixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(FramePixel(app.canvasWidth - 1, app.canvasHeight - 1), 0xFFFFFFFFu);
    EXPECT_EQ(Pushed().lastOverlayDirty.right - Pushed().lastOverlayDirty.left, app.canvasWidth);
}

TEST_F(Shortcuts, HoldingCloseBracketStepsToTheTopAndStops) {
    Arrange({Pen, 0, 0});
    for (int i = 0; i < 5; ++i) SendMessageW(app.overlayWindow, WM_KEYDOWN, VK_OEM_6, 0x40000001);
    EXPECT_EQ(app.widthIndex, 2);
    EXPECT_EQ(pushes.toolbarPushes, 2);
}

// Another application's window is in front first; the key must bring the overlay back over it.
TEST_F(Shortcuts, LeavingPassThroughByKeyBringsTheOverlayToTheFront) {
    Arrange({Highlighter, 0, 1, true});
    HWND other = CreateWindowExW(0, L"STATIC", L"other application", WS_POPUP | WS_VISIBLE, 700, 520, 120, 80,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(other);
    PumpMessages();
    ASSERT_EQ(GetForegroundWindow(), other);

    SendMessageW(app.overlayWindow, WM_KEYDOWN, 'P', 1);
    PumpMessages();
    EXPECT_EQ(GetForegroundWindow(), app.overlayWindow);
    DestroyWindow(other);
}

struct HotkeyCase {
    const char* name;
    Given given;
    WPARAM id;
    Expected expected;
};

TEST_F(Shortcuts, HotkeyTable) {
    const HotkeyCase cases[] = {
        {"toggle mouse switches pass-through on", {}, HK_TOGGLE_MOUSE,
         {Pen, 0, 1, true, false, false, 0, false, 1}},
        {"toggle mouse switches pass-through off", {Pen, 0, 1, true}, HK_TOGGLE_MOUSE,
         {Pen, 0, 1, false, false, false, 0, false, 1}},
        {"quit", {}, HK_QUIT, {Pen, 0, 1, false, false, false, 0, true, 0}},
        {"laser", {}, HK_LASER, {Laser, 0, 1, false, false, false, 0, false, 1}},
        {"laser leaves pass-through", {Eraser, 0, 1, true}, HK_LASER,
         {Laser, 0, 1, false, false, false, 0, false, 2}},
        {"clear", {Pen, 0, 1, true, 2}, HK_CLEAR, {Pen, 0, 1, true, false, false, 0, false, 0}},
        {"unknown id", {Pen, 3, 1, false, 1}, 5, {Pen, 3, 1, false, false, false, 1, false, 0}},
        {"id 0", {Pen, 3, 1, false, 1}, 0, {Pen, 3, 1, false, false, false, 1, false, 0}},
    };
    for (const HotkeyCase& c : cases) {
        Arrange(c.given);
        EXPECT_EQ(SendMessageW(app.overlayWindow, WM_HOTKEY, c.id, MAKELPARAM(MOD_CONTROL | MOD_SHIFT, 'X')), 0)
            << c.name;
        ExpectState(c.expected, c.name);
    }
}

struct Claim {
    int id;
    UINT modifiers;
    UINT key;
};
std::vector<Claim> claims;

BOOL WINAPI RecordClaim(HWND, int id, UINT modifiers, UINT key) {
    claims.push_back({id, modifiers, key});
    return TRUE;
}

// Held down, a claimed combination must act once: an auto-repeating Ctrl+Shift+M would flip
// pass-through on and off for as long as the keys are held, Ctrl+Shift+D clear again and again.
// (Wine ignores MOD_NOREPEAT, so what is asked of the system is what can be checked here.)
TEST_F(Shortcuts, HotkeysAreClaimedOnceForEachCombinationWithoutAutoRepeat) {
    claims.clear();
    const RegisterHotKeyFn saved = app.pRegisterHotKey;
    app.pRegisterHotKey = RecordClaim;
    ClaimHotkeys();
    app.pRegisterHotKey = saved;

    const Claim expected[] = {{HK_TOGGLE_MOUSE, 0, 'M'}, {HK_QUIT, 0, 'Q'}, {HK_LASER, 0, 'L'}, {HK_CLEAR, 0, 'D'}};
    ASSERT_EQ(claims.size(), std::size(expected));
    for (size_t i = 0; i < claims.size(); ++i) {
        EXPECT_EQ(claims[i].id, expected[i].id);
        EXPECT_EQ(claims[i].key, expected[i].key);
        EXPECT_EQ(claims[i].modifiers, UINT(MOD_CONTROL | MOD_SHIFT | MOD_NOREPEAT)) << "hotkey " << claims[i].id;
    }
}

TEST_F(Shortcuts, DestroyPostsQuit) {
    Arrange({});
    EXPECT_EQ(SendMessageW(app.overlayWindow, WM_DESTROY, 0, 0), 0);
    EXPECT_TRUE(TakeQuitMessage());
    EXPECT_TRUE(IsWindow(app.overlayWindow));
}

}  // namespace
