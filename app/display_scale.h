#pragma once
#include <cstdint>

#include "app/platform.h"

// The program is DPI aware, so Windows hands it physical pixels and scales nothing for it: every
// length that is meant as "pixels at 96 DPI" goes through here on its way to the screen.

constexpr int32_t BASE_DPI = 96;

// Looked up at run time: systems before Windows 10 (1607) lack them, and importing them would stop
// the program from loading there.
void LookUpDpiFunctions();
// The DPI of the given window (the toolbar's) where it exists, else the system's; 96 where the
// system says nothing usable.
int32_t ReadSystemDpi(HWND window);
// Takes the DPI into `displayDpi`; called wherever the program learns its geometry.
void ReadDisplayScale();

// displayDpi / 96: the factor for lengths that need not fall on whole pixels (pens, arcs, icons,
// stroke widths).
float DisplayScale();
// The scale of the monitor under a canvas point, which a stroke begun there is drawn at, so that it
// looks as thick on a projector at 100 % as on a panel at 150 %; DisplayScale where the system cannot
// say.
float ScaleAtCanvasPoint(float x, float y);
// A coordinate given in pixels at 96 DPI, scaled and rounded to the nearest whole pixel (halves
// away from zero). The one rounding of the program: edges go through it, sizes follow as the
// difference of two edges, so neighbours neither overlap nor part by rounding.
int32_t ScaledEdge(int32_t at96);
