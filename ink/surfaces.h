#pragma once
#include "app/dirty_rect.h"

// (Re)creates the layers and the frame at the canvas size, releasing the previous set; the layers
// start transparent.
void CreateSurfaces();
// The frame alone made anew at the canvas size; the layers keep their pixels.
void CreateFrame();
// Redraws the ink layer from `history`. Does not present.
void RebuildInkLayer();
// Composes the rectangle of the frame (clamped to the canvas) and pushes it to the overlay.
void PresentRegion(const DirtyRect& rect);
// Releases the surfaces at shutdown, in the same order as a re-creation does.
void ReleaseSurfaces();
