#pragma once
#include "app/platform.h"
#include "ink/stroke.h"

// The one definition of how each tool looks. fade scales the alpha of highlighter and laser strokes.
void DrawStroke(Gdiplus::Graphics& graphics, const Stroke& stroke, float fade);
