#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "app/app_state.h"
#include "ink/renderer.h"
#include "support/pixels.h"
#include "support/test_app.h"

// What each tool looks like, read back from a small bitmap of its own. GDI+ under Wine does not
// antialias geometry while Windows does, so widths are measured as coverage across a line and
// colours are read well inside a shape, never on its edge.
namespace {

constexpr int SIZE = 120;
constexpr uint32_t LASER_CORE = 0xFFFF3C3C;

InkPoint P(float x, float y, float pressure = 0.5f) { return InkPoint{x, y, pressure}; }

// A PARGB bitmap that strokes are drawn into, each draw with a graphics of its own.
struct Target {
    Gdiplus::Bitmap bitmap{SIZE, SIZE, PixelFormat32bppPARGB};

    explicit Target(uint32_t ground = 0x00000000) {
        Gdiplus::Graphics graphics(&bitmap);
        graphics.Clear(Gdiplus::Color(ground));
    }
    void Draw(const Stroke& stroke, float fade = 1.0f) {
        Gdiplus::Graphics graphics(&bitmap);
        DrawStroke(graphics, stroke, fade);
    }
    std::vector<uint32_t> Pixels() { return BitmapPixels(bitmap); }
    uint32_t Pixel(int x, int y) { return Pixels()[size_t(y) * SIZE + x]; }
    // Thickness of what is drawn across column x (or row y), in pixels of the given full alpha.
    float ColumnCoverage(int x, uint8_t fullAlpha = 255) {
        const std::vector<uint32_t> pixels = Pixels();
        float sum = 0;
        for (int y = 0; y < SIZE; ++y) sum += AlphaOf(pixels[size_t(y) * SIZE + x]) / float(fullAlpha);
        return sum;
    }
    float RowCoverage(int y, uint8_t fullAlpha = 255) {
        const std::vector<uint32_t> pixels = Pixels();
        float sum = 0;
        for (int x = 0; x < SIZE; ++x) sum += AlphaOf(pixels[size_t(y) * SIZE + x]) / float(fullAlpha);
        return sum;
    }
};

class Renderer : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartTestApp(); }
};

TEST_F(Renderer, PenSegmentsTakeTheirWidthFromTheEndPointsPressure) {
    struct Case {
        float p0, p1, p2;
        float firstWidth, secondWidth;
    };
    // Width 6: pressure 1 gives 7.2 pixels, pressure 0 gives 3; the first point's pressure is unused.
    const Case cases[] = {{0.0f, 1.0f, 0.0f, 7.2f, 3.0f}, {1.0f, 0.0f, 1.0f, 3.0f, 7.2f}};
    for (const Case& c : cases) {
        Target target;
        target.Draw(MakeStroke(Pen, 6.0f, {P(10, 60, c.p0), P(60, 60, c.p1), P(110, 60, c.p2)}, Palette[4]));
        EXPECT_NEAR(target.ColumnCoverage(35), c.firstWidth, 1.0f) << "first point's pressure " << c.p0;
        EXPECT_NEAR(target.ColumnCoverage(85), c.secondWidth, 1.0f) << "first point's pressure " << c.p0;
        EXPECT_EQ(target.Pixel(35, 60), ColourToArgb(Palette[4], 255));
        EXPECT_EQ(target.Pixel(85, 60), ColourToArgb(Palette[4], 255));
    }
}

TEST_F(Renderer, PenSegmentsHaveRoundCaps) {
    Target target;
    target.Draw(MakeStroke(Pen, 12.0f, {P(30, 60), P(90, 60, 1.0f)}, Palette[0]));  // 14.4 wide, cap radius 7.2
    EXPECT_EQ(AlphaOf(target.Pixel(25, 60)), 255) << "the cap reaches beyond the start point";
    EXPECT_EQ(AlphaOf(target.Pixel(24, 54)), 0) << "a square cap would cover this corner";
    EXPECT_EQ(AlphaOf(target.Pixel(96, 66)), 0) << "a square cap would cover this corner";
}

TEST_F(Renderer, OnePointPenIsADotOfThePressuresDiameter) {
    struct Case {
        float width, pressure, diameter;
    };
    const Case cases[] = {{6.0f, 0.5f, 5.1f}, {12.0f, 1.0f, 14.4f}, {12.0f, 0.0f, 6.0f}};
    for (const Case& c : cases) {
        Target target;
        target.Draw(MakeStroke(Pen, c.width, {P(60, 60, c.pressure)}, Palette[3]));
        EXPECT_EQ(target.Pixel(60, 60), ColourToArgb(Palette[3], 255));
        // Up to a pixel off when the edge is not antialiased.
        EXPECT_NEAR(target.RowCoverage(60), c.diameter, 1.5f) << "width " << c.width << " pressure " << c.pressure;
        EXPECT_NEAR(target.ColumnCoverage(60), c.diameter, 1.5f) << "width " << c.width << " pressure " << c.pressure;
    }
}

TEST_F(Renderer, HighlighterIsTranslucentWithFlatEndsAndFadesByTruncation) {
    struct Case {
        float fade;
        uint8_t alpha;
    };
    const Case cases[] = {{1.0f, 90}, {0.5f, 45}, {0.25f, 22}};
    for (const Case& c : cases) {
        Target target;
        target.Draw(MakeStroke(Highlighter, 6.0f, {P(20, 60), P(100, 60)}, Palette[2]), c.fade);
        EXPECT_TRUE(Near(target.Pixel(60, 60), Premultiplied(ColourToArgb(Palette[2], c.alpha)))) << "fade " << c.fade;
        EXPECT_NEAR(target.ColumnCoverage(60, c.alpha), 18.0f, 1.0f) << "three times the width";
        EXPECT_EQ(AlphaOf(target.Pixel(22, 60)), c.alpha);
        EXPECT_EQ(AlphaOf(target.Pixel(17, 60)), 0) << "flat start";
        EXPECT_EQ(AlphaOf(target.Pixel(103, 60)), 0) << "flat end";
    }
}

TEST_F(Renderer, HighlighterIsOnePolylineSoItsCornersAreNotDarker) {
    Target target;
    target.Draw(MakeStroke(Highlighter, 6.0f, {P(20, 30), P(60, 70), P(100, 30)}, Palette[0]));
    // Right at the corner both segments overlap; separate lines would blend there twice.
    EXPECT_EQ(AlphaOf(target.Pixel(60, 66)), 90);
}

TEST_F(Renderer, OnePointHighlighterIsAShortBarThreeWidthsHigh) {
    Target target;
    target.Draw(MakeStroke(Highlighter, 6.0f, {P(60, 60)}, Palette[0]));
    int columnsTouched = 0;
    for (int x = 0; x < SIZE; ++x) columnsTouched += target.ColumnCoverage(x, 90) > 0.0f;
    EXPECT_LE(columnsTouched, 2);
    EXPECT_NEAR(target.ColumnCoverage(60, 90) + target.ColumnCoverage(61, 90), 18.0f, 9.0f);
}

TEST_F(Renderer, LaserIsARedCoreOverAGlowWhateverTheColour) {
    std::vector<uint32_t> first;
    for (COLORREF colour : Palette) {
        Target target;
        target.Draw(MakeStroke(Laser, 6.0f, {P(20, 60), P(100, 60)}, colour));
        EXPECT_EQ(target.Pixel(60, 60), LASER_CORE) << "opaque core, colour " << colour;
        EXPECT_TRUE(Near(target.Pixel(60, 66), Premultiplied(0x46FF2828))) << "glow beside the core";
        EXPECT_TRUE(Near(target.Pixel(14, 60), Premultiplied(0x46FF2828))) << "round glow cap";
        EXPECT_EQ(AlphaOf(target.Pixel(60, 70)), 0) << "glow is 2.6 widths across";
        if (first.empty()) {
            first = target.Pixels();
        } else {
            EXPECT_TRUE(target.Pixels() == first) << "colour " << colour << " changes the laser";
        }
    }
}

TEST_F(Renderer, LaserFadesCoreAndGlowByTruncation) {
    Target target;
    target.Draw(MakeStroke(Laser, 6.0f, {P(20, 60), P(100, 60)}, Palette[0]), 0.5f);
    EXPECT_EQ(AlphaOf(target.Pixel(60, 66)), 35) << "glow 70 x 0.5";
    // Core 127 (127.5 truncated) over glow 35.
    EXPECT_NEAR(AlphaOf(target.Pixel(60, 60)), 127 + 35 * 128 / 255.0, 2);
}

TEST_F(Renderer, OnePointLaserIsADot) {
    Target target;
    target.Draw(MakeStroke(Laser, 6.0f, {P(60, 60)}, Palette[0]));
    EXPECT_EQ(target.Pixel(60, 60), LASER_CORE);
    EXPECT_TRUE(Near(target.Pixel(60, 65), Premultiplied(0x46FF2828)));
    EXPECT_TRUE(Near(target.Pixel(55, 60), Premultiplied(0x46FF2828)));
    EXPECT_EQ(AlphaOf(target.Pixel(60, 70)), 0);
    EXPECT_EQ(AlphaOf(target.Pixel(50, 60)), 0);
}

TEST_F(Renderer, FadeZeroLeavesTheTargetAsItWas) {
    const uint32_t ground = 0x80402010;
    const Stroke strokes[] = {
        MakeStroke(Highlighter, 12.0f, {P(20, 60), P(100, 60)}, Palette[0]),
        MakeStroke(Highlighter, 12.0f, {P(60, 60)}, Palette[0]),
        MakeStroke(Laser, 12.0f, {P(20, 60), P(100, 60)}, Palette[0]),
        MakeStroke(Laser, 12.0f, {P(60, 60)}, Palette[0]),
    };
    for (const Stroke& stroke : strokes) {
        Target target(ground);
        const std::vector<uint32_t> before = target.Pixels();
        target.Draw(stroke, 0.0f);
        EXPECT_TRUE(target.Pixels() == before) << "tool " << stroke.tool << ", " << stroke.points.size() << " points";
    }
}

TEST_F(Renderer, EraserCutsFullyTransparentPixelsWhateverWasThere) {
    for (uint32_t ground : {0xFF22C55Eu, 0x80402010u}) {
        Target target(ground);
        target.Draw(MakeStroke(Eraser, 3.0f, {P(20, 60), P(60, 60), P(100, 60)}, Palette[0]));  // 12 wide
        EXPECT_EQ(target.Pixel(60, 60), 0x00000000u);
        EXPECT_EQ(target.Pixel(60, 65), 0x00000000u);
        EXPECT_EQ(target.Pixel(16, 60), 0x00000000u) << "round cap";
        EXPECT_TRUE(Near(target.Pixel(60, 70), Premultiplied(ground)));
        EXPECT_TRUE(Near(target.Pixel(10, 60), Premultiplied(ground)));
    }
}

TEST_F(Renderer, OnePointEraserClearsADiscOfTwoWidths) {
    Target target(0xFF22C55E);
    target.Draw(MakeStroke(Eraser, 6.0f, {P(60, 60)}, Palette[0]));  // radius 12
    EXPECT_EQ(target.Pixel(60, 60), 0x00000000u);
    EXPECT_EQ(target.Pixel(60, 70), 0x00000000u);
    EXPECT_EQ(target.Pixel(67, 67), 0x00000000u);
    EXPECT_EQ(target.Pixel(60, 74), 0xFF22C55Eu);
    EXPECT_EQ(target.Pixel(70, 70), 0xFF22C55Eu);
}

TEST_F(Renderer, AfterAnEraserTheGraphicsBlendsAgain) {
    Target target(0xFF22C55E);
    Gdiplus::Graphics graphics(&target.bitmap);
    graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    DrawStroke(graphics, MakeStroke(Eraser, 3.0f, {P(20, 60), P(100, 60)}, Palette[0]), 1.0f);
    EXPECT_EQ(graphics.GetCompositingMode(), Gdiplus::CompositingModeSourceOver);
    Gdiplus::SolidBrush half(Gdiplus::Color(0x800000FF));
    graphics.FillRectangle(&half, 0, 0, SIZE, 20);
    EXPECT_NE(target.Pixel(10, 10), Premultiplied(0x800000FF)) << "blended over the ink, not replacing it";
}

TEST_F(Renderer, AStrokeWithoutPointsDrawsNothingAndChangesNoMode) {
    for (ToolKind tool : {Pen, Highlighter, Laser, Eraser}) {
        Target target(0x80402010);
        const std::vector<uint32_t> before = target.Pixels();
        {
            Gdiplus::Graphics graphics(&target.bitmap);
            graphics.SetSmoothingMode(Gdiplus::SmoothingModeNone);
            graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
            DrawStroke(graphics, MakeStroke(tool, 6.0f, {}, Palette[0]), 1.0f);
            EXPECT_EQ(graphics.GetSmoothingMode(), Gdiplus::SmoothingModeNone) << "tool " << tool;
            EXPECT_EQ(graphics.GetCompositingMode(), Gdiplus::CompositingModeSourceCopy) << "tool " << tool;
        }
        EXPECT_TRUE(target.Pixels() == before) << "tool " << tool;
    }
}

TEST_F(Renderer, AStrokeWithPointsLeavesAntialiasingOnAndOtherwiseTheModesAlone) {
    Target target;
    Gdiplus::Graphics graphics(&target.bitmap);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeNone);
    graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    DrawStroke(graphics, MakeStroke(Pen, 6.0f, {P(20, 60), P(100, 60)}, Palette[0]), 1.0f);
    EXPECT_EQ(graphics.GetSmoothingMode(), Gdiplus::SmoothingModeAntiAlias);
    EXPECT_EQ(graphics.GetCompositingMode(), Gdiplus::CompositingModeSourceCopy);
}

TEST_F(Renderer, AnUnknownToolIsDrawnAsAPen) {
    const std::vector<InkPoint> points = {P(20, 30, 0.2f), P(60, 80, 0.9f), P(100, 40, 0.4f)};
    Target pen;
    pen.Draw(MakeStroke(Pen, 6.0f, points, Palette[5]), 0.3f);
    EXPECT_EQ(pen.Pixel(60, 79), ColourToArgb(Palette[5], 255)) << "a pen ignores fade";
    for (int value : {4, -1, 1000}) {
        Target target;
        target.Draw(MakeStroke(static_cast<ToolKind>(value), 6.0f, points, Palette[5]), 0.3f);
        EXPECT_TRUE(target.Pixels() == pen.Pixels()) << "tool value " << value;
    }
}

}  // namespace
