#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "app/app_state.h"
#include "app/startup.h"
#include "ink/ink_undo.h"
#include "ink/pixel_compose.h"
#include "ink/renderer.h"
#include "ink/surfaces.h"
#include "ink/undo_clear.h"
#include "input/capture.h"
#include "support/pixels.h"
#include "support/test_app.h"

// The ink layer is kept by pieces, tiles and records instead of replays; whatever happens, it must
// hold what a replay of the history draws, and the frame what its layers compose to.
namespace {

struct Script {
    const char* name;
    ToolKind tool;
    int widthIndex;
    std::vector<InkPoint> samples;
};

std::vector<InkPoint> Wave(float x, float y, int count, float step, float pressureSwing) {
    std::vector<InkPoint> samples;
    for (int i = 0; i < count; ++i) {
        samples.push_back({x + step * i, y + 40.0f * std::sin(i * 0.3f),
                           0.5f + pressureSwing * std::sin(i * 0.45f)});
    }
    return samples;
}

// Pen over pen, highlighters over ink and each other, erasers through all of it, clicks, and
// strokes running off the canvas.
const Script SCRIPTS[] = {
    {"pen with pressure", Pen, 2, Wave(40, 120, 60, 6.5f, 0.5f)},
    {"highlighter across it", Highlighter, 1, Wave(60, 150, 40, 9.0f, 0.0f)},
    {"pen click", Pen, 1, {{300, 130, 0.9f}}},
    {"eraser through both", Eraser, 0, Wave(30, 100, 45, 8.0f, 0.0f)},
    {"narrow pen", Pen, 0, Wave(100, 300, 80, 5.0f, 0.4f)},
    {"highlighter over the highlighter", Highlighter, 2, Wave(80, 170, 25, 12.0f, 0.0f)},
    {"eraser click", Eraser, 2, {{200, 300, 0.5f}}},
    {"pen off the right edge", Pen, 1, Wave(560, 400, 30, 5.0f, 0.2f)},
    {"wide eraser off the bottom", Eraser, 2, {{320, 430, 0.5f}, {340, 470, 0.5f}, {360, 520, 0.5f}}},
    {"highlighter click", Highlighter, 0, {{420, 60, 0.5f}}},
};

void Draw(const Script& script) {
    app.currentTool = script.tool;
    app.widthIndex = script.widthIndex;
    app.colourIndex = int(&script - SCRIPTS) % 8;
    BeginStroke(script.samples[0].x, script.samples[0].y, script.samples[0].pressure);
    for (size_t i = 1; i < script.samples.size(); ++i) {
        ExtendStroke(script.samples[i].x, script.samples[i].y, script.samples[i].pressure);
    }
    EndStroke();
}

// Pixels of the whole presented frame that differ from the scalar composition of the ink layer.
int FrameDifferenceFromLayers() {
    PresentRegion(WholeCanvas());
    std::vector<uint32_t> reference(size_t(app.canvasWidth) * app.canvasHeight);
    const ComposeLayer ink = {&app.inkPixels, 255};
    ComposePixelsScalar(reference.data(), app.canvasWidth, WholeCanvas(), app.boardMode ? 0xFFFFFFFF : 0x01000000,
                        &ink, 1);
    int wrong = 0;
    for (size_t i = 0; i < reference.size(); ++i) wrong += reference[i] != app.frameBits[i];
    return wrong;
}

int InkedPixels() {
    int inked = 0;
    for (uint32_t pixel : InkPixels()) inked += pixel != 0;
    return inked;
}

class InkReplay : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartTestApp(); }
    void SetUp() override { ResetAppForTest(); }
};

TEST_F(InkReplay, EveryStrokeAndEveryUndoLeavesWhatAReplayDraws) {
    for (const Script& script : SCRIPTS) {
        Draw(script);
        ASSERT_EQ(DifferenceFromReplay(), 0) << "after drawing: " << script.name;
    }
    ASSERT_GT(InkedPixels(), 10000);
    app.boardMode = true;
    EXPECT_EQ(FrameDifferenceFromLayers(), 0);
    app.boardMode = false;
    EXPECT_EQ(FrameDifferenceFromLayers(), 0);
    while (!app.history.empty()) {
        const char* name = SCRIPTS[app.history.size() - 1].name;
        UndoLastStroke();
        ASSERT_EQ(DifferenceFromReplay(), 0) << "after undoing: " << name;
        ASSERT_EQ(FrameDifferenceFromLayers(), 0) << "after undoing: " << name;
    }
    EXPECT_EQ(InkedPixels(), 0);
}

// A pen that touches down hard and then lightens: the dot of its first sample is wider than the
// segments after it. Lifting the pen changes nothing on the screen, and a replay draws the same.
TEST_F(InkReplay, APenStrokeLooksAtItsLiftAsItDidWhileDrawn) {
    app.widthIndex = 2;
    BeginStroke(100.0f, 100.0f, 1.0f);
    for (int i = 1; i <= 20; ++i) ExtendStroke(100.0f + 6.0f * i, 100.0f + 2.0f * i, 0.1f);
    const std::vector<uint32_t> drawn = InkPixels();
    EndStroke();
    EXPECT_TRUE(InkPixels() == drawn);
    EXPECT_EQ(DifferenceFromReplay(), 0);
}

// Strokes the history limit dropped leave the history but not the screen: every replay draws them
// under the history, whether an undo replays an area or the whole layer is rebuilt.
TEST_F(InkReplay, InkDroppedByTheHistoryLimitStaysThroughEveryReplay) {
    Draw(SCRIPTS[0]);  // the pen wave that the limit drops
    Draw(SCRIPTS[3]);  // an eraser through it, dropped next
    const Stroke filler = MakeStroke(Pen, 3.0f, {{600, 460, 0.5f}}, Palette[6]);
    while (app.history.size() < MAX_HISTORY_STROKES) AppendToHistory(filler);
    {
        Gdiplus::Graphics graphics(app.inkLayer);  // an opaque dot drawn once looks as drawn 4000 times
        DrawStroke(graphics, filler, 1.0f);
    }
    Draw(SCRIPTS[1]);  // a highlighter across the wave; the pen wave leaves the history
    Draw(SCRIPTS[4]);  // the narrow pen; the eraser leaves too
    ASSERT_EQ(app.history.size(), MAX_HISTORY_STROKES);
    const std::vector<uint32_t> shown = InkPixels();

    TrimUndoPixels(0);  // every undo must replay its area
    UndoLastStroke();
    UndoLastStroke();
    Draw(SCRIPTS[1]);
    Draw(SCRIPTS[4]);
    EXPECT_TRUE(InkPixels() == shown) << "undo and redraw over the dropped ink give the same picture";
    EXPECT_EQ(DifferenceFromReplay(), 0);
    EXPECT_TRUE(InkPixels() == shown) << "a full rebuild keeps the dropped ink";
}

TEST_F(InkReplay, StrokesWhosePixelsTheBudgetTookAreUndoneByReplayingTheirArea) {
    for (const Script& script : SCRIPTS) Draw(script);
    ASSERT_GT(app.inkKeeping.historyBytes, 0u);
    // The oldest half loses its pixels; the newer half keeps them.
    size_t half = 0;
    for (size_t i = app.history.size() / 2; i < app.history.size(); ++i) {
        half += app.history[i].undoPixels.size() * sizeof(uint32_t);
    }
    TrimUndoPixels(half);
    EXPECT_LE(app.inkKeeping.historyBytes, half);
    EXPECT_FALSE(app.history.front().undoKept);
    EXPECT_TRUE(app.history.back().undoKept);
    while (!app.history.empty()) {
        const char* name = SCRIPTS[app.history.size() - 1].name;
        UndoLastStroke();
        ASSERT_EQ(DifferenceFromReplay(), 0) << "after undoing: " << name;
    }
    EXPECT_EQ(app.inkKeeping.historyBytes, 0u);
}

TEST_F(InkReplay, UndoPixelsAreFarSmallerThanTheTilesTheStrokeTouched) {
    Draw(SCRIPTS[0]);
    const Stroke& stroke = app.history.back();
    ASSERT_TRUE(stroke.undoKept);
    const DirtyRect area = StrokeArea(stroke);
    const size_t areaBytes = size_t(area.right - area.left) * size_t(area.bottom - area.top) * 4;
    // Over an empty layer every changed pixel was transparent: long runs of one old value.
    EXPECT_LT(stroke.undoPixels.size() * sizeof(uint32_t), areaBytes / 8);
}

TEST_F(InkReplay, ACanvasThatShrinksAndGrowsBackKeepsTheInkBeyondItsEdge) {
    TestCanvasRestorer restorer;
    for (const Script& script : SCRIPTS) Draw(script);
    const std::vector<uint32_t> before = InkPixels();

    app.canvasWidth = 400;
    app.canvasHeight = 300;
    ApplyCanvasGeometry();
    EXPECT_EQ(FrameDifferenceFromLayers(), 0);
    // Drawn while small, off the small canvas's edge: it must be there when the canvas grows.
    Draw({"pen while small", Pen, 2, {{380, 280, 0.5f}, {450, 350, 0.5f}, {500, 330, 0.5f}}});

    app.canvasWidth = 640;
    app.canvasHeight = 480;
    ApplyCanvasGeometry();
    EXPECT_EQ(app.inkPixels.width, 640);
    EXPECT_EQ(DifferenceFromReplay(), 0);
    EXPECT_EQ(FrameDifferenceFromLayers(), 0);
    UndoLastStroke();
    EXPECT_TRUE(InkPixels() == before) << "undo of the stroke drawn while small";
}

TEST_F(InkReplay, ACanvasGrowingBeyondAnySizeSeenDrawsTheNewAreaFromTheHistory) {
    TestCanvasRestorer restorer;
    // A stroke reaching beyond the canvas, as a captured mouse may draw it.
    Draw({"pen beyond the edge", Pen, 2, {{600, 400, 0.5f}, {700, 470, 0.5f}, {760, 560, 0.5f}}});
    app.canvasWidth = 800;
    app.canvasHeight = 600;
    ApplyCanvasGeometry();
    EXPECT_EQ(app.inkPixels.width, 800);
    EXPECT_NE(InkPixel(700, 470), 0u);
    EXPECT_NE(InkPixel(740, 530), 0u) << "beyond the old layer: drawn from the history";
    EXPECT_EQ(DifferenceFromReplay(), 0);
    // Its undo pixels end at the old edge; undo must still take all of it away.
    UndoLastStroke();
    EXPECT_EQ(InkedPixels(), 0);
}

TEST_F(InkReplay, AStrokeInProgressWhileTheCanvasGrowsIsCommittedAndUndoneAsAReplayDrawsIt) {
    for (ToolKind tool : {Pen, Eraser}) {
        TestCanvasRestorer restorer;
        Draw({"ink reaching past the edge", Pen, 2, {{560, 380, 0.5f}, {700, 470, 0.5f}, {760, 560, 0.5f}}});
        app.currentTool = tool;
        app.widthIndex = 2;
        BeginStroke(600.0f, 440.0f, 0.5f);
        ExtendStroke(630.0f, 470.0f, 0.5f);
        app.canvasWidth = 800;
        app.canvasHeight = 600;
        ApplyCanvasGeometry();
        ExtendStroke(690.0f, 500.0f, 0.5f);
        ExtendStroke(740.0f, 540.0f, 0.5f);
        EndStroke();
        EXPECT_EQ(DifferenceFromReplay(), 0) << tool;
        UndoLastStroke();
        EXPECT_EQ(DifferenceFromReplay(), 0) << tool << ": after undoing the stroke";
        UndoLastStroke();
        EXPECT_EQ(InkedPixels(), 0) << tool;
    }
}

// The layer of translucent strokes in progress is made anew when the layers grow; a pen stroke in
// progress is in the ink layer and must not be copied there, where later highlighter and laser
// strokes would compose it again after it was undone.
TEST_F(InkReplay, APenStrokeInProgressWhileTheLayersGrowLeavesNoGhostForLaterStrokes) {
    for (ToolKind later : {Highlighter, Laser}) {
        TestCanvasRestorer restorer;
        app.currentTool = Pen;
        app.widthIndex = 2;
        BeginStroke(100.0f, 100.0f, 0.5f);
        ExtendStroke(300.0f, 100.0f, 0.5f);
        app.canvasWidth = 800;
        app.canvasHeight = 600;
        ApplyCanvasGeometry();
        EndStroke();
        UndoLastStroke();
        const std::vector<uint32_t> undone = InkPixels();

        // A thin stroke whose second segment passes near the undone one: what it composes there comes
        // from the live layer.
        app.currentTool = later;
        app.widthIndex = 0;
        BeginStroke(120.0f, 150.0f, 0.5f);
        ExtendStroke(120.0f, 140.0f, 0.5f);
        ExtendStroke(300.0f, 80.0f, 0.5f);
        EXPECT_LT(AlphaOf(FramePixel(200, 100)), 128) << later << ": the undone pen shows again";
        EndStroke();
        if (later != Laser) UndoLastStroke();
        EXPECT_TRUE(InkPixels() == undone) << later;
    }
}

TEST_F(InkReplay, TheVectorCompositionEqualsTheScalarOneForAnyPixels) {
    // Random premultiplied pixels and some that are not (colour above alpha), over both grounds,
    // with rectangles that start and end between vector lanes.
    std::mt19937 random(7);
    std::vector<PixelLayer> layers(3);
    for (PixelLayer& layer : layers) {
        layer = {new uint32_t[64 * 16], 64, 16};
        for (int i = 0; i < 64 * 16; ++i) {
            const uint32_t kind = random() % 4;
            const uint32_t alpha = kind == 0 ? 0 : kind == 1 ? 255 : random() % 256;
            uint32_t pixel = alpha << 24;
            for (int shift = 0; shift < 24; shift += 8) pixel |= (random() % (kind == 3 ? 256 : alpha + 1)) << shift;
            layer.bits[i] = pixel;
        }
    }
    const DirtyRect rects[] = {{0, 0, 64, 16}, {1, 2, 62, 9}, {3, 0, 6, 16}, {5, 5, 6, 6}};
    for (uint32_t ground : {0x01000000u, 0xFFFFFFFFu}) {
        for (uint32_t scale : {255u, 127u, 0u}) {
            const ComposeLayer compose[] = {{&layers[0], 255}, {&layers[1], scale}, {&layers[2], 255}};
            for (const DirtyRect& rect : rects) {
                // Also composing only where the middle picture holds something, the rest kept.
                const PixelLayer* masks[] = {nullptr, &layers[1]};
                for (const PixelLayer* onlyWhere : masks) {
                    std::vector<uint32_t> vector(64 * 16, 0xDEADBEEF), scalar(64 * 16, 0xDEADBEEF);
                    ComposePixels(vector.data(), 64, rect, ground, compose, 3, onlyWhere);
                    ComposePixelsScalar(scalar.data(), 64, rect, ground, compose, 3, onlyWhere);
                    EXPECT_TRUE(vector == scalar) << "ground " << ground << ", scale " << scale << ", rect "
                                                  << rect.left << "," << rect.top << "," << rect.right
                                                  << (onlyWhere ? ", only where" : "");
                }
            }
        }
    }
    for (PixelLayer& layer : layers) delete[] layer.bits;
}

TEST_F(InkReplay, OverMatchesTheTextbookPremultipliedBlend) {
    // Source over destination, every channel rounded: s + d * (255 - sa) / 255.
    EXPECT_EQ(OverPixel(0x5A152E57, 0x01000000), Over(0x5A152E57, 0x01000000));
    EXPECT_EQ(OverPixel(0x80404040, 0xFFFFFFFF), Over(0x80404040, 0xFFFFFFFF));
    EXPECT_EQ(OverPixel(0x00000000, 0xFF123456), 0xFF123456u);
    EXPECT_EQ(OverPixel(0xFF102030, 0xFFFFFFFF), 0xFF102030u);
    EXPECT_EQ(ScalePixel(0xFFFF3C3C, 127), 0x7F7F1E1Eu);
}

}  // namespace
