#include "toolbar/toolbar_layout.h"
// PLACEHOLDER
void LayoutToolbar() {}
