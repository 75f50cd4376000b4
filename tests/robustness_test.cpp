// Randomized robustness run over both real windows: thousands of random but well-formed messages
// (mouse, wheel, pen and touch pointers through substituted pen functions, keys under random
// modifiers, hotkeys, display changes, toolbar clicks, laser timer ticks), with positions on the
// canvas, at its edges, far outside it and at the signed 16-bit limits. After every step the state's
// invariants must hold; at the end the process's private memory must be back near where it was.
//
// CI runs a fixed seed. A longer run by hand, with a seed of your own (no time limit this way):
//   export VELQUIN_FUZZ_SEED=4242 VELQUIN_FUZZ_STEPS=200000
//   tools/with-wine-display.sh wine build-fuzz/bin/robustness_test.exe
// A failure prints the seed, the step and the message. The run is the same for the same seed
// whatever the step count, so that seed with VELQUIN_FUZZ_STEPS set to the failing step replays it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/app_state.h"
#include "app/frame_step.h"
#include "app/startup.h"
#include "ink/live_layer.h"
#include "ink/pixel_compose.h"
#include "ink/surfaces.h"
#include "ink/trail_layer.h"
#include "ink/undo_clear.h"
#include "input/laser_fade.h"
#include "support/committed_memory.h"
#include "support/test_app.h"
#include "toolbar/toolbar_layout.h"


namespace {

constexpr uint32_t CI_SEED = 20261209;
constexpr uint64_t CI_STEPS = 6000;
constexpr int TEST_CANVAS_WIDTH = 640;
constexpr int TEST_CANVAS_HEIGHT = 480;
// The memory baseline is taken after this many steps, once every kind of step has had its first go.
constexpr uint64_t WARM_UP_STEPS = 1500;
// Private memory may grow this much from the baseline to the end of the run.
constexpr double MEMORY_GROWTH_LIMIT_MB = 8.0;
// After a display change the canvas has the real screen's size, where every present costs several
// times as much; this many steps later the run goes back to the small test canvas.
constexpr uint64_t SCREEN_SIZED_STEPS = 32;
// The heavy steps are sure to come at these points, in the warm-up and after it; otherwise they are rare.
constexpr uint64_t DISPLAY_CHANGE_AT[] = {150, 3500};
constexpr uint64_t FLOOD_AT[] = {700, 4500};
constexpr auto HANG_LIMIT = std::chrono::seconds(120);
// How often the ink layer is compared with a replay of the history, and the frame with the layers.
constexpr uint64_t REPLAY_CHECK_EVERY = 300;

using Rng = std::mt19937;

int Uniform(Rng& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
bool Chance(Rng& rng, double p) { return std::bernoulli_distribution(p)(rng); }
template <typename T, size_t N>
T Pick(Rng& rng, const T (&items)[N]) {
    return items[Uniform(rng, 0, int(N) - 1)];
}

std::string Format(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    return text;
}

// Where the run stands, for the reports of a crash or a hang, which cannot go through the test's
// own failure path.
struct RunPosition {
    uint32_t seed = 0;
    std::atomic<uint64_t> step{0};
    char what[512] = {};
};
RunPosition position;

void Announce(const std::string& what) {
    std::snprintf(position.what, sizeof(position.what), "%s", what.c_str());
}

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* exception) {
    std::fprintf(stderr, "robustness: crash (exception 0x%08lx) at seed %u, step %llu: %s\n",
                 exception->ExceptionRecord->ExceptionCode, position.seed,
                 static_cast<unsigned long long>(position.step.load()), position.what);
    std::fflush(stderr);
    return EXCEPTION_EXECUTE_HANDLER;
}

// A step that never returns would otherwise end only at the harness's time limit, without a word
// about which message it was.
void WatchForHang(const std::atomic<bool>& running) {
    uint64_t lastStep = position.step.load();
    auto lastChange = std::chrono::steady_clock::now();
    while (running.load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const uint64_t step = position.step.load();
        const auto now = std::chrono::steady_clock::now();
        if (step != lastStep) {
            lastStep = step;
            lastChange = now;
        } else if (now - lastChange > HANG_LIMIT) {
            std::fprintf(stderr, "robustness: no progress for %lld s at seed %u, step %llu: %s\n",
                         static_cast<long long>(HANG_LIMIT.count()), position.seed,
                         static_cast<unsigned long long>(step), position.what);
            std::fflush(stderr);
            std::_Exit(3);
        }
    }
}

uint64_t SettingFromEnvironment(const char* name, uint64_t fallback) {
    const char* value = std::getenv(name);
    if (!value || !*value) return fallback;
    return std::strtoull(value, nullptr, 0);
}

// ---- Substituted pen functions: they report whatever the current pointer step chose. ----

struct FakePointer {
    bool typeKnown = true;
    POINTER_INPUT_TYPE type = PT_PEN;
    bool penInfoKnown = true;
    UINT32 pressure = 512;
    PEN_FLAGS flags = PEN_FLAG_NONE;
};
FakePointer fakePointer;

BOOL WINAPI FakeGetPointerType(UINT32, POINTER_INPUT_TYPE* type) {
    if (!fakePointer.typeKnown) return FALSE;
    *type = fakePointer.type;
    return TRUE;
}

BOOL WINAPI FakeGetPointerPenInfo(UINT32 pointerId, POINTER_PEN_INFO* info) {
    if (!fakePointer.penInfoKnown) return FALSE;
    *info = {};
    info->pointerInfo.pointerType = PT_PEN;
    info->pointerInfo.pointerId = pointerId;
    info->penFlags = fakePointer.flags;
    info->penMask = PEN_MASK_PRESSURE;
    info->pressure = fakePointer.pressure;
    return TRUE;
}

// ---- The keys that make a stroke a shape, held at random as GetAsyncKeyState reads them ----

bool heldForShapes[3];  // Ctrl, Shift, Tab

SHORT WINAPI FakeGetAsyncKeyState(int key) {
    const bool held = (key == VK_CONTROL && heldForShapes[0]) || (key == VK_SHIFT && heldForShapes[1]) ||
                      (key == VK_TAB && heldForShapes[2]);
    return held ? SHORT(0x8000) : SHORT(0);
}

void HoldShapeKeysAtRandom(Rng& rng) {
    for (bool& held : heldForShapes) held = Chance(rng, 0.2);
}

// ---- Shapes of input ----

// One coordinate along an axis of `extent` pixels: mostly on it, else near either edge, anywhere in
// the 16-bit range, or right at its limits.
int RandomCoordinate(Rng& rng, int extent) {
    static const int limits[] = {32767, -32768, 32766, -32767, -1, 0};
    switch (Uniform(rng, 0, 9)) {
        case 0: return Uniform(rng, -40, 40);
        case 1: return extent + Uniform(rng, -40, 40);
        case 2: return Uniform(rng, -32768, 32767);
        case 3: return Pick(rng, limits);
        default: return Uniform(rng, 0, extent - 1);
    }
}

// The two signed 16-bit halves of a mouse or pointer lParam; values beyond 16 bits wrap as they
// would in the message.
LPARAM PackPoint(int x, int y) { return LPARAM(uint32_t(uint16_t(x)) | (uint32_t(uint16_t(y)) << 16)); }

LPARAM RandomCanvasPoint(Rng& rng) {
    const int x = RandomCoordinate(rng, app.canvasWidth);
    return PackPoint(x, RandomCoordinate(rng, app.canvasHeight));
}

// Pointer and wheel messages carry screen positions.
LPARAM RandomScreenPoint(Rng& rng) {
    const int x = app.canvasLeft + RandomCoordinate(rng, app.canvasWidth);
    return PackPoint(x, app.canvasTop + RandomCoordinate(rng, app.canvasHeight));
}

LPARAM RandomToolbarPoint(Rng& rng) {
    if (Chance(rng, 0.4)) {
        const int x = RandomCoordinate(rng, app.toolbarWidth);
        return PackPoint(x, RandomCoordinate(rng, app.toolbarHeight));
    }
    // On an entry, its edges included: left and top belong to it, right and bottom do not. The grip
    // (entry 0) comes up more often than its share, for drags.
    const int entry = Chance(rng, 0.1) ? 0 : Uniform(rng, 0, int(app.buttons.size()) - 1);
    const RECT rect = app.buttons[entry].rect;
    const int x = Uniform(rng, rect.left - 1, rect.right);
    return PackPoint(x, Uniform(rng, rect.top - 1, rect.bottom));
}

const char* MessageName(UINT code) {
    switch (code) {
        case WM_MOUSEMOVE: return "WM_MOUSEMOVE";
        case WM_LBUTTONDOWN: return "WM_LBUTTONDOWN";
        case WM_LBUTTONUP: return "WM_LBUTTONUP";
        case WM_LBUTTONDBLCLK: return "WM_LBUTTONDBLCLK";
        case WM_RBUTTONDOWN: return "WM_RBUTTONDOWN";
        case WM_RBUTTONUP: return "WM_RBUTTONUP";
        case WM_MBUTTONDOWN: return "WM_MBUTTONDOWN";
        case WM_MOUSEWHEEL: return "WM_MOUSEWHEEL";
        case WM_MOUSELEAVE: return "WM_MOUSELEAVE";
        case WM_POINTERDOWN: return "WM_POINTERDOWN";
        case WM_POINTERUPDATE: return "WM_POINTERUPDATE";
        case WM_POINTERUP: return "WM_POINTERUP";
        case WM_POINTERENTER: return "WM_POINTERENTER";
        case WM_KEYDOWN: return "WM_KEYDOWN";
        case WM_SYSKEYDOWN: return "WM_SYSKEYDOWN";
        case WM_KEYUP: return "WM_KEYUP";
        case WM_CHAR: return "WM_CHAR";
        case WM_HOTKEY: return "WM_HOTKEY";
        case WM_SETCURSOR: return "WM_SETCURSOR";
        case WM_DISPLAYCHANGE: return "WM_DISPLAYCHANGE";
        case WM_APP_REINIT: return "WM_APP_REINIT";
        default: return "message";
    }
}

const char* WindowName(HWND window) { return window == app.overlayWindow ? "overlay" : "toolbar"; }

// Sends or now and then posts the message (posted ones reach the window through the loop's
// dispatch); says which in the returned description.
std::string Deliver(Rng& rng, HWND window, UINT code, WPARAM wParam, LPARAM lParam,
                    const std::string& detail = {}) {
    const bool post = Chance(rng, 0.25);
    const bool positional =
        (code >= WM_MOUSEFIRST && code <= WM_MOUSELAST) || (code >= WM_POINTERUPDATE && code <= WM_POINTERUP);
    const std::string where =
        positional ? Format(" (x %d, y %d)", int(int16_t(LOWORD(lParam))), int(int16_t(HIWORD(lParam)))) : "";
    const std::string what =
        Format("%s %s to the %s, wParam 0x%llx, lParam 0x%llx%s%s", post ? "post" : "send", MessageName(code),
               WindowName(window), static_cast<unsigned long long>(wParam),
               static_cast<unsigned long long>(lParam), where.c_str(), detail.c_str());
    Announce(what);
    if (post) {
        PostMessageW(window, code, wParam, lParam);
    } else {
        SendMessageW(window, code, wParam, lParam);
    }
    return what;
}

// Key state as GetKeyState reports it while the next key message is handled.
void HoldModifiers(bool ctrl, bool shift) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = ctrl ? 0x80 : 0;
    keys[VK_SHIFT] = keys[VK_LSHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
}

// Dispatches everything queued as the program's loop does and takes any WM_QUIT off the queue,
// which is all that asking to quit does, so the run goes on; says whether one came.
// The program's loop stops at WM_QUIT; the run takes it and goes on.
bool PumpAndTakeQuit() {
    bool quit = false;
    MSG message;
    do {
        DispatchQueuedMessages(message);
        quit |= message.message == WM_QUIT;
    } while (message.message == WM_QUIT);
    RunFrameStep();
    return quit;
}

// What a step did, and what it may and may not change besides the invariants.
struct Step {
    std::string what;
    bool mayQuit = false;         // the message asks to quit
    bool keepsSelection = false;  // drawing input leaves tool, colour, width and modes alone
    bool followsScreen = false;   // the canvas has just been rebuilt at the screen's size
    size_t historyAfterFlood = SIZE_MAX;
};

// ---- The kinds of step ----

Step OverlayMouse(Rng& rng) {
    static const UINT codes[] = {WM_MOUSEMOVE,   WM_MOUSEMOVE, WM_MOUSEMOVE, WM_MOUSEMOVE,
                                 WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONUP};
    const UINT code = Pick(rng, codes);
    HoldShapeKeysAtRandom(rng);
    WPARAM keys = Chance(rng, 0.6) ? MK_LBUTTON : 0;
    if (Chance(rng, 0.1)) keys |= MK_SHIFT | MK_CONTROL | MK_RBUTTON;
    Step step;
    step.keepsSelection = code != WM_RBUTTONUP;
    step.what = Deliver(rng, app.overlayWindow, code, keys, RandomCanvasPoint(rng));
    return step;
}

Step OverlayWheel(Rng& rng) {
    static const int deltas[] = {0, 120, -120, 1, -1, 32767, -32768, 240, -360};
    const int delta = Chance(rng, 0.8) ? Pick(rng, deltas) : Uniform(rng, -32768, 32767);
    const WPARAM wParam = MAKEWPARAM(Chance(rng, 0.1) ? MK_LBUTTON : 0, uint16_t(delta));
    Step step;
    step.what = Deliver(rng, app.overlayWindow, WM_MOUSEWHEEL, wParam, RandomScreenPoint(rng));
    return step;
}

Step Pointer(Rng& rng) {
    static const UINT codes[] = {WM_POINTERDOWN, WM_POINTERUPDATE, WM_POINTERUPDATE, WM_POINTERUPDATE,
                                 WM_POINTERUP};
    static const POINTER_INPUT_TYPE types[] = {PT_PEN,   PT_PEN,   PT_PEN,     PT_TOUCH,
                                               PT_TOUCH, PT_MOUSE, PT_POINTER, PT_TOUCHPAD};
    const UINT code = Pick(rng, codes);
    HoldShapeKeysAtRandom(rng);

    fakePointer.typeKnown = Chance(rng, 0.95);
    fakePointer.type = Pick(rng, types);
    fakePointer.penInfoKnown = Chance(rng, 0.9);
    fakePointer.pressure =
        Chance(rng, 0.2) ? UINT32(Pick(rng, {0, 1, 512, 1023, 1024})) : UINT32(Uniform(rng, 0, 1024));
    fakePointer.flags = Chance(rng, 0.2) ? PEN_FLAG_ERASER : PEN_FLAG_NONE;
    if (Chance(rng, 0.1)) fakePointer.flags |= PEN_FLAG_BARREL | PEN_FLAG_INVERTED;
    app.pGetPointerType = Chance(rng, 0.1) ? nullptr : FakeGetPointerType;
    app.pGetPointerPenInfo = Chance(rng, 0.1) ? nullptr : FakeGetPointerPenInfo;

    // Pointer flags in the high word: in range, in contact, first button, primary, new.
    uint32_t flags = 0;
    if (Chance(rng, 0.7)) flags |= POINTER_MESSAGE_FLAG_INRANGE;
    if (Chance(rng, code == WM_POINTERUP ? 0.1 : 0.6)) {
        flags |= POINTER_MESSAGE_FLAG_INCONTACT | POINTER_MESSAGE_FLAG_FIRSTBUTTON;
    }
    if (Chance(rng, 0.5)) flags |= POINTER_MESSAGE_FLAG_PRIMARY;
    if (Chance(rng, 0.1)) flags |= POINTER_MESSAGE_FLAG_NEW;
    const uint16_t id =
        Chance(rng, 0.9) ? uint16_t(Uniform(rng, 1, 8)) : Pick(rng, {uint16_t(0), uint16_t(0xFFFF)});
    const WPARAM wParam = MAKEWPARAM(id, flags);

    const std::string type = !app.pGetPointerType    ? "absent"
                             : fakePointer.typeKnown ? Format("type %d", int(fakePointer.type))
                                                     : "fails";
    const std::string penInfo = !app.pGetPointerPenInfo    ? "absent"
                                : fakePointer.penInfoKnown ? "answers"
                                                           : "fails";
    Step step;
    step.keepsSelection = true;
    step.what = Deliver(rng, app.overlayWindow, code, wParam, RandomScreenPoint(rng),
                        Format("; GetPointerType %s, GetPointerPenInfo %s with pressure %u, pen flags 0x%x",
                               type.c_str(), penInfo.c_str(), fakePointer.pressure, fakePointer.flags));
    return step;
}

Step Key(Rng& rng) {
    static const UINT shortcuts[] = {
        VK_ESCAPE, VK_DELETE, '0', '1',         '2',      '3',          '4',      '5',        '6',  '7',
        '8',       '9',       'P', 'H',         'K',      'E',          'L',      'M',        'V',  'B',
        'Z',       'Q',       'D', VK_OEM_PLUS, VK_OEM_6, VK_OEM_MINUS, VK_OEM_4, VK_NUMPAD1, VK_F4,
        'Y',       'Y'};
    const UINT key = Chance(rng, 0.75) ? Pick(rng, shortcuts) : UINT(Uniform(rng, 1, 254));
    const bool ctrl = Chance(rng, 0.25);
    const bool shift = Chance(rng, 0.25);
    const bool system = Chance(rng, 0.2);  // as with Alt held
    const bool repeat = Chance(rng, 0.2);
    HoldModifiers(ctrl, shift);
    const LPARAM lParam = 1 | (LPARAM(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16) |
                          (system ? LPARAM(1) << 29 : 0) | (repeat ? LPARAM(1) << 30 : 0);
    HWND window = Chance(rng, 0.7) ? app.overlayWindow : app.toolbarWindow;
    Step step;
    step.mayQuit = ctrl && shift && key == 'Q';
    step.what = Deliver(rng, window, system ? WM_SYSKEYDOWN : WM_KEYDOWN, key, lParam,
                        Format("; key 0x%02x%s%s", key, ctrl ? " +Ctrl" : "", shift ? " +Shift" : ""));
    return step;
}

Step Hotkey(Rng& rng) {
    static const WPARAM ids[] = {
        HK_TOGGLE_MOUSE, HK_TOGGLE_MOUSE, HK_QUIT, HK_LASER, HK_LASER, HK_CLEAR, 0, 5, 0xBFFF, WPARAM(-1)};
    static const UINT keys[] = {'M', 'Q', 'L', 'D'};
    const WPARAM id = Pick(rng, ids);
    Step step;
    step.mayQuit = id == HK_QUIT;
    step.what =
        Deliver(rng, app.overlayWindow, WM_HOTKEY, id, MAKELPARAM(MOD_CONTROL | MOD_SHIFT, Pick(rng, keys)));
    return step;
}

Step ToolbarMouse(Rng& rng) {
    static const UINT codes[] = {WM_MOUSEMOVE,   WM_MOUSEMOVE, WM_MOUSEMOVE, WM_MOUSEMOVE,     WM_LBUTTONDOWN,
                                 WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_MOUSELEAVE};
    const UINT code = Pick(rng, codes);
    const LPARAM lParam = code == WM_MOUSELEAVE ? 0 : RandomToolbarPoint(rng);
    const WPARAM keys =
        code == WM_LBUTTONDOWN || code == WM_LBUTTONDBLCLK || Chance(rng, 0.3) ? MK_LBUTTON : 0;
    Step step;
    if (code == WM_LBUTTONDOWN) {
        const int hit = HitTestToolbar(int16_t(LOWORD(lParam)), int16_t(HIWORD(lParam)));
        step.mayQuit = hit >= 0 && app.buttons[hit].kind == QuitButton;
    }
    step.what = Deliver(rng, app.toolbarWindow, code, keys, lParam);
    return step;
}

// Messages that change nothing: the cursor, and what the window leaves to the default procedure. A
// double-click is such a message only on the overlay, whose class takes none; on the toolbar it is a
// toolbar step, as its grip turns the toolbar.
Step IgnoredMessage(Rng& rng) {
    static const UINT codes[] = {WM_SETCURSOR, WM_SETCURSOR, WM_RBUTTONDOWN,   WM_MBUTTONDOWN,
                                 WM_KEYUP,     WM_CHAR,      WM_LBUTTONDBLCLK, WM_POINTERENTER};
    HWND window = Chance(rng, 0.5) ? app.overlayWindow : app.toolbarWindow;
    const UINT code = Pick(rng, codes);
    if (code == WM_LBUTTONDBLCLK) window = app.overlayWindow;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    if (code == WM_SETCURSOR) {
        wParam = reinterpret_cast<WPARAM>(window);
        lParam = MAKELPARAM(Chance(rng, 0.8) ? HTCLIENT : HTNOWHERE, WM_MOUSEMOVE);
    } else if (code == WM_KEYUP || code == WM_CHAR) {
        wParam = Pick(rng, {WPARAM('P'), WPARAM('q'), WPARAM(VK_ESCAPE), WPARAM(VK_DELETE)});
        lParam = 1;
    } else {
        lParam = RandomCanvasPoint(rng);
    }
    Step step;
    step.keepsSelection = true;
    step.what = Deliver(rng, window, code, wParam, lParam);
    return step;
}

// The real cursor: the toolbar's drag follows it, and the system sends its own mouse messages to
// whichever window is under it.
Step CursorMove(Rng& rng) {
    const int x = Uniform(rng, -100, GetSystemMetrics(SM_CXSCREEN) + 100);
    const int y = Uniform(rng, -100, GetSystemMetrics(SM_CYSCREEN) + 100);
    Step step;
    step.what = Format("move the cursor to screen (%d, %d)", x, y);
    Announce(step.what);
    SetCursorPos(x, y);
    return step;
}

Step LaserTick(Rng& rng) {
    // Moving the fade's start back stands in for the time between ticks, so fades end within the run.
    const DWORD back = DWORD(Uniform(rng, 0, 1500));
    Step step;
    step.what = Format("laser timer tick, phase %d, fade start moved %lu ms back", app.laserPhase, back);
    Announce(step.what);
    if (app.laserPhase == 2) app.laserFadeStart = GetTickCount() - back;
    LaserFadeTimerProc(app.overlayWindow, WM_TIMER, LASER_TIMER_ID, GetTickCount());
    return step;
}

Step DisplayChange(Rng& rng) {
    Step step;
    step.followsScreen = true;
    if (Chance(rng, 0.5)) {
        step.what = Deliver(rng, app.overlayWindow, WM_DISPLAYCHANGE, 32,
                            MAKELPARAM(Uniform(rng, 0, 0xFFFF), Uniform(rng, 0, 0xFFFF)));
    } else {
        step.what = "post WM_APP_REINIT to the overlay";
        Announce(step.what);
        PostMessageW(app.overlayWindow, WM_APP_REINIT, 0, 0);
    }
    return step;
}

// Far more clicks than the history holds, most far off the canvas so that they cost no presents.
Step Flood(Rng& rng) {
    static const UINT toolKeys[] = {'P', 'H', 'E'};
    const UINT toolKey = Pick(rng, toolKeys);
    const size_t clicks = MAX_HISTORY_STROKES - std::min(app.history.size(), MAX_HISTORY_STROKES) +
                          size_t(Uniform(rng, 1, 300));
    Step step;
    step.what = Format("flood of %zu clicks on the overlay after key 0x%02x", clicks, toolKey);
    Announce(step.what);

    HoldModifiers(false, false);
    SendMessageW(app.overlayWindow, WM_KEYDOWN, toolKey, 1);
    // A stroke belongs to its contact: a pen or touch contact still down would keep every click
    // from starting one, so it lifts first (its lift ends it whatever its type reads).
    if (app.penContact) {
        SendMessageW(app.overlayWindow, WM_POINTERUP, MAKEWPARAM(WORD(app.contactPointerId), 0), 0);
    }
    const size_t before = app.history.size();
    for (size_t i = 0; i < clicks; ++i) {
        const bool onCanvas = Chance(rng, 0.03);
        const int x = onCanvas ? Uniform(rng, 0, app.canvasWidth - 1) : Uniform(rng, -32768, -1000);
        const int y = onCanvas ? Uniform(rng, 0, app.canvasHeight - 1) : Uniform(rng, 2000, 32767);
        SendMessageW(app.overlayWindow, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(x, y));
        SendMessageW(app.overlayWindow, WM_LBUTTONUP, 0, PackPoint(x, y));
    }
    step.historyAfterFlood = std::min(before + clicks, MAX_HISTORY_STROKES);
    return step;
}

// Back to the small canvas of the test windows after a display change has taken the screen's size.
void ShrinkToTestCanvas() {
    Announce("back to the test canvas");
    // A display change read the real monitor; the test canvas is played as a monitor of its size.
    SetCanvasGeometry({1, 1, TEST_CANVAS_WIDTH, TEST_CANVAS_HEIGHT,
                       {{1, 1, 1 + TEST_CANVAS_WIDTH, 1 + TEST_CANVAS_HEIGHT}}});
    ApplyCanvasGeometry();
    PumpAndTakeQuit();
}

enum StepKind {
    OVERLAY_MOUSE,
    OVERLAY_WHEEL,
    POINTER,
    KEY,
    HOTKEY,
    TOOLBAR_MOUSE,
    IGNORED,
    CURSOR_MOVE,
    LASER_TICK,
    DISPLAY_CHANGE,
    FLOOD
};
// Relative frequencies, in StepKind order.
const double STEP_WEIGHTS[] = {30, 3, 16, 12, 2, 15, 2, 2, 3, 0.05, 0.01};

Step RandomStep(Rng& rng, uint64_t number) {
    for (uint64_t at : DISPLAY_CHANGE_AT) {
        if (number == at) return DisplayChange(rng);
    }
    for (uint64_t at : FLOOD_AT) {
        if (number == at) return Flood(rng);
    }
    std::discrete_distribution<int> kinds(std::begin(STEP_WEIGHTS), std::end(STEP_WEIGHTS));
    switch (StepKind(kinds(rng))) {
        case OVERLAY_MOUSE: return OverlayMouse(rng);
        case OVERLAY_WHEEL: return OverlayWheel(rng);
        case POINTER: return Pointer(rng);
        case KEY: return Key(rng);
        case HOTKEY: return Hotkey(rng);
        case TOOLBAR_MOUSE: return ToolbarMouse(rng);
        case IGNORED: return IgnoredMessage(rng);
        case CURSOR_MOVE: return CursorMove(rng);
        case LASER_TICK: return LaserTick(rng);
        case DISPLAY_CHANGE: return DisplayChange(rng);
        case FLOOD: return Flood(rng);
    }
    return {};
}

// ---- Invariants ----

bool IsBaseWidth(float width) {
    return width == StrokeWidths[0] || width == StrokeWidths[1] || width == StrokeWidths[2];
}

bool IsPaletteColour(COLORREF colour) {
    return std::find(std::begin(Palette), std::end(Palette), colour) != std::end(Palette);
}

// Empty when the stroke is whole: samples, a base width, a palette colour, positions that came from
// signed 16-bit input and pressures within 0..1.
std::string StrokeProblem(const Stroke& stroke) {
    if (stroke.points.empty()) return "has no samples";
    if (!IsBaseWidth(stroke.width)) return Format("has width %g", stroke.width);
    if (!IsPaletteColour(stroke.colour)) return Format("has colour 0x%08lx", stroke.colour);
    if (stroke.shape != StrokeShape::Freehand && (stroke.points.size() > 2 || stroke.tool == Eraser)) {
        return Format("is shape %d of tool %d with %zu samples", int(stroke.shape), int(stroke.tool),
                      stroke.points.size());
    }
    for (const InkPoint& p : stroke.points) {
        // Client positions from 16-bit halves, screen positions moved by the canvas's (1, 1) origin.
        if (!(std::fabs(p.x) <= 32769.0f && std::fabs(p.y) <= 32769.0f)) {
            return Format("has a sample at (%g, %g)", p.x, p.y);
        }
        if (!(p.pressure >= 0.0f && p.pressure <= 1.0f)) return Format("has pressure %g", p.pressure);
    }
    return {};
}

void CheckStrokes(std::vector<std::string>& broken) {
    for (size_t i = 0; i < app.history.size(); ++i) {
        const Stroke& stroke = app.history[i];
        if (stroke.tool != Pen && stroke.tool != Highlighter && stroke.tool != Eraser) {
            broken.push_back(Format("history[%zu] has tool %d", i, int(stroke.tool)));
            return;
        }
        const std::string problem = StrokeProblem(stroke);
        if (!problem.empty()) {
            broken.push_back(Format("history[%zu] ", i) + problem);
            return;
        }
    }
    for (size_t i = 0; i < app.laserTrails.size(); ++i) {
        const Stroke& stroke = app.laserTrails[i];
        const std::string problem =
            stroke.tool != Laser ? Format("has tool %d", int(stroke.tool)) : StrokeProblem(stroke);
        if (!problem.empty()) {
            broken.push_back(Format("laserTrails[%zu] ", i) + problem);
            return;
        }
    }
    if (app.drawing) {
        const std::string problem = StrokeProblem(app.currentStroke);
        if (!problem.empty()) broken.push_back("while drawing, currentStroke " + problem);
        if (!app.mouseContact && !app.penContact) broken.push_back("a stroke is open that no contact owns");
    }
    if (app.mouseContact && app.penContact) broken.push_back("the mouse and a pointer both own the stroke");
}

RECT WindowRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

void CheckWindowsAndSurfaces(std::vector<std::string>& broken) {
    auto expect = [&](bool holds, const std::string& what) {
        if (!holds) broken.push_back(what);
    };
    expect(IsWindow(app.overlayWindow) && IsWindowVisible(app.overlayWindow),
           "the overlay is gone or hidden");
    expect(IsWindow(app.toolbarWindow) && IsWindowVisible(app.toolbarWindow),
           "the toolbar is gone or hidden");
    const bool transparent = (GetWindowLongW(app.overlayWindow, GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0;
    expect(app.passThrough == transparent, Format("passThrough is %d but WS_EX_TRANSPARENT is %s",
                                                  app.passThrough, transparent ? "set" : "clear"));

    expect(app.canvasLeft == 1 && app.canvasTop == 1,
           Format("the canvas starts at (%d, %d)", app.canvasLeft, app.canvasTop));
    const RECT overlay = WindowRect(app.overlayWindow);
    expect(overlay.left == app.canvasLeft && overlay.top == app.canvasTop &&
               overlay.right - overlay.left == app.canvasWidth &&
               overlay.bottom - overlay.top == app.canvasHeight,
           Format("the overlay covers (%ld, %ld)-(%ld, %ld) but the canvas is %dx%d at (%d, %d)",
                  overlay.left, overlay.top, overlay.right, overlay.bottom, app.canvasWidth, app.canvasHeight,
                  app.canvasLeft, app.canvasTop));
    // The layers may stay larger than the canvas after it shrank, never smaller.
    expect(app.inkLayer && int(app.inkLayer->GetWidth()) == app.inkPixels.width &&
               int(app.inkLayer->GetHeight()) == app.inkPixels.height && app.inkPixels.width >= app.canvasWidth &&
               app.inkPixels.height >= app.canvasHeight && app.frameBits,
           "the surfaces do not match the canvas");
    // The live and trail layers have memory, of the ink layer's size, exactly while they are in use.
    auto inUseAtInkSize = [](const PixelLayer& layer, bool inUse) {
        if (!inUse) return layer.bits == nullptr;
        return layer.bits && layer.width == app.inkPixels.width && layer.height == app.inkPixels.height;
    };
    const bool liveInUse = app.drawing && DrawnLive(app.currentStroke);
    expect(inUseAtInkSize(app.livePixels, liveInUse),
           Format("the live layer is %dx%d with %s memory while %s", app.livePixels.width, app.livePixels.height,
                  app.livePixels.bits ? "its" : "no", liveInUse ? "a stroke is drawn live" : "nothing is drawn live"));
    const bool trailsWait = !app.laserTrails.empty();
    expect(inUseAtInkSize(app.trailPixels, trailsWait) && (app.trailLayer != nullptr) == trailsWait,
           Format("the trail layer is %dx%d with %s memory with %zu trails", app.trailPixels.width,
                  app.trailPixels.height, app.trailPixels.bits ? "its" : "no", app.laserTrails.size()));
    const RECT toolbar = WindowRect(app.toolbarWindow);
    expect(
        toolbar.right - toolbar.left == app.toolbarWidth && toolbar.bottom - toolbar.top == app.toolbarHeight,
        Format("the toolbar window is %ldx%ld but toolbarWidth x toolbarHeight is %dx%d",
               toolbar.right - toolbar.left, toolbar.bottom - toolbar.top, app.toolbarWidth,
               app.toolbarHeight));
}

std::vector<std::string> BrokenInvariants() {
    std::vector<std::string> broken;
    auto expect = [&](bool holds, const std::string& what) {
        if (!holds) broken.push_back(what);
    };
    expect(app.currentTool >= Pen && app.currentTool <= Eraser,
           Format("currentTool is %d", int(app.currentTool)));
    expect(app.colourIndex >= 0 && app.colourIndex <= 7, Format("colourIndex is %d", app.colourIndex));
    expect(app.widthIndex >= 0 && app.widthIndex <= 2, Format("widthIndex is %d", app.widthIndex));
    expect(app.buttons.size() == 27, Format("the toolbar has %zu entries", app.buttons.size()));
    expect(app.hoveredButton >= -1 && app.hoveredButton < int(app.buttons.size()),
           Format("hoveredButton is %d", app.hoveredButton));

    expect(app.history.size() <= MAX_HISTORY_STROKES,
           Format("history holds %zu strokes", app.history.size()));
    for (size_t i = 0; i < app.clears.size(); ++i) {
        expect(app.clears[i].strokes.size() <= MAX_HISTORY_STROKES,
               Format("kept clear %zu holds %zu strokes", i, app.clears[i].strokes.size()));
    }
    expect(!app.drawing || !app.currentStroke.points.empty(), "drawing with no sample in currentStroke");
    CheckStrokes(broken);

    const int phase = app.laserPhase;
    expect(phase >= 0 && phase <= 2, Format("laserPhase is %d", phase));
    expect((app.laserTimer != 0) == (phase == 1 || phase == 2),
           Format("laserTimer is %llu in laserPhase %d", static_cast<unsigned long long>(app.laserTimer),
                  phase));
    expect(phase == 0 || !app.laserTrails.empty(), Format("laserPhase %d with no trail", phase));
    expect(app.laserFade >= 0.0f && app.laserFade <= 1.0f, Format("laserFade is %g", app.laserFade));
    expect(phase == 2 || app.laserFade == 1.0f, Format("laserFade is %g outside a fade", app.laserFade));

    CheckWindowsAndSurfaces(broken);
    return broken;
}

// The ink layer must be what a replay draws: the ink the history limit dropped, then the history;
// and a present must compose exactly what the layers hold.
void CheckInkAgainstReplay(std::vector<std::string>& broken) {
    if (app.drawing) return;
    const PixelLayer& ink = app.inkPixels;
    const std::vector<uint32_t> kept(ink.bits, ink.bits + size_t(ink.width) * ink.height);
    RebuildInkLayer();
    size_t differing = 0;
    for (size_t i = 0; i < kept.size(); ++i) differing += kept[i] != ink.bits[i];
    if (differing != 0) {
        broken.push_back(Format("%zu ink pixels differ from a replay of %zu strokes", differing, app.history.size()));
    }

    PresentRegion(WholeCanvas());
    std::vector<uint32_t> reference(size_t(app.canvasWidth) * app.canvasHeight);
    const ComposeLayer layers[] = {{&app.inkPixels, 255}, {&app.trailPixels, TrailScale()}};
    ComposePixelsScalar(reference.data(), app.canvasWidth, WholeCanvas(), app.boardMode ? 0xFFFFFFFF : 0x01000000,
                        layers, app.laserTrails.empty() ? 1 : 2);
    size_t wrong = 0;
    for (size_t i = 0; i < reference.size(); ++i) wrong += reference[i] != app.frameBits[i];
    if (wrong != 0) broken.push_back(Format("%zu frame pixels differ from the composition of the layers", wrong));
}

struct Selection {
    ToolKind tool;
    int32_t colour, width;
    bool passThrough, board, vertical;
    bool operator==(const Selection& o) const {
        return tool == o.tool && colour == o.colour && width == o.width && passThrough == o.passThrough &&
               board == o.board && vertical == o.vertical;
    }
};

Selection CurrentSelection() {
    return {app.currentTool, app.colourIndex, app.widthIndex,
            app.passThrough, app.boardMode,   app.verticalToolbar};
}

// What the step itself must and must not have done, beyond the invariants.
void CheckStepEffects(const Step& step, const Selection& before, bool quit,
                      std::vector<std::string>& broken) {
    if (quit && !step.mayQuit) broken.push_back("WM_QUIT was posted");
    if (step.keepsSelection && !(CurrentSelection() == before)) {
        broken.push_back(
            Format("the selection changed: tool %d->%d, colour %d->%d, width %d->%d, pass-through "
                   "%d->%d, board %d->%d, vertical %d->%d",
                   before.tool, app.currentTool, before.colour, app.colourIndex, before.width, app.widthIndex,
                   before.passThrough, app.passThrough, before.board, app.boardMode, before.vertical,
                   app.verticalToolbar));
    }
    if (step.followsScreen) {
        const int width = GetSystemMetrics(SM_CXSCREEN) - 1;
        const int height = GetSystemMetrics(SM_CYSCREEN) - 1;
        if (app.canvasWidth != width || app.canvasHeight != height) {
            broken.push_back(Format("the canvas is %dx%d after a display change, the screen %dx%d",
                                    app.canvasWidth, app.canvasHeight, width + 1, height + 1));
        }
    }
    if (step.historyAfterFlood != SIZE_MAX && app.history.size() != step.historyAfterFlood) {
        broken.push_back(Format("history holds %zu strokes after the flood, expected %zu", app.history.size(),
                                step.historyAfterFlood));
    }
}

// The user lets go of everything and clears: no stroke, no drag, no ink, no trail.
void LetGoAndClear() {
    Announce("let go and clear");
    SendMessageW(app.overlayWindow, WM_LBUTTONUP, 0, 0);
    SendMessageW(app.toolbarWindow, WM_LBUTTONUP, 0, 0);
    ClearAll();
    if (app.canvasWidth != TEST_CANVAS_WIDTH) ShrinkToTestCanvas();
    PumpAndTakeQuit();
}

double PrivateMemoryMB() { return double(CommittedPrivateBytes()) / (1024.0 * 1024.0); }

TEST(Robustness, RandomMessagesKeepTheStateWholeAndGiveTheirMemoryBack) {
    StartTestApp(TEST_CANVAS_WIDTH, TEST_CANVAS_HEIGHT);
    ResetAppForTest();
    // Every clear that removes ink is kept for its undo, up to the budget: a small one bounds what the
    // run keeps well below the memory limit, and has the budget take pixels and forget clears often.
    app.undoBudgetBytes = size_t(2) << 20;

    const uint32_t seed = uint32_t(SettingFromEnvironment("VELQUIN_FUZZ_SEED", CI_SEED));
    const uint64_t steps = SettingFromEnvironment("VELQUIN_FUZZ_STEPS", CI_STEPS);
    // The shortcuts read Ctrl and Shift with GetKeyState; the run relies on setting them this way.
    HoldModifiers(true, false);
    ASSERT_TRUE(GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_SHIFT) >= 0);
    app.pGetAsyncKeyState = FakeGetAsyncKeyState;

    position.seed = seed;
    SetUnhandledExceptionFilter(ReportCrash);
    std::atomic<bool> running{true};
    std::thread watchdog(WatchForHang, std::cref(running));

    Rng rng(seed);
    std::deque<std::string> recent;
    double baselineMB = 0.0;
    size_t peakHistory = 0;
    int quits = 0;
    uint64_t screenSizedSince = 0;
    uint64_t ran = 0;
    const auto began = std::chrono::steady_clock::now();
    for (uint64_t number = 1; number <= steps; ++number) {
        ran = number;
        position.step = number;
        if (app.canvasWidth != TEST_CANVAS_WIDTH && number - screenSizedSince > SCREEN_SIZED_STEPS) {
            ShrinkToTestCanvas();
        }
        const Selection before = CurrentSelection();
        std::string failure;
        try {
            const Step step = RandomStep(rng, number);
            if (step.followsScreen) screenSizedSince = number;
            recent.push_back(step.what);
            if (recent.size() > 10) recent.pop_front();
            const bool quit = PumpAndTakeQuit();
            quits += quit;
            std::vector<std::string> broken = BrokenInvariants();
            CheckStepEffects(step, before, quit, broken);
            if (number % REPLAY_CHECK_EVERY == 0) CheckInkAgainstReplay(broken);
            for (const std::string& what : broken) failure += "\n  broken: " + what;
        } catch (const std::exception& error) {
            failure = std::string("\n  exception: ") + error.what();
        }
        peakHistory = std::max(peakHistory, app.history.size());
        if (!failure.empty()) {
            std::string history;
            for (const std::string& what : recent) history += "\n    " + what;
            ADD_FAILURE() << "seed " << seed << ", step " << number << ": " << position.what << failure
                          << "\n  last steps, oldest first:" << history
                          << "\n  replay: VELQUIN_FUZZ_SEED=" << seed << " VELQUIN_FUZZ_STEPS=" << number;
            break;
        }
        if (number == WARM_UP_STEPS) {
            LetGoAndClear();
            baselineMB = PrivateMemoryMB();
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    running = false;
    watchdog.join();
    HoldModifiers(false, false);
    app.pGetAsyncKeyState = &GetAsyncKeyState;

    LetGoAndClear();
    const double endMB = PrivateMemoryMB();
    std::printf(
        "robustness: seed %u, %llu steps in %.0f s (%.0f steps/s), history peaked at %zu strokes, %d quits "
        "taken off the queue, private memory %.1f MB after the warm-up, %.1f MB at the end\n",
        seed, static_cast<unsigned long long>(ran), seconds, seconds > 0 ? double(ran) / seconds : 0.0,
        peakHistory, quits, baselineMB, endMB);
    if (!HasFailure() && steps > WARM_UP_STEPS) {
        EXPECT_LT(endMB - baselineMB, MEMORY_GROWTH_LIMIT_MB)
            << "private memory grew from " << baselineMB << " MB to " << endMB << " MB over "
            << steps - WARM_UP_STEPS << " steps (seed " << seed << ")";
    }
}

}  // namespace
