#pragma once
#include "ink/stroke.h"

// Shapes while drawing. The keys held when a stroke begins make it a shape from the press point to
// the pointer: Shift a straight line, Ctrl a rectangle, Tab an ellipse, Ctrl+Shift an arrow. The shape
// follows the pointer in the live layer and enters the ink (or the laser trails) whole at the release.

// Makes the stroke just begun (tool, width and first sample set) the shape the keys held right now ask
// for, fixed for the whole stroke; the eraser always erases freehand. The keyboard's own state is read,
// not the thread's: a pen or finger gives the overlay no focus, so the thread's may be stale.
void ChooseShapeAtPress(Stroke& stroke);
// The pointer moved during a shape stroke: the shape is drawn anew to there. Moves of less than half
// a pixel from the last one are dropped, as for every stroke.
void FollowPointerWithShape(float x, float y);
// The release: the shape becomes one stroke of the history (or one laser trail), and leaves the live
// layer; what it covered is presented.
void CommitShapeStroke();
