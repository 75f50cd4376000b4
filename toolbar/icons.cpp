#include "toolbar/icons.h"
// PLACEHOLDER
void DrawButtonIcon(Gdiplus::Graphics&, Gdiplus::Pen&, ButtonKind, float, float) {}
