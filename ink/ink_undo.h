#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "app/dirty_rect.h"
#include "ink/stroke.h"

// Undo without replaying the history. Before the stroke being drawn first touches a tile of the ink
// layer, the tile's pixels are kept; when the stroke is committed, only the pixels it changed are
// coded into the stroke, run-length by old value (mostly long runs of transparent pixels). Undo
// writes them back. Past a memory budget the oldest strokes lose their pixels, and undoing one of
// them replays only the strokes that touch its area.
constexpr int32_t INK_TILE = 64;
constexpr size_t INK_UNDO_BUDGET_BYTES = size_t(64) << 20;

struct InkKeeping {
    bool active = false;
    bool overtaken = false;            // the layer grew under the stroke: what was kept falls short
    std::vector<uint32_t> keptIds;     // tile x | tile y << 16, in the order kept
    std::vector<uint32_t> keptPixels;  // INK_TILE x INK_TILE old pixels per kept tile
    std::vector<uint32_t> stamps;      // per tile of the ink layer: the stroke serial that kept it
    int32_t columns = 0;
    int32_t rows = 0;
    uint32_t serial = 0;
    size_t historyBytes = 0;  // undo pixels held by the strokes of history
};

// A stroke is about to draw into the ink layer: nothing of it is kept yet.
void StartKeepingInk();
// Keeps the tiles under `rect` that the stroke has not touched yet; call before drawing there.
void KeepInkUnder(const DirtyRect& rect);
// Puts the kept tiles that meet `rect` back as they were before the stroke; returns their area.
DirtyRect RestoreKeptInk(const DirtyRect& rect);
// Codes what the stroke changed into it and forgets the kept tiles.
void FinishKeepingInk(Stroke& stroke);
// The ink was cleared under a stroke in progress: what was kept no longer applies.
void ForgetKeptInk();
// The layer grew beyond `oldWidth` x `oldHeight` and the history was drawn into the new part: the
// undo pixels of strokes reaching there, and what is kept of a stroke in progress, leave that part
// out. Those strokes are undone by replaying their area; the stroke in progress is overtaken.
void InkLayerGrew(int32_t oldWidth, int32_t oldHeight);
// The ink layer's origin moved by whole tiles: what was tile (x, y) is tile (x + tilesRight,
// y + tilesDown) now. The stroke's undo pixels follow their tiles.
void MoveUndoPixels(Stroke& stroke, int32_t tilesRight, int32_t tilesDown);
// What is kept of the stroke in progress follows its tiles too; called once the ink layer has its
// new size.
void MoveKeptInk(int32_t tilesRight, int32_t tilesDown);
// The parts of the ink layer to draw from the history when its pixels are a replay only inside
// `known` (the old layer, moved there by a move of the origin or grown beyond it right and down):
// all outside it, and the areas round the dots and segments of strokes that reached left of or above
// it where the old layer began. A line drawn clipped at a layer's left or top edge may lay a few of
// its pixels otherwise than the same line drawn whole.
std::vector<DirtyRect> InkAreasToReplay(const DirtyRect& known);
// `areas` of the ink layer were drawn anew from the history: strokes reaching there lose their undo
// pixels and are undone by replaying their area; a stroke in progress reaching there is overtaken.
void InkReplayedIn(const std::vector<DirtyRect>& areas);
// The stroke in progress was overtaken by a growing layer: its area is drawn from the history once it
// is committed.
bool KeptInkOvertaken();

// Writes the stroke's undo pixels back into the ink layer; false when it has none.
bool RestoreUndoPixels(const Stroke& stroke);
// Redraws the ink layer inside `area`: the ink the history limit dropped, then every stroke of the
// history that meets it.
void ReplayInkArea(const DirtyRect& area);
// The layer grew beyond `oldWidth` x `oldHeight`: the new part is drawn by a replay.
void ReplayInkBeyond(int32_t oldWidth, int32_t oldHeight);

// Keeps `historyBytes` right as a stroke enters (+1) or leaves (-1) history.
void AccountUndoPixels(const Stroke& stroke, int direction);
// Frees the stroke's undo pixels, keeping `historyBytes` right when the stroke is in the history.
void DropUndoPixels(Stroke& stroke, bool inHistory);
