#include "ink/renderer.h"
// PLACEHOLDER
void DrawStroke(Gdiplus::Graphics&, const Stroke&, float) {}
