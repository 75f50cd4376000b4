#include "input/capture.h"
// PLACEHOLDER
void BeginStroke(float, float, float) {}
void ExtendStroke(float, float, float) {}
void EndStroke() {}
