#pragma once
#include <cstdint>

// When the desktop comes to reach left of or above canvas pixel 0 (a monitor added there), the
// canvas origin moves left and up, and the ink keeps its place on the desktop: every canvas
// coordinate grows by (dx, dy). Both are whole tiles of the undo records (multiples of INK_TILE, 0
// or more); anything else moves nothing.
//
// The layers gain dx columns on the left and dy rows on the top, their pixels copied over, and
// every record of canvas coordinates moves along: the strokes of the history, of the kept clears,
// of what waits to be redone and of the laser trails, their undo pixels and pictures, the stroke in
// progress and what is kept of the ink under it, and the areas waiting to be composed and pushed.
// Ink that strokes laid beyond the old left and top edges was cut away; it is drawn now, from the
// history, in the new strips and in the areas of those strokes, which lose their undo pixels
// (their undo replays). Costs copies of the layers, not a replay of the history.
//
// Does not present: the caller moves the canvas by (-dx, -dy) and fits the surfaces to it.
void MoveInkOrigin(int32_t dx, int32_t dy);
