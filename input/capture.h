#pragma once

// Turns one contact into a stroke, drawing what can be drawn piece by piece into the ink layer and
// presenting the area each sample changed. Any calling order is tolerated: Extend and End without
// a stroke do nothing, and Begin during a stroke drops it and starts a new one.
void BeginStroke(float x, float y, float pressure);
void ExtendStroke(float x, float y, float pressure);
void EndStroke();
