#pragma once

// After a display change: the frame at the new canvas size, and the layers grown where the canvas
// now reaches beyond them. Ink keeps its pixels; only an area the layers never covered is drawn from
// the history.
void FitSurfacesToCanvas();
