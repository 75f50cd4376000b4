#pragma once

// Turns one contact into a stroke, drawing what can be drawn piece by piece and presenting the area
// each sample changed. Any calling order is tolerated: Extend and End without a stroke do nothing,
// and Begin during a stroke commits it and starts a new one.
void BeginStroke(float x, float y, float pressure);
void ExtendStroke(float x, float y, float pressure);
void EndStroke();
// All ink was cleared under the stroke in progress: it goes on from its newest sample alone, so
// what it had drawn before the clear never comes back.
void ContinueStrokeAfterClear();
