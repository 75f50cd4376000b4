#include "app/dirty_rect.h"

#include <algorithm>

void DirtyRect::IncludePoint(float x, float y, float radius) {
    const int32_t xi = static_cast<int32_t>(x);
    const int32_t yi = static_cast<int32_t>(y);
    const int32_t m = static_cast<int32_t>(radius) + 6;
    if (IsEmpty()) {
        left = xi - m;
        top = yi - m;
        right = xi + m;
        bottom = yi + m;
        return;
    }
    left = std::min(left, xi - m);
    top = std::min(top, yi - m);
    right = std::max(right, xi + m);
    bottom = std::max(bottom, yi + m);
}
