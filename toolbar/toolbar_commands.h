#pragma once
#include "toolbar/toolbar_layout.h"

// What a left press on a toolbar entry does; the grip's drag is begun by the window procedure.
void RunToolbarCommand(const ToolbarButton& button);
