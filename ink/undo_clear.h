#pragma once

void UndoLastStroke();
void ClearAll();
