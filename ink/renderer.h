#pragma once
#include "app/platform.h"
#include "ink/stroke.h"

// The one definition of how each tool looks. fade scales the alpha of highlighter and laser strokes.
void DrawStroke(Gdiplus::Graphics& graphics, const Stroke& stroke, float fade);
// The segment of a pen stroke that ends at sample `end` (1 or more), exactly as DrawStroke draws it:
// a pen stroke in progress grows by these.
void DrawPenSegment(Gdiplus::Graphics& graphics, const Stroke& stroke, size_t end);
