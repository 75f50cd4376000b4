#include "toolbar/toolbar_layout.h"

#include "app/app_state.h"

int HitTestToolbar(int x, int y) {
    const POINT point = {x, y};
    for (size_t i = 0; i < app.buttons.size(); ++i) {
        if (PtInRect(&app.buttons[i].rect, point)) return static_cast<int>(i);
    }
    return -1;
}

// PLACEHOLDER
void LayoutToolbar() {}
