#pragma once

// Undoes the newest step: the newest stroke of the history, or, with none left, the newest clear.
// Nothing while a stroke is being drawn.
void UndoLastStroke();
// Makes the newest undone step again: the stroke comes back, the clear clears again.
void RedoLastUndo();
// Removes all ink and every laser trail. Where it removed ink it is a step that can be undone.
void ClearAll();
