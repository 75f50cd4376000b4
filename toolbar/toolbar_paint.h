#pragma once

// Draws the whole toolbar afresh and pushes it to the toolbar window at its current position.
void PaintToolbar();
