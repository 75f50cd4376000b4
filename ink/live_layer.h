#pragma once
#include "app/dirty_rect.h"
#include "ink/stroke.h"

// The translucent stroke in progress (highlighter or laser) lives in a layer of its own, drawn piece
// by piece, so that each sample draws and composes only the area of its newest piece. A piece is
// drawn by the renderer on its own and then united with what is already there, the more opaque
// pixel winning: a translucent stroke drawn in pieces must not darken where the pieces overlap.

// Draws `piece` (the newest samples of the stroke in progress) into the live layer, inside `rect`.
void DrawLivePiece(const Stroke& piece, const DirtyRect& rect);
// The newest piece of the stroke in progress: its last three samples (two, or one, at its start),
// enough for the joins of a polyline to come out as the whole stroke draws them.
Stroke NewestLivePiece();
// Makes the live layer transparent inside `rect`.
void ClearLiveLayer(const DirtyRect& rect);
// Draws the whole stroke in progress into the live layer again, after the layer was made anew.
void RebuildLiveLayer();
