#pragma once
#include "app/dirty_rect.h"
#include "ink/pixel_layer.h"
#include "ink/pixel_snapshot.h"

// (Re)creates the ink layer and the frame at the canvas size, releasing the previous set; the ink
// layer starts transparent, and the live and trail layers without memory until a stroke or a trail
// takes it.
void CreateSurfaces();
// The frame alone made anew at the canvas size; the layers keep their pixels.
void CreateFrame();
// Redraws the ink layer: the ink the history limit dropped, then `history`. Does not present.
void RebuildInkLayer();
// Composes the rectangle of the frame (clamped to the canvas) at once and adds it to the area the
// next push hands to the overlay.
void PresentRegion(const DirtyRect& rect);
// A present of `rect` after only the strength of the laser trails changed: only pixels that hold a
// trail are composed again; everywhere else the frame already shows what it must.
void PresentTrailFade(const DirtyRect& rect);
// Clears the ink layer and presents the whole canvas; the frame is composed without reading the ink
// it has just cleared, which halves the memory a clear moves.
void ClearInkAndPresentCanvas();
// Takes the ink layer's pixels away, a fresh transparent layer of the same size in their place, and
// presents the whole canvas, composed without reading ink.
PixelLayer TakeInkAndPresentCanvas();
// Memory taken from the ink layer made the ink layer again, transparent (the pixels of `kept`, its
// picture, erased), when nothing has been drawn into the layer that replaced it: memory in use
// already costs no page faults when it is next drawn into. Otherwise it is released.
void ReuseAsTransparentInkLayer(PixelLayer taken, const PixelSnapshot& kept);
// Puts taken pixels back as the ink layer (copied into it where the layer has grown since). Does not
// present.
void PutBackInkLayer(PixelLayer taken);
// Pushes what was composed since the last push to the overlay, if anything. The message loop calls it
// at most once a frame; start-up and display changes call it directly.
void PushPendingFrame();
// Releases the surfaces at shutdown, in the same order as a re-creation does.
void ReleaseSurfaces();
