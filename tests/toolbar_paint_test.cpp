#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/display_scale.h"
// After windows.h, which it needs.
#include <psapi.h>
#include "support/test_app.h"
#include "toolbar/toolbar_layout.h"
#include "toolbar/toolbar_paint.h"

namespace {

constexpr uint32_t ACTIVE_BLUE = 0xFF3B82F6;
constexpr uint32_t WHITE = 0xFFFFFFFF;
constexpr uint32_t ICON_WHITE = 0xFFF0F0F0;
constexpr uint32_t QUIT_RED = 0xFFF87171;
constexpr uint32_t HIGHLIGHTER_YELLOW = 0xFFFACC15;

constexpr int PASS_THROUGH = 1, PEN = 3, HIGHLIGHTER = 4, LASER = 5, ERASER = 6, UNDO = 21, CLEAR = 22,
              BOARD = 23, ORIENTATION = 25, QUIT = 26;

struct Centre {
    int x, y;
};

// The painting tests measure at 96 DPI and again at 192, where every position from an entry's centre
// and every width is doubled.
constexpr int SCALES[] = {1, 2};

// The whole multiple of 96 DPI the toolbar is now laid out at.
int K() { return app.displayDpi / BASE_DPI; }

Centre CentreOf(int entry) {
    const RECT& r = app.buttons.at(entry).rect;
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Inside the bar, clear of every entry: what the bar itself looks like.
uint32_t BarPixel() { return app.verticalToolbar ? ToolbarPixel(23 * K(), 3 * K()) : ToolbarPixel(3 * K(), 23 * K()); }

bool Brighter(uint32_t pixel, uint32_t than) {
    for (int shift = 0; shift < 32; shift += 8) {
        if (((pixel >> shift) & 0xFF) <= ((than >> shift) & 0xFF)) return false;
    }
    return true;
}

std::string Hex(uint32_t value) {
    char text[16];
    snprintf(text, sizeof(text), "0x%08X", static_cast<unsigned>(value));
    return text;
}

enum class Plate { None, Active, Hover, Unknown };

// Near the entry's top-left corner: inside a plate's rounded corner, clear of every icon, circle and line.
Plate PlateBehind(int entry) {
    const RECT& r = app.buttons.at(entry).rect;
    const uint32_t pixel = ToolbarPixel(r.left + 2 * K(), r.top + 2 * K());
    if (pixel == ACTIVE_BLUE) return Plate::Active;
    if (pixel == BarPixel()) return Plate::None;
    if (Brighter(pixel, BarPixel())) return Plate::Hover;
    return Plate::Unknown;
}

class ToolbarPaint : public ::testing::Test {
protected:
    void SetUp() override {
        StartTestApp();
        ResetAppForTest();
    }
    void TearDown() override { app.displayDpi = BASE_DPI; }
    void AtScale(int k, bool vertical = false) {
        app.displayDpi = BASE_DPI * k;
        app.verticalToolbar = vertical;
        LayoutToolbar();
    }
    void Paint() {
        PaintToolbar();
        ASSERT_EQ(pushes.toolbarImage.size(), size_t(app.toolbarWidth) * app.toolbarHeight);
    }
    void TurnVertical() {
        app.verticalToolbar = true;
        LayoutToolbar();
    }
};

struct PlateCase {
    const char* name;
    ToolKind tool;
    bool passThrough;
    bool board;
    int hovered;
    std::vector<int> active;
    int hoverPlate;  // -1: none
};

TEST_F(ToolbarPaint, PlatesMarkTheActiveToolModesAndTheHoveredEntry) {
    const PlateCase cases[] = {
        {"initial state", Pen, false, false, -1, {PEN}, -1},
        {"highlighter", Highlighter, false, false, -1, {HIGHLIGHTER}, -1},
        {"laser", Laser, false, false, -1, {LASER}, -1},
        {"eraser", Eraser, false, false, -1, {ERASER}, -1},
        {"pass-through takes the plate from the tool", Laser, true, false, -1, {PASS_THROUGH}, -1},
        {"board adds its plate", Eraser, false, true, -1, {ERASER, BOARD}, -1},
        {"board and pass-through", Pen, true, true, -1, {PASS_THROUGH, BOARD}, -1},
        {"hovering the active tool", Pen, false, false, PEN, {PEN}, -1},
        {"hovering the grip", Pen, false, false, 0, {PEN}, -1},
        {"hovering a separator", Pen, false, false, 7, {PEN}, -1},
        {"hovering a swatch", Pen, false, false, 10, {PEN}, 10},
        {"hovering a width dot", Pen, false, false, 19, {PEN}, 19},
        {"hovering the quit entry", Pen, false, false, QUIT, {PEN}, QUIT},
        {"hovering active pass-through", Pen, true, false, PASS_THROUGH, {PASS_THROUGH}, -1},
        {"hovering the tool under pass-through", Pen, true, false, PEN, {PASS_THROUGH}, PEN},
    };
    for (int k : SCALES) for (bool vertical : {false, true}) {
        AtScale(k, vertical);
        for (const PlateCase& c : cases) {
            app.currentTool = c.tool;
            app.passThrough = c.passThrough;
            app.boardMode = c.board;
            app.hoveredButton = c.hovered;
            Paint();
            for (int i = 0; i < 27; ++i) {
                Plate expected = Plate::None;
                if (i == c.hoverPlate) expected = Plate::Hover;
                for (int a : c.active) {
                    if (a == i) expected = Plate::Active;
                }
                EXPECT_EQ(PlateBehind(i), expected)
                    << c.name << (vertical ? " (vertical)" : "") << " at " << app.displayDpi << " DPI, entry " << i;
            }
        }
    }
}

bool NearlyWhite(uint32_t pixel) {
    return ((pixel >> 16) & 0xFF) >= 0xC0 && ((pixel >> 8) & 0xFF) >= 0xC0 && (pixel & 0xFF) >= 0xC0;
}

// Pixels at 7 to 11 (at 96 DPI) from the swatch's centre, in each of the four directions, that are
// (nearly) white: the width of a white ring measured across it.
std::vector<int> WhiteRingWidths(Centre c) {
    std::vector<int> widths;
    for (const POINT step : {POINT{0, -1}, POINT{0, 1}, POINT{-1, 0}, POINT{1, 0}}) {
        int width = 0;
        for (int k = 7 * K(); k <= 11 * K(); ++k) {
            if (NearlyWhite(ToolbarPixel(c.x + k * step.x, c.y + k * step.y))) ++width;
        }
        widths.push_back(width);
    }
    return widths;
}

TEST_F(ToolbarPaint, SwatchesShowTheirColourAndOnlyTheSelectedOneHasTheWhiteRing) {
    for (int scale : SCALES) for (int selected : {0, 3, 7}) {
        AtScale(scale);
        app.colourIndex = selected;
        Paint();
        for (int swatch = 0; swatch < 8; ++swatch) {
            const Centre c = CentreOf(8 + swatch);
            EXPECT_EQ(Hex(ToolbarPixel(c.x, c.y)), Hex(ColourToArgb(Palette[swatch], 255)))
                << "swatch " << swatch;
            // The selected ring is 2.5 pixels of white; the plain one a single faint pixel. The white
            // swatch's own fill would hide the difference.
            for (int width : WhiteRingWidths(c)) {
                if (swatch == selected) {
                    EXPECT_GE(width, 2 * K()) << "selected swatch " << swatch << " at " << app.displayDpi << " DPI";
                    if (swatch != 7) {
                        EXPECT_LE(width, 3 * K()) << "selected swatch " << swatch << " at " << app.displayDpi << " DPI";
                    }
                } else if (swatch != 7) {
                    EXPECT_EQ(width, 0) << "swatch " << swatch << " with " << selected << " selected";
                }
            }
            EXPECT_EQ(Hex(ToolbarPixel(c.x, c.y - 12 * K())), Hex(BarPixel())) << "outside swatch " << swatch;
        }
    }
}

TEST_F(ToolbarPaint, TheSelectedWidthDotIsWhiteWithTheBlueRingTheOthersDimmer) {
    for (int scale : SCALES) for (int selected = 0; selected < 3; ++selected) {
        AtScale(scale);
        app.widthIndex = selected;
        Paint();
        for (int dot = 0; dot < 3; ++dot) {
            const Centre c = CentreOf(17 + dot);
            const uint32_t fill = ToolbarPixel(c.x, c.y);
            const uint32_t ring = ToolbarPixel(c.x, c.y - 11 * K());
            if (dot == selected) {
                EXPECT_EQ(Hex(fill), Hex(WHITE)) << "dot " << dot;
                EXPECT_EQ(Hex(ring), Hex(ACTIVE_BLUE)) << "dot " << dot;
            } else {
                EXPECT_TRUE(Brighter(fill, BarPixel()) && fill >> 24 < 0xFF)
                    << "dot " << dot << " with width " << selected << " selected: " << Hex(fill);
                EXPECT_EQ(Hex(ring), Hex(BarPixel())) << "dot " << dot;
            }
        }
    }
    // The dots grow with the index: diameters 4, 9 and 14 at 96 DPI.
    const int inside[3] = {1, 3, 5};
    const int outside[3] = {4, 6, 8};
    for (int scale : SCALES) {
        AtScale(scale);
        Paint();
        for (int dot = 0; dot < 3; ++dot) {
            const Centre c = CentreOf(17 + dot);
            const int k = K();
            EXPECT_EQ(Hex(ToolbarPixel(c.x, c.y - inside[dot] * k)), Hex(ToolbarPixel(c.x, c.y)))
                << "dot " << dot << " at " << app.displayDpi << " DPI";
            EXPECT_EQ(Hex(ToolbarPixel(c.x, c.y - outside[dot] * k)), Hex(BarPixel()))
                << "dot " << dot << " at " << app.displayDpi << " DPI";
        }
    }
}

TEST_F(ToolbarPaint, TheQuitCrossIsRedInEveryState) {
    struct State {
        bool passThrough, board;
        int hovered;
    };
    for (const State& s : {State{false, false, -1}, State{false, false, QUIT}, State{true, true, QUIT}}) {
        app.passThrough = s.passThrough;
        app.boardMode = s.board;
        app.hoveredButton = s.hovered;
        Paint();
        const Centre c = CentreOf(QUIT);
        EXPECT_EQ(Hex(ToolbarPixel(c.x, c.y)), Hex(QUIT_RED)) << "hovered " << s.hovered;
        EXPECT_EQ(Hex(ToolbarPixel(c.x + 3, c.y - 3)), Hex(QUIT_RED)) << "hovered " << s.hovered;
    }
}

TEST_F(ToolbarPaint, TheBarIsTranslucentDarkWithFullyTransparentCorners) {
    for (bool vertical : {false, true}) {
        if (vertical) TurnVertical();
        Paint();
        const int w = app.toolbarWidth, h = app.toolbarHeight;
        for (const POINT corner : {POINT{0, 0}, POINT{1, 1}, POINT{2, 0}, POINT{0, 2}}) {
            for (const POINT p : {corner, POINT{w - 1 - corner.x, corner.y}, POINT{corner.x, h - 1 - corner.y},
                                  POINT{w - 1 - corner.x, h - 1 - corner.y}}) {
                EXPECT_EQ(Hex(ToolbarPixel(p.x, p.y)), Hex(0)) << "corner pixel " << p.x << ", " << p.y;
            }
        }
        // 0xEB1C1E26 premultiplied.
        const uint32_t bar = BarPixel();
        EXPECT_EQ(bar >> 24, 0xEBu);
        EXPECT_NEAR(double((bar >> 16) & 0xFF), 0x1C * 235.0 / 255, 1.0);
        EXPECT_NEAR(double((bar >> 8) & 0xFF), 0x1E * 235.0 / 255, 1.0);
        EXPECT_NEAR(double(bar & 0xFF), 0x26 * 235.0 / 255, 1.0);
    }
}

TEST_F(ToolbarPaint, GripDashesAndSeparatorsFollowTheOrientation) {
    // Horizontal: dashes run across at cy - 6, - 2, + 2, + 6; separators are vertical lines.
    Paint();
    Centre grip = CentreOf(0);
    for (int d : {-6, -2, 2, 6}) {
        EXPECT_TRUE(Brighter(ToolbarPixel(grip.x - 1, grip.y + d), BarPixel())) << "dash " << d;
        EXPECT_TRUE(Brighter(ToolbarPixel(grip.x + 1, grip.y + d), BarPixel())) << "dash " << d;
    }
    EXPECT_EQ(ToolbarPixel(grip.x, grip.y), BarPixel());
    EXPECT_EQ(ToolbarPixel(grip.x, grip.y - 8), BarPixel());
    for (int separator : {2, 7, 16, 20, 24}) {
        const RECT& r = app.buttons[separator].rect;
        for (int y : {int(r.top) + 8, int(r.top + r.bottom) / 2, int(r.bottom) - 8}) {
            const bool lit = Brighter(ToolbarPixel(59 - 56 + r.left, y), BarPixel()) ||
                             Brighter(ToolbarPixel(60 - 56 + r.left, y), BarPixel());
            EXPECT_TRUE(lit) << "separator " << separator << " at y " << y;
        }
        EXPECT_EQ(ToolbarPixel(r.left + 3, r.top + 3), BarPixel()) << "above separator " << separator;
    }

    // Vertical: dashes run along at cx - 6, - 2, + 2, + 6; separators are horizontal lines near the top.
    TurnVertical();
    Paint();
    grip = CentreOf(0);
    for (int d : {-6, -2, 2, 6}) {
        EXPECT_TRUE(Brighter(ToolbarPixel(grip.x + d, grip.y - 1), BarPixel())) << "dash " << d;
        EXPECT_TRUE(Brighter(ToolbarPixel(grip.x + d, grip.y + 1), BarPixel())) << "dash " << d;
    }
    EXPECT_EQ(ToolbarPixel(grip.x, grip.y), BarPixel());
    for (int separator : {2, 7, 16, 20, 24}) {
        const RECT& r = app.buttons[separator].rect;
        for (int x : {int(r.left) + 8, 23, int(r.right) - 8}) {
            const bool lit = Brighter(ToolbarPixel(x, r.top + 2), BarPixel()) ||
                             Brighter(ToolbarPixel(x, r.top + 3), BarPixel());
            EXPECT_TRUE(lit) << "separator " << separator << " at x " << x;
            EXPECT_EQ(ToolbarPixel(x, r.top + 5), BarPixel()) << "separator " << separator << " at x " << x;
        }
        EXPECT_EQ(ToolbarPixel(r.left + 3, r.top + 3), BarPixel()) << "left of separator " << separator;
    }
}

struct Offset {
    int dx, dy;
};

struct IconCase {
    const char* name;
    int entry;
    uint32_t ink;
    std::vector<Offset> on;   // on a stroke of that colour
    std::vector<Offset> off;  // clear of every stroke: the ground shows
};

TEST_F(ToolbarPaint, IconsAreDrawnOnTheirStrokesAndNowhereElse) {
    const IconCase cases[] = {
        {"pointer arrow", PASS_THROUGH, ICON_WHITE, {{-5, -7}, {-3, 0}, {1, 2}}, {{-1, -1}, {5, -5}}},
        {"pencil", PEN, ICON_WHITE, {{0, 0}, {6, -4}, {-6, 6}, {1, 3}}, {{-5, -5}, {6, 6}}},
        {"highlighter bar", HIGHLIGHTER, HIGHLIGHTER_YELLOW, {{0, 3}, {-6, 0}, {6, 6}}, {{-8, 3}, {8, 3}, {0, -2}, {0, 9}}},
        {"highlighter line", HIGHLIGHTER, ICON_WHITE, {{-7, -6}, {0, -6}, {7, -6}}, {}},
        // The ring is sampled off its start point at 0 degrees, where Wine leaves a notch in wide pens.
        {"laser", LASER, ICON_WHITE, {{3, 1}, {0, -3}, {7, 0}, {8, 0}, {0, 7}, {-8, 0}, {0, -8}, {5, 5}, {-5, -5}},
         {{0, 0}, {7, 3}, {12, 0}}},
        {"eraser", ERASER, ICON_WHITE, {{-3, -2}, {4, -3}, {-1, 2}, {-8, 3}}, {{2, -1}, {-6, -6}}},
        {"undo", UNDO, ICON_WHITE, {{-6, 0}, {0, 6}, {0, -6}, {-7, -5}, {-4, -7}}, {{0, 0}, {6, 0}}},
        {"clear", CLEAR, ICON_WHITE, {{-6, 2}, {6, 2}, {0, 7}, {-7, -4}, {0, -7}}, {{0, 2}, {10, 2}}},
        {"board", BOARD, ICON_WHITE, {{-8, 0}, {8, 0}, {0, -6}, {0, 7}, {3, 8}}, {{0, 0}, {-7, 9}}},
        {"orientation", ORIENTATION, ICON_WHITE, {{7, 0}, {0, 7}, {-7, 0}, {4, -8}, {7, -5}}, {{0, 0}, {0, -7}}},
        {"quit", QUIT, QUIT_RED, {{0, 0}, {3, 3}, {-3, 3}, {-6, -6}}, {{0, 4}, {4, 0}}},
    };
    for (int scale : SCALES) {
        AtScale(scale);
        Paint();
        const int k = K();
        for (const IconCase& c : cases) {
            const Centre centre = CentreOf(c.entry);
            const uint32_t ground = c.entry == PEN ? ACTIVE_BLUE : BarPixel();
            for (const Offset& p : c.on) {
                EXPECT_EQ(Hex(ToolbarPixel(centre.x + k * p.dx, centre.y + k * p.dy)), Hex(c.ink))
                    << c.name << " on (" << p.dx << ", " << p.dy << ") at " << app.displayDpi << " DPI";
            }
            for (const Offset& p : c.off) {
                EXPECT_EQ(Hex(ToolbarPixel(centre.x + k * p.dx, centre.y + k * p.dy)), Hex(ground))
                    << c.name << " off (" << p.dx << ", " << p.dy << ") at " << app.displayDpi << " DPI";
            }
        }
    }
}

TEST_F(ToolbarPaint, ThePencilsFirstLineRunsFromItsLowerLeftToItsUpperRight) {
    for (int k : SCALES) {
        AtScale(k);
        Paint();
        ASSERT_EQ(CentreOf(PEN).x, 82 * k);
        ASSERT_EQ(CentreOf(PEN).y, 23 * k);
        for (const POINT p : {POINT{76, 29}, POINT{79, 26}, POINT{84, 21}, POINT{87, 18}}) {
            EXPECT_EQ(Hex(ToolbarPixel(p.x * k, p.y * k)), Hex(ICON_WHITE)) << p.x << ", " << p.y << " times " << k;
        }
        // Beyond its rounded cap the plate shows.
        EXPECT_EQ(Hex(ToolbarPixel(89 * k, 16 * k)), Hex(ACTIVE_BLUE)) << "times " << k;
    }
}

struct RunCase {
    const char* name;
    int entry;
    uint32_t colour;
    int from, to;  // rows below the entry's centre, at 96 DPI, searched through its centre column
    int at96;      // pixels of that colour found there at 96 DPI
};

// Pixels of the colour in the entry's centre column between the two rows, scaled.
int RunOf(const RunCase& c) {
    const Centre centre = CentreOf(c.entry);
    int run = 0;
    for (int dy = c.from * K(); dy <= c.to * K(); ++dy) {
        if (ToolbarPixel(centre.x, centre.y + dy) == c.colour) ++run;
    }
    return run;
}

// Measured across lines that run along the rows: Wine draws wide pens without antialiasing, exact
// there, but widens slanted lines by whole pixels in its own way.
TEST_F(ToolbarPaint, At192DpiPensAndTheHighlighterBarAreTwiceAsWide) {
    const RunCase cases[] = {
        {"highlighter's line, the 2-pixel icon pen", HIGHLIGHTER, ICON_WHITE, -10, -2, 2},
        {"highlighter's bar, 7 pixels", HIGHLIGHTER, HIGHLIGHTER_YELLOW, -2, 10, 7},
        {"clear's lid, the 2-pixel icon pen", CLEAR, ICON_WHITE, -6, -2, 2},
        {"the width dot's ring, 2 pixels", 18, ACTIVE_BLUE, -14, -8, 2},
    };
    for (int k : SCALES) {
        AtScale(k);
        Paint();
        for (const RunCase& c : cases) EXPECT_EQ(RunOf(c), k * c.at96) << c.name << " at " << app.displayDpi << " DPI";
    }
}

TEST_F(ToolbarPaint, EntriesOtherThanGripAndSeparatorsLookTheSameInBothOrientations) {
    app.hoveredButton = 12;
    Paint();
    const std::vector<uint32_t> horizontal = pushes.toolbarImage;
    std::vector<Centre> horizontalCentres;
    for (int i = 0; i < 27; ++i) horizontalCentres.push_back(CentreOf(i));
    TurnVertical();
    Paint();
    for (int i = 0; i < 27; ++i) {
        if (app.buttons[i].kind == Grip || app.buttons[i].kind == Separator) continue;
        const Centre h = horizontalCentres[i];
        const Centre v = CentreOf(i);
        // Swatches and dots are 28 long and 34 across; this square stays clear of the plates' corners.
        int differing = 0;
        for (int dy = -12; dy <= 12; ++dy) {
            for (int dx = -12; dx <= 12; ++dx) {
                if (horizontal[size_t(h.y + dy) * 759 + h.x + dx] != ToolbarPixel(v.x + dx, v.y + dy)) ++differing;
            }
        }
        EXPECT_EQ(differing, 0) << "entry " << i;
    }
}

TEST_F(ToolbarPaint, PushesTheWholePictureWhereTheWindowIsNow) {
    SetWindowPos(app.toolbarWindow, HWND_TOPMOST, 200, 300, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    Paint();
    EXPECT_EQ(pushes.toolbarPushes, 1);
    EXPECT_EQ(pushes.toolbarPosition.x, 200);
    EXPECT_EQ(pushes.toolbarPosition.y, 300);
    EXPECT_EQ(pushes.toolbarSize.cx, 759);
    EXPECT_EQ(pushes.toolbarSize.cy, 46);
    RECT window = {};
    GetWindowRect(app.toolbarWindow, &window);
    EXPECT_EQ(window.left, 200);
    EXPECT_EQ(window.top, 300);
    // Painting again for the same state gives the same picture.
    const std::vector<uint32_t> first = pushes.toolbarImage;
    Paint();
    EXPECT_TRUE(first == pushes.toolbarImage);
}

SIZE_T PrivateBytes() {
    // PagefileUsage is the private commit on Windows; Wine fills it, but leaves PrivateUsage at 0.
    PROCESS_MEMORY_COUNTERS counters = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PagefileUsage;
}

TEST_F(ToolbarPaint, RepeatedPaintingKeepsPrivateMemoryFlat) {
    // Vary the state so every kind of plate, ring and icon is created and released again and again.
    auto paintMany = [](int count) {
        for (int i = 0; i < count; ++i) {
            app.hoveredButton = i % 28 - 1;
            app.colourIndex = i % 8;
            app.widthIndex = i % 3;
            app.currentTool = static_cast<ToolKind>(i % 4);
            app.boardMode = i % 2;
            PaintToolbar();
        }
    };
    paintMany(200);
    const SIZE_T before = PrivateBytes();
    ASSERT_GT(before, 0u);
    paintMany(2000);
    const SIZE_T after = PrivateBytes();
    // A leaked picture would cost 140 kB a call, a leaked device context over 1 kB, and even one leaked
    // pen, brush or path about 200 bytes: 400 kB over these calls. Flat measures 0.
    EXPECT_LT(after, before + 256 * 1024) << "grew by " << (after - before) << " bytes";
}

bool PngEncoder(CLSID* clsid) {
    UINT count = 0, bytes = 0;
    Gdiplus::GetImageEncodersSize(&count, &bytes);
    std::vector<BYTE> buffer(bytes);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, bytes, encoders);
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(encoders[i].MimeType) == L"image/png") {
            *clsid = encoders[i].Clsid;
            return true;
        }
    }
    return false;
}

// The last pushed picture over a mid-grey ground, so the translucent bar shows as it would on screen.
void SavePushedPicture(const std::wstring& path) {
    const int margin = 12;
    const int w = pushes.toolbarSize.cx, h = pushes.toolbarSize.cy;
    Gdiplus::Bitmap picture(w, h, 4 * w, PixelFormat32bppPARGB,
                            reinterpret_cast<BYTE*>(pushes.toolbarImage.data()));
    Gdiplus::Bitmap shot(w + 2 * margin, h + 2 * margin, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(&shot);
        graphics.Clear(Gdiplus::Color(0xFF808080));
        graphics.DrawImage(&picture, Gdiplus::Rect(margin, margin, w, h), 0, 0, w, h, Gdiplus::UnitPixel);
    }
    CLSID png = {};
    ASSERT_TRUE(PngEncoder(&png));
    EXPECT_EQ(shot.Save(path.c_str(), &png, nullptr), Gdiplus::Ok) << "saving the toolbar picture";
}

TEST_F(ToolbarPaint, SavesPicturesOfBothOrientationsWhenAskedTo) {
    wchar_t directory[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"VELQUIN_SHOTS_DIR", directory, MAX_PATH) == 0) {
        GTEST_SKIP() << "VELQUIN_SHOTS_DIR is not set";
    }
    Paint();
    SavePushedPicture(std::wstring(directory) + L"\\toolbar-horizontal.png");
    TurnVertical();
    Paint();
    SavePushedPicture(std::wstring(directory) + L"\\toolbar-vertical.png");
    // The same toolbar on displays scaled to 150 % and 200 %, with a hovered swatch to show a plate.
    for (int dpi : {144, 192}) {
        app.displayDpi = dpi;
        app.hoveredButton = 12;
        for (bool vertical : {false, true}) {
            app.verticalToolbar = vertical;
            LayoutToolbar();
            Paint();
            SavePushedPicture(std::wstring(directory) + (vertical ? L"\\toolbar-vertical-" : L"\\toolbar-horizontal-") +
                              std::to_wstring(dpi) + L"dpi.png");
        }
    }
}

}  // namespace
