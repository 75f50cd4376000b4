#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "app/frame_step.h"
#include "app/startup.h"
#include "ink/ink_floor.h"
#include "ink/ink_origin.h"
#include "ink/pixel_compose.h"
#include "ink/renderer.h"
#include "ink/undo_clear.h"
#include "input/capture.h"
#include "input/laser_fade.h"
#include "support/pixels.h"
#include "support/test_app.h"

// The canvas origin moving left and up under the ink, as when a monitor is added left of or above
// the others: on the test program's real surfaces the ink must keep its place on the desktop, stay a
// replay of the history, and every undo and redo afterwards must give the picture of its step, moved.
namespace {

using Picture = std::vector<uint32_t>;

// ---- Strokes, drawn through capture as the user draws them; samples are whole pixels as input gives ----

bool ctrlDown = false, shiftDown = false, tabDown = false;

SHORT WINAPI FakeAsyncKeyState(int key) {
    const bool down = (key == VK_CONTROL && ctrlDown) || (key == VK_SHIFT && shiftDown) || (key == VK_TAB && tabDown);
    return down ? SHORT(0x8000) : SHORT(0);
}

// The keys held at the press make the stroke a shape.
enum class Held { None, Line, Rectangle, Ellipse, Arrow };

void Hold(Held held) {
    ctrlDown = held == Held::Rectangle || held == Held::Arrow;
    shiftDown = held == Held::Line || held == Held::Arrow;
    tabDown = held == Held::Ellipse;
}

struct StrokeScript {
    const char* name;
    ToolKind tool;
    Held held;
    std::vector<InkPoint> samples;
};

std::vector<InkPoint> Wave(int x, int y, int count, int step) {
    std::vector<InkPoint> samples;
    for (int i = 0; i < count; ++i) {
        samples.push_back({float(x + step * i), std::round(float(y) + 30.0f * std::sin(i * 0.5f)),
                           0.4f + 0.3f * std::sin(i * 0.7f)});
    }
    return samples;
}

std::vector<InkPoint> WaveAndBack(int x, int y, int count, int step, InkPoint back) {
    std::vector<InkPoint> samples = Wave(x, y, count, step);
    samples.push_back(back);
    return samples;
}

InkPoint Moved(const InkPoint& point, int dx, int dy) { return {point.x + float(dx), point.y + float(dy), point.pressure}; }

void Begin(const StrokeScript& script, int dx = 0, int dy = 0) {
    app.currentTool = script.tool;
    app.widthIndex = 2;
    app.colourIndex = int(script.name[0]) % 8;
    Hold(script.held);
    const InkPoint first = Moved(script.samples[0], dx, dy);
    BeginStroke(first.x, first.y, first.pressure);
    Hold(Held::None);
}

void Extend(const std::vector<InkPoint>& samples, size_t from, int dx = 0, int dy = 0) {
    for (size_t i = from; i < samples.size(); ++i) {
        const InkPoint sample = Moved(samples[i], dx, dy);
        ExtendStroke(sample.x, sample.y, sample.pressure);
    }
}

void Draw(const StrokeScript& script) {
    Begin(script);
    Extend(script.samples, 1);
    EndStroke();
}

// ---- Pictures ----

int InkedPixels(const Picture& picture) {
    int inked = 0;
    for (uint32_t pixel : picture) inked += pixel != 0;
    return inked;
}

// A picture of the canvas (width x height), larger by dx columns on the left and dy rows on the top,
// its pixels moved by (dx, dy).
Picture MovedPicture(const Picture& old, int width, int height, int dx, int dy) {
    Picture moved(size_t(width + dx) * size_t(height + dy), 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) moved[size_t(y + dy) * size_t(width + dx) + size_t(x + dx)] = old[size_t(y) * width + x];
    }
    return moved;
}

Picture LayerPicture(const PixelLayer& layer) {
    return Picture(layer.bits, layer.bits + size_t(layer.width) * size_t(layer.height));
}

// Pixels of the frame, as it stands, that differ from the ink layer composed over the ground.
int FrameDifferenceFromInk() {
    Picture reference(size_t(app.canvasWidth) * app.canvasHeight);
    const ComposeLayer ink = {&app.inkPixels, 255};
    ComposePixelsScalar(reference.data(), app.canvasWidth, WholeCanvas(), 0x01000000, &ink, 1);
    int wrong = 0;
    for (size_t i = 0; i < reference.size(); ++i) wrong += reference[i] != app.frameBits[i];
    return wrong;
}

// The origin moved as the display-change path moves it: the ink first, then the canvas by (-dx, -dy),
// larger by as much, and the surfaces fitted to it.
void MoveCanvasOrigin(int dx, int dy) {
    MoveInkOrigin(dx, dy);
    app.canvasLeft -= dx;
    app.canvasTop -= dy;
    app.canvasWidth += dx;
    app.canvasHeight += dy;
    ApplyCanvasGeometry();
}

// Back to the test program's canvas position after a test that moved the origin (its size is put
// back by TestCanvasRestorer, declared before this one).
struct CanvasPlaceRestorer {
    ~CanvasPlaceRestorer() {
        app.canvasLeft = 1;
        app.canvasTop = 1;
    }
};

struct Move {
    int dx, dy;
};
const Move MOVES[] = {{64, 0}, {0, 128}, {1280, 0}, {640, 704}};

std::string Named(const Move& move) { return "moved by " + std::to_string(move.dx) + "," + std::to_string(move.dy); }

class InkOrigin : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartTestApp(); }
    void SetUp() override {
        ResetAppForTest();
        app.pGetAsyncKeyState = FakeAsyncKeyState;
    }
    void TearDown() override {
        Hold(Held::None);
        app.pGetAsyncKeyState = &GetAsyncKeyState;
    }
};

// Every tool and shape inside the canvas, a pen and an eraser running through them.
const StrokeScript BEFORE_THE_CLEAR[] = {
    {"pen wave", Pen, Held::None, Wave(40, 120, 40, 13)},
    {"highlighter across it", Highlighter, Held::None, Wave(60, 150, 30, 15)},
    {"eraser through both", Eraser, Held::None, Wave(30, 110, 35, 14)},
    {"pen line", Pen, Held::Line, {{100, 300, 0.8f}, {520, 250, 0.8f}}},
    {"highlighter rectangle", Highlighter, Held::Rectangle, {{80, 200, 0.5f}, {400, 420, 0.5f}}},
    {"pen ellipse", Pen, Held::Ellipse, {{300, 80, 0.6f}, {590, 330, 0.6f}}},
    {"pen arrow", Pen, Held::Arrow, {{500, 440, 0.5f}, {200, 360, 0.5f}}},
    {"pen click", Pen, Held::None, {{610, 40, 0.9f}}},
};
const StrokeScript AFTER_THE_CLEAR[] = {
    {"pen after the clear", Pen, Held::None, Wave(50, 260, 45, 12)},
    {"eraser after the clear", Eraser, Held::None, Wave(100, 240, 20, 20)},
    {"highlighter ellipse after the clear", Highlighter, Held::Ellipse, {{150, 150, 0.5f}, {450, 400, 0.5f}}},
    {"pen arrow after the clear", Pen, Held::Arrow, {{60, 60, 0.5f}, {400, 300, 0.5f}}},
};

// Strokes of every tool and shape, a kept clear, two strokes undone and waiting for redo, and a laser
// trail; the origin moves (once made compact, the clear; or still holding the layer it took). Then
// everything is redone, undone back to the empty canvas and redone again.
TEST_F(InkOrigin, TheInkAndEveryStepOfUndoAndRedoKeepTheirPlace) {
    for (const Move& move : MOVES) {
        for (bool compacted : {false, true}) {
            TestCanvasRestorer restorer;
            CanvasPlaceRestorer place;
            ResetAppForTest();
            const std::string where = Named(move) + (compacted ? ", the clear compact" : ", the clear not compact");
            std::vector<Picture> before, redone;  // as in the undo and redo tests
            for (const StrokeScript& script : BEFORE_THE_CLEAR) {
                before.push_back(InkPixels());
                Draw(script);
            }
            before.push_back(InkPixels());
            ClearAll();
            for (const StrokeScript& script : AFTER_THE_CLEAR) {
                before.push_back(InkPixels());
                Draw(script);
            }
            for (int i = 0; i < 2; ++i) {
                redone.push_back(InkPixels());
                UndoLastStroke();
                before.pop_back();
            }
            Draw({"laser", Laser, Held::None, Wave(80, 400, 20, 20)});
            ASSERT_EQ(app.laserTrails.size(), 1u);
            if (compacted) RunFrameStep();
            ASSERT_EQ(app.clears.size(), 1u);
            ASSERT_EQ(app.clears[0].taken.bits != nullptr, !compacted);

            const int width = app.canvasWidth, height = app.canvasHeight;
            auto moved = [&](const Picture& picture) { return MovedPicture(picture, width, height, move.dx, move.dy); };
            const Picture shown = InkPixels();
            const Picture trail = LayerPicture(app.trailPixels);
            MoveCanvasOrigin(move.dx, move.dy);
            ASSERT_EQ(app.inkPixels.width, width + move.dx) << where;
            ASSERT_EQ(app.inkPixels.height, height + move.dy) << where;
            EXPECT_TRUE(InkPixels() == moved(shown)) << where;
            EXPECT_TRUE(LayerPicture(app.trailPixels) == moved(trail)) << where << ": the laser trail";
            // The end of the fade takes the trail away where it now lies.
            app.laserPhase = 2;
            app.laserFadeStart = GetTickCount() - 10 * LASER_HOLD_MS;
            LaserFadeTimerProc(app.overlayWindow, WM_TIMER, LASER_TIMER_ID, 0);
            EXPECT_TRUE(app.laserTrails.empty()) << where;
            EXPECT_EQ(InkedPixels(LayerPicture(app.trailPixels)), 0) << where << ": the trail faded away";
            EXPECT_EQ(FrameDifferenceFromInk(), 0) << where << ": the trail faded away";
            EXPECT_EQ(DifferenceFromReplay(), 0) << where;
            for (Picture& picture : before) picture = moved(picture);
            for (Picture& picture : redone) picture = moved(picture);

            while (!redone.empty()) {
                before.push_back(InkPixels());
                RedoLastUndo();
                EXPECT_TRUE(InkPixels() == redone.back()) << where << ": redo " << redone.size();
                EXPECT_EQ(DifferenceFromReplay(), 0) << where << ": redo " << redone.size();
                redone.pop_back();
            }
            while (!before.empty()) {
                redone.push_back(InkPixels());
                UndoLastStroke();
                EXPECT_TRUE(InkPixels() == before.back()) << where << ": undo back to step " << before.size();
                EXPECT_EQ(DifferenceFromReplay(), 0) << where << ": undo back to step " << before.size();
                before.pop_back();
            }
            EXPECT_EQ(InkedPixels(InkPixels()), 0) << where;
            EXPECT_TRUE(app.clears.empty() && app.history.empty()) << where;
            while (!redone.empty()) {
                RedoLastUndo();
                EXPECT_TRUE(InkPixels() == redone.back()) << where << ": redo again " << redone.size();
                redone.pop_back();
            }
            EXPECT_EQ(DifferenceFromReplay(), 0) << where;
        }
    }
}

// A stroke in progress while the origin moves, over ink: it goes on at the samples' new places and
// is committed as a replay draws it; its undo gives back the picture from before it, moved. A pen or
// eraser that began beyond the left or top edge shows at once the part it had drawn there.
TEST_F(InkOrigin, AStrokeInProgressGoesOnAndIsCommittedAtItsNewPlace) {
    struct Case {
        StrokeScript stroke;
        size_t samplesBefore;  // drawn before the move; the rest after it
        InkPoint beyondEdge;   // a point of its ink beyond the old canvas, or (0, 0)
    };
    const Case cases[] = {
        {{"pen", Pen, Held::None, Wave(200, 200, 20, 15)}, 8, {}},
        {{"eraser over ink", Eraser, Held::None, Wave(120, 215, 25, 15)}, 10, {}},
        {{"highlighter turning back", Highlighter, Held::None, WaveAndBack(150, 300, 15, 20, {100, 140, 0.5f})}, 15, {}},
        {{"pen rectangle", Pen, Held::Rectangle, {{120, 100, 0.5f}, {300, 260, 0.5f}, {420, 330, 0.5f}}}, 2, {}},
        {{"pen from beyond the left edge", Pen, Held::None, Wave(-90, 170, 20, 15)}, 8, {-45, 200, 0}},
        {{"eraser from beyond the top edge", Eraser, Held::None, {{150, -70, 0.5f}, {160, 60, 0.5f}, {300, 150, 0.5f}}},
         2, {}},
    };
    const Move move = {64, 128};
    for (const Case& c : cases) {
        TestCanvasRestorer restorer;
        CanvasPlaceRestorer place;
        ResetAppForTest();
        const std::string where = c.stroke.name;
        // Far enough from the edges that no stroke was cut off there: what was kept of the ink under
        // the stroke in progress still holds for its undo.
        Draw({"pen wave", Pen, Held::None, Wave(140, 200, 25, 13)});
        Draw({"highlighter across it", Highlighter, Held::None, Wave(160, 230, 20, 15)});
        const int width = app.canvasWidth, height = app.canvasHeight;
        const Picture beforeStroke = MovedPicture(InkPixels(), width, height, move.dx, move.dy);

        Begin(c.stroke);
        Extend(std::vector<InkPoint>(c.stroke.samples.begin(), c.stroke.samples.begin() + ptrdiff_t(c.samplesBefore)), 1);
        MoveCanvasOrigin(move.dx, move.dy);
        if (c.beyondEdge.x != 0.0f) {
            const InkPoint at = Moved(c.beyondEdge, move.dx, move.dy);
            EXPECT_NE(InkPixel(int(at.x), int(at.y)), 0u) << where << ": the part beyond the old edge";
        }
        Extend(c.stroke.samples, c.samplesBefore, move.dx, move.dy);
        EndStroke();
        ASSERT_EQ(app.history.size(), 3u) << where;
        EXPECT_EQ(FrameDifferenceFromInk(), 0) << where << ": the committed stroke is shown";
        EXPECT_EQ(DifferenceFromReplay(), 0) << where;
        UndoLastStroke();
        EXPECT_TRUE(InkPixels() == beforeStroke) << where << ": undone";
        RedoLastUndo();
        EXPECT_EQ(DifferenceFromReplay(), 0) << where << ": redone";
    }
}

// Strokes that ran beyond the canvas's left or top edge were cut off there; once the origin moves,
// their cut-off parts lie on the canvas and are drawn. Undo, also of a clear, must take them away
// and give them back as a replay draws them, down to the empty canvas.
TEST_F(InkOrigin, InkOnceBeyondTheLeftAndTopEdgesIsDrawnAndUndoneExactly) {
    const StrokeScript beforeClear[] = {
        {"pen from beyond the left edge", Pen, Held::None, Wave(-150, 100, 30, 12)},
        {"highlighter from above the top edge", Highlighter, Held::None, {{100, -90, 0.5f}, {130, 200, 0.5f}}},
        {"eraser beyond the left edge over the pen", Eraser, Held::None, {{-60, 110, 0.5f}, {60, 120, 0.5f}}},
        {"pen ellipse beyond the top-left corner", Pen, Held::Ellipse, {{-80, -60, 0.5f}, {100, 90, 0.5f}}},
        {"pen over them, inside", Pen, Held::None, Wave(20, 90, 20, 12)},
        // Cut off at the left edge, this eraser leaves a pixel of the pen that it takes when drawn whole.
        {"pen along the top", Pen, Held::None, {{5, 81, 0.5f}, {200, 81, 0.5f}}},
        {"eraser cut at the left edge", Eraser, Held::None, {{-13, 100, 0.5f}, {60, 177, 0.5f}}},
    };
    const StrokeScript afterClear[] = {
        {"pen from above the top edge after the clear", Pen, Held::None, {{500, -40, 0.5f}, {560, 200, 0.5f}}},
        {"pen beyond the left edge after the clear", Pen, Held::None, Wave(-100, 300, 30, 12)},
        {"highlighter arrow from beyond the left edge", Highlighter, Held::Arrow, {{-120, 350, 0.5f}, {200, 380, 0.5f}}},
        {"eraser across it", Eraser, Held::None, {{-40, 280, 0.5f}, {80, 400, 0.5f}}},
        {"pen along the bottom", Pen, Held::None, {{5, 421, 0.5f}, {200, 421, 0.5f}}},
        {"eraser cut at the left edge after the clear", Eraser, Held::None, {{-13, 440, 0.5f}, {60, 517, 0.5f}}},
        {"pen inside", Pen, Held::None, Wave(300, 200, 10, 10)},
    };
    const struct {
        Move move;
        InkPoint shown;    // a point of the pen from beyond the left edge after the clear
        InkPoint cleared;  // and of the one before the clear
    } cases[] = {{{64, 0}, {-52, 327, 0}, {-54, 77, 0}},
                 {{0, 64}, {500, -40, 0}, {104, -50, 0}},
                 {{128, 128}, {-100, 300, 0}, {-54, 77, 0}},
                 {{1280, 0}, {-100, 300, 0}, {-150, 100, 0}}};
    for (const auto& c : cases) {
        TestCanvasRestorer restorer;
        CanvasPlaceRestorer place;
        ResetAppForTest();
        const std::string where = Named(c.move);
        for (const StrokeScript& script : beforeClear) Draw(script);
        ClearAll();
        for (const StrokeScript& script : afterClear) Draw(script);
        UndoLastStroke();  // the last pen waits for redo
        RunFrameStep();

        MoveCanvasOrigin(c.move.dx, c.move.dy);
        const InkPoint at = Moved(c.shown, c.move.dx, c.move.dy);
        EXPECT_NE(InkPixel(int(at.x), int(at.y)), 0u) << where << ": the part that was beyond the edge";
        EXPECT_EQ(DifferenceFromReplay(), 0) << where;
        RedoLastUndo();
        EXPECT_EQ(DifferenceFromReplay(), 0) << where << ": the pen redone";
        while (!app.history.empty() || !app.clears.empty()) {
            const size_t steps = app.history.size() + app.clears.size();
            const bool clear = app.history.empty();
            UndoLastStroke();
            if (clear) {
                const InkPoint cleared = Moved(c.cleared, c.move.dx, c.move.dy);
                EXPECT_NE(InkPixel(int(cleared.x), int(cleared.y)), 0u) << where << ": the clear undone";
            }
            EXPECT_EQ(DifferenceFromReplay(), 0) << where << ": undo with " << steps << " steps";
        }
        EXPECT_EQ(InkedPixels(InkPixels()), 0) << where;
        while (!app.redoSteps.empty()) {
            RedoLastUndo();
            EXPECT_EQ(DifferenceFromReplay(), 0) << where << ": redo with " << app.redoSteps.size() << " to go";
        }
    }
}

// Ink the history limit dropped lies in the floor, under every replay: it moves with the ink, also
// when a clear has kept it, across two moves.
TEST_F(InkOrigin, TheInkFloorMovesWithTheInkAlsoInAKeptClear) {
    TestCanvasRestorer restorer;
    CanvasPlaceRestorer place;
    Draw(BEFORE_THE_CLEAR[0]);
    const Stroke filler = MakeStroke(Pen, 3.0f, {{600, 460, 0.5f}}, Palette[6]);
    while (app.history.size() < MAX_HISTORY_STROKES) AppendToHistory(filler);
    {
        Gdiplus::Graphics graphics(app.inkLayer);  // an opaque dot drawn once looks as drawn 4000 times
        DrawStroke(graphics, filler, 1.0f);
    }
    Draw(BEFORE_THE_CLEAR[2]);  // the pen wave leaves the history for the floor
    ASSERT_TRUE(HasInkFloor());
    const int width = app.canvasWidth, height = app.canvasHeight;
    const Picture shown = InkPixels();

    MoveCanvasOrigin(64, 64);
    EXPECT_TRUE(InkPixels() == MovedPicture(shown, width, height, 64, 64));
    EXPECT_EQ(DifferenceFromReplay(), 0);
    ClearAll();
    RunFrameStep();
    MoveCanvasOrigin(128, 0);
    UndoLastStroke();
    EXPECT_TRUE(InkPixels() == MovedPicture(shown, width, height, 192, 64)) << "the clear undone";
    EXPECT_EQ(DifferenceFromReplay(), 0) << "the clear undone";
}

}  // namespace
