#pragma once
#include <cstddef>
#include <vector>

#include "ink/ink_undo.h"
#include "ink/pixel_snapshot.h"
#include "ink/stroke.h"

// The steps that undo and redo walk through: the committed strokes of the history and the clears
// made before them. Every clear empties the history, so the strokes in it are always newer than
// every kept clear: the newest step is the history's newest stroke or, with the history empty, the
// newest clear. Undone steps wait to be redone until a new step is made.

// A clear kept so that it can be undone.
struct ClearedInk {
    std::vector<Stroke> strokes;  // the history it took, oldest first, with their undo pixels
    PixelLayer taken;             // the ink layer itself as it found it, until it is made compact
    PixelSnapshot ink;            // the same picture, compactly
    bool inkKept = false;         // false once the budget took it: its undo then replays
    PixelSnapshot floor;          // the ink the history limit had dropped, under those strokes
    int32_t layerWidth = 0;       // the ink layer's size then: undo pixels reach no further
    int32_t layerHeight = 0;
    int32_t layerLeft = 0;        // where that layer's top-left pixel lies since the origin moved
    int32_t layerTop = 0;
    size_t bytes = 0;             // what it holds, samples and pixels, towards the budget
};

struct RedoStep {
    bool clear = false;  // a clear to make again; otherwise `stroke`, to draw again
    Stroke stroke;
};

// A new stroke, committed: past the limit the oldest stroke's ink goes into the floor and every kept
// clear, older still, is forgotten; nothing is left to redo.
void AppendToHistory(Stroke stroke);
// An undone stroke back as the newest step, its undo pixels taken anew; what waits to be redone stays.
void ReturnToHistory(Stroke stroke);
// The newest stroke leaves the history (its pixels are the caller's to restore).
Stroke TakeNewestStroke();
// The history and the floor go into a new kept clear, with `taken` the ink layer they made (or no
// layer, when `inkKept` is false). Both are empty afterwards.
void KeepClear(PixelLayer taken, bool inkKept);
// The ink layers that new kept clears took become compact pictures, and the budget is kept. A clear
// costs no more than a swap of layers before its push; this runs once the push has shown it.
void CompactKeptClears();
// The newest kept clear undone: its strokes are the history again and its floor the floor; returns
// what is left of it, the picture.
ClearedInk TakeNewestClear();
void ForgetRedo();
// The oldest `count` kept clears are forgotten, with what they hold.
void ForgetOldestClears(size_t count);
// Frees pixels, the oldest records' first, until the undo records take no more than `budget` bytes;
// where even their samples take more, the oldest kept clears are forgotten.
void TrimUndoPixels(size_t budget);
