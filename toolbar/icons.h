#pragma once
#include "app/platform.h"
#include "toolbar/toolbar_layout.h"

// Draws the line icon of an entry around its centre with the caller's pen; kinds without an icon
// draw nothing.
void DrawButtonIcon(Gdiplus::Graphics& graphics, Gdiplus::Pen& pen, ButtonKind kind, float cx, float cy);
