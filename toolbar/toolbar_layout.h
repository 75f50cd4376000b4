#pragma once
#include <cstdint>

#include "app/platform.h"

enum ButtonKind : int32_t {
    Grip = 0,
    PassThroughButton = 1,
    PenButton = 2,
    HighlighterButton = 3,
    LaserButton = 4,
    EraserButton = 5,
    Separator = 6,
    ColourSwatch = 7,
    WidthDot = 8,
    UndoButton = 9,
    ClearButton = 10,
    BoardButton = 11,
    OrientationButton = 12,
    QuitButton = 13,
};

struct ToolbarButton {
    ButtonKind kind;
    int32_t param;  // palette index for swatches, width index for width dots, else 0
    RECT rect;      // toolbar client pixels, right and bottom exclusive
};

// Rebuilds `buttons` for the current orientation and `displayDpi`, sizes and places the toolbar window
// at its preferred place, paints it.
void LayoutToolbar();
// The same, but with the window's top-left corner at the screen point (x, y), unclamped: where the
// system asks a toolbar moved to a display of another DPI to go.
void LayoutToolbarAt(int32_t x, int32_t y);

// Index into `buttons` of the first entry containing the toolbar client point (x, y), or -1 when the
// point lies in a gap or margin.
int HitTestToolbar(int x, int y);
