// Shapes while drawing: a key held at the press makes the stroke a straight line, a rectangle, an
// ellipse or an arrow from the press point to the pointer. Drawn over a wiggly path on the real
// surfaces and read back, in the live layer during the drag and in the ink (or trail) layer after it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/startup.h"
#include "ink/shape_geometry.h"
#include "ink/surfaces.h"
#include "ink/trail_layer.h"
#include "ink/undo_clear.h"
#include "input/capture.h"
#include "support/pixels.h"
#include "support/test_app.h"

namespace {

constexpr float PI = 3.14159265f;
constexpr float WIDTH = 6.0f;  // the middle width, at 96 DPI
constexpr uint32_t RED = 0xFFEF4444;  // the first colour, opaque
constexpr uint32_t LASER_CORE = 0xFFFF3C3C;

// ---- The keyboard as GetAsyncKeyState reads it ----

bool ctrlDown = false, shiftDown = false, tabDown = false;

SHORT WINAPI FakeAsyncKeyState(int key) {
    const bool down = (key == VK_CONTROL && ctrlDown) || (key == VK_SHIFT && shiftDown) || (key == VK_TAB && tabDown);
    return down ? SHORT(0x8000) : SHORT(0);
}

struct Keys {
    bool ctrl, shift, tab;
};
constexpr Keys NO_KEYS = {false, false, false};

void Hold(const Keys& keys) {
    ctrlDown = keys.ctrl;
    shiftDown = keys.shift;
    tabDown = keys.tab;
}

struct ShapeKind {
    const char* name;
    StrokeShape shape;
    Keys keys;
};
const ShapeKind SHAPES[] = {
    {"line", StrokeShape::Line, {false, true, false}},
    {"rectangle", StrokeShape::Rectangle, {true, false, false}},
    {"ellipse", StrokeShape::Ellipse, {false, false, true}},
    {"arrow", StrokeShape::Arrow, {true, true, false}},
};

// ---- How each tool draws a shape, as the tests expect it ----

struct ToolLook {
    const char* name;
    ToolKind tool;
    float lineWidth;   // of the line the arrow's head is measured from
    float reach;       // half the widest line: no pixel lies farther from the centre line, plus the smoothed edge
    float solid;       // half the line every pixel of which has the full colour
    uint32_t full;     // that colour, premultiplied
};
const ToolLook TOOLS[] = {
    {"pen", Pen, 0.85f * WIDTH, 0.85f * WIDTH / 2.0f, 0.85f * WIDTH / 2.0f, RED},
    {"highlighter", Highlighter, 3.0f * WIDTH, 1.5f * WIDTH, 1.5f * WIDTH, Premultiplied(0x5AEF4444)},
    {"laser", Laser, WIDTH, 1.3f * WIDTH, 0.5f * WIDTH, LASER_CORE},
};

// ---- The shape's centre line, reckoned here on its own ----

struct Point {
    float x, y;
};
struct Segment {
    Point a, b;
};

float HeadLength(const ToolLook& look) { return 3.0f * look.lineWidth + 8.0f; }

// The ends of the arrow's head strokes: from the tip, 30 degrees to either side of the shaft.
void ArrowHead(Point tail, Point tip, float length, Point& left, Point& right) {
    const float d = std::hypot(tail.x - tip.x, tail.y - tip.y);
    const float ux = (tail.x - tip.x) / d, uy = (tail.y - tip.y) / d;
    const float c = std::cos(PI / 6.0f), s = std::sin(PI / 6.0f);
    left = {tip.x + length * (ux * c - uy * s), tip.y + length * (ux * s + uy * c)};
    right = {tip.x + length * (ux * c + uy * s), tip.y + length * (uy * c - ux * s)};
}

std::vector<Segment> Outline(StrokeShape shape, Point a, Point b, float headLength) {
    switch (shape) {
        case StrokeShape::Rectangle: {
            const Point c = {b.x, a.y}, d = {a.x, b.y};
            return {{a, c}, {c, b}, {b, d}, {d, a}};
        }
        case StrokeShape::Ellipse: {
            std::vector<Segment> segments;
            const Point centre = {(a.x + b.x) / 2, (a.y + b.y) / 2};
            const float rx = std::fabs(b.x - a.x) / 2, ry = std::fabs(b.y - a.y) / 2;
            auto at = [&](int i) {
                const float t = 2.0f * PI * float(i) / 720.0f;
                return Point{centre.x + rx * std::cos(t), centre.y + ry * std::sin(t)};
            };
            for (int i = 0; i < 720; ++i) segments.push_back({at(i), at(i + 1)});
            return segments;
        }
        case StrokeShape::Arrow: {
            Point left, right;
            ArrowHead(a, b, headLength, left, right);
            return {{a, b}, {left, b}, {b, right}};
        }
        default:
            return {{a, b}};
    }
}

float Distance(Point p, const Segment& s) {
    const float dx = s.b.x - s.a.x, dy = s.b.y - s.a.y;
    const float length2 = dx * dx + dy * dy;
    float t = length2 > 0 ? ((p.x - s.a.x) * dx + (p.y - s.a.y) * dy) / length2 : 0.0f;
    t = std::clamp(t, 0.0f, 1.0f);
    return std::hypot(p.x - (s.a.x + t * dx), p.y - (s.a.y + t * dy));
}

float DistanceToOutline(Point p, const std::vector<Segment>& outline) {
    float nearest = 1e9f;
    for (const Segment& s : outline) nearest = std::min(nearest, Distance(p, s));
    return nearest;
}

// ---- Drawing the way the hand does ----

// From the press to the release, swinging far to the side of the straight way between them (or, for
// a drag back to its start, round about it).
std::vector<Point> WigglyPath(Point a, Point b) {
    std::vector<Point> path;
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float length = std::hypot(dx, dy);
    for (int i = 1; i <= 40; ++i) {
        const float t = float(i) / 40.0f;
        if (length == 0.0f) {
            path.push_back({a.x + 60.0f * std::sin(2 * PI * t), a.y + 40.0f * std::sin(4 * PI * t)});
        } else {
            const float swing = 50.0f * std::sin(3 * PI * t);
            path.push_back({a.x + t * dx - swing * dy / length, a.y + t * dy + swing * dx / length});
        }
    }
    path.back() = b;
    return path;
}

// Presses with the keys held, lets go of them, and follows the path; the release is the caller's.
void PressAndDrag(const Keys& keys, Point a, const std::vector<Point>& path) {
    Hold(keys);
    BeginStroke(a.x, a.y, 0.5f);
    Hold(NO_KEYS);  // let go of during the drag: the shape stays
    for (const Point& p : path) ExtendStroke(p.x, p.y, 0.5f);
}

std::vector<uint32_t> FrameCopy() {
    return std::vector<uint32_t>(app.frameBits, app.frameBits + size_t(app.canvasWidth) * app.canvasHeight);
}

std::vector<uint32_t> TrailPixels() {
    return BitmapPixels(*app.trailLayer, app.canvasWidth, app.canvasHeight);
}

// Differing pixels between the ink layer and a replay of history; the replay then stays.
int DifferenceFromReplay() {
    const std::vector<uint32_t> ink = InkPixels();
    RebuildInkLayer();
    const std::vector<uint32_t> replay = InkPixels();
    int differing = 0;
    for (size_t i = 0; i < ink.size(); ++i) differing += ink[i] != replay[i];
    return differing;
}

int NonZero(const std::vector<uint32_t>& pixels) {
    return int(std::count_if(pixels.begin(), pixels.end(), [](uint32_t p) { return p != 0; }));
}

class Shapes : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartTestApp(); }
    void SetUp() override {
        ResetAppForTest();
        Hold(NO_KEYS);
        app.pGetAsyncKeyState = FakeAsyncKeyState;
    }
    void TearDown() override {
        app.pGetAsyncKeyState = &GetAsyncKeyState;
        ResetAppForTest();
    }
};

struct Drag {
    const char* name;
    Point from, to;
};

// What the layer that holds a finished shape shows, judged against the geometry: every pixel lies
// along the outline, the outline is drawn whole in the tool's colour, and nothing lies elsewhere: not
// on the wiggly path, not inside the rectangle or the ellipse, not at the wrong end of the arrow.
void ExpectShapePixels(const std::vector<uint32_t>& pixels, const ShapeKind& kind, const ToolLook& look,
                       const Drag& drag, const std::vector<Point>& path, const std::string& what) {
    const std::vector<Segment> outline = Outline(kind.shape, drag.from, drag.to, HeadLength(look));
    const int w = app.canvasWidth, h = app.canvasHeight;
    auto pixel = [&](float x, float y) { return pixels[size_t(std::lround(y)) * w + size_t(std::lround(x))]; };
    auto onCanvas = [&](float x, float y) { return x >= 0 && y >= 0 && x <= w - 1 && y <= h - 1; };

    int stray = 0, darker = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint32_t p = pixels[size_t(y) * w + x];
            if (p == 0) continue;
            stray += DistanceToOutline({float(x), float(y)}, outline) > look.reach + 1.0f;
            darker += AlphaOf(p) > AlphaOf(look.full);
        }
    }
    EXPECT_EQ(stray, 0) << what << ": pixels away from the outline";
    EXPECT_EQ(darker, 0) << what << ": pixels stronger than the colour (drawn twice)";

    // The highlighter cuts the open ends square: their last pixel may lie half beyond them.
    std::vector<Point> ends;
    if (kind.shape == StrokeShape::Line || kind.shape == StrokeShape::Arrow) ends = {drag.from, drag.to};
    if (kind.shape == StrokeShape::Arrow) ends = {drag.from, outline[1].a, outline[2].b};
    int holes = 0, checked = 0;
    for (const Segment& s : outline) {
        const float length = std::hypot(s.b.x - s.a.x, s.b.y - s.a.y);
        for (float t = 0.0f; t <= length; t += 1.0f) {
            const float x = s.a.x + (s.b.x - s.a.x) * t / std::max(length, 1.0f);
            const float y = s.a.y + (s.b.y - s.a.y) * t / std::max(length, 1.0f);
            if (!onCanvas(x, y)) continue;
            if (std::any_of(ends.begin(), ends.end(), [&](Point e) { return std::hypot(e.x - x, e.y - y) < 1.5f; })) {
                continue;
            }
            // The pixel nearest the centre line, well inside the line's solid part.
            if (DistanceToOutline({std::round(x), std::round(y)}, outline) > look.solid - 1.0f) continue;
            ++checked;
            holes += pixel(x, y) != look.full;
        }
    }
    EXPECT_GT(checked, 100) << what;
    EXPECT_EQ(holes, 0) << what << ": outline pixels not in the tool's colour";

    int onPath = 0;
    for (const Point& p : path) {
        if (onCanvas(p.x, p.y) && DistanceToOutline(p, outline) > look.reach + 2.0f) onPath += pixel(p.x, p.y) != 0;
    }
    EXPECT_EQ(onPath, 0) << what << ": ink along the path of the hand";

    const Point centre = {(drag.from.x + drag.to.x) / 2, (drag.from.y + drag.to.y) / 2};
    if (kind.shape == StrokeShape::Rectangle || kind.shape == StrokeShape::Ellipse) {
        EXPECT_EQ(pixel(centre.x, centre.y), 0u) << what << ": filled";
    }
    if (kind.shape == StrokeShape::Arrow) {
        // Along each head stroke: ink at the release end, none where a head at the press end would be.
        Point left, right, backLeft, backRight;
        ArrowHead(drag.from, drag.to, HeadLength(look) * 0.5f, left, right);
        ArrowHead(drag.to, drag.from, HeadLength(look) * 0.8f, backLeft, backRight);
        for (const Point& p : {left, right}) {
            if (onCanvas(p.x, p.y)) {
                EXPECT_EQ(pixel(p.x, p.y), look.full) << what << ": no head at the release end";
            }
        }
        for (const Point& p : {backLeft, backRight}) {
            if (onCanvas(p.x, p.y)) {
                EXPECT_EQ(pixel(p.x, p.y), 0u) << what << ": a head at the press end";
            }
        }
    }
}

TEST_F(Shapes, EachShapeOfEachToolLiesWhereItsGeometrySaysAndIsCommittedAsShown) {
    const Drag drags[] = {
        {"down to the right", {120, 90}, {430, 310}},
        {"up to the left", {430, 310}, {120, 90}},
        {"off the canvas's edge", {470, 330}, {700, 560}},
    };
    for (const ShapeKind& kind : SHAPES) {
        for (const ToolLook& look : TOOLS) {
            for (const Drag& drag : drags) {
                const std::string what = std::string(kind.name) + " of the " + look.name + ", " + drag.name;
                ResetAppForTest();
                app.currentTool = look.tool;
                const std::vector<Point> path = WigglyPath(drag.from, drag.to);
                PressAndDrag(kind.keys, drag.from, path);
                ASSERT_TRUE(app.drawing) << what;
                EXPECT_EQ(NonZero(InkPixels()), 0) << what << ": in the ink layer before the release";
                const std::vector<uint32_t> live = FrameCopy();
                EndStroke();
                EXPECT_TRUE(FrameCopy() == live) << what << ": the release shows other pixels than the drag";

                const bool laser = look.tool == Laser;
                ASSERT_EQ(app.history.size(), laser ? 0u : 1u) << what;
                ASSERT_EQ(app.laserTrails.size(), laser ? 1u : 0u) << what;
                const Stroke& stroke = laser ? app.laserTrails.back() : app.history.back();
                EXPECT_EQ(stroke.shape, kind.shape) << what;
                ASSERT_EQ(stroke.points.size(), 2u) << what;
                EXPECT_EQ(stroke.points[0].x, drag.from.x) << what;
                EXPECT_EQ(stroke.points[1].y, drag.to.y) << what;

                const std::vector<uint32_t> layer = laser ? TrailPixels() : InkPixels();
                ExpectShapePixels(layer, kind, look, drag, path, what);
                int outside = 0;
                const DirtyRect area = StrokeArea(stroke);
                for (int y = 0; y < app.canvasHeight; ++y) {
                    for (int x = 0; x < app.canvasWidth; ++x) {
                        const bool in = x >= area.left && x < area.right && y >= area.top && y < area.bottom;
                        outside += !in && layer[size_t(y) * app.canvasWidth + x] != 0;
                    }
                }
                EXPECT_EQ(outside, 0) << what << ": pixels outside the stroke's area";
                if (laser) {
                    RebuildTrailLayer();
                    EXPECT_TRUE(TrailPixels() == layer) << what << ": trail layer differs from a redraw";
                } else {
                    EXPECT_EQ(DifferenceFromReplay(), 0) << what;
                    UndoLastStroke();
                    EXPECT_EQ(NonZero(InkPixels()), 0) << what << ": left after one undo";
                }
            }
        }
    }
}

// Over ink, the shape overwrites what was there; one undo puts exactly that back.
TEST_F(Shapes, OneUndoTakesAShapeAwayWholeAndGivesBackTheInkUnderIt) {
    for (const ShapeKind& kind : SHAPES) {
        for (ToolKind tool : {Pen, Highlighter}) {
            const std::string what = std::string(kind.name) + (tool == Pen ? " of the pen" : " of the highlighter");
            ResetAppForTest();
            app.colourIndex = 4;
            app.widthIndex = 2;
            BeginStroke(80, 60, 0.9f);
            for (int i = 1; i <= 30; ++i) ExtendStroke(80.0f + 15 * i, 60.0f + 10 * i + 20 * std::sin(i * 0.5f), 0.9f);
            EndStroke();
            const std::vector<uint32_t> before = InkPixels();

            app.currentTool = tool;
            app.colourIndex = 2;
            PressAndDrag(kind.keys, {100, 100}, WigglyPath({100, 100}, {420, 330}));
            EndStroke();
            ASSERT_EQ(app.history.size(), 2u) << what;
            EXPECT_TRUE(InkPixels() != before) << what;
            EXPECT_EQ(DifferenceFromReplay(), 0) << what;
            UndoLastStroke();
            EXPECT_TRUE(InkPixels() == before) << what;
            EXPECT_EQ(DifferenceFromReplay(), 0) << what << ": after the undo";
        }
    }
}

TEST_F(Shapes, APressAndReleaseAtOnePointIsTheDotAClickDraws) {
    for (const ShapeKind& kind : SHAPES) {
        for (const ToolLook& look : TOOLS) {
            const std::string what = std::string(kind.name) + " of the " + look.name;
            ResetAppForTest();
            app.currentTool = look.tool;
            BeginStroke(250, 200, 0.5f);
            EndStroke();
            const std::vector<uint32_t> click = look.tool == Laser ? TrailPixels() : InkPixels();
            const std::vector<uint32_t> clickFrame = FrameCopy();

            ResetAppForTest();
            app.currentTool = look.tool;
            // Away and back again before the release.
            PressAndDrag(kind.keys, {250, 200}, WigglyPath({250, 200}, {250, 200}));
            EndStroke();
            EXPECT_TRUE((look.tool == Laser ? TrailPixels() : InkPixels()) == click) << what;
            EXPECT_TRUE(FrameCopy() == clickFrame) << what;
            const Stroke& stroke = look.tool == Laser ? app.laserTrails.back() : app.history.back();
            EXPECT_EQ(stroke.shape, StrokeShape::Freehand) << what;
            EXPECT_EQ(stroke.points.size(), 1u) << what;
        }
    }
}

TEST_F(Shapes, WithoutAKeyTheStrokeFollowsTheHandAndTheEraserAlwaysDoes) {
    struct Case {
        const char* name;
        ToolKind tool;
        Keys atPress;
        Keys duringDrag;
    };
    const Case cases[] = {
        {"pen without a key", Pen, NO_KEYS, NO_KEYS},
        {"pen with Ctrl held only after the press", Pen, NO_KEYS, {true, true, true}},
        {"eraser with Ctrl held", Eraser, {true, false, false}, NO_KEYS},
        {"eraser with Tab held", Eraser, {false, false, true}, NO_KEYS},
    };
    for (const Case& c : cases) {
        ResetAppForTest();
        app.currentTool = c.tool;
        const std::vector<Point> path = WigglyPath({100, 100}, {500, 300});
        Hold(c.atPress);
        BeginStroke(100, 100, 0.5f);
        Hold(c.duringDrag);
        for (const Point& p : path) ExtendStroke(p.x, p.y, 0.5f);
        EndStroke();
        Hold(NO_KEYS);
        ASSERT_EQ(app.history.size(), 1u) << c.name;
        EXPECT_EQ(app.history[0].shape, StrokeShape::Freehand) << c.name;
        EXPECT_EQ(app.history[0].points.size(), path.size() + 1) << c.name;
    }
}

TEST_F(Shapes, TheKeysHeldAtThePressChooseTheShape) {
    struct Case {
        Keys keys;
        StrokeShape shape;
    };
    const Case cases[] = {
        {NO_KEYS, StrokeShape::Freehand},
        {{false, true, false}, StrokeShape::Line},
        {{true, false, false}, StrokeShape::Rectangle},
        {{false, false, true}, StrokeShape::Ellipse},
        {{true, true, false}, StrokeShape::Arrow},
        {{true, true, true}, StrokeShape::Arrow},
    };
    for (const Case& c : cases) {
        ResetAppForTest();
        Hold(c.keys);
        BeginStroke(100, 100, 0.5f);
        EXPECT_EQ(app.currentStroke.shape, c.shape) << c.keys.ctrl << c.keys.shift << c.keys.tab;
        EndStroke();
    }
}

// The keyboard's own state counts: a pen gives the overlay no focus, so the thread's may be stale.
TEST_F(Shapes, TheMouseAndThePenReadTheKeyboardAsItIsNotAsTheThreadSawIt) {
    BYTE saved[256], stale[256];
    GetKeyboardState(saved);
    std::copy(saved, saved + 256, stale);
    stale[VK_CONTROL] = stale[VK_LCONTROL] = 0x80;
    SetKeyboardState(stale);

    SendMessageW(app.overlayWindow, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, MAKELPARAM(100, 100));
    SendMessageW(app.overlayWindow, WM_MOUSEMOVE, MK_LBUTTON | MK_CONTROL, MAKELPARAM(300, 220));
    SendMessageW(app.overlayWindow, WM_LBUTTONUP, MK_CONTROL, MAKELPARAM(300, 220));
    SetKeyboardState(saved);
    ASSERT_EQ(app.history.size(), 1u);
    EXPECT_EQ(app.history[0].shape, StrokeShape::Freehand);

    Hold({true, false, false});
    SendMessageW(app.overlayWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
    Hold(NO_KEYS);
    SendMessageW(app.overlayWindow, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(300, 220));
    SendMessageW(app.overlayWindow, WM_LBUTTONUP, 0, MAKELPARAM(300, 220));
    ASSERT_EQ(app.history.size(), 2u);
    EXPECT_EQ(app.history[1].shape, StrokeShape::Rectangle);
}

// Fake pen functions for the pointer messages: the pen presses hard at first, then lightly.
UINT32 penPressure = 1024;
BOOL WINAPI FakePointerType(UINT32, POINTER_INPUT_TYPE* type) {
    *type = PT_PEN;
    return TRUE;
}
BOOL WINAPI FakePenInfo(UINT32, POINTER_PEN_INFO* info) {
    *info = {};
    info->penMask = PEN_MASK_PRESSURE;
    info->pressure = penPressure;
    return TRUE;
}

TEST_F(Shapes, APenShapeKeepsTheWidthOfThePressWhateverThePressureDoesAfter) {
    const GetPointerTypeFn savedType = app.pGetPointerType;
    const GetPointerPenInfoFn savedInfo = app.pGetPointerPenInfo;
    app.pGetPointerType = FakePointerType;
    app.pGetPointerPenInfo = FakePenInfo;
    auto send = [](UINT message, WPARAM flags, int x, int y) {
        SendMessageW(app.overlayWindow, message, MAKEWPARAM(2, flags),
                     MAKELPARAM(x + app.canvasLeft, y + app.canvasTop));
    };
    const WPARAM contact = POINTER_MESSAGE_FLAG_INCONTACT | POINTER_MESSAGE_FLAG_FIRSTBUTTON;
    penPressure = 1024;
    Hold({false, true, false});
    send(WM_POINTERDOWN, contact, 100, 200);
    Hold(NO_KEYS);
    penPressure = 100;
    for (int x = 120; x <= 500; x += 20) send(WM_POINTERUPDATE, contact, x, 200 + (x % 60) - 30);
    send(WM_POINTERUPDATE, contact, 500, 200);
    send(WM_POINTERUP, 0, 500, 200);
    app.pGetPointerType = savedType;
    app.pGetPointerPenInfo = savedInfo;

    ASSERT_EQ(app.history.size(), 1u);
    const Stroke& line = app.history[0];
    EXPECT_EQ(line.shape, StrokeShape::Line);
    for (const InkPoint& point : line.points) EXPECT_EQ(point.pressure, 1.0f);
    // At full pressure the pen is 1.2 x 6 = 7.2 px wide all along: rows 197 to 203 at every column.
    for (int x : {130, 300, 470}) {
        int thickness = 0;
        for (int y = 190; y <= 210; ++y) thickness += AlphaOf(InkPixel(x, y)) > 127;
        EXPECT_EQ(thickness, 7) << "column " << x;
    }
}

TEST_F(Shapes, AShortArrowStillHasItsWholeHeadAndAReplayDrawsTheHeadItWasDrawnWith) {
    app.displayDpi = 192;  // twice the length of the head's 8 px, and of the width
    PressAndDrag({true, true, false}, {300, 200}, {{302, 203}, {304, 200}});
    EndStroke();
    ASSERT_EQ(app.history.size(), 1u);
    const float lineWidth = 0.85f * 2 * WIDTH;
    EXPECT_FLOAT_EQ(app.history[0].headLength, 3.0f * lineWidth + 16.0f);
    // Far beyond the 4 px shaft, along both head strokes.
    Point left, right;
    ArrowHead({300, 200}, {304, 200}, app.history[0].headLength - lineWidth, left, right);
    EXPECT_EQ(InkPixel(int(std::lround(left.x)), int(std::lround(left.y))), RED);
    EXPECT_EQ(InkPixel(int(std::lround(right.x)), int(std::lround(right.y))), RED);

    const std::vector<uint32_t> drawn = InkPixels();
    app.displayDpi = 96;
    RebuildInkLayer();
    EXPECT_TRUE(InkPixels() == drawn);
}

// Each move redraws and composes strips along the old and the new outline, not the rectangle
// around them: a big rectangle moved by a few pixels recomposes a small part of its area.
TEST_F(Shapes, AMoveComposesOnlyAlongTheOutlines) {
    PressAndDrag({true, false, false}, {40, 40}, {{300, 200}, {600, 440}});
    ForgetPushes();
    const uint32_t sentinel = 0x12345678;
    FillFrame(sentinel);
    ExtendStroke(603, 437, 0.5f);
    const int composed = CountFramePixelsNot(sentinel);
    EXPECT_GT(composed, 2 * 560 * 8);
    EXPECT_LT(composed, 560 * 400 / 8);
    // Every pixel the old and the new rectangle cover is composed again.
    const std::vector<uint32_t> frame = FrameCopy();
    PresentRegion(WholeCanvas());
    int stale = 0;
    for (size_t i = 0; i < frame.size(); ++i) stale += frame[i] != sentinel && frame[i] != app.frameBits[i];
    EXPECT_EQ(stale, 0);
    for (const Point& p : std::vector<Point>{{40, 200}, {300, 40}, {603, 300}, {300, 437}}) {
        EXPECT_EQ(FramePixel(int(p.x), int(p.y)), RED) << p.x << "," << p.y;
    }
    EXPECT_NE(FramePixel(600, 300), RED) << "the old right edge is gone";
    EndStroke();
}

TEST_F(Shapes, AClearDuringADragLetsTheShapeGoOnFromWhereThePointerIs) {
    PressAndDrag({true, false, false}, {50, 50}, {{200, 150}, {300, 250}});
    ClearAll();
    const uint32_t ground = FramePixel(5, 5);
    for (const Point& p : std::vector<Point>{{50, 150}, {200, 50}, {300, 150}, {200, 250}}) {
        EXPECT_EQ(FramePixel(int(p.x), int(p.y)), ground) << "the shape is cleared with the ink at " << p.x << "," << p.y;
    }
    ExtendStroke(400, 300, 0.5f);
    EndStroke();
    ASSERT_EQ(app.history.size(), 1u);
    EXPECT_EQ(app.history[0].points[0].x, 300.0f);
    EXPECT_EQ(app.history[0].points[1].x, 400.0f);
    EXPECT_EQ(InkPixel(60, 50), 0u);
    EXPECT_EQ(InkPixel(350, 250), RED);
    EXPECT_EQ(DifferenceFromReplay(), 0);
}

TEST_F(Shapes, AShapeDraggedWhileTheCanvasGrowsIsCommittedAsAReplayDrawsIt) {
    TestCanvasRestorer restorer;
    app.currentTool = Highlighter;
    PressAndDrag({false, false, true}, {400, 300}, {{500, 400}, {600, 460}});
    app.canvasWidth = 800;
    app.canvasHeight = 600;
    ApplyCanvasGeometry();
    ExtendStroke(760, 560, 0.5f);
    const std::vector<uint32_t> live = FrameCopy();
    EndStroke();
    EXPECT_TRUE(FrameCopy() == live);
    EXPECT_EQ(DifferenceFromReplay(), 0);
    UndoLastStroke();
    EXPECT_EQ(NonZero(InkPixels()), 0);
}

// The rects along an outline are where a shape is cleared, drawn and composed: a pixel within reach
// that they miss would keep an old shape on the screen, and one they held twice would be drawn twice.
TEST(ShapeCovers, HoldEveryPixelWithinReachOfTheOutlineOnceAndLittleElse) {
    struct Case {
        const char* name;
        std::vector<OutlinePiece> outline;
        float reach;
    };
    const Case cases[] = {
        {"level", {{20.5f, 40.0f, 300.0f, 40.0f}}, 3.55f},
        {"upright", {{50.0f, 10.0f, 50.0f, 200.0f}}, 3.55f},
        {"slanting", {{10.0f, 10.0f, 290.0f, 190.0f}}, 10.0f},
        {"a point", {{100.0f, 100.0f, 100.0f, 100.0f}}, 7.0f},
        {"corner", {{30.0f, 30.0f, 250.0f, 30.0f}, {30.0f, 30.0f, 30.0f, 180.0f}}, 5.0f},
        {"beyond the edges", {{-40.0f, 150.0f, 400.0f, 260.0f}}, 8.8f},
    };
    const DirtyRect within = {0, 0, 320, 240};
    for (const Case& c : cases) {
        for (int32_t band : {16, 64}) {
            const std::vector<DirtyRect> cover = OutlineCover(c.outline, c.reach, band, within);
            std::vector<int> held(size_t(within.right) * within.bottom, 0);
            for (const DirtyRect& r : cover) {
                ASSERT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= within.right && r.bottom <= within.bottom) << c.name;
                EXPECT_EQ(r.top / band, (r.bottom - 1) / band) << c.name << ": a rect across two bands";
                for (int y = r.top; y < r.bottom; ++y) {
                    for (int x = r.left; x < r.right; ++x) ++held[size_t(y) * within.right + x];
                }
            }
            int missed = 0, twice = 0, needed = 0, total = 0;
            for (int y = 0; y < within.bottom; ++y) {
                for (int x = 0; x < within.right; ++x) {
                    float nearest = 1e9f;
                    for (const OutlinePiece& p : c.outline) {
                        nearest = std::min(nearest, Distance({float(x), float(y)}, {{p.x0, p.y0}, {p.x1, p.y1}}));
                    }
                    const int n = held[size_t(y) * within.right + x];
                    needed += nearest <= c.reach;
                    missed += nearest <= c.reach && n == 0;
                    twice += n > 1;
                    total += n;
                }
            }
            EXPECT_EQ(missed, 0) << c.name << ", bands of " << band;
            EXPECT_EQ(twice, 0) << c.name << ", bands of " << band;
            EXPECT_LT(total, 4 * needed + 64 * band) << c.name << ", bands of " << band;

            // United with itself moved a little: still every pixel of both once.
            std::vector<DirtyRect> moved = cover;
            for (DirtyRect& r : moved) {
                r.left = std::min(r.left + 3, within.right - 1);
                r.right = std::min(r.right + 3, within.right);
            }
            std::vector<int> both(held.size(), 0), want(held.size(), 0);
            for (const std::vector<DirtyRect>* part : {&cover, static_cast<const std::vector<DirtyRect>*>(&moved)}) {
                for (const DirtyRect& r : *part) {
                    for (int y = r.top; y < r.bottom; ++y) {
                        for (int x = r.left; x < r.right; ++x) want[size_t(y) * within.right + x] = 1;
                    }
                }
            }
            for (const DirtyRect& r : UniteCovers(cover, moved, band)) {
                for (int y = r.top; y < r.bottom; ++y) {
                    for (int x = r.left; x < r.right; ++x) ++both[size_t(y) * within.right + x];
                }
            }
            EXPECT_TRUE(both == want) << c.name << ", bands of " << band << ": the union";
        }
    }
}

}  // namespace
