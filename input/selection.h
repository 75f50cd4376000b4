#pragma once
#include <cstdint>

#include "app/palette.h"

// Choices shared by the keyboard and the toolbar. Picking a tool or a colour means the user wants to
// draw: both take the mouse back from pass-through, then show the choice on the toolbar.
void SelectTool(ToolKind tool);
// The eraser has no colour, so picking one returns to the pen; other tools keep drawing.
void SelectColour(int32_t index);
void ToggleOrientation();
// A white board under pass-through would hide the applications that take the clicks, so turning
// the board on also takes the mouse back; turning it off leaves pass-through alone.
void ToggleBoard();
