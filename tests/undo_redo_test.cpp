#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/frame_step.h"
#include "app/startup.h"
#include "ink/ink_floor.h"
#include "ink/renderer.h"
#include "ink/surfaces.h"
#include "ink/undo_clear.h"
#include "input/capture.h"
#include "support/pixels.h"
#include "support/test_app.h"

// Undo and redo of strokes and clears on the test program's real surfaces. Every undo must bring
// back the very picture from before the step, every redo the very picture after it, and the ink
// layer must stay a replay of the dropped ink and the history throughout.
namespace {

using Picture = std::vector<uint32_t>;

int InkedPixels() {
    int inked = 0;
    for (uint32_t pixel : InkPixels()) inked += pixel != 0;
    return inked;
}

// Strokes of each tool along a wave, a little lower each time, so they overlap and erase each other.
void Draw(ToolKind tool, int n) {
    app.currentTool = tool;
    app.widthIndex = n % 3;
    app.colourIndex = n % 8;
    const float y = 80.0f + 23.0f * float(n % 12);
    BeginStroke(40.0f, y, 0.9f);
    for (int i = 1; i < 40; ++i) ExtendStroke(40.0f + 13.0f * i, y + 30.0f * std::sin(i * 0.4f + n), 0.3f + 0.015f * i);
    EndStroke();
}

// What the user saw after each step, and what the steps undone showed.
struct Model {
    std::vector<Picture> before;  // the picture before each step that can be undone, oldest first
    std::vector<Picture> redone;  // the picture after each undone step, the newest undo last
};

ToolKind ToolOf(char op) {
    switch (op) {
        case 'h': return Highlighter;
        case 'e': return Eraser;
        case 'l': return Laser;
        default: return Pen;
    }
}

// p h e l: a stroke of the pen, highlighter, eraser, laser; c: clear; u: undo; r: redo.
void Apply(char op, int n, Model& model, const std::string& where) {
    const Picture now = InkPixels();
    switch (op) {
        case 'p':
        case 'h':
        case 'e':
            Draw(ToolOf(op), n);
            model.before.push_back(now);
            model.redone.clear();
            break;
        case 'l':
            Draw(Laser, n);
            EXPECT_TRUE(InkPixels() == now) << where << ": the laser leaves the ink alone";
            break;
        case 'c': {
            const bool removesInk = !app.history.empty() || HasInkFloor();
            ClearAll();
            if (removesInk) {
                model.before.push_back(now);
                model.redone.clear();
            }
            break;
        }
        case 'u':
            UndoLastStroke();
            if (model.before.empty()) {
                EXPECT_TRUE(InkPixels() == now) << where << ": nothing to undo";
            } else {
                EXPECT_TRUE(InkPixels() == model.before.back()) << where << ": the picture before the step";
                model.before.pop_back();
                model.redone.push_back(now);
            }
            break;
        case 'r':
            RedoLastUndo();
            if (model.redone.empty()) {
                EXPECT_TRUE(InkPixels() == now) << where << ": nothing to redo";
            } else {
                EXPECT_TRUE(InkPixels() == model.redone.back()) << where << ": the picture after the step";
                model.redone.pop_back();
                model.before.push_back(now);
            }
            break;
    }
    EXPECT_EQ(DifferenceFromReplay(), 0) << where << ": the ink is a replay";
}

class UndoRedo : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartTestApp(); }
    void SetUp() override { ResetAppForTest(); }
    void TearDown() override { app.undoBudgetBytes = INK_UNDO_BUDGET_BYTES; }

    // With frame steps between the steps, a kept clear is made compact before it is undone; without,
    // its undo hands the taken ink layer back.
    void Run(const char* script, bool frameSteps) {
        Model model;
        for (int i = 0; script[i]; ++i) {
            Apply(script[i], i, model, std::string(script) + " at " + std::to_string(i) +
                                           (frameSteps ? " with frame steps" : ""));
            if (frameSteps) RunFrameStep();
        }
    }
};

TEST_F(UndoRedo, SequencesOfStrokesAndClears) {
    const char* scripts[] = {
        "pheuuurrr",      // strokes of every tool, undone and redone in reverse order
        "pheuuuuurrrrr",  // undo and redo past either end do nothing
        "ppcuurr",        // a clear is undone first, then the strokes before it
        "pcpuu",          // a stroke after a clear is undone before it
        "phcurur",        // a redone clear clears again and can be undone again
        "pupr",           // a new stroke leaves nothing to redo
        "puhcr",          // nor does a clear that is a step
        "pucr",           // a clear of nothing is no step: the undone stroke can still be redone
        "pcc" "u" "r",    // the second clear found no ink
        "pulr",           // a laser stroke empties nothing
        "c" "u",          // nothing to undo after clearing nothing
        "phecpecuuuuuurrrrrr",  // clears between strokes, all undone and redone
        "peluhcluulrr",
    };
    for (bool frameSteps : {false, true}) {
        for (const char* script : scripts) {
            ResetAppForTest();
            Run(script, frameSteps);
        }
    }
}

// A clear in the middle of a stroke: the stroke goes on from its newest sample, and undoing the
// clear brings back the ink as it was before that stroke began, none of its first part.
TEST_F(UndoRedo, AClearDuringAStrokeKeepsOnlyTheInkOfTheHistory) {
    for (ToolKind tool : {Pen, Highlighter, Laser, Eraser}) {
        ResetAppForTest();
        Draw(Pen, 1);
        Draw(Highlighter, 2);
        const Picture beforeStroke = InkPixels();
        app.currentTool = tool;
        app.widthIndex = 2;
        BeginStroke(60.0f, 60.0f, 0.5f);
        ExtendStroke(300.0f, 200.0f, 0.5f);
        ClearAll();
        ExtendStroke(400.0f, 300.0f, 0.5f);
        EndStroke();
        EXPECT_EQ(DifferenceFromReplay(), 0) << tool;
        if (tool != Laser) UndoLastStroke();
        UndoLastStroke();
        EXPECT_TRUE(InkPixels() == beforeStroke) << tool;
        EXPECT_EQ(app.history.size(), 2u) << tool;
        EXPECT_EQ(DifferenceFromReplay(), 0) << tool;
    }
}

// Past the budget the kept clears lose their pixels first and are undone by a replay; where even
// their strokes are too much, they are forgotten and Ctrl+Z stops before them.
TEST_F(UndoRedo, TheBudgetTakesTheOldestKeptPixelsAndThenTheOldestClears) {
    struct Case {
        const char* what;
        size_t budget;  // set after the clears
        bool undoneThrough;
    };
    const Case cases[] = {
        {"everything kept", INK_UNDO_BUDGET_BYTES, true},
        {"pixels taken", 48 * 1024, true},
        {"clears forgotten", 0, false},
    };
    for (const Case& c : cases) {
        ResetAppForTest();
        for (int i = 0; i < 6; ++i) Draw(i % 3 == 2 ? Eraser : Pen, i);
        const Picture first = InkPixels();
        ClearAll();
        for (int i = 6; i < 9; ++i) Draw(Highlighter, i);
        const Picture second = InkPixels();
        ClearAll();
        app.undoBudgetBytes = c.budget;
        TrimUndoPixels(c.budget);
        EXPECT_LE(app.clears.size(), 2u);

        UndoLastStroke();
        if (!c.undoneThrough) {
            EXPECT_TRUE(app.clears.empty()) << c.what;
            EXPECT_EQ(InkedPixels(), 0) << c.what << ": the clear was forgotten";
            continue;
        }
        EXPECT_TRUE(InkPixels() == second) << c.what;
        for (int i = 0; i < 3; ++i) UndoLastStroke();
        UndoLastStroke();
        EXPECT_TRUE(InkPixels() == first) << c.what;
        EXPECT_EQ(app.history.size(), 6u) << c.what;
        EXPECT_EQ(DifferenceFromReplay(), 0) << c.what;
    }
}

// The canvas grows between a clear and its undo: the ink comes back where the old canvas reached
// and is drawn from the strokes beyond it; redo clears it again, and the strokes undo cleanly.
TEST_F(UndoRedo, ADisplayChangeBetweenAClearAndItsUndo) {
    TestCanvasRestorer restorer;
    Draw(Pen, 0);
    app.currentTool = Pen;
    BeginStroke(500.0f, 300.0f, 0.5f);
    ExtendStroke(760.0f, 560.0f, 0.5f);  // far beyond the 640 x 480 canvas
    EndStroke();
    ClearAll();
    app.canvasWidth = 800;
    app.canvasHeight = 600;
    ApplyCanvasGeometry();
    UndoLastStroke();
    EXPECT_EQ(app.history.size(), 2u);
    EXPECT_NE(InkPixel(700, 500), 0u) << "the part beyond the old canvas is drawn";
    EXPECT_EQ(DifferenceFromReplay(), 0);

    RedoLastUndo();
    EXPECT_EQ(InkedPixels(), 0);
    UndoLastStroke();
    EXPECT_EQ(DifferenceFromReplay(), 0);
    UndoLastStroke();
    UndoLastStroke();
    EXPECT_EQ(InkedPixels(), 0) << "undo pixels that ended at the old edge leave no sliver";
}

// A clear takes the ink the history limit dropped as well; its undo gives it back, under the
// strokes it gives back, and every later replay keeps it.
TEST_F(UndoRedo, AClearOfInkDroppedByTheLimitIsUndoneWithIt) {
    Draw(Pen, 0);
    const Stroke filler = MakeStroke(Pen, 3.0f, {{600, 460, 0.5f}}, Palette[6]);
    while (app.history.size() < MAX_HISTORY_STROKES) AppendToHistory(filler);
    {
        Gdiplus::Graphics graphics(app.inkLayer);
        DrawStroke(graphics, filler, 1.0f);
    }
    Draw(Eraser, 1);  // the pen wave leaves the history for the floor
    ASSERT_TRUE(HasInkFloor());
    const Picture shown = InkPixels();

    ClearAll();
    EXPECT_EQ(InkedPixels(), 0);
    UndoLastStroke();
    EXPECT_TRUE(InkPixels() == shown);
    EXPECT_EQ(app.history.size(), MAX_HISTORY_STROKES);
    EXPECT_EQ(DifferenceFromReplay(), 0) << "the floor came back with the strokes";

    // Once a stroke drawn after a clear is dropped by the limit, the clear can no longer be undone.
    ClearAll();
    while (app.history.size() < MAX_HISTORY_STROKES) AppendToHistory(filler);
    Draw(Pen, 2);
    EXPECT_TRUE(app.clears.empty());
}

}  // namespace
