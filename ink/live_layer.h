#pragma once
#include <functional>
#include <vector>

#include "app/dirty_rect.h"
#include "ink/renderer.h"
#include "ink/stroke.h"

// The translucent stroke in progress (highlighter or laser) lives in a layer of its own, drawn piece
// by piece, so that each sample draws and composes only the area of its newest piece. A piece is
// drawn by the renderer on its own and then united with what is already there, the more opaque
// pixel winning: a translucent stroke drawn in pieces must not darken where the pieces overlap.

// Whether the stroke lives in the live layer while it is drawn, not in the ink layer: the translucent
// tools, and every shape until its release.
bool DrawnLive(const Stroke& stroke);

// The live layer has memory only while a stroke drawn live is in progress: on a canvas over several
// monitors it is tens of megabytes. A stroke drawn live takes fresh memory of the ink layer's size,
// transparent whatever the layer held before; the stroke's end gives it back.
void AllocateLiveLayer();
void ReleaseLiveLayer();

// Draws `piece` (the newest samples of the stroke in progress) into the live layer, inside `rect`.
void DrawLivePiece(const Stroke& piece, const DirtyRect& rect);
// The newest piece of the stroke in progress: its last three samples (two, or one, at its start),
// enough for the joins of a polyline to come out as the whole stroke draws them.
Stroke NewestLivePiece();
// Makes the live layer transparent inside `rect`.
void ClearLiveLayer(const DirtyRect& rect);
// The live layer made again in fresh memory of the ink layer's size, with the whole stroke in progress
// if it is drawn live; without such a stroke it has no memory.
void RebuildLiveLayer();

// A shape in progress changes as a whole with every move, along its outline only: these rects of the
// live layer, in bands of LIVE_BAND_ROWS rows, hold every pixel of its picture. Thin bands keep the
// rects close to a slanting outline.
constexpr int32_t LIVE_BAND_ROWS = 16;
std::vector<DirtyRect> LiveCoverOf(const ShapePicture& picture);
// Draws the shape in progress into the live layer inside `cover` (rects of LIVE_BAND_ROWS bands that
// hold its LiveCoverOf), replacing what was there; `changed` is called with the parts of `cover` whose
// pixels changed, each once it is drawn.
void DrawLiveShape(const Stroke& shape, const ShapePicture& picture, const std::vector<DirtyRect>& cover,
                   const std::function<void(const DirtyRect&)>& changed = {});
