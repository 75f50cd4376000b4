#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <vector>

#include "app/app_state.h"
#include "app/startup.h"
#include "ink/live_layer.h"
#include "ink/surfaces.h"
#include "ink/trail_layer.h"
#include "ink/undo_clear.h"
#include "support/pixels.h"
#include "support/test_app.h"

#include <psapi.h>  // after windows.h

// The overlay's surfaces and what a present composes into the frame and pushes, on the test
// program's real windows (canvas 640 x 480).
namespace {

constexpr uint32_t GROUND = 0x01000000;
constexpr uint32_t WHITE = 0xFFFFFFFF;
constexpr uint32_t SENTINEL = 0xDEADBEEF;
constexpr uint32_t LASER_CORE = 0xFFFF3C3C;

InkPoint P(float x, float y, float pressure = 1.0f) { return InkPoint{x, y, pressure}; }

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Puts a stroke into history and the ink layer the way a rebuild does.
void Commit(const Stroke& stroke) {
    AppendToHistory(stroke);
    RebuildInkLayer();
}

// The process's commit charge. Wine leaves PrivateUsage at 0 but keeps PagefileUsage, which on
// Windows is the same figure.
SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS counters = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PagefileUsage;
}

class Surfaces : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartTestApp(); }
    void SetUp() override { ResetAppForTest(); }
};

TEST_F(Surfaces, InkLayerAndFrameHaveTheCanvasSizeAndTheFrameIsOneMemory) {
    EXPECT_EQ(app.inkLayer->GetWidth(), 640u);
    EXPECT_EQ(app.inkLayer->GetHeight(), 480u);
    EXPECT_EQ(app.inkLayer->GetPixelFormat(), PixelFormat32bppPARGB);
    EXPECT_EQ(app.frameBitmap->GetPixelFormat(), PixelFormat32bppPARGB);

    DIBSECTION dib = {};
    ASSERT_EQ(GetObjectW(app.frameDib, sizeof(dib), &dib), int(sizeof(dib)));
    EXPECT_EQ(dib.dsBmih.biWidth, 640);
    EXPECT_EQ(std::abs(dib.dsBmih.biHeight), 480);
    EXPECT_EQ(dib.dsBmih.biBitCount, 32);
    EXPECT_EQ(dib.dsBm.bmBits, static_cast<void*>(app.frameBits));
    EXPECT_EQ(GetCurrentObject(app.frameDC, OBJ_BITMAP), app.frameDib);

    // GDI+ drawing, the DC that is handed to the window and the memory are one picture, top row
    // first.
    FillFrame(0);
    {
        Gdiplus::Graphics graphics(app.frameBitmap);
        Gdiplus::SolidBrush brush(Gdiplus::Color(0xFF102030));
        graphics.FillRectangle(&brush, 3, 2, 1, 1);
    }
    SetPixelV(app.frameDC, 5, 1, RGB(0x40, 0x50, 0x60));
    EXPECT_EQ(app.frameBits[2 * 640 + 3], 0xFF102030u);
    EXPECT_EQ(RgbOf(app.frameBits[1 * 640 + 5]), 0x405060u);
    EXPECT_EQ(GetPixel(app.frameDC, 3, 2), RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(CountFramePixelsNot(0), 2);
}

TEST_F(Surfaces, AnEmptyCanvasPresentsAsTheGroundOfTheMode) {
    for (bool board : {false, true}) {
        app.boardMode = board;
        FillFrame(SENTINEL);
        PresentRegion(WholeCanvas());
        EXPECT_EQ(CountFramePixelsNot(board ? WHITE : GROUND), 0) << "board " << board;
    }
}

TEST_F(Surfaces, APresentComposesAndPushesOnlyItsClampedRectangle) {
    struct Case {
        const char* name;
        DirtyRect rect;
        RECT clamped;  // all zero when nothing may be composed or pushed
    };
    const Case cases[] = {
        {"inside", {10, 20, 110, 70}, {10, 20, 110, 70}},
        {"negative left and top start at 0", {-30, -40, 50, 60}, {0, 0, 50, 60}},
        {"right and bottom stop at the canvas", {600, 440, 700, 500}, {600, 440, 640, 480}},
        {"beyond every side", {-5, -5, 1000, 1000}, {0, 0, 640, 480}},
        {"the extremes of the type", {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, {0, 0, 640, 480}},
        {"right equal to left", {50, 50, 50, 100}, {}},
        {"bottom equal to top", {50, 50, 100, 50}, {}},
        {"reversed", {100, 100, 50, 200}, {}},
        {"right of the canvas", {640, 10, 700, 20}, {}},
        {"below the canvas", {10, 480, 20, 500}, {}},
        {"above and left of the canvas", {-100, -100, 0, 0}, {}},
    };
    for (const Case& c : cases) {
        FillFrame(SENTINEL);
        ForgetPushes();
        PresentRegion(c.rect);
        const RECT& r = c.clamped;
        int wrong = 0;
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) {
                const bool inside = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
                wrong += FramePixel(x, y) != (inside ? GROUND : SENTINEL);
            }
        }
        EXPECT_EQ(wrong, 0) << c.name;
        if (r.right > r.left) {
            EXPECT_EQ(Pushed().overlayPushes, 1) << c.name;
            EXPECT_TRUE(SameRect(Pushed().lastOverlayDirty, r)) << c.name;
        } else {
            EXPECT_EQ(Pushed().overlayPushes, 0) << c.name;
        }
    }
}

struct RecordedPush {
    HWND window;
    UPDATELAYEREDWINDOWINFO info;
    POINT destination, source;
    SIZE size;
    BLENDFUNCTION blend;
    RECT dirty;
};
RecordedPush recorded;
UpdateLayeredWindowIndirectFn chainedPush;

BOOL WINAPI RecordWholePush(HWND window, const UPDATELAYEREDWINDOWINFO* info) {
    recorded = {window, *info, *info->pptDst, *info->pptSrc, *info->psize, *info->pblend, *info->prcDirty};
    return chainedPush(window, info);
}

TEST_F(Surfaces, ThePushHandsTheFrameDcToTheOverlayWithPerPixelAlpha) {
    chainedPush = app.pUpdateLayeredWindowIndirect;
    app.pUpdateLayeredWindowIndirect = RecordWholePush;
    PresentRegion({-10, 5, 20, 30});
    PushPendingFrame();
    app.pUpdateLayeredWindowIndirect = chainedPush;

    EXPECT_EQ(recorded.window, app.overlayWindow);
    EXPECT_EQ(recorded.info.cbSize, sizeof(UPDATELAYEREDWINDOWINFO));
    EXPECT_EQ(recorded.info.hdcDst, nullptr);
    EXPECT_EQ(recorded.info.hdcSrc, app.frameDC);
    EXPECT_EQ(recorded.destination.x, 1);
    EXPECT_EQ(recorded.destination.y, 1);
    EXPECT_EQ(recorded.size.cx, 640);
    EXPECT_EQ(recorded.size.cy, 480);
    EXPECT_EQ(recorded.source.x, 0);
    EXPECT_EQ(recorded.source.y, 0);
    EXPECT_EQ(recorded.info.crKey, 0u);
    EXPECT_EQ(recorded.blend.BlendOp, AC_SRC_OVER);
    EXPECT_EQ(recorded.blend.BlendFlags, 0);
    EXPECT_EQ(recorded.blend.SourceConstantAlpha, 255);
    EXPECT_EQ(recorded.blend.AlphaFormat, AC_SRC_ALPHA);
    EXPECT_EQ(recorded.info.dwFlags, DWORD(ULW_ALPHA));
    EXPECT_TRUE(SameRect(recorded.dirty, RECT{0, 5, 20, 30}));
}

TEST_F(Surfaces, InkLiesOverTheGroundAndBoardModeSwapsOnlyTheGround) {
    Commit(MakeStroke(Pen, 12.0f, {P(50, 100), P(300, 100)}, Palette[4]));
    Commit(MakeStroke(Highlighter, 6.0f, {P(50, 200), P(300, 200)}, Palette[2]));
    const std::vector<uint32_t> ink = InkPixels();
    const uint32_t highlight = Premultiplied(ColourToArgb(Palette[2], 90));
    for (bool board : {false, true}) {
        app.boardMode = board;
        PresentRegion(WholeCanvas());
        const uint32_t ground = board ? WHITE : GROUND;
        EXPECT_EQ(FramePixel(150, 100), ColourToArgb(Palette[4], 255)) << "board " << board;
        EXPECT_TRUE(Near(FramePixel(150, 200), Over(highlight, ground))) << "board " << board;
        EXPECT_EQ(FramePixel(150, 300), ground) << "board " << board;
    }
    EXPECT_TRUE(InkPixels() == ink) << "presenting never touches the ink layer";
}

TEST_F(Surfaces, ErasedInkShowsTheGroundOfTheMoment) {
    Commit(MakeStroke(Pen, 12.0f, {P(50, 100), P(300, 100)}, Palette[4]));
    Commit(MakeStroke(Eraser, 6.0f, {P(150, 50), P(150, 150)}, Palette[4]));
    for (bool board : {false, true}) {
        app.boardMode = board;
        PresentRegion(WholeCanvas());
        EXPECT_EQ(FramePixel(150, 100), board ? WHITE : GROUND) << "board " << board;
        EXPECT_EQ(FramePixel(250, 100), ColourToArgb(Palette[4], 255)) << "board " << board;
    }
}

TEST_F(Surfaces, HighlighterInProgressLiesOverTheInkAndUnderTheTrails) {
    Commit(MakeStroke(Pen, 12.0f, {P(50, 100), P(300, 100)}, Palette[4]));
    app.laserTrails.push_back(MakeStroke(Laser, 6.0f, {P(50, 200), P(300, 200)}, Palette[4]));
    app.drawing = true;
    app.currentStroke = MakeStroke(Highlighter, 12.0f, {P(100, 50), P(100, 300)}, Palette[2]);
    RebuildTrailLayer();
    RebuildLiveLayer();
    PresentRegion(WholeCanvas());

    const uint32_t highlight = Premultiplied(ColourToArgb(Palette[2], 90));
    EXPECT_TRUE(Near(FramePixel(100, 100), Over(highlight, ColourToArgb(Palette[4], 255))));
    EXPECT_TRUE(Near(FramePixel(100, 150), Over(highlight, GROUND)));
    EXPECT_EQ(FramePixel(100, 200), LASER_CORE);
    EXPECT_EQ(InkPixel(100, 150), 0u) << "the highlighter in progress stays out of the ink layer";
}

TEST_F(Surfaces, LaserInProgressLiesOverTheTrails) {
    app.laserTrails.push_back(MakeStroke(Laser, 6.0f, {P(50, 200), P(300, 200)}, Palette[4]));
    app.drawing = true;
    app.currentStroke = MakeStroke(Laser, 12.0f, {P(150, 50), P(150, 300)}, Palette[4]);
    RebuildTrailLayer();
    RebuildLiveLayer();
    PresentRegion(WholeCanvas());
    // Inside the new stroke's core, over the old trail's glow: trail glow on top would tint it.
    EXPECT_TRUE(Near(FramePixel(150, 205), LASER_CORE, 1));
    EXPECT_TRUE(Near(FramePixel(250, 205), Over(Premultiplied(0x46FF2828), GROUND)));
}

TEST_F(Surfaces, TrailsAreDrawnOnceAndComposedScaledByTheLaserFade) {
    // The trails are drawn at full strength once; the fade scales every channel of that picture
    // (truncated to 1/255 steps), laid over the ground.
    struct Case {
        float fade;
        int coreAlpha;
        int glowAlpha;
    };
    const Case cases[] = {{1.0f, 255, 71}, {0.5f, 128, 36}, {0.0f, 1, 1}};
    app.laserTrails.push_back(MakeStroke(Laser, 6.0f, {P(50, 200), P(300, 200)}, Palette[4]));
    RebuildTrailLayer();
    for (const Case& c : cases) {
        app.laserFade = c.fade;
        PresentRegion(WholeCanvas());
        EXPECT_NEAR(AlphaOf(FramePixel(150, 200)), c.coreAlpha, 1) << "fade " << c.fade;
        EXPECT_NEAR(AlphaOf(FramePixel(150, 206)), c.glowAlpha, 1) << "fade " << c.fade;
    }
}

TEST_F(Surfaces, PenAndEraserInProgressAreNotDrawnByAPresent) {
    for (ToolKind tool : {Pen, Eraser}) {
        app.drawing = true;
        app.currentStroke = MakeStroke(tool, 12.0f, {P(50, 100), P(300, 100)}, Palette[4]);
        RebuildLiveLayer();
        PresentRegion(WholeCanvas());
        EXPECT_EQ(CountFramePixelsNot(GROUND), 0) << "tool " << tool;
    }
}

TEST_F(Surfaces, RebuildReplaysHistoryOverATransparentLayer) {
    {
        Gdiplus::Graphics graphics(app.inkLayer);
        graphics.Clear(Gdiplus::Color(0xFF00FF00));
    }
    RebuildInkLayer();
    for (uint32_t pixel : InkPixels()) ASSERT_EQ(pixel, 0u) << "an empty history leaves nothing";

    AppendToHistory(MakeStroke(Pen, 12.0f, {P(50, 100), P(300, 100)}, Palette[4]));
    AppendToHistory(MakeStroke(Eraser, 6.0f, {P(150, 50), P(150, 150)}, Palette[4]));
    AppendToHistory(MakeStroke(Pen, 3.0f, {P(150, 60), P(150, 140)}, Palette[0]));
    RebuildInkLayer();
    EXPECT_EQ(InkPixel(250, 100), ColourToArgb(Palette[4], 255));
    EXPECT_EQ(InkPixel(140, 100), 0u) << "erased";
    EXPECT_EQ(InkPixel(150, 100), ColourToArgb(Palette[0], 255)) << "drawn after the eraser, so kept";
}

TEST_F(Surfaces, ReCreatingReleasesTheOldSetAndStartsWithAnEmptyInkLayer) {
    Commit(MakeStroke(Pen, 12.0f, {P(50, 100), P(300, 100)}, Palette[4]));
    const HDC oldDC = app.frameDC;
    const HBITMAP oldDib = app.frameDib;
    CreateSurfaces();
    EXPECT_EQ(GetObjectType(oldDC), 0u) << "old DC deleted";
    BITMAP bitmap;
    EXPECT_EQ(GetObjectW(oldDib, sizeof(bitmap), &bitmap), 0) << "old DIB deleted";
    for (uint32_t pixel : InkPixels()) ASSERT_EQ(pixel, 0u) << "empty until rebuilt";
    RebuildInkLayer();
    EXPECT_EQ(InkPixel(150, 100), ColourToArgb(Palette[4], 255));
}

TEST_F(Surfaces, ADisplayChangeRebuildsTheCanvasAtTheScreensSize) {
    TestCanvasRestorer restorer;
    Commit(MakeStroke(Pen, 12.0f, {P(500, 400), P(630, 470)}, Palette[4]));
    const std::vector<uint32_t> before = InkPixels();
    ForgetPushes();

    PostMessageW(app.overlayWindow, WM_APP_REINIT, 0, 0);
    PumpMessages();

    const int width = GetSystemMetrics(SM_CXSCREEN) - 1;
    const int height = GetSystemMetrics(SM_CYSCREEN) - 1;
    ASSERT_EQ(app.canvasWidth, width);
    ASSERT_EQ(app.canvasHeight, height);
    ASSERT_NE(width, 640) << "the test display must differ from the test canvas";
    EXPECT_EQ(app.inkLayer->GetWidth(), UINT(width));
    EXPECT_EQ(app.inkLayer->GetHeight(), UINT(height));
    DIBSECTION dib = {};
    GetObjectW(app.frameDib, sizeof(dib), &dib);
    EXPECT_EQ(dib.dsBmih.biWidth, width);
    EXPECT_EQ(std::abs(dib.dsBmih.biHeight), height);
    RECT window = {};
    GetWindowRect(app.overlayWindow, &window);
    EXPECT_TRUE(SameRect(window, RECT{1, 1, 1 + width, 1 + height}));

    // The same ink at the same pixels, nothing scaled.
    const std::vector<uint32_t> after = InkPixels();
    int moved = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t old = x < 640 && y < 480 ? before[size_t(y) * 640 + x] : 0u;
            moved += after[size_t(y) * width + x] != old;
        }
    }
    EXPECT_EQ(moved, 0);

    EXPECT_GE(Pushed().overlayPushes, 1);
    EXPECT_TRUE(SameRect(Pushed().lastOverlayDirty, RECT{0, 0, width, height}));
    EXPECT_EQ(FramePixel(600, 455), ColourToArgb(Palette[4], 255));
    EXPECT_EQ(FramePixel(width - 1, height - 1), GROUND);
}

TEST_F(Surfaces, ReCreatingPresentingUndoingAndClearingKeepMemoryFlat) {
    // A small canvas keeps a round quick; a leaked surface set would still add 70 MB over the run,
    // a pen leaked per segment 10 MB or more.
    TestCanvasRestorer restorer;
    app.canvasWidth = 160;
    app.canvasHeight = 120;
    // Every clear is kept for its undo; a small budget bounds what they keep well below the limit.
    const size_t budget = app.undoBudgetBytes;
    app.undoBudgetBytes = 512 * 1024;
    std::vector<InkPoint> points;
    for (int i = 0; i < 100; ++i) points.push_back(P(10.0f + i * 1.5f, 10.0f + (i % 7) * 15, i / 100.0f));
    auto round = [&points] {
        CreateSurfaces();
        AppendToHistory(MakeStroke(Pen, 6.0f, points, Palette[4]));
        AppendToHistory(MakeStroke(Highlighter, 6.0f, points, Palette[4]));
        AppendToHistory(MakeStroke(Eraser, 3.0f, points, Palette[4]));
        RebuildInkLayer();
        app.laserTrails.push_back(MakeStroke(Laser, 6.0f, points, Palette[4]));
        app.drawing = true;
        app.currentStroke = MakeStroke(Highlighter, 6.0f, points, Palette[4]);
        RebuildTrailLayer();
        RebuildLiveLayer();
        PresentRegion({0, 0, 80, 60});
        app.drawing = false;
        UndoLastStroke();
        ClearAll();
    };
    for (int i = 0; i < 30; ++i) round();
    const SIZE_T start = PrivateBytes();
    for (int i = 0; i < 300; ++i) round();
    const SIZE_T end = PrivateBytes();
    app.undoBudgetBytes = budget;
    EXPECT_LT(end, start + 4 * 1024 * 1024) << "grew by " << (end > start ? end - start : 0) << " bytes";
}

}  // namespace
