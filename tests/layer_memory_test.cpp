// The layer of the stroke in progress has memory only while a stroke drawn live is in progress: from
// its press to whatever ends it. What it shows meanwhile, also across a display change, and what it
// leaves once committed are read back from the real surfaces.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/app_state.h"
#include "app/startup.h"
#include "ink/live_layer.h"
#include "ink/surfaces.h"
#include "ink/undo_clear.h"
#include "input/capture.h"
#include "support/pixels.h"
#include "support/test_app.h"

namespace {

constexpr uint32_t SEE_THROUGH = 0x01000000;

bool ctrlDown = false, shiftDown = false, tabDown = false;

SHORT WINAPI FakeAsyncKeyState(int key) {
    const bool down = (key == VK_CONTROL && ctrlDown) || (key == VK_SHIFT && shiftDown) || (key == VK_TAB && tabDown);
    return down ? SHORT(0x8000) : SHORT(0);
}

struct Keys {
    bool ctrl, shift, tab;
};
constexpr Keys FREEHAND = {false, false, false};
constexpr Keys LINE = {false, true, false};
constexpr Keys RECTANGLE = {true, false, false};
constexpr Keys ELLIPSE = {false, false, true};
constexpr Keys ARROW = {true, true, false};

struct Point {
    float x, y;
};
const std::vector<Point> PATH = {{120, 110}, {180, 140}, {260, 130}, {330, 190}, {380, 260}};

class LayerMemory : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartTestApp(); }
    void SetUp() override {
        ResetAppForTest();
        app.pGetAsyncKeyState = FakeAsyncKeyState;
        Press(FREEHAND);
    }
    void TearDown() override {
        app.pGetAsyncKeyState = &GetAsyncKeyState;
        Press(FREEHAND);
        ResetAppForTest();
    }
    static void Press(const Keys& keys) {
        ctrlDown = keys.ctrl;
        shiftDown = keys.shift;
        tabDown = keys.tab;
    }
};

bool HasMemory(const PixelLayer& layer) { return layer.bits != nullptr; }

bool HasMemoryOfTheInkLayersSize(const PixelLayer& layer) {
    return layer.bits && layer.width == app.inkPixels.width && layer.height == app.inkPixels.height;
}

// The frame's pixels, row after row, at the canvas size of the moment.
std::vector<uint32_t> FrameCopy() {
    return std::vector<uint32_t>(app.frameBits, app.frameBits + size_t(app.canvasWidth) * app.canvasHeight);
}

// Pixels of the top-left width x height part that differ between a frame copied earlier, `before`
// rows of `beforeWidth` pixels, and the frame now, by more than `tolerance` in a channel.
int FrameDifference(const std::vector<uint32_t>& before, int beforeWidth, int width, int height,
                    int tolerance = 0) {
    int differing = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) differing += !Near(FramePixel(x, y), before[size_t(y) * beforeWidth + x], tolerance);
    }
    return differing;
}

// The presents of the samples so far must have composed what one present of the whole canvas does.
int DifferenceFromAWholePresent() {
    const std::vector<uint32_t> shown = FrameCopy();
    PresentRegion(WholeCanvas());
    return FrameDifference(shown, app.canvasWidth, app.canvasWidth, app.canvasHeight);
}

int ShownPixels() {
    const std::vector<uint32_t> frame = FrameCopy();
    return int(std::count_if(frame.begin(), frame.end(), [](uint32_t pixel) { return pixel != SEE_THROUGH; }));
}

// A blue pen line under everything the tests draw, so that what they show lies over ink.
void DrawInkUnder() {
    app.currentTool = Pen;
    app.colourIndex = 4;
    app.widthIndex = 2;
    BeginStroke(100.0f, 150.0f, 0.5f);
    ExtendStroke(420.0f, 150.0f, 0.5f);
    EndStroke();
    app.colourIndex = 0;
    app.widthIndex = 1;
}

void DrawAlong(const std::vector<Point>& path) {
    for (const Point& p : path) ExtendStroke(p.x, p.y, 0.5f);
}

struct StrokeCase {
    const char* name;
    ToolKind tool;
    Keys keys;
    bool drawnLive;
    bool click;  // released where it was pressed, without a move
};
const StrokeCase STROKES[] = {
    {"pen", Pen, FREEHAND, false, false},
    {"eraser", Eraser, FREEHAND, false, false},
    {"eraser with Shift held, which stays freehand", Eraser, LINE, false, false},
    {"highlighter", Highlighter, FREEHAND, true, false},
    {"highlighter click", Highlighter, FREEHAND, true, true},
    {"laser", Laser, FREEHAND, true, false},
    {"pen line", Pen, LINE, true, false},
    {"highlighter rectangle", Highlighter, RECTANGLE, true, false},
    {"highlighter ellipse", Highlighter, ELLIPSE, true, false},
    {"laser arrow", Laser, ARROW, true, false},
};

TEST_F(LayerMemory, AStrokeDrawnLiveHasTheLiveLayerFromItsPressToItsReleaseAndShowsTheSameAfter) {
    for (const StrokeCase& c : STROKES) {
        ResetAppForTest();
        DrawInkUnder();
        EXPECT_FALSE(HasMemory(app.livePixels)) << c.name << ": before the press";
        const int shownBefore = ShownPixels();

        app.currentTool = c.tool;
        Press(c.keys);
        BeginStroke(100.0f, 100.0f, 0.5f);
        Press(FREEHAND);
        if (!c.click) DrawAlong(PATH);
        if (c.drawnLive) {
            EXPECT_TRUE(HasMemoryOfTheInkLayersSize(app.livePixels)) << c.name;
        } else {
            EXPECT_FALSE(HasMemory(app.livePixels)) << c.name;
        }
        EXPECT_NE(ShownPixels(), shownBefore) << c.name << ": the stroke in progress does not show";
        EXPECT_EQ(DifferenceFromAWholePresent(), 0) << c.name;
        const std::vector<uint32_t> during = FrameCopy();

        EndStroke();
        EXPECT_FALSE(HasMemory(app.livePixels)) << c.name << ": after the release";
        EXPECT_EQ(HasMemory(app.trailPixels), c.tool == Laser) << c.name;
        // The eraser is erased again as one polyline at its end, which may move edge pixels. A shape's
        // translucent pixels, composed over the ink while it is dragged and blended into the ink by
        // GDI+ at the release, may round a channel apart by one.
        if (c.tool != Eraser) {
            const int tolerance = c.keys.ctrl || c.keys.shift || c.keys.tab ? 1 : 0;
            EXPECT_EQ(FrameDifference(during, app.canvasWidth, app.canvasWidth, app.canvasHeight, tolerance), 0)
                << c.name << ": the release shows other pixels than the stroke in progress";
        }
        EXPECT_EQ(DifferenceFromAWholePresent(), 0) << c.name;
        EXPECT_EQ(DifferenceFromReplay(), 0) << c.name;
    }
}

TEST_F(LayerMemory, EveryWayAStrokeDrawnLiveEndsGivesTheLiveLayerBack) {
    struct EndCase {
        const char* name;
        void (*end)();
    };
    const EndCase ends[] = {
        {"the release", [] { EndStroke(); }},
        {"a pen pressed during it", [] {
             app.currentTool = Pen;
             BeginStroke(500.0f, 400.0f, 0.5f);
             EXPECT_FALSE(HasMemory(app.livePixels)) << "a pen pressed during it";
             EndStroke();
         }},
        {"a clear during it, then the release", [] {
             ClearAll();
             // The stroke goes on from its newest sample, in the same layer.
             EXPECT_TRUE(HasMemoryOfTheInkLayersSize(app.livePixels)) << "a clear during it";
             ExtendStroke(450.0f, 300.0f, 0.5f);
             EndStroke();
         }},
        {"the surfaces released at shutdown", [] {
             ReleaseSurfaces();
             EXPECT_FALSE(HasMemory(app.trailPixels)) << "the surfaces released at shutdown";
             EXPECT_EQ(app.trailLayer, nullptr) << "the surfaces released at shutdown";
             app.drawing = false;
             CreateSurfaces();
         }},
    };
    for (const EndCase& c : ends) {
        for (ToolKind tool : {Highlighter, Laser}) {
            ResetAppForTest();
            // A trail waiting under the stroke, so that shutdown has both layers to give back.
            app.currentTool = Laser;
            BeginStroke(300.0f, 350.0f, 0.5f);
            EndStroke();
            app.currentTool = tool;
            BeginStroke(100.0f, 100.0f, 0.5f);
            DrawAlong(PATH);
            ASSERT_TRUE(HasMemory(app.livePixels)) << c.name;
            c.end();
            EXPECT_FALSE(HasMemory(app.livePixels)) << c.name << ", tool " << tool;
        }
    }
}

// A layer given back and taken anew for the next stroke holds nothing of the one before.
TEST_F(LayerMemory, AStrokePressedDuringAnotherStartsFromATransparentLiveLayer) {
    for (ToolKind tool : {Highlighter, Laser}) {
        ResetAppForTest();
        app.currentTool = tool;
        BeginStroke(100.0f, 100.0f, 0.5f);
        DrawAlong(PATH);
        BeginStroke(500.0f, 400.0f, 0.5f);
        ASSERT_TRUE(HasMemory(app.livePixels));
        const PixelLayer& live = app.livePixels;
        int beyondTheMark = 0;
        for (int y = 0; y < live.height; ++y) {
            for (int x = 0; x < live.width; ++x) {
                beyondTheMark += *PixelAt(live, x, y) != 0 && (std::abs(x - 500) > 40 || std::abs(y - 400) > 40);
            }
        }
        EXPECT_EQ(beyondTheMark, 0) << "tool " << tool;
        EndStroke();
    }
}

// A display change during a stroke makes the layers anew where the canvas grows: the live layer only
// while a stroke is drawn live, at the new size, with the whole stroke in it.
TEST_F(LayerMemory, ADisplayChangeDuringAStrokeKeepsWhatIsShown) {
    struct Canvas {
        const char* name;
        int width, height;
    };
    const Canvas canvases[] = {{"larger", 800, 600}, {"smaller", 400, 300}};
    const StrokeCase strokes[] = {
        {"highlighter", Highlighter, FREEHAND, true, false},
        {"highlighter ellipse", Highlighter, ELLIPSE, true, false},
        {"laser", Laser, FREEHAND, true, false},
        {"pen", Pen, FREEHAND, false, false},
    };
    for (const Canvas& canvas : canvases) {
        for (const StrokeCase& c : strokes) {
            TestCanvasRestorer restorer;
            DrawInkUnder();
            app.currentTool = c.tool;
            Press(c.keys);
            BeginStroke(100.0f, 100.0f, 0.5f);
            Press(FREEHAND);
            DrawAlong(PATH);
            const int oldWidth = app.canvasWidth;
            const int oldHeight = app.canvasHeight;
            const std::vector<uint32_t> before = FrameCopy();

            app.canvasWidth = canvas.width;
            app.canvasHeight = canvas.height;
            ApplyCanvasGeometry();
            EXPECT_EQ(FrameDifference(before, oldWidth, std::min(oldWidth, canvas.width),
                                      std::min(oldHeight, canvas.height)),
                      0)
                << canvas.name << ", " << c.name;
            if (c.drawnLive) {
                EXPECT_TRUE(HasMemoryOfTheInkLayersSize(app.livePixels)) << canvas.name << ", " << c.name;
            } else {
                EXPECT_FALSE(HasMemory(app.livePixels)) << canvas.name << ", " << c.name;
            }

            ExtendStroke(390.0f, 290.0f, 0.5f);
            EXPECT_EQ(DifferenceFromAWholePresent(), 0) << canvas.name << ", " << c.name;
            EndStroke();
            EXPECT_FALSE(HasMemory(app.livePixels)) << canvas.name << ", " << c.name;
            EXPECT_EQ(DifferenceFromReplay(), 0) << canvas.name << ", " << c.name;
        }
    }
}

}  // namespace
