#include "toolbar/toolbar_paint.h"
// PLACEHOLDER
void PaintToolbar() {}
