#include "toolbar/toolbar_layout.h"

#include "app/app_state.h"
#include "app/display_geometry.h"
#include "app/display_scale.h"
#include "toolbar/toolbar_paint.h"

namespace {

// Lengths in pixels at 96 DPI; ScaledEdge brings them to the display.
constexpr int32_t MARGIN = 6;     // around the row of entries, on both axes
constexpr int32_t GAP = 2;        // between neighbouring entries
constexpr int32_t ACROSS = 34;    // every entry's extent on the cross axis
constexpr int32_t LENGTH = 759;   // window extent on the main axis
constexpr int32_t BREADTH = MARGIN + ACROSS + MARGIN;
constexpr int32_t BOTTOM_CLEARANCE = 48;  // horizontal bar: from its bottom edge to the canvas's
constexpr int32_t LEFT_CLEARANCE = 18;    // vertical bar: from the canvas's left edge

struct EntrySpec {
    ButtonKind kind;
    int32_t param;
};

// The same entries in the same order in both orientations, so an index names one entry for good.
constexpr EntrySpec ENTRIES[] = {
    {Grip, 0},         {PassThroughButton, 0},
    {Separator, 0},    {PenButton, 0},         {HighlighterButton, 0}, {LaserButton, 0}, {EraserButton, 0},
    {Separator, 0},    {ColourSwatch, 0},      {ColourSwatch, 1},      {ColourSwatch, 2}, {ColourSwatch, 3},
    {ColourSwatch, 4}, {ColourSwatch, 5},      {ColourSwatch, 6},      {ColourSwatch, 7},
    {Separator, 0},    {WidthDot, 0},          {WidthDot, 1},          {WidthDot, 2},
    {Separator, 0},    {UndoButton, 0},        {ClearButton, 0},       {BoardButton, 0},
    {Separator, 0},    {OrientationButton, 0}, {QuitButton, 0},
};

int32_t EntryLength(ButtonKind kind) {
    switch (kind) {
        case Grip: return 12;
        case Separator: return 7;
        case ColourSwatch:
        case WidthDot: return 28;
        default: return 34;
    }
}

// The row is laid out in pixels at 96 DPI and each edge scaled on its own, so entries of one kind may
// differ by a pixel at other scalings but never overlap or close a gap.
RECT EntryRect(int32_t mainStart, int32_t mainEnd) {
    const int32_t start = ScaledEdge(mainStart), end = ScaledEdge(mainEnd);
    const int32_t crossStart = ScaledEdge(MARGIN), crossEnd = ScaledEdge(MARGIN + ACROSS);
    return app.verticalToolbar ? RECT{crossStart, start, crossEnd, end} : RECT{start, crossStart, end, crossEnd};
}

void BuildButtons() {
    app.buttons.clear();
    int32_t p = MARGIN;
    for (const EntrySpec& entry : ENTRIES) {
        const int32_t end = p + EntryLength(entry.kind);
        app.buttons.push_back(ToolbarButton{entry.kind, entry.param, EntryRect(p, end)});
        p = end + GAP;
    }
}

// Near edge last, so a canvas smaller than the toolbar still keeps its top-left corner on the canvas.
int32_t ClampIntoCanvas(int32_t preferred, int32_t canvasStart, int32_t canvasSize, int32_t size) {
    return std::max(canvasStart, std::min(preferred, canvasStart + canvasSize - size));
}

void ArrangeToolbar() {
    BuildButtons();
    const int32_t length = ScaledEdge(LENGTH), breadth = ScaledEdge(BREADTH);
    app.toolbarWidth = app.verticalToolbar ? breadth : length;
    app.toolbarHeight = app.verticalToolbar ? length : breadth;
}

void PlaceToolbar(int32_t x, int32_t y) {
    // A move onto a monitor of another scale announces the new scale while it happens; see LayoutToolbar.
    app.placingToolbar = true;
    SetWindowPos(app.toolbarWindow, HWND_TOPMOST, x, y, app.toolbarWidth, app.toolbarHeight, SWP_NOACTIVATE);
    app.placingToolbar = false;
    PaintToolbar();
}

// The preferred place lies on the primary monitor, less its top row and left column.
void PlaceToolbarPreferred() {
    ArrangeToolbar();
    const DirtyRect primary = PrimaryOverlayArea();
    const int32_t left = primary.left, top = primary.top;
    const int32_t width = primary.right - primary.left, height = primary.bottom - primary.top;
    // Integer division truncates toward zero, also for a canvas smaller than the toolbar.
    const int32_t preferredX = app.verticalToolbar ? left + ScaledEdge(LEFT_CLEARANCE)
                                                   : left + (width - app.toolbarWidth) / 2;
    const int32_t preferredY = app.verticalToolbar
                                   ? top + (height - app.toolbarHeight) / 2
                                   : top + height - ScaledEdge(BOTTOM_CLEARANCE) - app.toolbarHeight;
    PlaceToolbar(ClampIntoCanvas(preferredX, left, width, app.toolbarWidth),
                 ClampIntoCanvas(preferredY, top, height, app.toolbarHeight));
}

}  // namespace

void LayoutToolbar() {
    const int32_t dpi = app.displayDpi;
    PlaceToolbarPreferred();
    // Brought back from a monitor of another scale: laid out again at this one's, in its preferred
    // place, not where the system would put the corner.
    if (app.displayDpi != dpi) PlaceToolbarPreferred();
}

void LayoutToolbarAt(int32_t x, int32_t y) {
    ArrangeToolbar();
    PlaceToolbar(x, y);
}

int HitTestToolbar(int x, int y) {
    const POINT point = {x, y};
    for (size_t i = 0; i < app.buttons.size(); ++i) {
        if (PtInRect(&app.buttons[i].rect, point)) return static_cast<int>(i);
    }
    return -1;
}
