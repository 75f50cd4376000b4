#pragma once
#include "app/dirty_rect.h"
#include "ink/pixel_snapshot.h"
#include "ink/stroke.h"

// Ink that left the history by the stroke limit stays on the screen: the dropped strokes are drawn,
// in the order they were dropped, into a layer of their own, the floor, which every replay of the
// history starts from and no undo takes away. The ink layer is then always a replay of the floor and
// the history. The floor's memory is taken only once a stroke has been dropped.

// Draws the stroke that is leaving the history into the floor.
void DropIntoInkFloor(const Stroke& stroke);
// The ink layer inside `area` as the floor holds it: where there is no floor, transparent.
void StartInkReplayFromFloor(const DirtyRect& area);
// The floor grows with the ink layer; what it gains is transparent.
void GrowInkFloor();
// Forgets the floor's ink and returns its memory.
void ReleaseInkFloor();
bool HasInkFloor();
// The floor's ink, compactly, for a clear to keep; the floor itself is released.
PixelSnapshot TakeInkFloor();
// A kept floor made the floor again (an empty snapshot leaves none).
void PutBackInkFloor(const PixelSnapshot& kept);
