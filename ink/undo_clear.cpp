#include "ink/undo_clear.h"
// PLACEHOLDER
void UndoLastStroke() {}
void ClearAll() {}
